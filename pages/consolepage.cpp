#include "consolepage.h"

#include "appsettings.h"
#include "combostyle.h"
#include "devicelink.h"
#include "filenamebutton.h"
#include "frame.h"
#include "mylineedit.h"
#include "mypushbutton.h"
#include "shellmsgwidget.h"
#include "shellviews.h"
#include "upgradeprogresspanel.h"
#include "upgradesession.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

using namespace Koru;

namespace {

constexpr int CommandRowCount = 20;
constexpr int FirstRowY = 28;
constexpr int RowPitch = 19;
// The upgrade session's requester for this page's update row; the upgrade page's rows
// count from 1.
constexpr int ConsoleRequester = 0;

const QString SettingFileKey = QStringLiteral("settingfileName");

// What the port selector has beyond the common white-page selector style.
const char *const PortSelectorExtraStyle =
    "QComboBox::drop-down { width: 8px; }"
    "QComboBox QAbstractItemView { font-size: 11px; }";

struct LabelPlace
{
    const char *key;
    QRect geometry;
};

// The page's translated captions, in the order of captionLabels.
const LabelPlace CaptionLabels[] = {
    {QT_TRANSLATE_NOOP("ConsolePage", "roll send"), {604, 414, 80, 20}},
    {QT_TRANSLATE_NOOP("ConsolePage", "jiangge"), {685, 414, 50, 20}},
    {QT_TRANSLATE_NOOP("ConsolePage", "gujianup"), {25, 402, 100, 20}},
    {QT_TRANSLATE_NOOP("ConsolePage", "addr"), {165, 402, 50, 20}},
};

QString rowKey(const char *prefix, int row)
{
    return QLatin1String(prefix) + QString::number(row);
}

MyLineEdit *createLineEdit(QWidget *parent, const QRect &geometry, const QString &text)
{
    auto *edit = new MyLineEdit(parent);
    edit->setGeometry(geometry);
    edit->setText(text);
    return edit;
}

QCheckBox *createCheckBox(QWidget *parent, const QRect &geometry)
{
    auto *box = new QCheckBox(parent);
    box->setGeometry(geometry);
    return box;
}

void createRule(QWidget *parent, QFrame::Shape shape, const QRect &geometry)
{
    auto *rule = new QFrame(parent);
    rule->setFrameShape(shape);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(geometry);
}

} // namespace

ConsolePage::ConsolePage(DeviceLink &link, AppSettings &settings, QWidget *parent)
    : Page(link, settings, parent), rollTimer(new QTimer(this))
{
    for (int row = 0; row < CommandRowCount; ++row)
        createCommandRow(row);

    auto *shellView = new ShellMsgWidget(this);
    shellView->move(10, 10);
    shellViews = new ShellViews(shellView, this);
    createRule(this, QFrame::VLine, QRect(556, 0, 2, 442));
    createRule(this, QFrame::HLine, QRect(0, 385, 556, 2));
    for (const LabelPlace &place : CaptionLabels) {
        auto *label = new QLabel(this);
        label->setGeometry(place.geometry);
        captionLabels.append(label);
    }
    createRollSendRow();
    createPortAndUpdateRow();
    // Created after the update row so that, while shown, it covers the file name and update buttons.
    progressPanel = new UpgradeProgressPanel(QRect(280, 393, 275, 35), this);
    connect(progressPanel, &UpgradeProgressPanel::sig_closeClicked, this, &ConsolePage::onUpdateCloseClicked);

    messageLabel = new QLabel(this);
    messageLabel->setObjectName(QStringLiteral("msgLabel"));
    messageLabel->setGeometry(8, 420, 546, 20);
    messageLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    messageLabel->setTextFormat(Qt::PlainText);
    retranslate();

    connect(&link, &DeviceLink::responseReceived, this, &ConsolePage::onResponse);
    connect(&link, &DeviceLink::portListChanged, this, &ConsolePage::refillPortSelector);
    connect(&link, &DeviceLink::connectionChanged, this, [this](bool connected, const QString &name) {
        if (connected)
            selectPort(name);
    });
    UpgradeSession &upgrade = link.upgrade();
    connect(&upgrade, &UpgradeSession::message, this, &ConsolePage::onUpgradeMessage);
    connect(&upgrade, &UpgradeSession::progress, this, &ConsolePage::onUpgradeProgress);
}

