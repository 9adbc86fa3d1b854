#pragma once

#include <cstdint>

// Channel percentage: P runs from 0 at value = min - mid to 100 at value = max + mid,
// computed as Q = (max + mid - value) * 100 / (min - max - 2 * mid) and P = Q + 100.
// An empty range (min = max) and a zero divisor both show an empty bar and a stick at
// its low end (x 0, y 100).

// Bar percentage, clamped to 0..100. The maximum is read as signed.
int16_t chBarPercent(int16_t value, int16_t min, int16_t mid, int16_t max);

// Stick position: x = P, y = -Q (the top of the display is the high end). Not clamped;
// CrossWidget clamps both itself. The maximum is read as unsigned.
struct StickPercent
{
    int x = 0;
    int y = 100;
};
StickPercent chStickPercent(int16_t value, int16_t min, int16_t mid, uint16_t max);
