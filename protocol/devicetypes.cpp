#include "devicetypes.h"

#include <QCoreApplication>

namespace {

struct DeviceType
{
    uint8_t id;
    const char *key;
};

const DeviceType DeviceTypes[] = {
    {0x10, QT_TRANSLATE_NOOP("UpdateFileItem", "主控")},
    {0x13, QT_TRANSLATE_NOOP("UpdateFileItem", "xt")},
    {0x15, QT_TRANSLATE_NOOP("UpdateFileItem", "DATALINK")},
    {0x17, QT_TRANSLATE_NOOP("UpdateFileItem", "UpgradeTools")},
    {0x18, QT_TRANSLATE_NOOP("UpdateFileItem", "vo")},
    {0x1A, QT_TRANSLATE_NOOP("UpdateFileItem", "Bluetooth")},
    {0x1C, QT_TRANSLATE_NOOP("UpdateFileItem", "WIFI")},
    {0x1E, QT_TRANSLATE_NOOP("UpdateFileItem", "ImageTransmission")},
    {0x20, QT_TRANSLATE_NOOP("UpdateFileItem", "GPS")},
    {0x22, QT_TRANSLATE_NOOP("UpdateFileItem", "RangeExtender")},
    {0x24, QT_TRANSLATE_NOOP("UpdateFileItem", "4G")},
    {0x26, QT_TRANSLATE_NOOP("UpdateFileItem", "ConfigFile")},
    {0x28, QT_TRANSLATE_NOOP("UpdateFileItem", "DJI HUB")},
    {0x2A, QT_TRANSLATE_NOOP("UpdateFileItem", "KORU TOOLS")},
    {0x2C, QT_TRANSLATE_NOOP("UpdateFileItem", "EXT Module")},
    {0x2E, QT_TRANSLATE_NOOP("UpdateFileItem", "Gimbal")},
    {0x30, QT_TRANSLATE_NOOP("UpdateFileItem", "ZOOM")},
};

const DeviceType *findDeviceType(uint8_t deviceId)
{
    for (const DeviceType &type : DeviceTypes) {
        if (type.id == deviceId)
            return &type;
    }
    return nullptr;
}

} // namespace

const char *deviceTypeKey(uint8_t deviceId)
{
    const DeviceType *type = findDeviceType(deviceId);
    return type ? type->key : "unkownDevice";
}

bool isKnownDeviceType(uint8_t deviceId)
{
    return findDeviceType(deviceId) != nullptr;
}

QString deviceTypeName(uint8_t deviceId)
{
    return QCoreApplication::translate("UpdateFileItem", deviceTypeKey(deviceId)).simplified();
}

const QVector<uint8_t> &upgradableDeviceIds()
{
    static const QVector<uint8_t> ids = [] {
        QVector<uint8_t> list;
        for (const DeviceType &type : DeviceTypes)
            list.append(type.id);
        return list;
    }();
    return ids;
}