void ConsolePage::createCommandRow(int row)
{
    const int y = FirstRowY + RowPitch * row;
    rollBoxes.append(createCheckBox(this, QRect(584, y, 20, 20)));
    addressEdits.append(createLineEdit(this, QRect(604, y, 51, 20),
                                       settings.readOr(rowKey("devAddr", row), QStringLiteral("0x10"))));
    commandEdits.append(createLineEdit(this, QRect(654, y, 121, 20),
                                       settings.readOr(rowKey("cmdLine", row), QStringLiteral("help"))));

    MyPushButton *sendButton = MyPushButton::create(this, "sendShellCmd", QRect(774, y, 40, 20));
    sendButton->setId(row);
    sendButton->setText(QString::number(row + 1));
    sendButtons.append(sendButton);
    connect(sendButton, &MyPushButton::sig_clicked, this, &ConsolePage::onSendClicked);
}

void ConsolePage::createRollSendRow()
{
    rollSendBox = createCheckBox(this, QRect(584, 414, 20, 20));
    connect(rollSendBox, &QCheckBox::stateChanged, this, &ConsolePage::onRollSendToggled);
    const QString interval = settings.readOr(QStringLiteral("rolltime"), QStringLiteral("1000"));
    rollIntervalEdit = createLineEdit(this, QRect(719, 414, 51, 20), interval);
    auto *unit = new QLabel(QStringLiteral("ms"), this);
    unit->setGeometry(775, 414, 40, 20);
    connect(rollTimer, &QTimer::timeout, this, &ConsolePage::sendTickedRows);
}

void ConsolePage::createPortAndUpdateRow()
{
    portSelector = new QComboBox(this);
    portSelector->setGeometry(75, 402, 80, 20);
    styleWhiteCombo(portSelector, 8, QLatin1String(PortSelectorExtraStyle));
    connect(portSelector, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) { link.choosePort(portSelector->itemData(index).toString()); });

    updateAddressEdit = createLineEdit(this, QRect(205, 402, 50, 20), QStringLiteral("0x10"));
    chooseFileButton = MyPushButton::create(this, "getfile", QRect(285, 402, 80, 20));
    connect(chooseFileButton, &MyPushButton::sig_clicked, this, &ConsolePage::onChooseFileClicked);
    fileNameButton = MyPushButton::create(this, "getfilename", QRect(365, 402, 100, 20));
    updateButton = MyPushButton::create(this, "zhengxian", QRect(475, 402, 50, 20));
    connect(updateButton, &MyPushButton::sig_clicked, this, &ConsolePage::onUpdateClicked);
}

void ConsolePage::enter()
{
    link.setLiveChannelReports(false);
    link.setProductionDisplay(false);
}

void ConsolePage::retranslate()
{
    for (int i = 0; i < captionLabels.size(); ++i)
        captionLabels[i]->setText(tr(CaptionLabels[i].key));
    chooseFileButton->setText(tr("getfoile"));
    updateButton->setText(tr("updatefoile"));
    for (int row = 0; row < commandEdits.size(); ++row) {
        rollBoxes[row]->setAccessibleName(tr("Roll send row %1").arg(row + 1));
        addressEdits[row]->setAccessibleName(tr("Device address of row %1").arg(row + 1));
        commandEdits[row]->setAccessibleName(tr("Command of row %1").arg(row + 1));
        sendButtons[row]->setAccessibleName(tr("Send row %1").arg(row + 1));
    }
    rollSendBox->setAccessibleName(tr("Roll send the ticked rows"));
    rollIntervalEdit->setAccessibleName(tr("Roll interval in milliseconds"));
    portSelector->setAccessibleName(tr("Serial port"));
    updateAddressEdit->setAccessibleName(tr("Device address for the file update"));
    fileNameButton->setAccessibleName(tr("Chosen file"));
    progressPanel->retranslate();
    shellViews->retranslate();
    messageLabel->setText(updateMessage.text());
}

void ConsolePage::onResponse(const DecodedResponse &response)
{
    if (response.kind == Response::ShellText)
        shellViews->show(response.source, response.text);
}

void ConsolePage::onSendClicked(int row)
{
    if (controllerConnected())
        sendRow(row);
}

