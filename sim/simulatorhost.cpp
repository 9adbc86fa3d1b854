#include "simulatorhost.h"

#include <QTimer>

#include <algorithm>

namespace Koru {

SimulatorHost::SimulatorHost(const SimulatorOptions &options, QObject *parent)
    : QObject(parent), devices(options, this)
{
    connect(&terminal, &PseudoTerminal::received, &devices, &DeviceSimulator::receive);
    connect(&devices, &DeviceSimulator::output, &terminal, &PseudoTerminal::write);
    connect(&devices, &DeviceSimulator::bootLoaderRestart, this, &SimulatorHost::restartDevice);
    connect(&flapTimer, &QTimer::timeout, this, &SimulatorHost::toggleFlap);
}

bool SimulatorHost::start(const QString &stablePath)
{
    terminal.setLinkPath(stablePath);
    return terminal.open();
}

QString SimulatorHost::unitSerial(int unit)
{
    return QStringLiteral("KSIM%1").arg(unit, 4, 10, QLatin1Char('0'));
}

QString SimulatorHost::byIdLinkName(const QString &usbSerial)
{
    return QStringLiteral("usb-KORU_Simulator_%1-if00").arg(usbSerial);
}

QString SimulatorHost::portPath() const
{
    return terminal.linkPath().isEmpty() ? terminal.slavePath() : terminal.linkPath();
}

void SimulatorHost::vanish()
{
    if (!terminal.isOpen())
        return;
    terminal.close();
    devices.dropLink();
    emit vanished();
}

bool SimulatorHost::reappear()
{
    if (terminal.isOpen())
        return true;
    if (!terminal.open())
        return false;
    emit reappeared(terminal.slavePath());
    return true;
}

void SimulatorHost::restartDevice()
{
    vanish();
    QTimer::singleShot(devices.options().restartDowntimeMs, this, &SimulatorHost::reappear);
}

void SimulatorHost::hangUp(int downtimeMs)
{
    if (!terminal.isOpen())
        return;
    terminal.hangUp();
    devices.dropLink();
    QTimer::singleShot(downtimeMs, this, &SimulatorHost::reappear);
}

void SimulatorHost::flap(int timesPerSecond, int durationMs)
{
    flapForMs = durationMs;
    flapClock.start();
    flapTimer.start(std::max(1, 500 / std::max(1, timesPerSecond)));
}

void SimulatorHost::toggleFlap()
{
    if (flapClock.elapsed() >= flapForMs) {
        flapTimer.stop();
        reappear();
    } else if (terminal.isOpen()) {
        vanish();
    } else {
        reappear();
    }
}

} // namespace Koru
