// Flashes an image the way koru-flash does (device link, upgrade engine, a real QSerialPort)
// into the simulated devices on a pseudo-terminal served from their own thread, at a given
// device delay per request. The turnaround is measured where the device sees it: from an
// answer leaving the device to the next request arriving, the median over the run. It is
// the program's share of the stop-and-wait cycle; bound_share is delay / (delay +
// turnaround). packet_us is the whole cycle per packet on the wall clock, the device's
// timer included.

#include "devicelink.h"
#include "deviceport.h"
#include "portenumerator.h"
#include "qtbenchmarkmain.h"
#include "simulatorthread.h"
#include "upgradesession.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <optional>
#include <vector>

using namespace Koru;

namespace {

constexpr int ImageSize = 256 * 1024;
constexpr int PacketSize = 253;
constexpr int Packets = (ImageSize + PacketSize - 1) / PacketSize;
constexpr uint8_t Target = 0x13; // behind the controller: answers from its boot loader at once
// Bounds every wait for the run's end and for the reset that completes the image.
constexpr int WithinMs = 120000;

struct Flash
{
    double seconds = 0;
    double turnaroundUs = 0;
    QString error;
};

// Answer-to-request gaps as the simulated device sees them; written on its thread, read
// once it has stopped.
class TurnaroundProbe
{
public:
    explicit TurnaroundProbe(DeviceSimulator *device)
    {
        clock.start();
        QObject::connect(device, &DeviceSimulator::output, device,
                         [this](const QByteArray &) { answeredAt = clock.nsecsElapsed(); }, Qt::DirectConnection);
        QObject::connect(device, &DeviceSimulator::input, device, [this](const QByteArray &) {
            if (answeredAt >= 0)
                gaps.push_back(clock.nsecsElapsed() - answeredAt);
            answeredAt = -1;
        }, Qt::DirectConnection);
    }

    double medianUs()
    {
        if (gaps.empty())
            return 0;
        std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
        return double(gaps[gaps.size() / 2]) / 1000;
    }

private:
    QElapsedTimer clock;
    qint64 answeredAt = -1;
    std::vector<qint64> gaps;
};

QByteArray randomImage()
{
    std::vector<quint32> words(ImageSize / sizeof(quint32));
    QRandomGenerator(20240601).fillRange(words.data(), words.size());
    return QByteArray(reinterpret_cast<const char *>(words.data()), ImageSize);
}

Flash flash(const QString &fileName, const QByteArray &image, int delayMs, bool repeatAcks)
{
    SimulatorOptions options;
    options.packetSize = PacketSize;
    options.processingDelayMs = delayMs;
    options.repeatAcks = repeatAcks;
    SimulatorThread simulator(options);
    if (!simulator.start())
        return {0, 0, QStringLiteral("no pseudo-terminal: ") + simulator.errorString()};
    TurnaroundProbe probe(simulator.host()->simulator());
    QByteArray completed;
    std::optional<UpgradeOutcome> outcome;
    QEventLoop loop;
    QObject::connect(simulator.host()->simulator(), &DeviceSimulator::upgradeCompleted, &loop,
                     [&](uint8_t, const QByteArray &taken) {
                         completed = taken;
                         loop.quit();
                     });
    DeviceLink link(new SerialDevicePort, new FixedPathEnumerator(new SystemPortEnumerator, simulator.portPath()));
    QObject::connect(&link.upgrade(), &UpgradeSession::finished, &loop, [&](int, UpgradeOutcome end) {
        outcome = end;
        loop.quit();
    });
    link.start();
    if (!link.isOpen())
        return {0, 0, QStringLiteral("cannot open ") + simulator.portPath()};
    QTimer::singleShot(WithinMs, &loop, &QEventLoop::quit);

    QElapsedTimer clock;
    clock.start();
    link.upgrade().start(fileName, Target, 0);
    if (!outcome)
        loop.exec();
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    if (outcome != UpgradeOutcome::Succeeded)
        return {seconds, 0, QStringLiteral("the upgrade did not succeed")};
    if (completed.isEmpty())
        loop.exec();
    if (completed != image)
        return {seconds, 0, QStringLiteral("the device's image differs from the file")};
    simulator.stop();
    return {seconds, probe.medianUs(), {}};
}

void upgradeTurnaround(benchmark::State &state)
{
    const int delayMs = int(state.range(0));
    const bool repeatAcks = state.range(1) != 0;
    QTemporaryDir dir;
    const QByteArray image = randomImage();
    const QString fileName = dir.filePath(QStringLiteral("image.bin"));
    QFile file(fileName);
    if (!dir.isValid() || !file.open(QIODevice::WriteOnly) || file.write(image) != image.size()) {
        state.SkipWithError("cannot write the image");
        return;
    }
    file.close();

    for (auto _ : state) {
        const Flash run = flash(fileName, image, delayMs, repeatAcks);
        if (!run.error.isEmpty()) {
            state.SkipWithError(qPrintable(run.error));
            break;
        }
        state.SetIterationTime(run.seconds);
        state.counters["turnaround_us"] = run.turnaroundUs;
        state.counters["bound_share"] = delayMs * 1000 / (delayMs * 1000 + run.turnaroundUs);
        state.counters["packet_us"] = run.seconds * 1e6 / Packets;
    }
}

} // namespace

// The last run has the device acknowledge every packet three times, then the one before:
// its time against the clean run at the same delay.
BENCHMARK(upgradeTurnaround)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({5, 0})
    ->Args({1, 1})
    ->ArgNames({"delay_ms", "repeated_acks"})
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return runBenchmarksWithEventLoop(argc, argv);
}
