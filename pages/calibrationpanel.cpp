#include "calibrationpanel.h"

#include "devicelink.h"
#include "protocolids.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

using namespace Koru;

namespace {

// Calibration requests: a fixed first byte, then the action. Plain enums: lupdate loses the
// class context of the functions that follow an enum with a base type.
constexpr uint8_t CalibrationRequest = 0x01;
enum Action { Query = 0x00, StartAction = 0x01, FinishAction = 0x02 };

// Calibration states the device reports in byte 1 of its status; byte 2 flags a failure.
enum State { Idle = 0, Centre = 1, Extremes = 2, Complete = 3 };
constexpr int StateByte = 1;
constexpr int ErrorByte = 2;

constexpr int StatusPollMs = 300;

const char *const StepKeys[] = {
    QT_TRANSLATE_NOOP("CalibrationPanel", "calistart"),
    QT_TRANSLATE_NOOP("CalibrationPanel", "next"),
    QT_TRANSLATE_NOOP("CalibrationPanel", "caliEnd"),
};

} // namespace

// Placed at (581, 342) of the channel page.
CalibrationPanel::CalibrationPanel(DeviceLink &link, QWidget *parent)
    : QWidget(parent)
    , link(link)
    , promptLabel(new QLabel(this))
    , beginButton(new QPushButton(this))
    , defaultButton(new QPushButton(this))
    , statusTimer(new QTimer(this))
{
    setGeometry(581, 342, 250, 98);
    // Two lines of prompt with a little air above the button.
    promptLabel->setGeometry(0, 0, 250, 32);
    promptLabel->setWordWrap(true);
    promptLabel->setAlignment(Qt::AlignCenter);

    beginButton->setObjectName(QStringLiteral("beginCali"));
    beginButton->setGeometry(59, 34, 132, 42);
    connect(beginButton, &QPushButton::clicked, this, &CalibrationPanel::onBeginCalibrationClicked);

    defaultButton->setObjectName(QStringLiteral("resetCali"));
    defaultButton->setGeometry(39, 78, 200, 20);
    connect(defaultButton, &QPushButton::clicked, this, [this] {
        if (this->link.isOpen())
            emit defaultAllChannelsClicked();
        else
            showPrompt(QT_TR_NOOP("The remote controller is not connected. Plug it in by USB first."));
    });

    connect(statusTimer, &QTimer::timeout, this, [this] { sendCalibration(Query); });
    connect(&link, &DeviceLink::responseReceived, this, &CalibrationPanel::onResponse);
}

void CalibrationPanel::retranslate()
{
    beginButton->setText(tr(StepKeys[step]));
    defaultButton->setText(tr("Defaultallchannels"));
    if (promptKey)
        promptLabel->setText(tr(promptKey));
}

void CalibrationPanel::showPrompt(const char *key)
{
    promptKey = key;
    promptLabel->setText(tr(key));
}

void CalibrationPanel::onBeginCalibrationClicked()
{
    switch (step) {
    case Prompt:
        step = Start;
        retranslate();
        showPrompt(QT_TR_NOOP("zhunbei"));
        break;
    case Start:
        // Without the start command on the wire the step stays, and the user is told why.
        if (!sendCalibration(StartAction)) {
            showPrompt(QT_TR_NOOP("The remote controller is not connected. Plug it in by USB and click again."));
            return;
        }
        statusTimer->start(StatusPollMs);
        step = Finish;
        retranslate();
        beginButton->hide();
        break;
    case Finish:
        sendCalibration(FinishAction);
        step = Prompt;
        retranslate();
        break;
    }
}

bool CalibrationPanel::sendCalibration(uint8_t action)
{
    const uint8_t payload[] = {CalibrationRequest, action};
    return link.send(RemoteControllerSet, CMD_ID_CALIBRATION, RemoteControllerId, payload, sizeof payload);
}

void CalibrationPanel::onResponse(const DecodedResponse &response)
{
    if (response.kind == Response::CalibrationStatus)
        showStatus();
}

void CalibrationPanel::showStatus()
{
    const uint8_t *status = link.state().caliStatus;
    switch (status[StateByte]) {
    case Idle:
        showPrompt(QT_TR_NOOP("weikaishi"));
        break;
    case Centre:
        showPrompt(QT_TR_NOOP("zhonwei"));
        break;
    case Extremes:
        showPrompt(QT_TR_NOOP("zuidazhi"));
        beginButton->show();
        break;
    case Complete:
        showPrompt(QT_TR_NOOP("wanc"));
        statusTimer->stop();
        break;
    default:
        break;
    }
    if (status[ErrorByte] != 0)
        showPrompt(QT_TR_NOOP("返回收据错误 校准失败"));
}
