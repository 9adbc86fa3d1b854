#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>

#include <cstdint>

namespace Koru {

enum class UpgradeOutcome {
    Succeeded,    // the device confirmed the end command; the reset was sent
    Busy,         // another run is going on; nothing was touched
    FileError,    // the file could not be opened, or is empty
    Refused,      // the device answered with a negative status
    NotCarriable, // packet size above 253 or more than 65536 packets
    NoPacketSize, // the boot loader announced packet size 0
    Restarting,   // the controller restarts into its boot loader; the link resumes the run
    NoAnswer,     // the device never answered the start command
    TimedOut,     // an answer did not come in time, or came without the step's result
    SendFailed,
    DeviceLost,
    Stopped,
};

// What the upgrade engine needs from its surroundings: the session over the device link,
// and the tests' scripted device on a virtual clock. The host hands the engine every
// decoded upgrade answer (UpgradeEngine::answerReceived) and wakes it when asked
// (UpgradeEngine::timerExpired).
class UpgradeHost
{
public:
    virtual ~UpgradeHost() = default;

    // Sends one command of the common command set and hands it to the system at once;
    // false when it could not be written.
    virtual bool sendCommand(uint8_t commandId, const QByteArray &payload, uint8_t target) = 0;
    // A monotonic clock in milliseconds.
    virtual qint64 clockMs() const = 0;
    // Calls UpgradeEngine::timerExpired() once the clock reaches ms, replacing the last call
    // asked for.
    virtual void wakeAt(qint64 ms) = 0;
    // False when the device's port has gone; the host has then told the user already.
    virtual bool devicePresent() = 0;
    // How a run ended. key is a text of the "UpgradeEngine" context, left untranslated so
    // that the host translates it when it shows it; a negative code (a device refusal, a
    // time-out) names its text instead (upgradeMessage()).
    virtual void showMessage(int code, const char *key) = 0;
    // A message while the run goes on (a module restarting into its boot loader), where
    // showMessage() tells how a run ended.
    virtual void showNotice(const char *key) { showMessage(0, key); }
    virtual void showProgress(int maximum, int value) = 0;
    // The persisted in-progress flag that lets a re-plugged device resume its upgrade.
    virtual void setUpdating(bool on) = 0;
    virtual bool isUpdating() const = 0;
    // The run is over; a new one may start from here.
    virtual void runEnded(UpgradeOutcome outcome) = 0;
};

} // namespace Koru

Q_DECLARE_METATYPE(Koru::UpgradeOutcome)
