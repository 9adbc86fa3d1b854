#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

struct DeviceState;

namespace Koru {

// What the upgrade engine needs from its surroundings. The window, the command-line
// flasher and the tests' scripted device each provide one.
class UpgradeHost
{
public:
    virtual ~UpgradeHost() = default;

    // Sends one command of the common command set; false when it could not be written.
    virtual bool sendCommand(uint8_t commandId, const QByteArray &payload, uint8_t target) = 0;
    // Runs the receive path once, storing whatever answers have arrived.
    virtual void receive() = 0;
    // Waits at most maxMs, returning early once an upgrade answer has been stored, and
    // returns the milliseconds that passed. Events keep flowing meanwhile.
    virtual int wait(int maxMs) = 0;
    // False when the device's port has gone; the host has then told the user already.
    virtual bool devicePresent() = 0;
    // A negative code is a device refusal: the text comes from upgradeMessageText().
    virtual void showMessage(int code, const QString &text) = 0;
    // A message while the run goes on (a module restarting into its boot loader), where
    // showMessage() tells how a run ended.
    virtual void showNotice(const QString &text) { showMessage(0, text); }
    virtual void showProgress(int maximum, int value) = 0;
    // The persisted in-progress flag that lets a re-plugged device resume its upgrade.
    virtual void setUpdating(bool on) = 0;
    virtual bool isUpdating() const = 0;
};

// True once the receive path has stored an upgrade answer the engine has not consumed.
bool upgradeAnswerPending(const DeviceState &state);

// The wait of hosts that run a Qt event loop: processes events (the port's data signal
// runs their receive path) until an answer is pending or maxMs have passed. Wakes at
// least every 2 ms. Returns the milliseconds that passed.
int processEventsUntilAnswer(const DeviceState &state, int maxMs);

} // namespace Koru
