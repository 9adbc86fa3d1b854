#include "devicelink.h"

#include "frame.h"
#include "portenumerator.h"
#include "protocolids.h"
#include "upgradesession.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QThread>
#include <QTimer>

namespace Koru {
namespace {

// The upgradable device types, asked for identity and version in this order.
const uint8_t PolledDeviceIds[] = {0x10, 0x13, 0x15, 0x17, 0x18, 0x1A, 0x1C, 0x1E, 0x20,
                                   0x22, 0x24, 0x26, 0x28, 0x2A, 0x2C, 0x2E, 0x30};

// Bytes taken from the port per read; the receive buffer grows only for longer frames.
constexpr int ReadChunkBytes = 1024;
// Time the controller is given after its port opened before it is asked anything.
constexpr int SettleAfterOpenMs = 100;
constexpr int MaxShellTextBytes = 200;
// While live reports stream, arrivals closer together than this mean a fast device: the
// bytes that follow wait in the system until the channel page reads them before it draws,
// or until the pacing period ends.
constexpr int StreamingGapMs = 10;
constexpr int PacingMs = 40;

} // namespace

DeviceLink::DeviceLink(DevicePort *devicePort, PortEnumerator *portEnumerator, QObject *parent)
    : QObject(parent)
    , port(devicePort ? devicePort : new SerialDevicePort)
    , enumerator(portEnumerator ? portEnumerator : new SystemPortEnumerator)
    , pacingTimer(new QTimer(this))
{
    port->setParent(this);
    enumerator->setParent(this);
    upgradeSession = new UpgradeSession(*this, deviceState, this);
    connect(port, &DevicePort::readyRead, this, &DeviceLink::onIncoming);
    pacingTimer->setSingleShot(true);
    pacingTimer->setInterval(PacingMs);
    connect(pacingTimer, &QTimer::timeout, this, &DeviceLink::receive);
    connect(enumerator, &PortEnumerator::deviceDiscovered, this, &DeviceLink::rescan);
    connect(enumerator, &PortEnumerator::deviceRemoved, this, &DeviceLink::rescan);
}

DeviceLink::~DeviceLink() = default;

void DeviceLink::start()
{
    rescan();
}

bool DeviceLink::isOpen() const
{
    return port->isOpen();
}

QString DeviceLink::portName() const
{
    return port->isOpen() ? currentPortName : QString();
}

QStringList DeviceLink::portNames() const
{
    QStringList names;
    for (const PortInfo &info : enumerator->getPorts())
        names << info.portName;
    return names;
}

QString DeviceLink::devicePortName() const
{
    QString name;
    for (const PortInfo &info : enumerator->getPorts()) {
        if (info.vendorID == DeviceVendorId && info.productID == DeviceProductId)
            name = info.portName; // the last one enumerated wins
    }
    return name;
}

// Opens the controller's port when it is present and none is open; closes the open port
// when it has vanished. A port the user opened by hand stays open while it is listed.
void DeviceLink::rescan()
{
    emit portListChanged();
    const QString deviceName = devicePortName();
    if (!deviceName.isEmpty()) {
        if (port->isOpen() || !openPort(deviceName))
            return;
        delayMs(SettleAfterOpenMs);
        if (upgradeSession->isFlagSet()) {
            // A run still inside its waits carries on by itself on the reopened port;
            // only an interrupted one is started again.
            if (!upgradeSession->isRunning()) {
                upgradeSession->resume();
                upgradeSession->clearFlag();
            }
        } else {
            requestDeviceInfo();
        }
        emit deviceAttached();
        return;
    }
    if (portNames().contains(currentPortName))
        return;
    close();
}

void DeviceLink::choosePort(const QString &name)
{
    if (name == currentPortName && port->isOpen())
        return;
    close();
    openPort(name);
}

bool DeviceLink::openPort(const QString &name)
{
    currentPortName = name;
    port->setPortName(name);
    if (port->open()) {
        qDebug() << "open ok";
        emit connectionChanged(true, name);
        return true;
    }
    qDebug() << "open error";
    emit connectionChanged(false, QString());
    emit openFailed(port->lastOpenError());
    return false;
}

void DeviceLink::close()
{
    if (!port->isOpen())
        return;
    releaseHold();
    port->close();
    currentPortName.clear();
    qDebug() << "close ok";
    emit connectionChanged(false, QString());
}

// While the pacing timer runs, it reads what came meanwhile. Bytes that arrive again soon
// after the last arrival mean a fast device: while live reports stream (and no upgrade
// waits for its answers), the bytes that follow wait in the system for the timer.
void DeviceLink::onIncoming()
{
    if (pacingTimer->isActive())
        return;
    const bool streaming = sinceLastArrival.isValid() && sinceLastArrival.elapsed() < StreamingGapMs;
    sinceLastArrival.start();
    receive();
    if (streaming && paceReading && !upgradeSession->isRunning() && port->holdIncoming(true)) {
        holding = true;
        pacingTimer->start();
    }
}

void DeviceLink::releaseHold()
{
    pacingTimer->stop();
    if (holding)
        port->holdIncoming(false);
    holding = false;
}

// Reads through a buffer on the stack, so a report costs no allocation on its way in.
void DeviceLink::receive()
{
    releaseHold();
    char chunk[ReadChunkBytes];
    qint64 count = 0;
    while ((count = port->read(chunk, sizeof chunk)) > 0) {
        receiveBuffer.append(chunk, int(count));
        // A bad header costs only its own bytes and the pass goes on: ending it there would
        // let a device that sends dense garbage hold its answers back and the buffer grow.
        receiveBuffer.takeFrames([this](const Frame &frame) { dispatch(frame); });
    }
}

void DeviceLink::dispatch(const Frame &frame)
{
    const DecodedResponse response = applyResponse(frame, deviceState);
    if (response.kind != Response::Ignored)
        emit responseReceived(response);
}

bool DeviceLink::send(uint8_t set, uint8_t id, uint8_t target, const uint8_t *payload, int length)
{
    if (!port->isOpen())
        return false;
    uint8_t frame[MaxFrameSize];
    const int size = buildFrame(frame, payload, uint8_t(length), set, id, target);
    const auto *bytes = reinterpret_cast<const char *>(frame);
    if (openBatches > 0) {
        batchedFrames.append(bytes, size);
        return true;
    }
    return port->write(bytes, size) == size;
}

void DeviceLink::endBatch()
{
    if (--openBatches > 0 || batchedFrames.isEmpty())
        return;
    if (port->isOpen())
        port->write(batchedFrames.constData(), batchedFrames.size());
    batchedFrames.clear();
}

bool DeviceLink::send(uint8_t set, uint8_t id, uint8_t target, const QByteArray &payload)
{
    return send(set, id, target, reinterpret_cast<const uint8_t *>(payload.constData()), payload.size());
}

bool DeviceLink::flush(int msecs)
{
    return !port->isOpen() || port->flush(msecs);
}

// A text too long for one frame is refused where the controller's answers are shown.
void DeviceLink::sendShellText(const QString &text, uint8_t device)
{
    QByteArray payload = text.toUtf8();
    if (payload.size() > MaxShellTextBytes) {
        DecodedResponse refusal;
        refusal.kind = Response::ShellText;
        refusal.source = RemoteControllerId;
        refusal.text = QStringLiteral("error = cmd to long\r\n");
        emit responseReceived(refusal);
        return;
    }
    payload.append("\r\n");
    send(CommonSet, CMD_ID_SHELL_TEXT, device, payload);
}

void DeviceLink::requestDeviceInfo()
{
    if (!port->isOpen()) {
        qDebug() << "port is not Open";
        return;
    }
    for (uint8_t id : PolledDeviceIds) {
        if (!send(CommonSet, CMD_ID_UID, id))
            qDebug() << "getid error";
        if (!send(CommonSet, CMD_ID_VERSION, id))
            qDebug() << "getid error";
    }
}

void DeviceLink::setLiveChannelReports(bool on)
{
    paceReading = on;
    const QString text = on ? QStringLiteral("rc_pc 1") : QStringLiteral("rc_pc 0");
    sendShellText(text, RemoteControllerId);
    sendShellText(text, ModuleSideId);
}

// The production display switch has no state of its own: every page change sends it anew.
void DeviceLink::setProductionDisplay(bool on)
{
    const uint8_t value = on ? 1 : 0;
    send(CommonSet, CMD_ID_SCXS_VALUES, RemoteControllerId, &value, 1);
}

void DeviceLink::delayMs(int milliseconds)
{
    const QDateTime until = QDateTime::currentDateTime().addMSecs(milliseconds);
    while (QDateTime::currentDateTime() < until) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(2);
    }
}

} // namespace Koru
