#include "unitresult.h"

#include "options.h"
#include "output.h"
#include "upgradeengine.h"

using namespace Koru;

namespace {

QJsonValue textOrNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

QJsonObject versionsJson(const DeviceInfo &device)
{
    return {{QStringLiteral("bootLoader"), textOrNull(device.bootLoaderVersion)},
            {QStringLiteral("firmware"), textOrNull(device.firmwareVersion)}};
}

QString either(const QString &first, const QString &second)
{
    return first.isEmpty() ? second : first;
}

} // namespace

Verdict verdictOf(UpgradeOutcome outcome, uint8_t target, const QString &message)
{
    const auto failed = [&message](int code, const char *key, const QString &fallback) {
        return Verdict{code, QLatin1String(key), message.isEmpty() ? fallback : message};
    };
    switch (outcome) {
    case UpgradeOutcome::Succeeded:
        return {ExitSuccess, {}, message};
    case UpgradeOutcome::FileError:
        return failed(ExitFileError, "file", FlashText::tr("the file cannot be read"));
    case UpgradeOutcome::NotCarriable:
        return failed(ExitFileError, "too-large", FlashText::tr("the device cannot take a file that large"));
    case UpgradeOutcome::NoAnswer:
        return {ExitNoAnswer, QStringLiteral("no-answer"),
                FlashText::tr("device %1 did not answer; `koru-flash --list` shows the devices that do")
                    .arg(hexId(target))};
    case UpgradeOutcome::TimedOut:
        return failed(ExitNoAnswer, "timed-out", FlashText::tr("the device did not answer in time"));
    case UpgradeOutcome::Restarting:
    case UpgradeOutcome::SendFailed:
    case UpgradeOutcome::DeviceLost:
        return {ExitDeviceLost, QStringLiteral("device-lost"), FlashText::tr("the link to the device was lost")};
    case UpgradeOutcome::Stopped:
        return {ExitStopped, QStringLiteral("stopped"),
                FlashText::tr("stopped before the end: the device did not receive the whole file")};
    case UpgradeOutcome::Busy:
        return failed(ExitRefused, "upgrade-running", FlashText::tr("another upgrade is still running"));
    case UpgradeOutcome::NoPacketSize:
        return failed(ExitRefused, "no-packet-size", FlashText::tr("the device announced no packet size"));
    case UpgradeOutcome::Refused:
        break;
    }
    return failed(ExitRefused, "refused", FlashText::tr("the upgrade failed"));
}

QJsonObject UnitResult::toJson() const
{
    QJsonObject object{
        {QStringLiteral("time"), startedUtc.toString(Qt::ISODateWithMs)},
        {QStringLiteral("port"), port},
        {QStringLiteral("usbSerial"), textOrNull(usbSerial)},
        {QStringLiteral("target"), hexId(target)},
        {QStringLiteral("hardwareId"), textOrNull(either(before.hardwareId, after.hardwareId))},
        {QStringLiteral("serialNumber"), textOrNull(either(before.serialNumber, after.serialNumber))},
        {QStringLiteral("before"), versionsJson(before)},
        {QStringLiteral("after"), versionsJson(after)},
        {QStringLiteral("image"), imagePath},
        {QStringLiteral("size"), imageSize},
        {QStringLiteral("sha256"), imageSha256},
        {QStringLiteral("result"), verdict.exitCode == ExitSuccess ? QStringLiteral("passed")
                                   : verdict.exitCode == ExitStopped ? QStringLiteral("stopped")
                                                                      : QStringLiteral("failed")},
        {QStringLiteral("error"), textOrNull(verdict.errorKey)},
        {QStringLiteral("message"), verdict.message},
        {QStringLiteral("exitCode"), verdict.exitCode},
        {QStringLiteral("durationMs"), durationMs},
    };
    return object;
}
