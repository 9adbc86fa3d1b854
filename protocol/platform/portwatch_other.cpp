#include "portwatch.h"

// Qt offers no notice of serial ports coming and going on these systems.
bool watchPortChanges(QObject *, const std::function<void()> &)
{
    return false;
}
