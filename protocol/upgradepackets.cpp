#include "upgradepackets.h"

namespace Koru {

PacketPlan::Fit PacketPlan::fit() const
{
    if (packetSize <= 0)
        return Fit::NoPacketSize;
    if (packetSize > MaxPacketSize)
        return Fit::PacketTooLarge;
    if (uint64_t(lastNum()) + 1 > MaxPacketCount)
        return Fit::TooManyPackets;
    return Fit::Ok;
}

int PacketPlan::length(uint32_t packet) const
{
    if (packet < lastNum())
        return packetSize;
    return int(size - offset(lastNum()));
}

} // namespace Koru
