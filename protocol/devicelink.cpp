#include "devicelink.h"

#include "devicetypes.h"
#include "frame.h"
#include "portenumerator.h"
#include "protocolids.h"
#include "upgradesession.h"

#include <QDebug>
#include <QTimer>

namespace Koru {
namespace {

// Bytes taken from the port per read: a fast device's backlog comes in a few large reads.
constexpr int ReadChunkBytes = 16 * 1024;
// Time the controller is given after its port opened before it is asked anything.
constexpr int SettleAfterOpenMs = 100;
// After the open port broke or an open failed, the controller's port is tried this often.
constexpr int ReopenIntervalMs = 500;
constexpr int MaxShellTextBytes = 200;

} // namespace

DeviceLink::DeviceLink(DevicePort *devicePort, PortEnumerator *portEnumerator, QObject *parent)
    : QObject(parent)
    , port(devicePort ? devicePort : new SerialDevicePort)
    , enumerator(portEnumerator ? portEnumerator : new SystemPortEnumerator)
    , settleTimer(new QTimer(this))
    , reopenTimer(new QTimer(this))
{
    port->setParent(this);
    enumerator->setParent(this);
    upgradeSession = new UpgradeSession(*this, deviceState, this);
    connect(port, &DevicePort::readyRead, this, &DeviceLink::receive);
    connect(port, &DevicePort::failed, this, &DeviceLink::onPortFailed);
    settleTimer->setSingleShot(true);
    settleTimer->setInterval(SettleAfterOpenMs);
    connect(settleTimer, &QTimer::timeout, this, &DeviceLink::greetDevice);
    reopenTimer->setInterval(ReopenIntervalMs);
    connect(reopenTimer, &QTimer::timeout, this, &DeviceLink::rescan);
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
// Notices may come in bursts (a loose cable): each pass only opens or closes, and the
// questions to the device wait for the settle timer, so nothing here waits or nests.
void DeviceLink::rescan()
{
    emit portListChanged();
    const QString deviceName = devicePortName();
    if (deviceName.isEmpty()) {
        if (port->isOpen() && !portNames().contains(currentPortName))
            closePort();
        return;
    }
    if (port->isOpen())
        return;
    if (openPort(deviceName)) {
        reopenTimer->stop();
        // Only a run that was interrupted before this open resumes; one started meanwhile
        // is the user's and goes on by itself.
        resumeWhenSettled = upgradeSession->isFlagSet();
        settleTimer->start();
    } else {
        // It may open a moment later (a loose cable, a permission just granted).
        reopenTimer->start();
    }
}

// The rest of the opening, once the controller had its time: the port may have gone since.
void DeviceLink::greetDevice()
{
    if (!port->isOpen())
        return;
    if (resumeWhenSettled && upgradeSession->isFlagSet()) {
        // A run still inside its waits carries on by itself on the reopened port;
        // only an interrupted one is started again.
        if (!upgradeSession->isRunning()) {
            upgradeSession->resume();
            upgradeSession->clearFlag();
        }
    } else if (!upgradeSession->isFlagSet()) {
        requestDeviceInfo();
    }
    emit deviceAttached();
}

void DeviceLink::choosePort(const QString &name)
{
    if (name == currentPortName && port->isOpen())
        return;
    close();
    lastFailure.clear(); // the user asked: the answer is shown even when it is the same
    openPort(name);
}

// A failure is announced once: a port that keeps failing the same way (a flapping cable, a
// retry) says so only the first time, and the retries after a broken port say nothing.
bool DeviceLink::openPort(const QString &name)
{
    currentPortName = name;
    port->setPortName(name);
    if (port->open()) {
        qDebug() << "open ok";
        lastFailure.clear();
        retryingBrokenPort = false;
        emit connectionChanged(true, name);
        return true;
    }
    qDebug() << "open error";
    const QString failure = name + QLatin1Char(' ') + QString::number(int(port->lastOpenError()));
    if (retryingBrokenPort || failure == lastFailure)
        return false;
    lastFailure = failure;
    emit connectionChanged(false, QString());
    emit openFailed(port->lastOpenError());
    return false;
}

void DeviceLink::close()
{
    reopenTimer->stop();
    retryingBrokenPort = false;
    closePort();
}

void DeviceLink::closePort()
{
    if (!port->isOpen())
        return;
    settleTimer->stop();
    port->close();
    currentPortName.clear();
    qDebug() << "close ok";
    emit connectionChanged(false, QString());
}

// Hang-up, a failed read, the device gone under an open descriptor (a USB reset, a reboot
// into the boot loader, a re-pointed link): the port is closed already. Its path may name
// the device again at any moment without any notice (a link re-pointed in place), so the
// controller's port is tried every ReopenIntervalMs until it opens, the user picks a port or
// the link is closed.
void DeviceLink::onPortFailed()
{
    qDebug() << "port error" << currentPortName;
    settleTimer->stop();
    port->close();
    retryingBrokenPort = true;
    emit connectionChanged(false, QString());
    reopenTimer->start();
}

// Reads everything the port holds through a buffer on the stack and decodes it at once, so
// a report costs no allocation on its way in and nothing waits in the system.
void DeviceLink::receive()
{
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
    DecodedResponse response = applyResponse(frame, deviceState);
    if (response.kind == Response::ShellText)
        response.text = shellText.decode(frame.source(), reinterpret_cast<const char *>(frame.payload()),
                                         frame.payloadSize());
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
    for (uint8_t id : upgradableDeviceIds()) {
        if (!send(CommonSet, CMD_ID_UID, id))
            qDebug() << "getid error";
        if (!send(CommonSet, CMD_ID_VERSION, id))
            qDebug() << "getid error";
    }
}

void DeviceLink::setLiveChannelReports(bool on)
{
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

} // namespace Koru
