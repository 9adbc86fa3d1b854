#include "simulatorhost.h"

#include <QTimer>

namespace Koru {

SimulatorHost::SimulatorHost(const SimulatorOptions &options, QObject *parent)
    : QObject(parent), devices(options, this)
{
    connect(&terminal, &PseudoTerminal::received, &devices, &DeviceSimulator::receive);
    connect(&devices, &DeviceSimulator::output, &terminal, &PseudoTerminal::write);
    connect(&devices, &DeviceSimulator::bootLoaderRestart, this, &SimulatorHost::restartDevice);
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

} // namespace Koru
