#include "chpercent.h"

#include <optional>

namespace {

// Q of the percentage rule, or nothing when the range is empty or the divisor is zero.
std::optional<int32_t> chQuotient(int32_t value, int32_t min, int32_t mid, int32_t max)
{
    const int32_t divisor = min - max - 2 * mid;
    if (max == min || divisor == 0)
        return std::nullopt;
    return (max + mid - value) * 100 / divisor;
}

int16_t percentOf(int32_t quotient)
{
    return static_cast<int16_t>(quotient + 100);
}

} // namespace

int16_t chBarPercent(int16_t value, int16_t min, int16_t mid, int16_t max)
{
    const auto quotient = chQuotient(value, min, mid, max);
    if (!quotient)
        return 0;
    const int16_t percent = percentOf(*quotient);
    return percent < 0 ? 0 : (percent > 100 ? 100 : percent);
}

StickPercent chStickPercent(int16_t value, int16_t min, int16_t mid, uint16_t max)
{
    const auto quotient = chQuotient(value, min, mid, max);
    if (!quotient)
        return {};
    return {percentOf(*quotient), -*quotient};
}
