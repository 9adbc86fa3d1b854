#pragma once

#include <cstdint>

namespace Koru {

// A data payload is the 16-bit packet number plus the packet's bytes, and the frame's
// length field is one byte: 253 file bytes at most per packet, 65536 packets at most.
constexpr int MaxPacketSize = 253;
constexpr uint32_t MaxPacketCount = 65536;

// How a file of a given size is cut into numbered packets of the device's packet size.
class PacketPlan
{
public:
    enum class Fit { Ok, NoPacketSize, PacketTooLarge, TooManyPackets };

    PacketPlan(uint32_t fileSize, int packetSize) : size(fileSize), packetSize(packetSize) {}

    // Whether the file can be sent at all; the other members need Fit::Ok.
    Fit fit() const;

    // Number of the last packet; an empty file still sends one empty packet 0.
    uint32_t lastNum() const { return size == 0 ? 0 : (size - 1) / uint32_t(packetSize); }
    uint32_t offset(uint32_t packet) const { return packet * uint32_t(packetSize); }
    int length(uint32_t packet) const;

private:
    uint32_t size;
    int packetSize;
};

} // namespace Koru
