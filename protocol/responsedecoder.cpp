#include "responsedecoder.h"

#include "loglimiter.h"

#include <QDebug>

#include <algorithm>
#include <cstring>

namespace Koru {
namespace {

struct Payload
{
    const uint8_t *bytes;
    int count;

    uint8_t at(int i) const { return bytes[i]; }
    bool atLeast(int n) const { return count >= n; }
};

// Text up to the first NUL byte or the end of the range.
QByteArray textUntilNul(const uint8_t *bytes, int count)
{
    const auto *begin = reinterpret_cast<const char *>(bytes);
    const auto *end = static_cast<const char *>(std::memchr(begin, 0, size_t(count)));
    return QByteArray(begin, end ? int(end - begin) : count);
}

bool validChannel(uint8_t channel)
{
    return channel >= 1 && channel <= ChannelCount;
}

DecodedResponse channelReport(Response kind, const Payload &p, int needed, DeviceState &state)
{
    if (!p.atLeast(needed))
        return {};
    const uint8_t channel = p.at(0);
    if (validChannel(channel)) {
        const int i = channel - 1;
        switch (kind) {
        case Response::ChannelReverse:
            state.chReverse[i] = p.at(1);
            break;
        case Response::ChannelEntity:
            state.chEntityType[i] = p.at(1);
            state.chEntityId[i] = p.at(2);
            break;
        default:
            state.chMin[i] = readU16(p.bytes + 1);
            state.chMid[i] = readU16(p.bytes + 3);
            state.chMax[i] = readU16(p.bytes + 5);
            break;
        }
    }
    DecodedResponse r;
    r.kind = kind;
    r.index = channel - 1;
    return r;
}

DecodedResponse remoteControllerResponse(uint8_t id, const Payload &p, DeviceState &state)
{
    DecodedResponse r;
    switch (id) {
    case CMD_ID_CH_VALUES: {
        // Replaces the first N bytes of the values; the rest keep theirs.
        const int count = std::min(p.count, int(sizeof state.chValues));
        for (int k = 0; k < count; ++k) {
            auto &v = state.chValues[k / 2];
            const int shift = (k % 2) * 8;
            v = int16_t((uint16_t(v) & ~(0xFF << shift)) | (p.at(k) << shift));
        }
        r.kind = Response::ChannelValues;
        return r;
    }
    case CMD_ID_CALIBRATION:
        if (!p.atLeast(3))
            return {};
        std::memcpy(state.caliStatus, p.bytes, 3);
        r.kind = Response::CalibrationStatus;
        return r;
    case CMD_ID_GET_REVERSE:
        return channelReport(Response::ChannelReverse, p, 2, state);
    case CMD_ID_GET_ENTITY:
        return channelReport(Response::ChannelEntity, p, 3, state);
    case CMD_ID_GET_MAP:
        return channelReport(Response::ChannelMap, p, 7, state);
    case CMD_ID_PRODUCTION_DATE:
        if (!p.atLeast(4))
            return {};
        r.kind = Response::ProductionDate;
        r.value = readU32(p.bytes);
        return r;
    case CMD_ID_SET_PRODUCTION_DATE:
        if (!p.atLeast(1))
            return {};
        r.kind = Response::ProductionDateSet;
        r.flag = p.at(0) == 1;
        return r;
    default:
        return {};
    }
}

// Every line costs the limiter's rate, and the count it held back is written first. The
// limit is the log's: one for each thread that runs a link (the window has one; koru-flash
// runs one per controller).
bool mayLogUpgradeAnswer()
{
    static thread_local LogLimiter limiter;
    if (!limiter.allow())
        return false;
    if (const int heldBack = limiter.takeHeldBack())
        qDebug() << "upgrade answers not logged:" << heldBack;
    return true;
}

void recordUpgradeError(DeviceState &state, uint8_t stage, int8_t code, const char *command)
{
    state.upgErrorStage = stage;
    state.upgErrorCode = code;
    if (mayLogUpgradeAnswer())
        qDebug().noquote() << QStringLiteral("error == %1 = ").arg(QLatin1String(command)) << code;
}

DecodedResponse upgradeResponse(uint8_t id, const Payload &p, DeviceState &state)
{
    if (!p.atLeast(1))
        return {};
    const int8_t status = int8_t(p.at(0));
    switch (id) {
    case CMD_ID_UPGRADE_START:
        state.upgStartAnswered = true;
        if (status == 1) {
            if (!p.atLeast(2))
                return {};
            state.upgMode = 1;
            state.onePackSize = p.at(1);
            state.upgAckFlag = true;
        } else if (status == 2) {
            state.upgMode = 2;
            state.upgAckFlag = true;
        } else {
            state.upgMode = 0;
            recordUpgradeError(state, 1, status, "CMD_ID_UPGRADE_START");
        }
        break;
    case CMD_ID_UPGRADE_DATA:
        if (status >= 0) {
            if (!p.atLeast(3))
                return {};
            state.upgAckIndex = readU16(p.bytes + 1);
            state.upgAckFlag = true;
        } else {
            recordUpgradeError(state, 2, status, "CMD_ID_UPGRADE_DATA");
        }
        break;
    default: // CMD_ID_UPGRADE_END
        if (status == 1) {
            if (mayLogUpgradeAnswer())
                qDebug() << "ok == CMD_ID_UPGRADE_END = " << state.upgErrorCode;
            state.upgAckFlag = true;
        } else {
            recordUpgradeError(state, 3, status, "CMD_ID_UPGRADE_END");
        }
        break;
    }
    DecodedResponse r;
    r.kind = Response::UpgradeAnswer;
    r.value = id;
    return r;
}

DecodedResponse commonResponse(uint8_t id, const Payload &p, DeviceState &state)
{
    DecodedResponse r;
    switch (id) {
    case CMD_ID_VERSION:
        if (!p.atLeast(8))
            return {};
        std::memset(state.deviceVersion, 0, sizeof state.deviceVersion);
        std::memcpy(state.deviceVersion, p.bytes, size_t(std::min(p.count, int(sizeof state.deviceVersion))));
        r.kind = Response::DeviceVersion;
        return r;
    case CMD_ID_UID:
        if (!p.atLeast(8))
            return {};
        std::memset(state.deviceUid, 0, sizeof state.deviceUid);
        std::memcpy(state.deviceUid, p.bytes, size_t(std::min(p.count, int(sizeof state.deviceUid))));
        r.kind = Response::DeviceUid;
        return r;
    case CMD_ID_UPGRADE_START:
    case CMD_ID_UPGRADE_DATA:
    case CMD_ID_UPGRADE_END:
        return upgradeResponse(id, p, state);
    case CMD_ID_SCPZ_VALUES:
        state.scpzValues = decodeValueList(p.bytes, p.count);
        r.kind = Response::ScpzValues;
        return r;
    case CMD_ID_SCXS_VALUES:
        state.scxsValues = decodeValueList(p.bytes, p.count);
        r.kind = Response::ScxsValues;
        return r;
    case CMD_ID_SHELL_TEXT:
        // Invalid UTF-8 becomes replacement characters, so nothing vanishes silently.
        r.text = QString::fromUtf8(reinterpret_cast<const char *>(p.bytes), p.count);
        r.kind = Response::ShellText;
        return r;
    default:
        return {};
    }
}

DecodedResponse gimbalResponse(uint8_t id, const Payload &p, DeviceState &state)
{
    DecodedResponse r;
    switch (id) {
    case CMD_ID_GET_GIMBAL_CH:
        if (!p.atLeast(2) || p.at(0) >= GimbalFunctionCount)
            return {};
        state.gimbalCtlCh[p.at(0)] = p.at(1);
        r.kind = Response::GimbalChannel;
        r.index = p.at(0);
        return r;
    case CMD_ID_GET_CAMERA_CONFIG:
        if (!p.atLeast(2))
            return {};
        state.cameraResolution = p.at(0);
        state.cameraCodeFormat = p.at(1);
        r.kind = Response::CameraConfig;
        return r;
    case CMD_ID_SET_CAMERA_CONFIG:
        r.kind = Response::CameraConfigChanged;
        return r;
    case CMD_ID_GET_CAMERA_IP:
        r.kind = Response::CameraIp;
        r.text = QString::fromLatin1(textUntilNul(p.bytes, p.count));
        state.ipReceived = true;
        return r;
    case CMD_ID_GET_CAMERA_FW:
        if (!p.atLeast(4))
            return {};
        r.kind = Response::CameraFirmware;
        r.value = readU32(p.bytes);
        return r;
    default:
        return {};
    }
}

} // namespace

QVector<ScValue> decodeValueList(const uint8_t *payload, int count)
{
    QVector<ScValue> values;
    for (int at = 0; at + ValueRecordSize <= count; at += ValueRecordSize) {
        ScValue v;
        v.id = uint8_t(payload[at] - 1);
        const uint32_t bits = readU32(payload + at + 1);
        std::memcpy(&v.value, &bits, sizeof v.value);
        values.append(v);
    }
    return values;
}

DecodedResponse applyResponse(const Frame &frame, DeviceState &state)
{
    if (frame.length < FrameOverhead || !frameEndValid(frame.data(), frame.length))
        return {};
    const Payload payload{frame.payload(), frame.payloadSize()};
    DecodedResponse response;
    switch (frame.commandSet()) {
    case RemoteControllerSet:
        response = remoteControllerResponse(frame.commandId(), payload, state);
        break;
    case CommonSet:
        response = commonResponse(frame.commandId(), payload, state);
        break;
    case GimbalSet:
        response = gimbalResponse(frame.commandId(), payload, state);
        break;
    default:
        return {};
    }
    // The controller and the module side answer the same channel queries into one state.
    response.source = frame.source();
    return response;
}

} // namespace Koru
