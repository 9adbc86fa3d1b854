#pragma once

#include <QElapsedTimer>

namespace Koru {

// Lets at most a fixed number of log lines of one kind through per second and counts the
// ones it holds back, so that a device flooding the same kind of answer with changing
// contents cannot fill the log, while the first lines of every second still tell.
class LogLimiter
{
public:
    static constexpr int LinesPerSecond = 10;

    // True when a line may be written now.
    bool allow();
    // The lines held back since the last call; the count starts again at 0.
    int takeHeldBack();

private:
    QElapsedTimer second;
    int written = 0;
    int heldBack = 0;
};

} // namespace Koru
