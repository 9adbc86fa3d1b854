#include "loglimiter.h"

namespace Koru {

bool LogLimiter::allow()
{
    if (!second.isValid() || second.elapsed() >= 1000) {
        second.start();
        written = 0;
    }
    if (written < LinesPerSecond) {
        ++written;
        return true;
    }
    ++heldBack;
    return false;
}

int LogLimiter::takeHeldBack()
{
    const int count = heldBack;
    heldBack = 0;
    return count;
}

} // namespace Koru
