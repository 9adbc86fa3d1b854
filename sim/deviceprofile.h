#pragma once

#include <QByteArray>

#include <cstdint>

namespace Koru {

// What a simulated device reports about itself: versions, hardware id and unique id.
struct DeviceProfile
{
    uint8_t deviceId = 0;
    uint32_t firmwareVersion = 0;
    uint32_t bootLoaderVersion = 0;
    QByteArray hardwareId; // at most 12 characters
    QByteArray uid;        // 16 bytes

    // Distinct, plausible values for every device id.
    static DeviceProfile forDevice(uint8_t deviceId);

    // Answer payloads of the version (20 bytes) and identity (16 bytes) requests.
    QByteArray versionPayload() const;
    QByteArray uidPayload() const { return uid; }
};

} // namespace Koru
