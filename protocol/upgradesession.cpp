#include "upgradesession.h"

#include "devicelink.h"
#include "upgrademessages.h"

#include <QDebug>
#include <QEventLoop>
#include <QTimer>

#include <optional>

namespace Koru {
namespace {
constexpr int UsbNotConnectedCode = -99;
}

UpgradeSession::UpgradeSession(DeviceLink &link, DeviceState &state, QObject *parent)
    : QObject(parent), link(link), state(state), engine(*this, state, file)
{
}

void UpgradeSession::keepFlagIn(std::function<bool()> read, std::function<void(bool)> write)
{
    readFlag = std::move(read);
    writeFlag = std::move(write);
}

UpgradeOutcome UpgradeSession::start(const QString &name, uint8_t target, int from)
{
    fileName = name;
    image.reset();
    currentTarget = target;
    requester = from;
    file.close();
    return run();
}

UpgradeOutcome UpgradeSession::start(const QByteArray &bytes, uint8_t target, int from)
{
    fileName.clear();
    image = bytes;
    currentTarget = target;
    requester = from;
    file.close();
    return run();
}

UpgradeOutcome UpgradeSession::resume()
{
    return run();
}

UpgradeOutcome UpgradeSession::run()
{
    const UpgradeOutcome outcome = image ? engine.run(*image, currentTarget) : engine.run(fileName, currentTarget);
    emit finished(requester, outcome);
    return outcome;
}

UpgradeOutcome UpgradeSession::startAndWait(const QString &name, uint8_t target, int from, int maxRestartMs)
{
    const UpgradeOutcome outcome = start(name, target, from);
    if (outcome != UpgradeOutcome::Restarting)
        return outcome;
    QEventLoop loop;
    std::optional<UpgradeOutcome> resumed;
    connect(this, &UpgradeSession::finished, &loop, [&](int, UpgradeOutcome end) {
        if (end == UpgradeOutcome::Restarting)
            return;
        resumed = end;
        loop.quit();
    });
    QTimer::singleShot(maxRestartMs, &loop, &QEventLoop::quit);
    loop.exec();
    if (resumed)
        return *resumed;
    clearFlag();
    showMessage(UsbNotConnectedCode, {});
    return UpgradeOutcome::DeviceLost;
}

bool UpgradeSession::sendCommand(uint8_t commandId, const QByteArray &payload, uint8_t target)
{
    return link.send(CommonSet, commandId, target, payload);
}

void UpgradeSession::receive()
{
    link.receive();
}

bool UpgradeSession::devicePresent()
{
    if (!link.devicePortName().isEmpty())
        return true;
    engine.finish();
    showMessage(0, QStringLiteral("USB 已断开 请尝试插上USB线或重新插拔USB"));
    qDebug() << "check port";
    return false;
}

void UpgradeSession::showMessage(int code, const QString &text)
{
    const QString shown = upgradeMessageText(code, text);
    qDebug() << shown;
    emit message(requester, shown, true);
}

void UpgradeSession::showNotice(const QString &text)
{
    qDebug() << text;
    emit message(requester, text, false);
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

} // namespace Koru
