#pragma once

#include <QString>

#include <cstdint>

struct DeviceState;

namespace Koru {

// Message shown for an upgrade code: for a negative code (a device refusal, a time-out,
// a lost port) the translation of the code's key, else text itself.
QString upgradeMessageText(int code, const QString &text);

// The error stage the receive path recorded (1 start, 2 data, 3 end), cleared on reading.
uint8_t takeUpgradeErrorStage(DeviceState &state);

} // namespace Koru