// The row is stored before anything is checked, so a refused command comes back at the
// next start as well.
void ConsolePage::sendRow(int row)
{
    if (row < 0 || row >= commandEdits.size())
        return;
    const QString command = commandEdits[row]->text();
    const QString address = addressEdits[row]->text();
    settings.write(rowKey("cmdLine", row), command);
    settings.write(rowKey("devAddr", row), address);
    const auto device = uint8_t(hexPairToByte(address));
    qDebug() << command << device;
    shellViews->addressed(device);
    link.sendShellText(command, device);
}

// An invalid interval changes nothing, whichever way the box was switched.
void ConsolePage::onRollSendToggled(int state)
{
    const int interval = rollIntervalEdit->text().toInt();
    if (interval < 1) {
        qDebug() << "rolltime need >= 0ms";
        return;
    }
    if (state == Qt::Unchecked) {
        rollTimer->stop();
        qDebug() << "Unchecked";
    } else if (state == Qt::Checked) {
        qDebug() << "Checked" << interval;
        rollTimer->start(interval);
        settings.write(QStringLiteral("rolltime"), QString::number(interval));
    }
}

void ConsolePage::sendTickedRows()
{
    for (int row = 0; row < rollBoxes.size(); ++row) {
        if (rollBoxes[row]->isChecked())
            sendRow(row);
    }
}

// A port shows its device name ("ttyACM0"); a path given with --device shows whole in its
// tooltip.
void ConsolePage::refillPortSelector()
{
    const QString selected = portSelector->currentData().toString();
    {
        const QSignalBlocker blocker(portSelector);
        portSelector->clear();
        for (const QString &name : link.portNames()) {
            portSelector->addItem(QFileInfo(name).fileName(), name);
            portSelector->setItemData(portSelector->count() - 1, name, Qt::ToolTipRole);
        }
    }
    selectPort(selected);
}

void ConsolePage::selectPort(const QString &name)
{
    const QSignalBlocker blocker(portSelector);
    portSelector->setCurrentIndex(portSelector->findData(name));
    portSelector->setToolTip(name);
}

void ConsolePage::onChooseFileClicked()
{
    const QString lastPath = settings.readOr(SettingFileKey, QString());
    updateFilePath = QFileDialog::getOpenFileName(this, tr("Open File"), lastPath, tr("Bin (*.bin *.cfg)"));
    showFileName(fileNameButton, updateFilePath);
    settings.write(SettingFileKey, updateFilePath);
}

// Runs the same upgrade procedure as the upgrade page, reporting to this page.
void ConsolePage::onUpdateClicked()
{
    if (!controllerConnected())
        return;
    UpgradeSession &upgrade = link.upgrade();
    if (upgrade.isFlagSet()) {
        QMessageBox::warning(this, tr("waring"), tr("other upgrade is doing"), QMessageBox::Yes);
        return;
    }
    // A stopped run stays inside its waits until its next acknowledgement; starting now
    // would close its file and take its target from it.
    if (upgrade.isRunning()) {
        showUpdateMessage({"ConsolePage", QT_TR_NOOP("other upgrade is doing")});
        return;
    }
    progressPanel->show();
    upgrade.start(updateFilePath, uint8_t(hexPairToByte(updateAddressEdit->text())), ConsoleRequester);
}

// Stops the running upgrade only when the stored "updateAddr" names its target; this row
// never stores that key itself.
void ConsolePage::onUpdateCloseClicked()
{
    progressPanel->hide();
    qDebug() << "slot_closeClicked";
    progressPanel->setProgress(1, 0);
    settings.write(QStringLiteral("haveOpenUpdataing"), QStringLiteral("0"));
    showUpdateMessage({});
    UpgradeSession &upgrade = link.upgrade();
    if (settings.read(QStringLiteral("updateAddr")) == QString::number(upgrade.target()))
        upgrade.requestStop();
}

void ConsolePage::onUpgradeMessage(int requester, const TextKey &text)
{
    if (requester == ConsoleRequester)
        showUpdateMessage(text);
}

void ConsolePage::showUpdateMessage(const TextKey &text)
{
    updateMessage = text;
    messageLabel->setText(text.text());
}

void ConsolePage::onUpgradeProgress(int requester, int maximum, int value)
{
    if (requester == ConsoleRequester)
        progressPanel->setProgress(maximum, value);
}
