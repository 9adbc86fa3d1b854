#include "channelsettings.h"

#include "frame.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cmath>

namespace Koru {
namespace {

const QString FormatName = QStringLiteral("koru-channel-settings");
constexpr int FormatVersion = 1;

// A string as JSON writes it, quotes and escapes included.
QString jsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString channelLine(int channel, const ChannelSetting &s)
{
    return QStringLiteral("    {\"channel\": %1, \"reverse\": %2, \"min\": %3, \"mid\": %4, \"max\": %5, "
                          "\"sourceType\": %6, \"sourceId\": %7}")
        .arg(channel)
        .arg(s.reverse ? QStringLiteral("true") : QStringLiteral("false"))
        .arg(s.min)
        .arg(s.mid)
        .arg(s.max)
        .arg(s.sourceType)
        .arg(s.sourceId);
}

bool isWholeNumber(const QJsonValue &value)
{
    const double number = value.toDouble();
    return value.isDouble() && std::isfinite(number) && std::floor(number) == number;
}

} // namespace

ChannelSetting channelSettingOf(const DeviceState &state, int index)
{
    ChannelSetting setting;
    setting.reverse = state.chReverse[index] != 1;
    setting.min = state.chMin[index];
    setting.mid = state.chMid[index];
    setting.max = state.chMax[index];
    setting.sourceType = state.chEntityType[index];
    setting.sourceId = state.chEntityId[index];
    return setting;
}

QByteArray channelSetPayload(int channel, const ChannelSetting &setting, ChannelPart part)
{
    QByteArray payload(1, char(channel));
    switch (part) {
    case ChannelPart::Direction:
        return payload.append(char(setting.reverse ? 0xFF : 0x01));
    case ChannelPart::Source:
        return payload.append(char(setting.sourceType)).append(char(setting.sourceId));
    case ChannelPart::Mapping:
        break;
    }
    payload.resize(7);
    auto *bytes = reinterpret_cast<uint8_t *>(payload.data());
    writeU16(bytes + 1, setting.min);
    writeU16(bytes + 3, setting.mid);
    writeU16(bytes + 5, setting.max);
    return payload;
}

bool samePart(const ChannelSetting &a, const ChannelSetting &b, ChannelPart part)
{
    switch (part) {
    case ChannelPart::Direction:
        return a.reverse == b.reverse;
    case ChannelPart::Source:
        return a.sourceType == b.sourceType && a.sourceId == b.sourceId;
    case ChannelPart::Mapping:
        break;
    }
    return a.min == b.min && a.mid == b.mid && a.max == b.max;
}

bool operator==(const ChannelSetting &a, const ChannelSetting &b)
{
    return samePart(a, b, ChannelPart::Direction) && samePart(a, b, ChannelPart::Source)
           && samePart(a, b, ChannelPart::Mapping);
}

QByteArray ChannelSettingsFile::toJson(const ChannelSettings &settings)
{
    QStringList lines{QStringLiteral("{"), QStringLiteral("  \"format\": %1,").arg(jsonString(FormatName)),
                      QStringLiteral("  \"version\": %1,").arg(FormatVersion)};
    if (!settings.hardwareId.isEmpty() || !settings.serial.isEmpty()) {
        lines << QStringLiteral("  \"controller\": {\"hardwareId\": %1, \"serial\": %2},")
                     .arg(jsonString(settings.hardwareId), jsonString(settings.serial));
    }
    lines << QStringLiteral("  \"channels\": [");
    for (int index = 0; index < ChannelCount; ++index) {
        const QString comma = index + 1 < ChannelCount ? QStringLiteral(",") : QString();
        lines << channelLine(index + 1, settings.channels[size_t(index)]) + comma;
    }
    lines << QStringLiteral("  ]") << QStringLiteral("}") << QString();
    return lines.join(QLatin1Char('\n')).toUtf8();
}

namespace {

// Checks and takes one entry of the channel list; fills error on the first fault.
class ChannelEntryReader
{
    Q_DECLARE_TR_FUNCTIONS(ChannelSettingsFile)

public:
    ChannelEntryReader(ChannelSettings &settings, QString &error) : settings(settings), error(error) {}

