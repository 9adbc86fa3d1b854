#pragma once

#include <QString>
#include <QVector>

#include <cstdint>

// Untranslated name key of an upgradable device type (context "UpdateFileItem"), or
// "unkownDevice" for an id outside the table.
const char *deviceTypeKey(uint8_t deviceId);

// The type's name in the installed translation, on one line: the catalogues break long
// names in two for the window's narrow column.
QString deviceTypeName(uint8_t deviceId);

// The id is in the table of upgradable device types.
bool isKnownDeviceType(uint8_t deviceId);

// The ids of the table, in its order: the order in which devices are asked who they are.
const QVector<uint8_t> &upgradableDeviceIds();
