#include "upgradeengine.h"

#include "frame.h"
#include "protocolids.h"
#include "upgrademessages.h"

#include <QDebug>
#include <QFile>
#include <QScopedValueRollback>

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

UpgradeEngine::UpgradeEngine(UpgradeHost &host, DeviceState &state, QFile &file,
                             const UpgradeTimings &timings)
    : host(host), state(state), file(file), timings(timings)
{
}

UpgradeOutcome UpgradeEngine::run(const QString &fileName, uint8_t target)
{
    if (running) {
        qDebug() << "upgrade running, second start refused";
        return UpgradeOutcome::Busy;
    }
    if (!openFile(fileName)) {
        qDebug() << "upgrade error";
        return *fail(UpgradeOutcome::FileError, 0, tr("file open error"));
    }
    // Read whole, so that a pipe or a file that grows sends what its checksum covers.
    file.seek(0);
    return run(file.readAll(), target);
}

UpgradeOutcome UpgradeEngine::run(const QByteArray &bytes, uint8_t target)
{
    // A nested run (a re-plugged device, a row started after a stop) would share the
    // file and the answers with this one.
    if (running) {
        qDebug() << "upgrade running, second start refused";
        return UpgradeOutcome::Busy;
    }
    const QScopedValueRollback<bool> runningScope(running, true);
    this->target = target;
    host.setUpdating(false);
    stopRequested = false;
    if (!takeImage(bytes))
        return *fail(UpgradeOutcome::NotCarriable, 0, tr("file too large"));
    if (Failure failure = start())
        return *failure;
    if (Failure failure = enterBootLoader())
        return *failure;
    const PacketPlan plan(fileSize, state.onePackSize);
    if (Failure failure = checkPackets(plan))
        return *failure;
    if (Failure failure = sendPackets(plan))
        return *failure;
    return end(plan);
}

void UpgradeEngine::requestStop()
{
    const bool updating = host.isUpdating();
    qDebug() << "slot_stopUpFile " << updating << "isStopUp==" << stopRequested;
    stopRequested = updating;
    host.setUpdating(false);
}

void UpgradeEngine::finish()
{
    endRun(false);
}

void UpgradeEngine::endRun(bool keepUpdating)
{
    qDebug() << "slot_endUpFile error ==>end endUpFile";
    if (!keepUpdating)
        host.setUpdating(false);
    stopRequested = false;
    file.close();
}

// An empty name is an open failure: there is no fallback path to try.
bool UpgradeEngine::openFile(const QString &fileName)
{
    if (file.isOpen())
        return true;
    if (fileName.isEmpty())
        return false;
    file.setFileName(fileName);
    return file.open(QIODevice::ReadOnly);
}

// Takes the size and the checksum; false for an image no packet size could carry.
bool UpgradeEngine::takeImage(const QByteArray &bytes)
{
    if (bytes.size() > qint64(MaxPacketCount) * MaxPacketSize)
        return false;
    image = bytes;
    fileSize = uint32_t(image.size());
    qDebug() << "readfilesize =" << image.size() << fileSize;
    byteSum(reinterpret_cast<const uint8_t *>(image.constData()), size_t(image.size()), &checksum);
    qDebug() << "checksum1=" << checksum;
    return true;
}

UpgradeEngine::Failure UpgradeEngine::fail(UpgradeOutcome outcome, int code, const QString &text)
{
    host.showMessage(code, text);
    finish();
    return outcome;
}

UpgradeEngine::Failure UpgradeEngine::conclude(StepAnswer answer, const char *logText)
{
    switch (answer) {
    case StepAnswer::Accepted:
        return {};
    case StepAnswer::DeviceLost:
        finish();
        return UpgradeOutcome::DeviceLost;
    case StepAnswer::TimedOut:
        state.upgErrorCode = GeneralErrorCode;
        break;
    case StepAnswer::Refused:
        break;
    }
    const int code = state.upgErrorCode;
    qDebug() << logText << "getLastError=" << takeUpgradeErrorStage(state) << code;
    return fail(answer == StepAnswer::Refused ? UpgradeOutcome::Refused : UpgradeOutcome::TimedOut, code);
}

bool UpgradeEngine::sendStart()
{
    QByteArray payload(4, '\0');
    writeU32(reinterpret_cast<uint8_t *>(payload.data()), fileSize);
    return host.sendCommand(CMD_ID_UPGRADE_START, payload, target);
}

bool UpgradeEngine::sendEnd()
{
    return host.sendCommand(CMD_ID_UPGRADE_END, u32Pair(fileSize, checksum), target);
}

UpgradeEngine::Failure UpgradeEngine::start()
{
    state.upgErrorCode = 0;
    // Only a start answer sets a mode, so a late answer of an earlier run cannot pass.
    state.upgMode = 0;
    state.upgAckFlag = false;
    state.upgStartAnswered = false;
    if (!sendStart())
        qDebug() << "sendCmd start upgrade error";
    const auto accepted = [this] { return state.upgMode != 0; };
    const auto resend = [this] {
        qDebug() << "start upgrade again";
        sendStart();
    };
    const StepAnswer answer = awaitStepAnswer(host, state, timings.start, accepted, resend);
    if (answer == StepAnswer::TimedOut && !state.upgStartAnswered) {
        // Most likely no such device behind the controller: its host may say so.
        qDebug() << "start upgrade: no answer from" << target;
        state.upgErrorCode = GeneralErrorCode;
        return fail(UpgradeOutcome::NoAnswer, GeneralErrorCode);
    }
    return conclude(answer, "start upgrade error");
}

