#pragma once

#include "protocolids.h"
#include "upgradeengine.h"
#include "upgradehost.h"

#include <QFile>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace Koru {

class DeviceLink;

// The upgrade engine's one host. Runs the engine over the device link for whoever asked
// (a row of the upgrade page, the console, the command-line flasher) and tells that
// requester of its messages and progress. Remembers the file, the target and the
// requester, so that a controller that restarts into its boot loader resumes its upgrade
// when its port comes back.
class UpgradeSession : public QObject, private UpgradeHost
{
    Q_OBJECT

public:
    UpgradeSession(DeviceLink &link, DeviceState &state, QObject *parent = nullptr);

    // The upgrade-in-progress flag is kept in memory unless the owner keeps it elsewhere
    // (the window keeps it in kestan.ini).
    void keepFlagIn(std::function<bool()> read, std::function<void(bool)> write);
    bool isFlagSet() const { return isUpdating(); }
    void clearFlag() { setUpdating(false); }

    void setTimings(const UpgradeTimings &timings) { engine.setTimings(timings); }

    UpgradeOutcome start(const QString &fileName, uint8_t target, int requester);
    // The same with the image's bytes, read by the caller.
    UpgradeOutcome start(const QByteArray &image, uint8_t target, int requester);
    // Runs the last upgrade again with the same file, target and requester.
    UpgradeOutcome resume();
    // Like start, but when the controller restarts into its boot loader, waits up to
    // maxRestartMs for its port to come back and for the resumed run to end.
    UpgradeOutcome startAndWait(const QString &fileName, uint8_t target, int requester, int maxRestartMs);
    // Takes effect after the next acknowledged packet of a run the device has accepted.
    void requestStop() { engine.requestStop(); }
    bool isRunning() const { return engine.isRunning(); }
    // The device of the last upgrade started; the controller before any.
    uint8_t target() const { return currentTarget; }

signals:
    // ending: the run ends with this message (its result, or why it failed); false for a
    // notice while it goes on (a module restarting into its boot loader).
    void message(int requester, const QString &text, bool ending);
    void progress(int requester, int maximum, int value);
    void finished(int requester, Koru::UpgradeOutcome outcome);

private:
    UpgradeOutcome run();

    bool sendCommand(uint8_t commandId, const QByteArray &payload, uint8_t target) override;
    void receive() override;
    int wait(int maxMs) override { return processEventsUntilAnswer(state, maxMs); }
    bool devicePresent() override;
    void showMessage(int code, const QString &text) override;
    void showNotice(const QString &text) override;
    void showProgress(int maximum, int value) override { emit progress(requester, maximum, value); }
    void setUpdating(bool on) override;
    bool isUpdating() const override;

    DeviceLink &link;
    DeviceState &state;
    QFile file;
    UpgradeEngine engine;
    QString fileName;
    std::optional<QByteArray> image; // given instead of a file name
    uint8_t currentTarget = RemoteControllerId;
    int requester = 0;
    bool flag = false;
    std::function<bool()> readFlag;
    std::function<void(bool)> writeFlag;
};

} // namespace Koru
