#include "mainwindow.h"

#include "protocolids.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

using namespace Koru;

namespace {

// Steps of the begin button.
enum CaliStep { StepPrompt = 0, StepStart = 1, StepFinish = 2 };

// Calibration requests: a fixed first byte, then the action.
constexpr uint8_t CaliRequest = 0x01;
enum CaliAction : uint8_t { CaliQuery = 0x00, CaliStart = 0x01, CaliFinish = 0x02 };

// Calibration states the device reports in byte 1 of its status; byte 2 flags a failure.
enum CaliState : uint8_t { StateIdle = 0, StateCentre = 1, StateExtremes = 2, StateComplete = 3 };
constexpr int StateByte = 1;
constexpr int ErrorByte = 2;

constexpr int CaliPollMs = 300;

const char *const CaliStepKeys[] = {
    QT_TRANSLATE_NOOP("MainWindow", "calistart"),
    QT_TRANSLATE_NOOP("MainWindow", "next"),
    QT_TRANSLATE_NOOP("MainWindow", "caliEnd"),
};

} // namespace

// Prompt, begin and reset buttons in the lower right corner of the channel page.
void MainWindow::initCalibrationControls()
{
    caliLabel = new QLabel(channelPage);
    caliLabel->setGeometry(581, 346, 250, 30);
    caliLabel->setWordWrap(true);
    caliLabel->setAlignment(Qt::AlignCenter);

    beginCaliButton = new QPushButton(channelPage);
    beginCaliButton->setObjectName(QStringLiteral("beginCali"));
    beginCaliButton->setGeometry(640, 376, 132, 42);
    beginCaliButton->setFocusPolicy(Qt::NoFocus);
    connect(beginCaliButton, &QPushButton::clicked, this, &MainWindow::slot_beginCaliClieked);

    resetCaliButton = new QPushButton(channelPage);
    resetCaliButton->setObjectName(QStringLiteral("resetCali"));
    resetCaliButton->setGeometry(620, 420, 200, 20);
    resetCaliButton->setFocusPolicy(Qt::NoFocus);
    connect(resetCaliButton, &QPushButton::clicked, this, &MainWindow::slot_resetCaliClieked);
}

void MainWindow::updateCaliButtons()
{
    if (caliStep >= StepPrompt && caliStep <= StepFinish)
        beginCaliButton->setText(tr(CaliStepKeys[caliStep]));
    resetCaliButton->setText(tr("Defaultallchannels"));
}

void MainWindow::slot_beginCaliClieked()
{
    switch (caliStep) {
    case StepPrompt:
        caliStep = StepStart;
        updateCaliButtons();
        caliLabel->setText(tr("zhunbei"));
        break;
    case StepStart:
        // Without the start command on the wire the user simply clicks again.
        if (!sendCaliStart())
            return;
        caliStatusTimer->start(CaliPollMs);
        caliStep = StepFinish;
        updateCaliButtons();
        beginCaliButton->hide();
        break;
    case StepFinish:
        sendCaliFinish();
        caliStep = StepPrompt;
        updateCaliButtons();
        break;
    default:
        break;
    }
}

bool MainWindow::sendCaliStart()
{
    return sendCaliCmd(CaliStart);
}

bool MainWindow::sendCaliFinish()
{
    return sendCaliCmd(CaliFinish);
}

void MainWindow::slot_sendCaliStatusCmd()
{
    sendCaliCmd(CaliQuery);
}

bool MainWindow::sendCaliCmd(uint8_t action)
{
    const uint8_t payload[] = {CaliRequest, action};
    return sendCmd(payload, sizeof payload, RemoteControllerSet, CMD_ID_CALIBRATION, RemoteControllerId);
}

void MainWindow::updateCaliUI()
{
    switch (state.caliStatus[StateByte]) {
    case StateIdle:
        caliLabel->setText(tr("weikaishi"));
        break;
    case StateCentre:
        caliLabel->setText(tr("zhonwei"));
        break;
    case StateExtremes:
        caliLabel->setText(tr("zuidazhi"));
        beginCaliButton->show();
        break;
    case StateComplete:
        caliLabel->setText(tr("wanc"));
        caliStatusTimer->stop();
        break;
    default:
        break;
    }
    if (state.caliStatus[ErrorByte] != 0)
        caliLabel->setText(tr("返回收据错误 校准失败"));
}

void MainWindow::updateCaliLabel(const QString &str)
{
    caliLabel->setText(str);
}
