#include "mainwindow.h"

#include "combostyle.h"
#include "ipaddress.h"
#include "protocolids.h"
#include "versiontext.h"

#include <QComboBox>
#include <QDebug>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRect>
#include <QStringList>

using namespace Koru;

namespace {

// The selectors' last entry "-" stands for "not reported yet" and is never sent.
constexpr int NoSelection = 2;
constexpr int MaxCameraSetting = 1;

QLabel *createCameraLabel(QWidget *page, const char *objectName, const QRect &geometry)
{
    auto *label = new QLabel(page);
    label->setObjectName(QLatin1String(objectName));
    label->setGeometry(geometry);
    return label;
}

QComboBox *createCameraSelector(QWidget *page, const QStringList &entries, const QRect &geometry)
{
    auto *selector = new QComboBox(page);
    selector->setView(new QListView(selector));
    selector->setMaxVisibleItems(3);
    selector->setStyleSheet(whiteComboStyle());
    selector->setGeometry(geometry);
    selector->addItems(entries);
    selector->setCurrentIndex(NoSelection);
    return selector;
}

bool isCameraSetting(int index)
{
    return index >= 0 && index <= MaxCameraSetting;
}

} // namespace

// Right half of the gimbal page: resolution, coding format, IP address and firmware version.
void MainWindow::initCameraWidgets()
{
    cameraConfigLabel = createCameraLabel(gimbalPage, "camera_config", {500, 4, 120, 16});
    resolutionLabel = createCameraLabel(gimbalPage, "res", {500, 28, 64, 16});
    codeFormatLabel = createCameraLabel(gimbalPage, "code format", {470, 84, 96, 16});
    cameraFwVerLabel = createCameraLabel(gimbalPage, "camera_fw_ver", {650, 4, 100, 16});
    cameraFwVerValueLabel = createCameraLabel(gimbalPage, "camera_fw_ver_value", {705, 4, 100, 16});
    ipSetLabel = createCameraLabel(gimbalPage, "ip_set", {500, 56, 64, 16});
    cameraFwVerValueLabel->setText(tr("-.-.-"));

    resolutionComboBox = createCameraSelector(
        gimbalPage, {QStringLiteral("720P"), QStringLiteral("1080P"), QStringLiteral("-")},
        {570, 25, 50, 20});
    codeFormatComboBox = createCameraSelector(
        gimbalPage, {QStringLiteral("H264"), QStringLiteral("H265"), QStringLiteral("-")}, {570, 80, 50, 20});
    connect(resolutionComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &MainWindow::slot_sendSetRes_CMD);
    connect(codeFormatComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &MainWindow::slot_sendSetCodeFormat_CMD);

    ipLineEdit = new QLineEdit(QStringLiteral("192.168.144."), gimbalPage);
    ipLineEdit->setGeometry(570, 52, 121, 20);
    confirmIpButton = new QPushButton(gimbalPage);
    confirmIpButton->setObjectName(QStringLiteral("Confirm IP"));
    confirmIpButton->setGeometry(700, 52, 70, 20);
    connect(confirmIpButton, &QPushButton::clicked, this, &MainWindow::slot_sendSetIP_CMD);
    retranslateCameraWidgets();
    // Shown until the first language change gives the caption of the chosen language.
    codeFormatLabel->setText(tr("编码格式"));
}

// The version value is device data, not a caption: a language change leaves it alone.
void MainWindow::retranslateCameraWidgets()
{
    cameraConfigLabel->setText(tr("Camera Config"));
    resolutionLabel->setText(tr("Resolution"));
    codeFormatLabel->setText(tr("Coding Format"));
    cameraFwVerLabel->setText(tr("FW VER:"));
    ipSetLabel->setText(tr("IP Config"));
    confirmIpButton->setText(tr("Save IP"));
}

// The selectors stay connected here on purpose: a reported configuration that changes a
// selector is sent back to the camera at once.
void MainWindow::updateCameraConfigUI()
{
    resolutionComboBox->setCurrentIndex(state.cameraResolution);
    codeFormatComboBox->setCurrentIndex(state.cameraCodeFormat);
}

void MainWindow::setCameraIpText(const QString &text)
{
    ipLineEdit->setText(text);
}

void MainWindow::updateCameraFwVer(uint32_t value)
{
    cameraFwVerValueLabel->setText(versionText(value));
}

void MainWindow::slot_sendGetCameraConfig_CMD()
{
    sendGimbalCmd(CMD_ID_GET_CAMERA_CONFIG);
}

// "-" (and no entry at all, after a report outside the list) sends nothing.
void MainWindow::slot_sendSetRes_CMD(int id)
{
    if (!isCameraSetting(id))
        return;
    qDebug() << "slot_sendSetRes_CMD";
    const uint8_t payload[] = {uint8_t(id), state.cameraCodeFormat};
    sendGimbalCmd(CMD_ID_SET_CAMERA_CONFIG, payload, sizeof payload);
}

void MainWindow::slot_sendSetCodeFormat_CMD(int id)
{
    if (!isCameraSetting(id))
        return;
    qDebug() << "slot_sendSetCodeFormat_CMD";
    const uint8_t payload[] = {state.cameraResolution, uint8_t(id)};
    sendGimbalCmd(CMD_ID_SET_CAMERA_CONFIG, payload, sizeof payload);
}

void MainWindow::slot_sendGetIP_CMD()
{
    sendGimbalCmd(CMD_ID_GET_CAMERA_IP);
}

void MainWindow::slot_sendSetIP_CMD()
{
    const QString text = ipLineEdit->text();
    const QByteArray address = text.toLatin1(); // stays NUL-terminated for the check
    qDebug() << "ip:" << text << "len:" << address.size();
    if (!isValidIp(address.constData())) {
        qDebug() << "ip input error";
        return;
    }
    sendGimbalCmd(CMD_ID_SET_CAMERA_IP, reinterpret_cast<const uint8_t *>(address.constData()),
                  uint8_t(address.size()));
}

void MainWindow::slot_sendGetCameraFWVer_CMD()
{
    sendGimbalCmd(CMD_ID_GET_CAMERA_FW);
}
