#pragma once

#include "devicestate.h"
#include "protocolids.h"

#include <QCoreApplication>
#include <QString>

#include <array>
#include <cstdint>

namespace Koru {

// What the controller keeps for one channel, as the wire carries it.
struct ChannelSetting
{
    bool reverse = false;
    uint16_t min = 0;
    uint16_t mid = 0;
    uint16_t max = 0;
    uint8_t sourceType = 0;
    uint8_t sourceId = 0;
};

// The three settings of a channel that are asked for and set one command each.
enum class ChannelPart { Direction, Source, Mapping };
constexpr int ChannelPartCount = 3;

// The query and the set command of each part (command set 0x10), in sending order.
struct ChannelPartCommands
{
    ChannelPart part;
    uint8_t query;
    uint8_t set;
};
constexpr ChannelPartCommands PartCommands[ChannelPartCount] = {
    {ChannelPart::Direction, CMD_ID_GET_REVERSE, CMD_ID_SET_REVERSE},
    {ChannelPart::Source, CMD_ID_GET_ENTITY, CMD_ID_SET_ENTITY},
    {ChannelPart::Mapping, CMD_ID_GET_MAP, CMD_ID_SET_MAP},
};

// What the device state holds for the channel at index (from 0); a direction byte other
// than 1 means reversed.
ChannelSetting channelSettingOf(const DeviceState &state, int index);
// The payload of the part's set command for channel (from 1).
QByteArray channelSetPayload(int channel, const ChannelSetting &setting, ChannelPart part);
bool samePart(const ChannelSetting &a, const ChannelSetting &b, ChannelPart part);
bool operator==(const ChannelSetting &a, const ChannelSetting &b);
inline bool operator!=(const ChannelSetting &a, const ChannelSetting &b) { return !(a == b); }

using ChannelSettingList = std::array<ChannelSetting, ChannelCount>;

// A saved set of channel settings; hardware id and serial name the controller it came
// from and are empty when it was not known.
struct ChannelSettings
{
    QString hardwareId;
    QString serial;
    ChannelSettingList channels{};
};

// The channel settings file: JSON in UTF-8, one line per channel, the same bytes for the
// same settings.
class ChannelSettingsFile
{
    Q_DECLARE_TR_FUNCTIONS(ChannelSettingsFile)

public:
    static QByteArray toJson(const ChannelSettings &settings);
    // Checks the whole document before it takes anything; on a fault error says what is
    // wrong and where.
    static bool fromJson(const QByteArray &json, ChannelSettings *settings, QString *error);

    static bool read(const QString &path, ChannelSettings *settings, QString *error);
    // Replaces the file only when it was written completely.
    static bool write(const QString &path, const ChannelSettings &settings, QString *error);
};

} // namespace Koru
