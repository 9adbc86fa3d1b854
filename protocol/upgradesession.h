#pragma once

#include "protocolids.h"
#include "textkey.h"
#include "upgradeengine.h"
#include "upgradehost.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

namespace Koru {

class DeviceLink;
struct DecodedResponse;

// The upgrade engine's one host. Runs the engine over the device link for whoever asked
// (a row of the upgrade page, the console, the command-line flasher) and tells that
// requester of its messages, progress and end. Hands the engine each upgrade answer as the
// link decodes it, and wakes it with a timer. Remembers the file, the target and the
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

    // Starts a run and returns at once; finished() tells how it ended. While a run goes on,
    // ends at once as Busy and leaves that run alone.
    void start(const QString &fileName, uint8_t target, int requester);
    // The same with the image's bytes, read by the requester.
    void start(const QByteArray &image, uint8_t target, int requester);
    // Runs the last upgrade again with the same file, target and requester.
    void resume();
    // Takes effect after the next acknowledged packet of a run the device has accepted.
    void requestStop() { engine.requestStop(); }
    bool isRunning() const { return engine.isRunning(); }
    // The device of the last upgrade started; the controller before any.
    uint8_t target() const { return currentTarget; }

signals:
    // ending: the run ends with this message (its result, or why it failed); false for a
    // notice while it goes on (a module restarting into its boot loader). The text comes
    // as its key, so that what stays on screen can follow a language switch.
    void message(int requester, const Koru::TextKey &text, bool ending);
    void progress(int requester, int maximum, int value);
    // The controller restarts into its boot loader; its run resumes when its port is back.
    void restarting(int requester);
    void finished(int requester, Koru::UpgradeOutcome outcome);

private:
    // False, after finished(Busy), while a run goes on.
    bool takeRequest(uint8_t target, int requester);
    void onResponse(const DecodedResponse &response);

    bool sendCommand(uint8_t commandId, const QByteArray &payload, uint8_t target) override;
    qint64 clockMs() const override { return clock.elapsed(); }
    void wakeAt(qint64 ms) override;
    bool devicePresent() override;
    void showMessage(int code, const char *key) override;
    void showNotice(const char *key) override;
    void announce(const TextKey &text, bool ending);
    void showProgress(int maximum, int value) override { emit progress(requester, maximum, value); }
    void setUpdating(bool on) override;
    bool isUpdating() const override;
    void runEnded(UpgradeOutcome outcome) override;

    DeviceLink &link;
    UpgradeEngine engine;
    QElapsedTimer clock;
    QTimer stepTimer;
    QString fileName;
    std::optional<QByteArray> image; // given instead of a file name
    uint8_t currentTarget = RemoteControllerId;
    int requester = 0;
    bool flag = false;
    std::function<bool()> readFlag;
    std::function<void(bool)> writeFlag;
};

} // namespace Koru
