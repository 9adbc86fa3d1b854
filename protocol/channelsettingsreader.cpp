#include "channelsettingsreader.h"

#include "devicelink.h"

#include <algorithm>

namespace Koru {
namespace {

constexpr int RepeatMs = 500;
constexpr int TimeOutMs = 3000;

std::optional<ChannelPart> partOf(Response kind)
{
    switch (kind) {
    case Response::ChannelReverse:
        return ChannelPart::Direction;
    case Response::ChannelEntity:
        return ChannelPart::Source;
    case Response::ChannelMap:
        return ChannelPart::Mapping;
    default:
        return std::nullopt;
    }
}

} // namespace

ChannelSettingsReader::ChannelSettingsReader(DeviceLink &link, QObject *parent) : QObject(parent), link(link)
{
    repeat.setInterval(RepeatMs);
    timeOut.setInterval(TimeOutMs);
    timeOut.setSingleShot(true);
    connect(&repeat, &QTimer::timeout, this, &ChannelSettingsReader::askUnsettled);
    connect(&timeOut, &QTimer::timeout, this, &ChannelSettingsReader::finish);
    connect(&link, &DeviceLink::responseReceived, this, &ChannelSettingsReader::onResponse);
}

void ChannelSettingsReader::start(const std::optional<ChannelSettingList> &expectedValues)
{
    expected = expectedValues;
    values = {};
    answered = {};
    repeat.start();
    timeOut.start();
    emit progress(0, PartTotal);
    askUnsettled();
}

void ChannelSettingsReader::stop()
{
    repeat.stop();
    timeOut.stop();
}

QVector<int> ChannelSettingsReader::unansweredChannels() const
{
    QVector<int> channels;
    for (int index = 0; index < ChannelCount; ++index) {
        const auto &parts = answered[size_t(index)];
        if (std::find(parts.begin(), parts.end(), false) != parts.end())
            channels.append(index + 1);
    }
    return channels;
}

QVector<int> ChannelSettingsReader::differingChannels() const
{
    QVector<int> channels;
    const QVector<int> unanswered = unansweredChannels();
    for (int index = 0; expected && index < ChannelCount; ++index) {
        if (!unanswered.contains(index + 1) && values[size_t(index)] != (*expected)[size_t(index)])
            channels.append(index + 1);
    }
    return channels;
}

// The decoder stored the answer in the state just before it was announced, so the state
// holds exactly this answer's values now.
void ChannelSettingsReader::onResponse(const DecodedResponse &response)
{
    const std::optional<ChannelPart> part = partOf(response.kind);
    if (!isRunning() || !part || response.source != RemoteControllerId || response.index < 0
        || response.index >= ChannelCount)
        return;
    take(response.index, *part);
    const int settled = settledCount();
    emit progress(settled, PartTotal);
    if (settled == PartTotal)
        finish();
}

void ChannelSettingsReader::take(int index, ChannelPart part)
{
    const ChannelSetting reported = channelSettingOf(link.state(), index);
    ChannelSetting &value = values[size_t(index)];
    switch (part) {
    case ChannelPart::Direction:
        value.reverse = reported.reverse;
        break;
    case ChannelPart::Source:
        value.sourceType = reported.sourceType;
        value.sourceId = reported.sourceId;
        break;
    case ChannelPart::Mapping:
        value.min = reported.min;
        value.mid = reported.mid;
        value.max = reported.max;
        break;
    }
    answered[size_t(index)][size_t(part)] = true;
}

bool ChannelSettingsReader::isSettled(int index, ChannelPart part) const
{
    return answered[size_t(index)][size_t(part)]
           && (!expected || samePart(values[size_t(index)], (*expected)[size_t(index)], part));
}

int ChannelSettingsReader::settledCount() const
{
    int count = 0;
    for (int index = 0; index < ChannelCount; ++index) {
        for (const ChannelPartCommands &commands : PartCommands)
            count += isSettled(index, commands.part) ? 1 : 0;
    }
    return count;
}

void ChannelSettingsReader::askUnsettled()
{
    const DeviceLink::WriteBatch batch(link);
    for (int index = 0; index < ChannelCount; ++index) {
        for (const ChannelPartCommands &commands : PartCommands) {
            if (!isSettled(index, commands.part))
                ask(index, commands.query);
        }
    }
}

void ChannelSettingsReader::ask(int index, uint8_t query)
{
    const uint8_t channel = uint8_t(index + 1);
    link.send(RemoteControllerSet, query, RemoteControllerId, &channel, 1);
}

void ChannelSettingsReader::finish()
{
    stop();
    emit finished();
}

} // namespace Koru
