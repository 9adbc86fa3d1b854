#include "upgradehost.h"

#include "devicestate.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace Koru {

bool upgradeAnswerPending(const DeviceState &state)
{
    return state.upgAckFlag || state.upgErrorCode < 0;
}

int processEventsUntilAnswer(const DeviceState &state, int maxMs)
{
    QElapsedTimer clock;
    clock.start();
    // Bounds each blocking wait for events, so the elapsed time is checked often.
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.start(2);
    while (!upgradeAnswerPending(state) && clock.elapsed() < maxMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return int(clock.elapsed());
}

} // namespace Koru
