#include "channelsamples.h"

Koru::ChannelSettings changedChannelSettings()
{
    Koru::ChannelSettings settings;
    for (int index = 0; index < ChannelCount; ++index) {
        Koru::ChannelSetting &channel = settings.channels[size_t(index)];
        channel.reverse = true;
        channel.min = uint16_t(900 + index);
        channel.mid = uint16_t(1400 + index);
        channel.max = uint16_t(65535 - index);
        channel.sourceType = 7;
        channel.sourceId = uint8_t(200 + index);
    }
    return settings;
}
