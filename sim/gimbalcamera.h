#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <optional>

namespace Koru {

// The gimbal's function-to-channel assignments and the camera's settings.
class GimbalCamera
{
public:
    static constexpr int FunctionCount = 11;

    // Answers a request of command set 0x11; no value when nothing is answered.
    std::optional<QByteArray> handle(uint8_t commandId, const QByteArray &request);

private:
    std::optional<QByteArray> assignChannel(uint8_t commandId, const QByteArray &request);
    QByteArray configure(const QByteArray &request);
    void setIp(const QByteArray &request);

    // Selector index per function: 0..15 are channels 1..16, 16 is none.
    std::array<uint8_t, FunctionCount> channels{5, 16, 6, 7, 16, 8, 9, 10, 16, 11, 16};
    uint8_t resolution = 1; // 1080P
    uint8_t codeFormat = 0; // H264
    QByteArray ip = "192.168.144.25";
};

} // namespace Koru
