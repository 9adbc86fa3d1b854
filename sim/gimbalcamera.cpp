#include "gimbalcamera.h"

#include "frame.h"

namespace Koru {
namespace {

constexpr uint32_t CameraFirmware = 0x00010203;
constexpr uint8_t LastResolution = 1;
constexpr uint8_t LastCodeFormat = 1;
constexpr int MaxIpLength = 15;

} // namespace

std::optional<QByteArray> GimbalCamera::handle(uint8_t commandId, const QByteArray &request)
{
    switch (commandId) {
    case CMD_ID_GET_GIMBAL_CH:
    case CMD_ID_SET_GIMBAL_CH:
        return assignChannel(commandId, request);
    case CMD_ID_GET_CAMERA_CONFIG:
        return QByteArray().append(char(resolution)).append(char(codeFormat));
    case CMD_ID_SET_CAMERA_CONFIG:
        return configure(request);
    case CMD_ID_GET_CAMERA_IP:
        return ip + '\0';
    case CMD_ID_SET_CAMERA_IP:
        setIp(request);
        return std::nullopt;
    case CMD_ID_GET_CAMERA_FW: {
        QByteArray answer(4, '\0');
        writeU32(reinterpret_cast<uint8_t *>(answer.data()), CameraFirmware);
        return answer;
    }
    default:
        return std::nullopt;
    }
}

std::optional<QByteArray> GimbalCamera::assignChannel(uint8_t commandId, const QByteArray &request)
{
    if (request.isEmpty() || uint8_t(request[0]) >= FunctionCount)
        return std::nullopt;
    const uint8_t function = uint8_t(request[0]);
    if (commandId == CMD_ID_GET_GIMBAL_CH)
        return QByteArray().append(char(function)).append(char(channels[function]));
    if (request.size() >= 2)
        channels[function] = uint8_t(request[1]);
    return std::nullopt;
}

QByteArray GimbalCamera::configure(const QByteArray &request)
{
    const bool valid = request.size() >= 2 && uint8_t(request[0]) <= LastResolution
                       && uint8_t(request[1]) <= LastCodeFormat;
    if (valid) {
        resolution = uint8_t(request[0]);
        codeFormat = uint8_t(request[1]);
    }
    return QByteArray(1, char(valid ? 1 : 0));
}

void GimbalCamera::setIp(const QByteArray &request)
{
    const int end = request.indexOf('\0');
    const QByteArray text = end < 0 ? request : request.left(end);
    if (!text.isEmpty() && text.size() <= MaxIpLength)
        ip = text;
}

} // namespace Koru
