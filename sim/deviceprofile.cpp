#include "deviceprofile.h"

#include "frame.h"

namespace Koru {
namespace {

constexpr int HardwareIdSize = 12;
constexpr int UidSize = 16;

struct KnownDevice
{
    uint8_t id;
    uint32_t firmware;
    uint32_t bootLoader;
    const char *hardwareId;
};

constexpr KnownDevice KnownDevices[] = {
    {0x10, 0x00010402, 0x00010003, "KRC-T16S-A2"},
    {0x13, 0x00020107, 0x00010001, "KRX-R12"},
    {0x1E, 0x00030005, 0x00010100, "KIT-HD1080"},
    {0x2C, 0x00010200, 0x00010002, "KEM-M2"},
    {0x2E, 0x00010203, 0x00010001, "KGC-Z10"},
};

QByteArray uidFor(uint8_t deviceId)
{
    // A fixed maker prefix, the device id, then bytes from a small LCG seeded by the id.
    QByteArray uid("\x4B\x52\x11", 3);
    uid.append(char(deviceId));
    uint32_t state = 0x9E3779B9u ^ deviceId;
    while (uid.size() < UidSize) {
        state = state * 1664525u + 1013904223u;
        uid.append(char(state >> 24));
    }
    return uid;
}

} // namespace

DeviceProfile DeviceProfile::forDevice(uint8_t deviceId)
{
    DeviceProfile profile;
    profile.deviceId = deviceId;
    profile.uid = uidFor(deviceId);
    for (const KnownDevice &known : KnownDevices) {
        if (known.id == deviceId) {
            profile.firmwareVersion = known.firmware;
            profile.bootLoaderVersion = known.bootLoader;
            profile.hardwareId = known.hardwareId;
            return profile;
        }
    }
    profile.firmwareVersion = 0x00010000u | deviceId;
    profile.bootLoaderVersion = 0x00010000u;
    profile.hardwareId = QByteArray("KDEV-") + QByteArray::number(deviceId, 16).toUpper();
    return profile;
}

QByteArray DeviceProfile::versionPayload() const
{
    QByteArray payload(8 + HardwareIdSize, '\0');
    auto *bytes = reinterpret_cast<uint8_t *>(payload.data());
    writeU32(bytes, firmwareVersion);
    writeU32(bytes + 4, bootLoaderVersion);
    payload.replace(8, qMin(hardwareId.size(), HardwareIdSize), hardwareId.left(HardwareIdSize));
    return payload;
}

} // namespace Koru
