#pragma once

#include "devicestate.h"
#include "upgradehost.h"
#include "upgradepackets.h"
#include "upgradewait.h"

#include <QCoreApplication>
#include <QString>

#include <optional>

class QFile;

namespace Koru {

enum class UpgradeOutcome {
    Succeeded,    // the device confirmed the end command; the reset was sent
    Busy,         // another run is still inside its waits; nothing was touched
    FileError,    // the file could not be opened
    Refused,      // the device answered with a negative status
    NotCarriable, // packet size above 253 or more than 65536 packets
    NoPacketSize, // the boot loader announced packet size 0
    Restarting,   // the controller restarts into its boot loader and resumes by itself
    NoAnswer,     // the device never answered the start command
    TimedOut,     // an answer did not come in time, or came without the step's result
    SendFailed,
    DeviceLost,
    Stopped,
};

// The firmware upgrade: announces the file, sends it packet by packet with
// acknowledgements, sends size and checksum, and resets the device. Runs synchronously
// on the caller's thread; the host's wait keeps its events flowing, so the user can ask
// for a stop meanwhile.
class UpgradeEngine
{
    Q_DECLARE_TR_FUNCTIONS(UpgradeEngine)

public:
    // file is opened by run() unless it is already open, and closed by finish().
    UpgradeEngine(UpgradeHost &host, DeviceState &state, QFile &file, const UpgradeTimings &timings = {});

    UpgradeOutcome run(const QString &fileName, uint8_t target);
    // The same with an image its caller has read already (a pipe, a checked file).
    UpgradeOutcome run(const QByteArray &bytes, uint8_t target);
    // Takes effect after the next acknowledged packet, and only once the device has
    // accepted the start command.
    void requestStop();
    // Common end of every run.
    void finish();

    bool isRunning() const { return running; }
    void setTimings(const UpgradeTimings &newTimings) { timings = newTimings; }

private:
    using Failure = std::optional<UpgradeOutcome>;

    void endRun(bool keepUpdating);
    bool openFile(const QString &fileName);
    bool takeImage(const QByteArray &bytes);
    Failure fail(UpgradeOutcome outcome, int code, const QString &text = {});
    Failure conclude(StepAnswer answer, const char *logText);

    Failure start();
    Failure enterBootLoader();
    Failure checkPackets(const PacketPlan &plan);
    Failure sendPackets(const PacketPlan &plan);
    Failure sendPacket(const PacketPlan &plan, uint32_t packet);
    UpgradeOutcome end(const PacketPlan &plan);
    bool sendStart();
    bool sendEnd();


    UpgradeHost &host;
    DeviceState &state;
    QFile &file;
    UpgradeTimings timings;
    bool running = false;
    bool stopRequested = false;
    uint8_t target = 0;
    QByteArray image; // the bytes sent, read once before the start command
    uint32_t fileSize = 0;
    uint32_t checksum = 0;
};

} // namespace Koru
