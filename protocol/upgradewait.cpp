#include "upgradewait.h"

#include <algorithm>

namespace Koru {

void StepWait::begin(const UpgradeStepTimes &stepTimes, qint64 now)
{
    times = stepTimes;
    began = sent = tested = now;
}

bool StepWait::takeResend(qint64 now)
{
    if (now - sent < times.resendMs)
        return false;
    sent = now;
    return true;
}

bool StepWait::takePresenceTest(qint64 now)
{
    if (times.presenceMs <= 0 || now - tested < times.presenceMs)
        return false;
    tested = now;
    return true;
}

qint64 StepWait::nextDue() const
{
    qint64 next = std::min(sent + times.resendMs, began + times.giveUpMs);
    if (times.presenceMs > 0)
        next = std::min(next, tested + times.presenceMs);
    return next;
}

} // namespace Koru
