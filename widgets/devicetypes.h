#pragma once

#include <cstdint>

// Untranslated name key of an upgradable device type (context "UpdateFileItem"), or
// "unkownDevice" for an id outside the table.
const char *deviceTypeKey(uint8_t deviceId);
// The id is in the table of upgradable device types.
bool isKnownDeviceType(uint8_t deviceId);
