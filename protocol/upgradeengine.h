#pragma once

#include "devicestate.h"
#include "upgradehost.h"
#include "upgradepackets.h"

#include <QCoreApplication>
#include <QString>

#include <functional>
#include <optional>

class QFile;

namespace Koru {

// Repetition, time-out and presence-test intervals of one waiting step; a presence
// interval of 0 means the step does not test for the device.
struct UpgradeStepTimes
{
    int resendMs = 0;
    int giveUpMs = 0;
    int presenceMs = 0;
};

struct UpgradeTimings
{
    UpgradeStepTimes start{3000, 45000, 5000};
    UpgradeStepTimes data{120, 30000, 1000};
    UpgradeStepTimes end{1000, 60000, 0};
};

enum class UpgradeOutcome {
    Succeeded,    // the device confirmed the end command; the reset was sent
    Busy,         // another run is still inside its waits; nothing was touched
    FileError,    // the file could not be opened
    Refused,      // the device answered with a negative status
    NotCarriable, // packet size above 253 or more than 65536 packets
    NoPacketSize, // application mode and no packet size known
    Restarting,   // the controller restarts into its boot loader and resumes by itself
    TimedOut,
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
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    // file is opened by run() unless it is already open, and closed by finish().
    UpgradeEngine(UpgradeHost &host, DeviceState &state, QFile &file, const UpgradeTimings &timings = {});

    UpgradeOutcome run(const QString &fileName, uint8_t target);
    // Takes effect after the next acknowledged packet, and only once the device has
    // accepted the start command.
    void requestStop();
    // Common end of every run.
    void finish();

    bool isRunning() const { return running; }

private:
    enum class Answer { Accepted, Refused, TimedOut, DeviceLost };
    using Failure = std::optional<UpgradeOutcome>;

    void endRun(bool keepUpdating);
    bool openFile(const QString &fileName);
    bool readFile();
    Failure fail(UpgradeOutcome outcome, int code, const QString &text = {});
    Failure conclude(Answer answer, const char *logText);

    Failure start();
    Failure enterBootLoader();
    Failure checkPackets(const PacketPlan &plan);
    Failure sendPackets(const PacketPlan &plan);
    Failure sendPacket(const PacketPlan &plan, uint32_t packet);
    UpgradeOutcome end(const PacketPlan &plan);
    bool sendStart();
    bool sendEnd();

    Answer await(const UpgradeStepTimes &times, const std::function<bool()> &accepted,
                 const std::function<void()> &resend);

    UpgradeHost &host;
    DeviceState &state;
    QFile &file;
    UpgradeTimings timings;
    bool running = false;
    bool stopRequested = false;
    uint8_t target = 0;
    uint32_t fileSize = 0;
    uint32_t checksum = 0;
};

// Message shown for a code: the translation of the code's key when negative, else text.
QString upgradeMessageText(int code, const QString &text);

// The error stage the receive path recorded (1 start, 2 data, 3 end), cleared on reading.
uint8_t takeUpgradeErrorStage(DeviceState &state);

} // namespace Koru
