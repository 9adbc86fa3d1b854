#pragma once

#include "devicesimulator.h"
#include "pseudoterminal.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QString>

namespace Koru {

// The simulated devices on a pseudo-terminal: what the host writes to the port reaches
// the devices and their answers come back on it. Also unplugs and re-plugs the port.
class SimulatorHost : public QObject
{
    Q_OBJECT

public:
    explicit SimulatorHost(const SimulatorOptions &options = {}, QObject *parent = nullptr);

    // Opens the port; a non-empty stablePath becomes a link that always names it.
    bool start(const QString &stablePath = {});
    // A pseudo-terminal has no USB serial number: a simulated unit carries its number in its
    // link's name, as /dev/serial/by-id names a controller ("usb-KORU_Simulator_KSIM0001-if00").
    static QString unitSerial(int unit);
    static QString byIdLinkName(const QString &usbSerial);
    QString errorString() const { return terminal.errorString(); }

    // The stable path when one was given, else the current slave path.
    QString portPath() const;
    QString slavePath() const { return terminal.slavePath(); }
    bool isPresent() const { return terminal.isOpen(); }

    // Unplug: the port and its link disappear. Re-plug: a new port, the link re-pointed.
    void vanish();
    bool reappear();
    // A USB reset: the open line hangs up while its path stays; after downtimeMs the path
    // names a new port.
    void hangUp(int downtimeMs);
    // A loose connector: the port vanishes and comes back timesPerSecond times a second
    // for durationMs, then stays.
    void flap(int timesPerSecond, int durationMs);
    bool isFlapping() const { return flapTimer.isActive(); }

    DeviceSimulator *simulator() { return &devices; }

    // Bytes no request asked for, as a broken or hostile device sends them.
    void inject(const QByteArray &bytes) { terminal.write(bytes); }
    // Bytes written to the port that the terminal has not taken yet.
    qint64 pendingBytes() const { return terminal.pendingBytes(); }

signals:
    void vanished();
    void reappeared(const QString &slavePath);

private:
    void restartDevice();
    void toggleFlap();

    // Parented, so that moving the host to another thread takes both along.
    DeviceSimulator devices;
    PseudoTerminal terminal{this};
    QTimer flapTimer{this};
    QElapsedTimer flapClock;
    int flapForMs = 0;
};

} // namespace Koru
