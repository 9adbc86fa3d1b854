#pragma once

#include "devicestate.h"
#include "upgradehost.h"
#include "upgradepackets.h"
#include "upgradewait.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

namespace Koru {

// The firmware upgrade: announces the file, sends it packet by packet with
// acknowledgements, sends size and checksum, and resets the device. A state machine: the
// host hands it each decoded upgrade answer and wakes it for repetitions, time-outs and
// presence tests, and the next packet leaves from the handler of the last one's
// acknowledgement. Nothing in it waits.
class UpgradeEngine
{
    Q_DECLARE_TR_FUNCTIONS(UpgradeEngine)

public:
    UpgradeEngine(UpgradeHost &host, DeviceState &state, const UpgradeTimings &timings = {});

    // Starts a run and returns; the host hears how it ended through runEnded(), which may
    // come before start() returns. False, with nothing touched, while a run is going on.
    // The file is read whole first, so what is sent is what the size and checksum cover.
    bool start(const QString &fileName, uint8_t target);
    // The same with an image its caller has read (a pipe, a checked file).
    bool start(const QByteArray &image, uint8_t target);
    // The receive path has just stored one answer to commandId (start, data or end) in the
    // device state.
    void answerReceived(uint8_t commandId);
    // The wake-up the engine asked for with UpgradeHost::wakeAt().
    void timerExpired();
    // Takes effect after the next acknowledged packet, and only once the device has
    // accepted the start command.
    void requestStop();

    bool isRunning() const { return step != Step::Idle; }
    void setTimings(const UpgradeTimings &newTimings) { timings = newTimings; }

private:
    enum class Step { Idle, Start, Restart, Data, End };

    bool refusesSecondRun() const;
    void beginRun(uint8_t newTarget);
    uint32_t imageSize() const { return uint32_t(image.size()); }
    bool takeImage(const QByteArray &bytes);
    bool sendStart();
    bool sendEnd();

    void beginStep(Step next);
    uint8_t awaitedCommand() const;
    const char *failureLogText() const;
    void resend();
    void timeOut();
    void ignore(uint8_t commandId);

    void startAccepted();
    void beginTransfer();
    void sendPacket(uint32_t number);
    void packetAcknowledged(uint16_t number);
    void beginEnd();
    void succeed();

    void fail(UpgradeOutcome outcome, int code, const char *key = nullptr);
    void finishRun(UpgradeOutcome outcome, bool keepUpdating = false);

    UpgradeHost &host;
    DeviceState &state;
    UpgradeTimings timings;
    Step step = Step::Idle;
    StepWait wait;
    bool stopRequested = false;
    uint8_t target = 0;
    QByteArray image;
    uint32_t checksum = 0;
    PacketPlan plan{0, 0};
    uint32_t packet = 0;       // the packet waiting for its acknowledgement
    QByteArray packetPayload;  // its number and bytes, kept for repetitions
    int ignoredAnswers = 0;    // answers of this run that belonged to no waiting step
};

} // namespace Koru
