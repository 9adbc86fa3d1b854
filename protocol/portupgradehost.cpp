#include "portupgradehost.h"

#include "deviceport.h"
#include "responsedecoder.h"

#include <QElapsedTimer>
#include <QFileInfo>

namespace Koru {
namespace {

// The controller leaves its application shortly after its answer, and its boot loader's
// port takes a few seconds to be enumerated again.
constexpr int PortGoneWithinMs = 5000;
constexpr int PortBackWithinMs = 20000;
constexpr int PathPollMs = 50;
constexpr int8_t UsbNotConnectedCode = -99;

} // namespace

PortUpgradeHost::PortUpgradeHost(DevicePort *port, const QString &path, const UpgradeTimings &timings,
                                 QObject *parent)
    : QObject(parent), port(port), path(path), engine(*this, state, file, timings)
{
    port->setParent(this);
    port->setPortName(path);
    connect(port, &DevicePort::readyRead, this, &PortUpgradeHost::receive);
}

bool PortUpgradeHost::open()
{
    rx.clear();
    return port->open();
}

UpgradeOutcome PortUpgradeHost::upgrade(const QString &fileName, uint8_t target)
{
    const UpgradeOutcome outcome = engine.run(fileName, target);
    if (outcome != UpgradeOutcome::Restarting)
        return outcome;
    if (!reopenAfterRestart()) {
        showMessage(UsbNotConnectedCode, {});
        return UpgradeOutcome::DeviceLost;
    }
    return engine.run(fileName, target);
}

bool PortUpgradeHost::reopenAfterRestart()
{
    waitForPath(false, PortGoneWithinMs);
    port->close();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < PortBackWithinMs) {
        if (waitForPath(true, PortBackWithinMs - int(clock.elapsed())) && open())
            return true;
        processEventsUntilAnswer(state, PathPollMs);
    }
    return false;
}

// Keeps events flowing while it waits for the port's path to appear or vanish.
bool PortUpgradeHost::waitForPath(bool present, int maxMs)
{
    QElapsedTimer clock;
    clock.start();
    while (QFileInfo::exists(path) != present) {
        if (clock.elapsed() >= maxMs)
            return false;
        processEventsUntilAnswer(state, PathPollMs);
    }
    return true;
}

bool PortUpgradeHost::sendCommand(uint8_t commandId, const QByteArray &payload, uint8_t target)
{
    if (!port->isOpen())
        return false;
    uint8_t frame[MaxFrameSize];
    const int size = buildFrame(frame, reinterpret_cast<const uint8_t *>(payload.constData()),
                                uint8_t(payload.size()), CommonSet, commandId, target);
    return port->write(reinterpret_cast<const char *>(frame), size) == size;
}

void PortUpgradeHost::receive()
{
    if (port->bytesAvailable() <= 0)
        return;
    rx.append(port->readAll());
    Frame frame;
    while (rx.takeFrame(frame) == FrameReassembler::Result::Frame)
        applyResponse(frame, state);
}

bool PortUpgradeHost::devicePresent()
{
    if (QFileInfo::exists(path))
        return true;
    showMessage(UsbNotConnectedCode, {});
    return false;
}

void PortUpgradeHost::showMessage(int code, const QString &text)
{
    emit message(upgradeMessageText(code, text));
}

void PortUpgradeHost::showProgress(int maximum, int value)
{
    emit progress(maximum > 0 ? value * 100 / maximum : 0);
}

} // namespace Koru
