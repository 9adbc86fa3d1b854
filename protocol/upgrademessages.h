#pragma once

#include "textkey.h"

#include <QString>

#include <cstdint>

struct DeviceState;

namespace Koru {

// The message of an upgrade code: for a negative code (a device refusal, a time-out, a
// lost port) the code's key, else key itself, both in the upgrade engine's context.
TextKey upgradeMessage(int code, const char *key);

// The error stage the receive path recorded (1 start, 2 data, 3 end), cleared on reading.
uint8_t takeUpgradeErrorStage(DeviceState &state);

} // namespace Koru
