#include "channelsettingstransfer.h"

#include "devicelink.h"
#include "frame.h"
#include "versiontext.h"

namespace Koru {
namespace {

QString channelList(const QVector<int> &channels)
{
    QStringList numbers;
    for (int channel : channels)
        numbers << QString::number(channel);
    return numbers.join(QStringLiteral(", "));
}

} // namespace

ChannelSettingsTransfer::ChannelSettingsTransfer(DeviceLink &link, QObject *parent) : QObject(parent), link(link)
{
    connect(&reader, &ChannelSettingsReader::progress, this, &ChannelSettingsTransfer::progress);
    connect(&reader, &ChannelSettingsReader::finished, this, &ChannelSettingsTransfer::onReadFinished);
    connect(&link, &DeviceLink::responseReceived, this, &ChannelSettingsTransfer::onResponse);
    connect(&link, &DeviceLink::connectionChanged, this, &ChannelSettingsTransfer::onConnectionChanged);
}

// The controller is asked who it is too, so that the file can name it.
void ChannelSettingsTransfer::save(const QString &path)
{
    if (!startTask(Task::Save))
        return;
    savePath = path;
    link.send(CommonSet, CMD_ID_VERSION, RemoteControllerId);
    link.send(CommonSet, CMD_ID_UID, RemoteControllerId);
    reader.start();
}

void ChannelSettingsTransfer::load(const ChannelSettings &settings)
{
    if (!startTask(Task::Load))
        return;
    wanted = settings.channels;
    sendSettings();
    reader.start(wanted);
}

bool ChannelSettingsTransfer::startTask(Task next)
{
    if (isRunning())
        return false;
    if (!link.isOpen()) {
        emit finished(TransferOutcome::NoDevice, tr("The remote controller is not connected."));
        return false;
    }
    task = next;
    return true;
}

void ChannelSettingsTransfer::sendSettings()
{
    const DeviceLink::WriteBatch batch(link);
    for (int index = 0; index < ChannelCount; ++index) {
        for (const ChannelPartCommands &commands : PartCommands) {
            link.send(RemoteControllerSet, commands.set, RemoteControllerId,
                      channelSetPayload(index + 1, wanted[size_t(index)], commands.part));
        }
    }
}

void ChannelSettingsTransfer::onReadFinished()
{
    if (task == Task::Save)
        finishSave();
    else
        finishLoad();
}

void ChannelSettingsTransfer::finishSave()
{
    const QVector<int> missing = reader.unansweredChannels();
    if (!missing.isEmpty()) {
        emit finished(TransferOutcome::NoAnswer,
                      tr("The remote controller did not answer for channels %1. Nothing was written.")
                          .arg(channelList(missing)));
        return;
    }
    ChannelSettings settings;
    settings.hardwareId = hardwareId;
    settings.serial = serial;
    settings.channels = reader.reported();
    QString error;
    if (!ChannelSettingsFile::write(savePath, settings, &error))
        emit finished(TransferOutcome::FileError, error);
    else
        emit finished(TransferOutcome::Succeeded, tr("Saved the settings of all 16 channels to %1.").arg(savePath));
}

void ChannelSettingsTransfer::finishLoad()
{
    const QVector<int> differing = reader.differingChannels();
    const QVector<int> missing = reader.unansweredChannels();
    if (differing.isEmpty() && missing.isEmpty()) {
        emit finished(TransferOutcome::Succeeded, tr("Loaded the settings: all 16 channels read back as sent."));
        return;
    }
    QStringList lines{tr("The remote controller does not report what was sent:")};
    for (int channel : differing)
        lines << differences(channel);
    if (!missing.isEmpty())
        lines << tr("No answer for channels %1.").arg(channelList(missing));
    emit finished(differing.isEmpty() ? TransferOutcome::NoAnswer : TransferOutcome::Mismatch,
                  lines.join(QLatin1Char('\n')));
}

// One line per part of the channel that differs: what was sent, what the controller reports.
QStringList ChannelSettingsTransfer::differences(int channel) const
{
    const ChannelSetting &sent = wanted[size_t(channel - 1)];
    const ChannelSetting &reported = reader.reported()[size_t(channel - 1)];
    const auto describe = [](const ChannelSetting &s, ChannelPart part) {
        switch (part) {
        case ChannelPart::Direction:
            return s.reverse ? tr("reversed") : tr("normal");
        case ChannelPart::Source:
            return tr("type %1, id %2").arg(s.sourceType).arg(s.sourceId);
        case ChannelPart::Mapping:
            break;
        }
        return QStringLiteral("%1 / %2 / %3").arg(s.min).arg(s.mid).arg(s.max);
    };
    const QString partNames[] = {tr("direction"), tr("source"), tr("mapping")};
    QStringList lines;
    for (const ChannelPartCommands &commands : PartCommands) {
        if (samePart(sent, reported, commands.part))
            continue;
        lines << tr("Channel %1 %2: sent %3, the controller reports %4.")
                     .arg(channel)
                     .arg(partNames[int(commands.part)], describe(sent, commands.part),
                          describe(reported, commands.part));
    }
    return lines;
}

void ChannelSettingsTransfer::onResponse(const DecodedResponse &response)
{
    if (response.source != RemoteControllerId)
        return;
    const DeviceState &state = link.state();
    if (response.kind == Response::DeviceVersion)
        hardwareId = hardwareIdText(state.deviceVersion);
    else if (response.kind == Response::DeviceUid)
        serial = serialNumberText(state.deviceUid, QLatin1Char(' '));
}

void ChannelSettingsTransfer::onConnectionChanged(bool connected)
{
    if (connected)
        return;
    hardwareId.clear();
    serial.clear();
    if (!isRunning())
        return;
    reader.stop();
    emit finished(TransferOutcome::NoDevice, tr("The connection to the remote controller was lost."));
}

} // namespace Koru
