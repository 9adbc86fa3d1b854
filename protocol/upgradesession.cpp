#include "upgradesession.h"

#include "devicelink.h"
#include "responsedecoder.h"
#include "upgrademessages.h"

#include <QDebug>

#include <algorithm>
#include <climits>

namespace Koru {

UpgradeSession::UpgradeSession(DeviceLink &link, DeviceState &state, QObject *parent)
    : QObject(parent), link(link), engine(*this, state)
{
    // For queued connections and signal spies on finished().
    qRegisterMetaType<UpgradeOutcome>("Koru::UpgradeOutcome");
    qRegisterMetaType<TextKey>("Koru::TextKey");
    clock.start();
    stepTimer.setSingleShot(true);
    connect(&stepTimer, &QTimer::timeout, this, [this] { engine.timerExpired(); });
    // Each answer reaches the engine while the link's receive pass that decoded it runs,
    // so the next packet leaves before the pass goes on.
    connect(&link, &DeviceLink::responseReceived, this, &UpgradeSession::onResponse);
}

void UpgradeSession::keepFlagIn(std::function<bool()> read, std::function<void(bool)> write)
{
    readFlag = std::move(read);
    writeFlag = std::move(write);
}

void UpgradeSession::start(const QString &name, uint8_t target, int from)
{
    if (!takeRequest(target, from))
        return;
    fileName = name;
    image.reset();
    engine.start(fileName, currentTarget);
}

void UpgradeSession::start(const QByteArray &bytes, uint8_t target, int from)
{
    if (!takeRequest(target, from))
        return;
    fileName.clear();
    image = bytes;
    engine.start(bytes, currentTarget);
}

bool UpgradeSession::takeRequest(uint8_t target, int from)
{
    if (engine.isRunning()) {
        qDebug() << "upgrade running, second start refused";
        emit finished(from, UpgradeOutcome::Busy);
        return false;
    }
    currentTarget = target;
    requester = from;
    return true;
}

void UpgradeSession::resume()
{
    if (image)
        engine.start(*image, currentTarget);
    else
        engine.start(fileName, currentTarget);
}

void UpgradeSession::onResponse(const DecodedResponse &response)
{
    if (response.kind == Response::UpgradeAnswer)
        engine.answerReceived(uint8_t(response.value));
}

bool UpgradeSession::sendCommand(uint8_t commandId, const QByteArray &payload, uint8_t target)
{
    const bool sent = link.send(CommonSet, commandId, target, payload);
    // The port would keep the bytes until the event loop turns again.
    link.flush(0);
    return sent;
}

void UpgradeSession::wakeAt(qint64 ms)
{
    stepTimer.start(int(std::clamp<qint64>(ms - clock.elapsed(), 0, INT_MAX)));
}

bool UpgradeSession::devicePresent()
{
    if (!link.devicePortName().isEmpty())
        return true;
    showMessage(0, QT_TRANSLATE_NOOP("UpgradeEngine", "USB 已断开 请尝试插上USB线或重新插拔USB"));
    qDebug() << "check port";
    return false;
}

void UpgradeSession::showMessage(int code, const char *key)
{
    announce(upgradeMessage(code, key), true);
}

void UpgradeSession::showNotice(const char *key)
{
    announce(upgradeMessage(0, key), false);
}

void UpgradeSession::announce(const TextKey &text, bool ending)
{
    qDebug() << text.text();
    emit message(requester, text, ending);
}

void UpgradeSession::setUpdating(bool on)
{
    if (writeFlag)
        writeFlag(on);
    else
        flag = on;
}

bool UpgradeSession::isUpdating() const
{
    return readFlag ? readFlag() : flag;
}

void UpgradeSession::runEnded(UpgradeOutcome outcome)
{
    stepTimer.stop();
    if (outcome == UpgradeOutcome::Restarting)
        emit restarting(requester);
    emit finished(requester, outcome);
}

} // namespace Koru
