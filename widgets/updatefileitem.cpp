#include "updatefileitem.h"

#include "filenamebutton.h"

#include "appsettings.h"
#include "devicetypes.h"
#include "mypushbutton.h"
#include "upgradeprogresspanel.h"
#include "versiontext.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>

namespace {

const QString OpenUpgradeKey = QStringLiteral("haveOpenUpdataing");
const QString UpdateAddrKey = QStringLiteral("updateAddr");
const QString FileNameKey = QStringLiteral("settingfileName");

} // namespace

UpdateFileItem::UpdateFileItem(AppSettings &settings, QWidget *parent) : QWidget(parent), settings(settings)
{
    resize(812, 70);
    nameLabel = createInfoLabel(5, Qt::Alignment());
    hardwareIdLabel = createInfoLabel(74, Qt::AlignCenter);
    snLabel = createInfoLabel(170, Qt::AlignCenter);
    bootVersionLabel = createInfoLabel(290, Qt::AlignCenter);
    bootVersionLabel->setText(tr("1234.34.34"));
    fwVersionLabel = createInfoLabel(410, Qt::AlignCenter);
    fwVersionLabel->setText(tr("2017.3.4"));

    auto *separator = new QLabel(this);
    separator->setGeometry(0, 68, 812, 1);
    separator->setStyleSheet(QStringLiteral("background-color: #eeeeee;"));

    fileButton = MyPushButton::create(this, "getfile", QRect(537, 25, 80, 20));
    fileNameButton = MyPushButton::create(this, "getfilename", QRect(617, 25, 100, 20));
    upgradeButton = MyPushButton::create(this, "zhengxian", QRect(727, 25, 50, 20));
    // Created after the buttons, so that while shown it covers them.
    progressPanel = new UpgradeProgressPanel(QRect(537, 0, 275, 65), this);

    msgLabel = new QLabel(this);
    msgLabel->setObjectName(QStringLiteral("msgLabel"));
    msgLabel->setGeometry(175, 50, 600, 20);
    msgLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    msgLabel->setTextFormat(Qt::PlainText);

    connect(fileButton, &MyPushButton::sig_clicked, this, &UpdateFileItem::slot_getfileClicked);
    connect(upgradeButton, &MyPushButton::sig_clicked, this, &UpdateFileItem::slot_UpdateClicked);
    connect(progressPanel, &UpgradeProgressPanel::sig_closeClicked, this, &UpdateFileItem::slot_closeClicked);
    retranslate();
}

QLabel *UpdateFileItem::createInfoLabel(int x, Qt::Alignment alignment)
{
    auto *label = new QLabel(this);
    label->setObjectName(QStringLiteral("updateItem"));
    label->setGeometry(x, 15, 100, 40);
    label->setTextFormat(Qt::PlainText); // device text, never markup
    if (alignment)
        label->setAlignment(alignment);
    return label;
}


void UpdateFileItem::setDeviceId(uint8_t id)
{
    deviceId = id;
    retranslate();
}

void UpdateFileItem::setRowNumber(int number)
{
    rowNumber = number;
}

void UpdateFileItem::retranslate()
{
    upgradeButton->setText(tr("upgrade"));
    fileButton->setText(tr("getfilename"));
    fileNameButton->setAccessibleName(tr("Chosen file"));
    hardwareIdLabel->setAccessibleDescription(tr("Hardware ID"));
    snLabel->setAccessibleDescription(tr("Serial number"));
    bootVersionLabel->setAccessibleDescription(tr("Boot loader version"));
    fwVersionLabel->setAccessibleDescription(tr("Firmware version"));
    progressPanel->retranslate();
    nameLabel->setText(QCoreApplication::translate("UpdateFileItem", deviceTypeKey(deviceId)));
    msgLabel->setText(msg.text());
}

void UpdateFileItem::setMsg(const Koru::TextKey &text)
{
    msg = text;
    msgLabel->setText(msg.text());
}

void UpdateFileItem::setProgress(int maximum, int value)
{
    progressPanel->setProgress(maximum, value);
}

void UpdateFileItem::setHardwareId(const QString &text)
{
    hardwareIdLabel->setText(text);
}

void UpdateFileItem::setSn(const QString &text)
{
    snLabel->setText(text);
}

void UpdateFileItem::setBootVersion(uint32_t version)
{
    bootVersionLabel->setText(versionText(version));
}

void UpdateFileItem::setFwVersion(uint32_t version)
{
    fwVersionLabel->setText(versionText(version));
}

void UpdateFileItem::slot_getfileClicked()
{
    filePath = QFileDialog::getOpenFileName(this, tr("Open File"), settings.readOr(FileNameKey, QString()),
                                            tr("Bin (*.bin *.cfg)"));
    showFileName(fileNameButton, filePath);
    settings.write(FileNameKey, filePath);
}

void UpdateFileItem::slot_UpdateClicked()
{
    if (settings.read(OpenUpgradeKey) == QLatin1String("1")) {
        QMessageBox::warning(this, tr("waring"), tr("other upgrade is doing"), QMessageBox::Yes);
        return;
    }
    settings.write(OpenUpgradeKey, QStringLiteral("1"));
    progressPanel->show();
    emit sig_updateFile(deviceId, rowNumber, filePath);
}

void UpdateFileItem::slot_closeClicked()
{
    progressPanel->hide();
    setProgress(1, 0);
    settings.write(OpenUpgradeKey, QStringLiteral("0"));
    setMsg({});
    if (settings.read(UpdateAddrKey) == QString::number(deviceId))
        emit sig_stopUpdateFile();
}
