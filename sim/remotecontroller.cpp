#include "remotecontroller.h"

#include <QDate>

#include <cmath>

namespace Koru {
namespace {

constexpr double TwoPi = 6.283185307179586;

enum CalibrationStep : uint8_t { StepStatus = 0, StepStart = 1, StepFinish = 2 };

// Source types as the controller numbers them.
enum SourceType : uint8_t { Primary = 0, Auxiliary = 1, RightDial = 4 };
constexpr uint8_t LeftDial = 4;
constexpr uint8_t FirstSwitch = 5;
constexpr uint8_t LastSwitch = 10;
// The auxiliary switches S1..S4 are auxiliary sources 2 to 5.
constexpr uint8_t FirstAuxiliarySwitch = 2;

const uint8_t *bytesOf(const QByteArray &array)
{
    return reinterpret_cast<const uint8_t *>(array.constData());
}

// Position of a stick, dial or switch between -1 and 1 at time t (seconds). The right
// stick circles, the left one draws a Lissajous figure, dials sweep slowly and the
// three-position switches step every three seconds.
double sourcePosition(uint8_t type, uint8_t id, double t)
{
    if (type == RightDial && id == 0)
        return std::cos(TwoPi * 0.07 * t);
    if (type != Primary)
        return 0.0;
    switch (id) {
    case 0: return std::sin(TwoPi * 0.25 * t);
    case 1: return std::cos(TwoPi * 0.25 * t);
    case 2: return std::cos(TwoPi * 0.3 * t);
    case 3: return std::sin(TwoPi * 0.2 * t);
    case LeftDial: return std::sin(TwoPi * 0.05 * t);
    default: break;
    }
    if (id >= FirstSwitch && id <= LastSwitch)
        return double((int(t / 3.0) + id) % 3 - 1);
    return 0.0;
}

// Maps a position between -1 and 1 through the channel's direction and mapping values.
int16_t channelValue(double position, const RemoteController::Channel &channel)
{
    const double p = channel.direction == 1 ? position : -position;
    const double mid = int16_t(channel.mid);
    const double span = p >= 0 ? double(int16_t(channel.max)) - mid : mid - double(int16_t(channel.min));
    return int16_t(std::lround(mid + p * span));
}

void writeU16At(QByteArray &array, int offset, uint16_t value)
{
    writeU16(reinterpret_cast<uint8_t *>(array.data()) + offset, value);
}

} // namespace

RemoteController::RemoteController(const SimulatorOptions &options) : options(options)
{
    restoreDefaults();
}

void RemoteController::restoreDefaults()
{
    // J1..J4, the left dial, the right dial, switches SA..SF, then S1..S4.
    for (uint8_t i = 0; i < ChannelCount; ++i) {
        Channel &channel = channels[i];
        channel = Channel{};
        if (i <= LeftDial) {
            channel.sourceId = i;
        } else if (i == LeftDial + 1) {
            channel.sourceType = RightDial;
        } else if (i <= LastSwitch + 1) {
            channel.sourceId = uint8_t(i - 1);
        } else {
            channel.sourceType = Auxiliary;
            channel.sourceId = uint8_t(FirstAuxiliarySwitch + i - (LastSwitch + 2));
        }
    }
}

std::optional<QByteArray> RemoteController::handle(uint8_t commandId, const QByteArray &request)
{
    switch (commandId) {
    case CMD_ID_CALIBRATION:
        if (request.size() < 2)
            return std::nullopt;
        return calibrate(uint8_t(request[1]));
    case CMD_ID_PRODUCTION_DATE:
    case CMD_ID_SET_PRODUCTION_DATE:
        return productionDate(commandId, request);
    default:
        break;
    }
    if (request.isEmpty())
        return std::nullopt;
    const int index = uint8_t(request[0]) - 1;
    if (index < 0 || index >= ChannelCount)
        return std::nullopt;
    if (index + 1 != options.ignoreSetsOfChannel)
        set(commandId, index, request);
    if (index + 1 == options.silentChannel)
        return std::nullopt;
    return query(commandId, index);
}

std::optional<QByteArray> RemoteController::query(uint8_t commandId, int index) const
{
    const Channel &channel = channels[size_t(index)];
    QByteArray answer(1, char(index + 1));
    switch (commandId) {
    case CMD_ID_GET_REVERSE:
        return answer.append(char(channel.direction));
    case CMD_ID_GET_ENTITY:
        return answer.append(char(channel.sourceType)).append(char(channel.sourceId));
    case CMD_ID_GET_MAP:
        answer.resize(7);
        writeU16At(answer, 1, channel.min);
        writeU16At(answer, 3, channel.mid);
        writeU16At(answer, 5, channel.max);
        return answer;
    default:
        return std::nullopt;
    }
}

void RemoteController::set(uint8_t commandId, int index, const QByteArray &request)
{
    Channel &channel = channels[size_t(index)];
    const uint8_t *bytes = bytesOf(request);
    if (commandId == CMD_ID_SET_REVERSE && request.size() >= 2) {
        channel.direction = bytes[1];
    } else if (commandId == CMD_ID_SET_ENTITY && request.size() >= 3) {
        channel.sourceType = bytes[1];
        channel.sourceId = bytes[2];
    } else if (commandId == CMD_ID_SET_MAP && request.size() >= 7) {
        channel.min = readU16(bytes + 1);
        channel.mid = readU16(bytes + 3);
        channel.max = readU16(bytes + 5);
    }
}

QByteArray RemoteController::calibrate(uint8_t step)
{
    if (calibration == Centre && centreClock.hasExpired(options.calibrationCentreMs))
        calibration = Extremes;
    if (step == StepStart) {
        calibration = Centre;
        centreClock.start();
    } else if (step == StepFinish && calibration == Extremes) {
        calibration = Complete;
    }
    QByteArray status(3, '\0');
    status[1] = char(calibration);
    status[2] = char(options.calibrationError ? 1 : 0);
    return status;
}

std::optional<QByteArray> RemoteController::productionDate(uint8_t commandId, const QByteArray &request)
{
    if (commandId == CMD_ID_PRODUCTION_DATE) {
        QByteArray answer(4, '\0');
        writeU32(reinterpret_cast<uint8_t *>(answer.data()), date);
        return answer;
    }
    if (request.size() < 4)
        return std::nullopt;
    // Only a real calendar date written as yyyyMMdd is taken.
    const uint32_t value = readU32(bytesOf(request));
    const bool valid = QDate::fromString(QString::number(value), QStringLiteral("yyyyMMdd")).isValid();
    if (valid)
        date = value;
    return QByteArray(1, char(valid ? 1 : 0));
}

QByteArray RemoteController::liveValues(double seconds) const
{
    QByteArray payload(ChannelCount * 2, '\0');
    for (int i = 0; i < ChannelCount; ++i) {
        const Channel &channel = channels[size_t(i)];
        const double position = sourcePosition(channel.sourceType, channel.sourceId, seconds);
        writeU16At(payload, i * 2, uint16_t(channelValue(position, channel)));
    }
    return payload;
}

} // namespace Koru
