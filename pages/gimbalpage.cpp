#include "gimbalpage.h"

#include "combostyle.h"
#include "devicelink.h"
#include "gimbalsubwidget.h"
#include "ipaddress.h"
#include "versiontext.h"

#include <QComboBox>
#include <QDebug>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace Koru;

namespace {

// Row labels by function index; the index is what the device exchanges.
const char *const FunctionKeys[GimbalFunctionCount] = {
    QT_TRANSLATE_NOOP("GimbalPage", "Gimbal Mode"), QT_TRANSLATE_NOOP("GimbalPage", " HDR"),
    QT_TRANSLATE_NOOP("GimbalPage", " REC"),        QT_TRANSLATE_NOOP("GimbalPage", " PIC"),
    QT_TRANSLATE_NOOP("GimbalPage", "Color Mode"),  QT_TRANSLATE_NOOP("GimbalPage", "Center"),
    QT_TRANSLATE_NOOP("GimbalPage", "Pitch"),       QT_TRANSLATE_NOOP("GimbalPage", "Yaw"),
    QT_TRANSLATE_NOOP("GimbalPage", "Focus"),       QT_TRANSLATE_NOOP("GimbalPage", "Zoom"),
    QT_TRANSLATE_NOOP("GimbalPage", "Auto Focus"),
};

constexpr int RowTop = 25;
constexpr int RowPitch = 25;
constexpr int QueryMs = 1000;

// The camera selectors' last entry "-" is never sent.
constexpr int MaxCameraSetting = 1;

QLabel *createLabel(QWidget *page, const char *objectName, const QRect &geometry)
{
    auto *label = new QLabel(page);
    label->setObjectName(QLatin1String(objectName));
    label->setGeometry(geometry);
    return label;
}

QComboBox *createCameraSelector(QWidget *page, const QStringList &entries, const QRect &geometry)
{
    auto *selector = new QComboBox(page);
    styleWhiteCombo(selector, 3);
    selector->setGeometry(geometry);
    selector->addItems(entries);
    return selector;
}

bool isCameraSetting(int index)
{
    return index >= 0 && index <= MaxCameraSetting;
}

} // namespace

GimbalPage::GimbalPage(DeviceLink &link, AppSettings &settings, QWidget *parent)
    : Page(link, settings, parent), queryTimer(new QTimer(this))
{
    channelConfigLabel = createLabel(this, "ch_config", {0, 4, 120, 16});
    channelConfigLabel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    for (int index = 0; index < GimbalFunctionCount; ++index) {
        auto *row = new GimbalSubWidget(this);
        row->move(2, RowTop + RowPitch * index);
        row->setId(index);
        connect(row, &GimbalSubWidget::sig_gimbalCTL_CH_Change, this, &GimbalPage::onFunctionChannelChanged);
        rows.append(row);
    }
    createCameraWidgets();
    connect(queryTimer, &QTimer::timeout, this, &GimbalPage::queryAll);
    connect(&link, &DeviceLink::responseReceived, this, &GimbalPage::onResponse);
}

// Right half: resolution, coding format, IP address and firmware version.
void GimbalPage::createCameraWidgets()
{
    cameraConfigLabel = createLabel(this, "camera_config", {500, 4, 120, 16});
    resolutionLabel = createLabel(this, "res", {500, 28, 64, 16});
    codingFormatLabel = createLabel(this, "code format", {470, 84, 96, 16});
    firmwareLabel = createLabel(this, "camera_fw_ver", {650, 4, 100, 16});
    firmwareValueLabel = createLabel(this, "camera_fw_ver_value", {712, 4, 100, 16});
    ipLabel = createLabel(this, "ip_set", {500, 56, 64, 16});
    firmwareValueLabel->setTextFormat(Qt::PlainText);

    resolutionSelector = createCameraSelector(
        this, {QStringLiteral("720P"), QStringLiteral("1080P"), QStringLiteral("-")}, {570, 25, 52, 20});
    codingFormatSelector = createCameraSelector(
        this, {QStringLiteral("H264"), QStringLiteral("H265"), QStringLiteral("-")}, {570, 80, 52, 20});
    // Only the user's pick is sent: a reported configuration only sets the selectors.
    connect(resolutionSelector, QOverload<int>::of(&QComboBox::activated), this, &GimbalPage::onResolutionChosen);
    connect(codingFormatSelector, QOverload<int>::of(&QComboBox::activated), this,
            &GimbalPage::onCodingFormatChosen);

    ipEdit = new QLineEdit(this);
    ipEdit->setGeometry(570, 52, 121, 20);
    saveIpButton = new QPushButton(this);
    saveIpButton->setObjectName(QStringLiteral("Confirm IP"));
    saveIpButton->setGeometry(700, 52, 70, 20);
    connect(saveIpButton, &QPushButton::clicked, this, &GimbalPage::onSaveIpClicked);
    clearReportedValues();
    connect(&link, &DeviceLink::connectionChanged, this, [this](bool connected) {
        if (!connected)
            clearReportedValues();
    });
    retranslate();
    // Shown until the first language change gives the caption of the chosen language.
    codingFormatLabel->setText(tr("编码格式"));
}

