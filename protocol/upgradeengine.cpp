#include "upgradeengine.h"

#include "frame.h"
#include "protocolids.h"
#include "upgrademessages.h"

#include <QDebug>
#include <QFile>

#include <algorithm>
#include <utility>

namespace Koru {
namespace {

constexpr uint8_t BootLoaderMode = 1;
constexpr uint8_t ApplicationMode = 2;
// The code of the general upgrade error ("msgerror1"): time-outs and failed sends.
constexpr int8_t GeneralErrorCode = -1;

QByteArray u32Pair(uint32_t first, uint32_t second)
{
    QByteArray payload(8, '\0');
    auto *bytes = reinterpret_cast<uint8_t *>(payload.data());
    writeU32(bytes, first);
    writeU32(bytes + 4, second);
    return payload;
}

} // namespace

UpgradeEngine::UpgradeEngine(UpgradeHost &host, DeviceState &state, const UpgradeTimings &timings)
    : host(host), state(state), timings(timings)
{
}

// An empty name is an open failure: there is no fallback path to try.
bool UpgradeEngine::start(const QString &fileName, uint8_t newTarget)
{
    if (refusesSecondRun())
        return false;
    QFile file(fileName);
    if (!fileName.isEmpty() && file.open(QIODevice::ReadOnly))
        return start(file.readAll(), newTarget);
    beginRun(newTarget);
    qDebug() << "upgrade error";
    fail(UpgradeOutcome::FileError, 0, QT_TR_NOOP("file open error"));
    return true;
}

bool UpgradeEngine::start(const QByteArray &newImage, uint8_t newTarget)
{
    if (refusesSecondRun())
        return false;
    beginRun(newTarget);
    if (newImage.isEmpty()) {
        // An empty image would end in a confirmed end command with nothing written.
        fail(UpgradeOutcome::FileError, 0, QT_TR_NOOP("file is empty"));
    } else if (!takeImage(newImage)) {
        fail(UpgradeOutcome::NotCarriable, 0, QT_TR_NOOP("file too large"));
    } else {
        state.upgStartAnswered = false;
        if (!sendStart())
            qDebug() << "sendCmd start upgrade error";
        beginStep(Step::Start);
    }
    return true;
}

void UpgradeEngine::requestStop()
{
    const bool updating = host.isUpdating();
    qDebug() << "slot_stopUpFile " << updating << "isStopUp==" << stopRequested;
    stopRequested = updating;
    host.setUpdating(false);
}

// A second run (a re-plugged device, a row started after a stop) would share the image and
// the answers with the one going on.
bool UpgradeEngine::refusesSecondRun() const
{
    if (isRunning())
        qDebug() << "upgrade running, second start refused";
    return isRunning();
}

void UpgradeEngine::beginRun(uint8_t newTarget)
{
    step = Step::Start;
    target = newTarget;
    stopRequested = false;
    ignoredAnswers = 0;
    host.setUpdating(false);
}

// Takes the image, its size and its checksum; false for one no packet size could carry.
bool UpgradeEngine::takeImage(const QByteArray &bytes)
{
    if (bytes.size() > qint64(MaxPacketCount) * MaxPacketSize)
        return false;
    image = bytes;
    qDebug() << "readfilesize =" << image.size();
    byteSum(reinterpret_cast<const uint8_t *>(image.constData()), size_t(image.size()), &checksum);
    qDebug() << "checksum1=" << checksum;
    return true;
}

bool UpgradeEngine::sendStart()
{
    QByteArray payload(4, '\0');
    writeU32(reinterpret_cast<uint8_t *>(payload.data()), imageSize());
    return host.sendCommand(CMD_ID_UPGRADE_START, payload, target);
}

bool UpgradeEngine::sendEnd()
{
    return host.sendCommand(CMD_ID_UPGRADE_END, u32Pair(imageSize(), checksum), target);
}

// The step's command has just been sent.
void UpgradeEngine::beginStep(Step next)
{
    step = next;
    const UpgradeStepTimes *times = &timings.start;
    if (next == Step::Restart)
        times = &timings.restart;
    else if (next == Step::Data)
        times = &timings.data;
    else if (next == Step::End)
        times = &timings.end;
    wait.begin(*times, host.clockMs());
    host.wakeAt(wait.nextDue());
}

uint8_t UpgradeEngine::awaitedCommand() const
{
    switch (step) {
    case Step::Data:
        return CMD_ID_UPGRADE_DATA;
    case Step::End:
        return CMD_ID_UPGRADE_END;
    default:
        return CMD_ID_UPGRADE_START;
    }
}

const char *UpgradeEngine::failureLogText() const
{
    switch (step) {
    case Step::Restart:
        return "boot loader start error";
    case Step::Data:
        return "upgrade error";
    case Step::End:
        return "upgrade end error";
    default:
        return "start upgrade error";
    }
}

void UpgradeEngine::answerReceived(uint8_t commandId)
{
    // Each answer is taken alone: the next one stores into the same members.
    const bool positive = std::exchange(state.upgAckFlag, false);
    const int code = std::exchange(state.upgErrorCode, int8_t(0));
    if (!isRunning())
        return;
    if (commandId != awaitedCommand()) {
        ignore(commandId);
        return;
    }
    if (code < 0) {
        qDebug() << failureLogText() << "getLastError=" << takeUpgradeErrorStage(state) << code;
        fail(UpgradeOutcome::Refused, code);
        return;
    }
    // Any other refusing status leaves the step repeating its command until its time-out.
    if (!positive)
        return;
    switch (step) {
    case Step::Start:
        startAccepted();
        break;
    case Step::Restart:
        if (state.upgMode == BootLoaderMode)
            beginTransfer();
        break;
    case Step::Data:
        packetAcknowledged(state.upgAckIndex);
        break;
    case Step::End:
        succeed();
        break;
    case Step::Idle:
        break;
    }
}

void UpgradeEngine::timerExpired()
{
    if (!isRunning())
        return;
    const qint64 now = host.clockMs();
    if (wait.givenUp(now)) {
        timeOut();
        return;
    }
    if (wait.takeResend(now))
        resend();
    if (wait.takePresenceTest(now) && !host.devicePresent()) {
        finishRun(UpgradeOutcome::DeviceLost);
        return;
    }
    host.wakeAt(wait.nextDue());
}

void UpgradeEngine::resend()
{
    switch (step) {
    case Step::Start:
        qDebug() << "start upgrade again";
        sendStart();
        break;
    case Step::Restart:
        qDebug() << "start upgrade again, waiting for the boot loader";
        sendStart();
        break;
    case Step::Data:
        qDebug() << "upgrade getUpdataACK ========== == i=" << packet;
        host.sendCommand(CMD_ID_UPGRADE_DATA, packetPayload, target);
        break;
    case Step::End:
        qDebug() << "upgrade end cmd again";
        sendEnd();
        break;
    case Step::Idle:
        break;
    }
}

void UpgradeEngine::timeOut()
{
    if (step == Step::Start && !state.upgStartAnswered) {
        // Most likely no such device behind the controller: its host may say so.
        qDebug() << "start upgrade: no answer from" << target;
        fail(UpgradeOutcome::NoAnswer, GeneralErrorCode);
        return;
    }
    qDebug() << failureLogText() << "getLastError=" << takeUpgradeErrorStage(state) << GeneralErrorCode;
    fail(UpgradeOutcome::TimedOut, GeneralErrorCode);
}

// An answer that belongs to no waiting step (a repeated or stray acknowledgement, a late
// answer to a repeated start) changes nothing. The first of a run is logged, and how many
// there were when the run ends.
void UpgradeEngine::ignore(uint8_t commandId)
{
    if (ignoredAnswers++ > 0)
        return;
    if (commandId == CMD_ID_UPGRADE_DATA)
        qDebug() << "upgrade getUpdataACK Repeat= " << state.upgAckIndex;
    else
        qDebug() << "upgrade answer out of turn ignored:" << commandId;
}

void UpgradeEngine::startAccepted()
{
    host.setUpdating(true);
    if (state.upgMode != ApplicationMode) {
        beginTransfer();
        return;
    }
    qDebug() << "APPmode == send reset cmd";
    if (target == RemoteControllerId) {
        // The controller restarts into its boot loader and comes back on the port; the
        // flag stays set so that its return resumes the upgrade.
        qDebug() << "update mode auto insert usb ing...";
        finishRun(UpgradeOutcome::Restarting, true);
        return;
    }
    // A module restarts into its boot loader behind the controller, whose port stays. Its
    // application announced no packet size and would drop the data: the start is repeated
    // until the boot loader answers it.
    host.showNotice(QT_TR_NOOP("restarting into boot loader"));
    beginStep(Step::Restart);
}

void UpgradeEngine::beginTransfer()
{
    qDebug() << "onePackSize = " << state.onePackSize;
    plan = PacketPlan(imageSize(), state.onePackSize);
    switch (plan.fit()) {
    case PacketPlan::Fit::Ok:
        qDebug() << "lastNum=" << plan.lastNum() << "fileSize" << imageSize();
        sendPacket(0);
        return;
    case PacketPlan::Fit::NoPacketSize:
        qDebug() << "onePackSize <=0 error";
        fail(UpgradeOutcome::NoPacketSize, 0, QT_TR_NOOP("no packet size"));
        return;
    case PacketPlan::Fit::PacketTooLarge:
        fail(UpgradeOutcome::NotCarriable, 0, QT_TR_NOOP("packet size too large"));
        return;
    case PacketPlan::Fit::TooManyPackets:
        fail(UpgradeOutcome::NotCarriable, 0, QT_TR_NOOP("file too large"));
        return;
    }
}

void UpgradeEngine::sendPacket(uint32_t number)
{
    packet = number;
    const int length = plan.length(number);
    packetPayload.resize(2 + length);
    writeU16(reinterpret_cast<uint8_t *>(packetPayload.data()), uint16_t(number));
    std::copy_n(image.constData() + plan.offset(number), length, packetPayload.data() + 2);
    if (!host.sendCommand(CMD_ID_UPGRADE_DATA, packetPayload, target)) {
        qDebug() << "upgrade error";
        fail(UpgradeOutcome::SendFailed, GeneralErrorCode);
        return;
    }
    beginStep(Step::Data);
}

// Only the acknowledgement of the packet that waits counts: one of a packet acknowledged
// before, or of one never sent, changes nothing.
void UpgradeEngine::packetAcknowledged(uint16_t number)
{
    if (number != uint16_t(packet)) {
        ignore(CMD_ID_UPGRADE_DATA);
        return;
    }
    if (packet == plan.lastNum()) {
        beginEnd();
        return;
    }
    host.showProgress(int(plan.lastNum()), int(packet));
    if (stopRequested) {
        qDebug() << "isStopUp" << true;
        host.showProgress(1, 0);
        finishRun(UpgradeOutcome::Stopped);
        return;
    }
    sendPacket(packet + 1);
}

void UpgradeEngine::beginEnd()
{
    host.showProgress(100, 99);
    if (!sendEnd()) {
        qDebug() << "upgrade error";
        finishRun(UpgradeOutcome::SendFailed);
        return;
    }
    beginStep(Step::End);
}

// Only the device's positive answer to the end command is a success.
void UpgradeEngine::succeed()
{
    qDebug() << "升级完成==>发送reset命令";
    host.showProgress(100, 100);
    host.showMessage(0, QT_TR_NOOP("upgred ok "));
    if (!host.sendCommand(CMD_ID_RESET, {}, target))
        qDebug() << "reset error";
    finishRun(UpgradeOutcome::Succeeded);
}

void UpgradeEngine::fail(UpgradeOutcome outcome, int code, const char *key)
{
    host.showMessage(code, key);
    finishRun(outcome);
}

// Common end of every run.
void UpgradeEngine::finishRun(UpgradeOutcome outcome, bool keepUpdating)
{
    step = Step::Idle;
    qDebug() << "slot_endUpFile error ==>end endUpFile";
    if (!keepUpdating)
        host.setUpdating(false);
    stopRequested = false;
    image.clear();
    if (ignoredAnswers > 0)
        qDebug() << "upgrade answers ignored:" << ignoredAnswers;
    host.runEnded(outcome);
}

} // namespace Koru
