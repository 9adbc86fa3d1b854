#include "timerslack.h"

#include <sys/prctl.h>

namespace Koru {

void makeThreadTimersExact()
{
    // The slack belongs to the thread whose event loop runs the timer: asked once per thread.
    [[maybe_unused]] static thread_local const int asked = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

} // namespace Koru
