#include "timerslack.h"

namespace Koru {

// Other systems give a precise timer no slack to take away.
void makeThreadTimersExact() {}

} // namespace Koru
