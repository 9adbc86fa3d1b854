#include "hostiledevice.h"

#include "simulatorhost.h"

using namespace Koru;

namespace {

// What one pass may put out, and how much may wait for the terminal before the next pass
// adds more: the flood keeps the terminal full without piling up in this process.
constexpr int BatchBytes = 4096;
constexpr qint64 MaxPendingBytes = 4096;

} // namespace

HostileDevice::HostileDevice(SimulatorHost *host) : QObject(host), host(host)
{
    sendTimer.setTimerType(Qt::PreciseTimer);
    sendTimer.setInterval(1);
    connect(&sendTimer, &QTimer::timeout, this, &HostileDevice::sendMore);
    connect(host->simulator(), &DeviceSimulator::input, this, &HostileDevice::count);
}

void HostileDevice::start(FrameMaker maker, int framesPerSecond, Poll poll)
{
    nextFrame = std::move(maker);
    rate = framesPerSecond;
    watchedPoll = poll;
    counts = {};
    clock.start();
    sendTimer.start();
}

HostileDevice::Counts HostileDevice::stop()
{
    sendTimer.stop();
    nextFrame = nullptr;
    counts.elapsedMs = clock.elapsed();
    return counts;
}

void HostileDevice::sendMore()
{
    if (host->pendingBytes() > MaxPendingBytes)
        return;
    const qint64 due = rate > 0 ? rate * clock.elapsed() / 1000 - counts.framesSent : -1;
    QByteArray batch;
    for (qint64 n = 0; batch.size() < BatchBytes && (due < 0 || n < due); ++n)
        batch += nextFrame(int(counts.framesSent++));
    if (!batch.isEmpty())
        host->inject(batch);
}

void HostileDevice::count(const QByteArray &written)
{
    writes.append(written);
    writes.takeFrames([this](const Frame &frame) {
        if (!sendTimer.isActive())
            return;
        ++counts.framesWritten;
        if (frame.commandSet() == GimbalSet && frame.commandId() == CMD_ID_SET_CAMERA_CONFIG)
            ++counts.cameraSets;
        if (frame.commandSet() == watchedPoll.set && frame.commandId() == watchedPoll.id
            && frame.target() == watchedPoll.target) {
            ++counts.pollFrames;
            counts.lastPollMs = clock.elapsed();
        }
    });
}
