#include "outputpacer.h"

#include "timerslack.h"

#include <algorithm>

namespace Koru {

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
    makeThreadTimersExact();
    timer.start(int(std::max<qint64>(0, queue.front().due - clock.elapsed())));
}

} // namespace Koru
