#pragma once

#include "devicestate.h"
#include "framereassembler.h"
#include "upgradeengine.h"

#include <QFile>
#include <QObject>
#include <QString>

class DevicePort;

namespace Koru {

// Runs the upgrade engine over a device port without a window, for the command-line
// flasher and the integration tests. The port is opened, and reopened after a restart of
// the controller, by its path.
class PortUpgradeHost : public QObject, public UpgradeHost
{
    Q_OBJECT

public:
    // Takes ownership of port.
    PortUpgradeHost(DevicePort *port, const QString &path, const UpgradeTimings &timings = {},
                    QObject *parent = nullptr);

    bool open();
    // When the controller answers from its application it restarts into its boot loader;
    // the run is then repeated once its port has come back.
    UpgradeOutcome upgrade(const QString &fileName, uint8_t target);

    bool sendCommand(uint8_t commandId, const QByteArray &payload, uint8_t target) override;
    void receive() override;
    int wait(int maxMs) override { return processEventsUntilAnswer(state, maxMs); }
    bool devicePresent() override;
    void showMessage(int code, const QString &text) override;
    void showProgress(int maximum, int value) override;
    void setUpdating(bool on) override { updating = on; }
    bool isUpdating() const override { return updating; }

signals:
    void message(const QString &text);
    void progress(int percent);

private:
    bool reopenAfterRestart();
    bool waitForPath(bool present, int maxMs);

    DevicePort *port;
    QString path;
    FrameReassembler rx;
    DeviceState state;
    QFile file;
    bool updating = false;
    UpgradeEngine engine;
};

} // namespace Koru