// The version value is device data, not a caption: a language change leaves it alone.
void GimbalPage::retranslate()
{
    for (int index = 0; index < rows.size(); ++index)
        rows[index]->setLabelText(tr(FunctionKeys[index]));
    channelConfigLabel->setText(tr("CH Config"));
    cameraConfigLabel->setText(tr("Camera Config"));
    resolutionLabel->setText(tr("Resolution"));
    codingFormatLabel->setText(tr("Coding Format"));
    firmwareLabel->setText(tr("FW VER:"));
    ipLabel->setText(tr("IP Config"));
    resolutionSelector->setAccessibleName(tr("Resolution"));
    codingFormatSelector->setAccessibleName(tr("Coding Format"));
    ipEdit->setAccessibleName(tr("IP Config"));
    firmwareValueLabel->setAccessibleDescription(tr("Camera firmware version"));
    saveIpButton->setText(tr("Save IP"));
}

// Entry: the periodic burst, then the camera state once more whether or not the camera's
// IP was already received.
void GimbalPage::enter()
{
    link.setLiveChannelReports(false);
    link.setProductionDisplay(false);
    queryAll();
    sendGimbal(CMD_ID_GET_CAMERA_CONFIG);
    sendGimbal(CMD_ID_GET_CAMERA_IP);
    sendGimbal(CMD_ID_GET_CAMERA_FW);
    queryTimer->start(QueryMs);
}

void GimbalPage::leave()
{
    queryTimer->stop();
}

void GimbalPage::queryAll()
{
    for (uint8_t function = 0; function < GimbalFunctionCount; ++function)
        sendGimbal(CMD_ID_GET_GIMBAL_CH, &function, 1);
    queryCamera();
}

// Configuration and IP are asked for only until the camera has reported its IP address.
void GimbalPage::queryCamera()
{
    if (!link.state().ipReceived) {
        sendGimbal(CMD_ID_GET_CAMERA_CONFIG);
        sendGimbal(CMD_ID_GET_CAMERA_IP);
    }
    sendGimbal(CMD_ID_GET_CAMERA_FW);
}

bool GimbalPage::sendGimbal(uint8_t commandId, const uint8_t *payload, int length)
{
    if (commandId == CMD_ID_SET_CAMERA_CONFIG)
        ++unansweredCameraSets;
    return link.send(GimbalSet, commandId, GimbalCameraId, payload, length);
}

void GimbalPage::onResponse(const DecodedResponse &response)
{
    const DeviceState &state = link.state();
    switch (response.kind) {
    case Response::GimbalChannel:
        if (response.index >= 0 && response.index < rows.size())
            rows[response.index]->setChannel(state.gimbalCtlCh[response.index]);
        break;
    case Response::CameraConfig:
        showCameraConfig();
        break;
    case Response::CameraConfigChanged:
        onCameraConfigChanged();
        break;
    case Response::CameraIp:
        ipEdit->setText(response.text);
        ipEdit->setEnabled(true);
        saveIpButton->setEnabled(true);
        break;
    case Response::CameraFirmware:
        firmwareValueLabel->setText(versionText(response.value));
        break;
    default:
        break;
    }
}

void GimbalPage::showCameraConfig()
{
    const DeviceState &state = link.state();
    resolutionSelector->setCurrentIndex(state.cameraResolution);
    codingFormatSelector->setCurrentIndex(state.cameraCodeFormat);
    resolutionSelector->setEnabled(true);
    codingFormatSelector->setEnabled(true);
}

// Until the gimbal and the camera report them, no value is shown and none can be written.
void GimbalPage::clearReportedValues()
{
    for (GimbalSubWidget *row : qAsConst(rows))
        row->clearChannel();
    for (QComboBox *selector : {resolutionSelector, codingFormatSelector}) {
        selector->setEnabled(false);
        selector->setCurrentIndex(-1);
    }
    ipEdit->setEnabled(false);
    ipEdit->clear();
    saveIpButton->setEnabled(false);
    firmwareValueLabel->setText(tr("-.-.-"));
}

void GimbalPage::onCameraConfigChanged()
{
    if (unansweredCameraSets == 0)
        return;
    --unansweredCameraSets;
    sendGimbal(CMD_ID_GET_CAMERA_CONFIG);
}

void GimbalPage::onFunctionChannelChanged(int function, uint8_t channel)
{
    const uint8_t payload[] = {uint8_t(function), channel};
    sendGimbal(CMD_ID_SET_GIMBAL_CH, payload, sizeof payload);
}

// "-" (and no entry at all, after a report outside the list) sends nothing.
void GimbalPage::onResolutionChosen(int index)
{
    if (!isCameraSetting(index))
        return;
    qDebug() << "slot_sendSetRes_CMD";
    const uint8_t payload[] = {uint8_t(index), link.state().cameraCodeFormat};
    sendGimbal(CMD_ID_SET_CAMERA_CONFIG, payload, sizeof payload);
}

void GimbalPage::onCodingFormatChosen(int index)
{
    if (!isCameraSetting(index))
        return;
    qDebug() << "slot_sendSetCodeFormat_CMD";
    const uint8_t payload[] = {link.state().cameraResolution, uint8_t(index)};
    sendGimbal(CMD_ID_SET_CAMERA_CONFIG, payload, sizeof payload);
}

void GimbalPage::onSaveIpClicked()
{
    if (!controllerConnected())
        return;
    const QString text = ipEdit->text();
    const QByteArray address = text.toLatin1(); // stays NUL-terminated for the check
    qDebug() << "ip:" << text << "len:" << address.size();
    if (!isValidIp(address.constData())) {
        qDebug() << "ip input error";
        return;
    }
    sendGimbal(CMD_ID_SET_CAMERA_IP, reinterpret_cast<const uint8_t *>(address.constData()), address.size());
}
