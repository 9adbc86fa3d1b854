#pragma once

#include "channelsettings.h"

#include <QObject>
#include <QTimer>
#include <QVector>

#include <optional>

namespace Koru {

class DeviceLink;
struct DecodedResponse;

// Asks the remote controller for the direction, source and mapping of all 16 channels
// and collects its answers; the module side answers into the same device state, so only
// answers from the controller count. Unanswered queries are sent again every repeat
// interval until the time-out.
class ChannelSettingsReader : public QObject
{
    Q_OBJECT

public:
    explicit ChannelSettingsReader(DeviceLink &link, QObject *parent = nullptr);

    // With expected values, an answer that differs is asked again until the time-out too:
    // an answer to a query sent before the last set commands may still be on its way.
    void start(const std::optional<ChannelSettingList> &expected = std::nullopt);
    void stop();
    bool isRunning() const { return timeOut.isActive(); }

    // The values last reported; parts of unanswered channels keep their defaults.
    const ChannelSettingList &reported() const { return values; }
    // Channel numbers (from 1) with at least one part that never answered.
    QVector<int> unansweredChannels() const;
    // Channel numbers (from 1) that answered every part with a value other than expected.
    QVector<int> differingChannels() const;

    // Parts answered as wanted so far, out of 48.
    static constexpr int PartTotal = ChannelCount * ChannelPartCount;

signals:
    void progress(int settled, int total);
    void finished();

private:
    void onResponse(const DecodedResponse &response);
    void take(int index, ChannelPart part);
    bool isSettled(int index, ChannelPart part) const;
    int settledCount() const;
    void askUnsettled();
    void ask(int index, uint8_t query);
    void finish();

    DeviceLink &link;
    QTimer repeat{this};
    QTimer timeOut{this};
    std::optional<ChannelSettingList> expected;
    ChannelSettingList values{};
    std::array<std::array<bool, ChannelPartCount>, ChannelCount> answered{};
};

} // namespace Koru
