#include "outputpacer.h"

#include <algorithm>

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

namespace Koru {
namespace {

// Linux lets a sleeping thread's timers fire up to 50 us late by default, to batch
// wake-ups; on a device delay of 1 ms that is 5 % of the upgrade's speed. Asked once per
// thread, as the slack belongs to the thread whose event loop runs the timer.
void makeTimersExact()
{
#ifdef Q_OS_LINUX
    [[maybe_unused]] static thread_local const int asked = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}

} // namespace

OutputPacer::OutputPacer(QObject *parent) : QObject(parent)
{
    clock.start();
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &OutputPacer::release);
}

void OutputPacer::push(const QByteArray &bytes, int delayMs, int gapMs)
{
    const qint64 now = clock.elapsed();
    const qint64 due = std::max(now + std::max(delayMs, 0), lastDue + std::max(gapMs, 0));
    lastDue = due;
    if (queue.empty() && due <= now) {
        emit ready(bytes);
        return;
    }
    queue.push_back({due, bytes});
    schedule();
}

void OutputPacer::clear()
{
    queue.clear();
    timer.stop();
}

void OutputPacer::release()
{
    while (!queue.empty() && queue.front().due <= clock.elapsed()) {
        const QByteArray bytes = queue.front().bytes;
        queue.pop_front();
        emit ready(bytes);
    }
    schedule();
}

void OutputPacer::schedule()
{
    if (queue.empty())
        return;
    makeTimersExact();
    timer.start(int(std::max<qint64>(0, queue.front().due - clock.elapsed())));
}

} // namespace Koru