UpgradeEngine::Failure UpgradeEngine::enterBootLoader()
{
    host.setUpdating(true);
    if (state.upgMode != ApplicationMode)
        return {};
    qDebug() << "APPmode == send reset cmd";
    if (target == RemoteControllerId) {
        // The controller restarts into its boot loader and comes back on the port; the
        // flag stays set so that its return resumes the upgrade.
        qDebug() << "update mode auto insert usb ing...";
        endRun(true);
        return UpgradeOutcome::Restarting;
    }
    // A module restarts into its boot loader behind the controller, whose port stays. Its
    // application announced no packet size and would drop the data: the start is repeated
    // until the boot loader answers it.
    host.showNotice(tr("restarting into boot loader"));
    state.upgMode = 0;
    const auto fromBootLoader = [this] { return state.upgMode == BootLoaderMode; };
    const auto resend = [this] {
        qDebug() << "start upgrade again, waiting for the boot loader";
        sendStart();
    };
    return conclude(awaitStepAnswer(host, state, timings.restart, fromBootLoader, resend),
                    "boot loader start error");
}

UpgradeEngine::Failure UpgradeEngine::checkPackets(const PacketPlan &plan)
{
    qDebug() << "onePackSize = " << state.onePackSize;
    switch (plan.fit()) {
    case PacketPlan::Fit::Ok:
        qDebug() << "lastNum=" << plan.lastNum() << "fileSize" << fileSize;
        return {};
    case PacketPlan::Fit::NoPacketSize:
        qDebug() << "onePackSize <=0 error";
        return fail(UpgradeOutcome::NoPacketSize, 0, tr("no packet size"));
    case PacketPlan::Fit::PacketTooLarge:
        return fail(UpgradeOutcome::NotCarriable, 0, tr("packet size too large"));
    case PacketPlan::Fit::TooManyPackets:
        break;
    }
    return fail(UpgradeOutcome::NotCarriable, 0, tr("file too large"));
}

UpgradeEngine::Failure UpgradeEngine::sendPackets(const PacketPlan &plan)
{
    for (uint32_t packet = 0;; ++packet) {
        if (Failure failure = sendPacket(plan, packet))
            return failure;
        if (packet == plan.lastNum())
            return {};
        host.showProgress(int(plan.lastNum()), int(packet));
        if (stopRequested) {
            qDebug() << "isStopUp" << true;
            host.showProgress(1, 0);
            finish();
            return UpgradeOutcome::Stopped;
        }
    }
}

UpgradeEngine::Failure UpgradeEngine::sendPacket(const PacketPlan &plan, uint32_t packet)
{
    const int length = plan.length(packet);
    QByteArray payload(2, '\0');
    writeU16(reinterpret_cast<uint8_t *>(payload.data()), uint16_t(packet));
    payload.append(image.constData() + plan.offset(packet), length);

    state.upgErrorCode = 0;
    // Any value but this packet's number, so that only its own acknowledgement matches.
    state.upgAckIndex = uint16_t(packet - 1);
    if (!host.sendCommand(CMD_ID_UPGRADE_DATA, payload, target)) {
        state.upgErrorCode = GeneralErrorCode;
        qDebug() << "upgrade error";
        return fail(UpgradeOutcome::SendFailed, GeneralErrorCode);
    }
    const auto accepted = [this, packet] {
        if (state.upgAckIndex == uint16_t(packet))
            return true;
        qDebug() << "upgrade getUpdataACK Repeat= " << state.upgAckIndex;
        return false;
    };
    const auto resend = [this, packet, &payload] {
        qDebug() << "upgrade getUpdataACK ========== == i=" << packet;
        host.sendCommand(CMD_ID_UPGRADE_DATA, payload, target);
    };
    return conclude(awaitStepAnswer(host, state, timings.data, accepted, resend), "upgrade error");
}

UpgradeOutcome UpgradeEngine::end(const PacketPlan &plan)
{
    host.showProgress(100, 99);
    // Late answers to the start or to a resent packet raise the same flag; only the end
    // confirmation leaves the mode and the acknowledged packet number as set here.
    const uint16_t noPacket = uint16_t(plan.lastNum() + 1);
    const auto markUnanswered = [this, noPacket] {
        state.upgMode = 0;
        state.upgAckIndex = noPacket;
    };
    markUnanswered();
    if (!sendEnd()) {
        qDebug() << "upgrade error";
        finish();
        return UpgradeOutcome::SendFailed;
    }
    const auto accepted = [this, noPacket, &markUnanswered] {
        const bool confirmed = state.upgMode == 0 && state.upgAckIndex == noPacket;
        markUnanswered();
        return confirmed;
    };
    const auto resend = [this] {
        qDebug() << "upgrade end cmd again";
        sendEnd();
    };
    if (Failure failure = conclude(awaitStepAnswer(host, state, timings.end, accepted, resend), "upgrade end error"))
        return *failure;
    qDebug() << "升级完成==>发送reset命令";
    host.showProgress(100, 100);
    host.showMessage(0, tr("upgred ok "));
    if (!host.sendCommand(CMD_ID_RESET, {}, target))
        qDebug() << "reset error";
    finish();
    return UpgradeOutcome::Succeeded;
}

} // namespace Koru
