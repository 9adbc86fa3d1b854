#pragma once

namespace Koru {

// Asks the system to fire the calling thread's timers on time rather than batch their
// wake-ups, where it batches them: Linux lets them be 50 us late, which is 5 % of the
// upgrade's speed on a device delay of 1 ms. Cheap to call again on the same thread.
void makeThreadTimersExact();

} // namespace Koru