    bool read(const QJsonValue &entry, int position)
    {
        if (!entry.isObject()) {
            error = tr("Entry %1 of the channel list is not an object.").arg(position);
            return false;
        }
        object = entry.toObject();
        const QJsonValue number = object.value(QLatin1String("channel"));
        if (!isWholeNumber(number) || number.toDouble() < 1 || number.toDouble() > ChannelCount) {
            error = tr("Entry %1 of the channel list has no channel number from 1 to 16.").arg(position);
            return false;
        }
        channel = number.toInt();
        if (seen[size_t(channel - 1)]) {
            error = tr("Channel %1 is listed more than once.").arg(channel);
            return false;
        }
        seen[size_t(channel - 1)] = true;
        return readValues(settings.channels[size_t(channel - 1)]);
    }

    // The first channel number no entry had, or 0.
    int firstMissing() const
    {
        for (int index = 0; index < ChannelCount; ++index) {
            if (!seen[size_t(index)])
                return index + 1;
        }
        return 0;
    }

private:
    bool readValues(ChannelSetting &setting)
    {
        const QJsonValue reverse = object.value(QLatin1String("reverse"));
        if (!reverse.isBool()) {
            error = tr("Channel %1: \"reverse\" must be true or false.").arg(channel);
            return false;
        }
        setting.reverse = reverse.toBool();
        int min = 0, mid = 0, max = 0, type = 0, id = 0;
        if (!number("min", 0xFFFF, &min) || !number("mid", 0xFFFF, &mid) || !number("max", 0xFFFF, &max)
            || !number("sourceType", 0xFF, &type) || !number("sourceId", 0xFF, &id))
            return false;
        setting.min = uint16_t(min);
        setting.mid = uint16_t(mid);
        setting.max = uint16_t(max);
        setting.sourceType = uint8_t(type);
        setting.sourceId = uint8_t(id);
        return true;
    }

    bool number(const char *name, int maximum, int *out)
    {
        const QJsonValue value = object.value(QLatin1String(name));
        const QString key = QLatin1String(name);
        if (value.isUndefined()) {
            error = tr("Channel %1: \"%2\" is missing.").arg(channel).arg(key);
            return false;
        }
        if (!isWholeNumber(value)) {
            error = tr("Channel %1: \"%2\" must be a whole number from 0 to %3.").arg(channel).arg(key).arg(maximum);
            return false;
        }
        const double number = value.toDouble();
        if (number < 0 || number > maximum) {
            error = tr("Channel %1: \"%2\" is %3, outside 0 to %4.")
                        .arg(channel)
                        .arg(key, QString::number(number, 'g', 15))
                        .arg(maximum);
            return false;
        }
        *out = int(number);
        return true;
    }

    ChannelSettings &settings;
    QString &error;
    QJsonObject object;
    int channel = 0;
    std::array<bool, ChannelCount> seen{};
};

} // namespace

bool ChannelSettingsFile::fromJson(const QByteArray &json, ChannelSettings *settings, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = tr("The file is not valid JSON: %1 at byte %2.").arg(parseError.errorString()).arg(parseError.offset);
        return false;
    }
    const QJsonObject root = document.object();
    if (root.value(QLatin1String("format")).toString() != FormatName) {
        *error = tr("The file is not a channel settings file: its format is not \"%1\".").arg(FormatName);
        return false;
    }
    const QJsonValue version = root.value(QLatin1String("version"));
    if (!isWholeNumber(version) || version.toDouble() != FormatVersion) {
        *error = tr("The file is of another format version; this program reads version %1.").arg(FormatVersion);
        return false;
    }
    const QJsonValue list = root.value(QLatin1String("channels"));
    if (!list.isArray()) {
        *error = tr("The file has no channel list.");
        return false;
    }
    ChannelSettings result;
    const QJsonObject controller = root.value(QLatin1String("controller")).toObject();
    result.hardwareId = controller.value(QLatin1String("hardwareId")).toString();
    result.serial = controller.value(QLatin1String("serial")).toString();
    ChannelEntryReader reader(result, *error);
    const QJsonArray entries = list.toArray();
    for (int position = 0; position < entries.size(); ++position) {
        if (!reader.read(entries.at(position), position + 1))
            return false;
    }
    if (const int missing = reader.firstMissing()) {
        *error = tr("Channel %1 is missing.").arg(missing);
        return false;
    }
    *settings = result;
    return true;
}

bool ChannelSettingsFile::read(const QString &path, ChannelSettings *settings, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = tr("Cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    return fromJson(file.readAll(), settings, error);
}

bool ChannelSettingsFile::write(const QString &path, const ChannelSettings &settings, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(toJson(settings)) >= 0 && file.commit())
        return true;
    *error = tr("Cannot write %1: %2").arg(path, file.errorString());
    return false;
}

} // namespace Koru
