// Flashes an image the way koru-flash does (device link, upgrade engine, a real QSerialPort)
// into the simulated devices on a pseudo-terminal served from their own thread, at a given
// device delay per request. The turnaround is what a packet costs beyond that delay: the
// program's share of the stop-and-wait cycle. bound_share is delay / (delay + turnaround),
// the share of the stop-and-wait bound the transfer reaches.

#include "devicelink.h"
#include "deviceport.h"
#include "portenumerator.h"
#include "simulatorthread.h"
#include "upgradesession.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

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
    QString error;
};

QByteArray randomImage()
{
    std::vector<quint32> words(ImageSize / sizeof(quint32));
    QRandomGenerator(20240601).fillRange(words.data(), words.size());
    return QByteArray(reinterpret_cast<const char *>(words.data()), ImageSize);
}

Flash flash(const QString &fileName, const QByteArray &image, int delayMs)
{
    SimulatorOptions options;
    options.packetSize = PacketSize;
    options.processingDelayMs = delayMs;
    SimulatorThread simulator(options);
    if (!simulator.start())
        return {0, QStringLiteral("no pseudo-terminal: ") + simulator.errorString()};
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
        return {0, QStringLiteral("cannot open ") + simulator.portPath()};
    QTimer::singleShot(WithinMs, &loop, &QEventLoop::quit);

    QElapsedTimer clock;
    clock.start();
    link.upgrade().start(fileName, Target, 0);
    if (!outcome)
        loop.exec();
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    if (outcome != UpgradeOutcome::Succeeded)
        return {seconds, QStringLiteral("the upgrade did not succeed")};
    if (completed.isEmpty())
        loop.exec();
    if (completed != image)
        return {seconds, QStringLiteral("the device's image differs from the file")};
    return {seconds, {}};
}

void upgradeTurnaround(benchmark::State &state)
{
    const int delayMs = int(state.range(0));
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
        const Flash run = flash(fileName, image, delayMs);
        if (!run.error.isEmpty()) {
            state.SkipWithError(qPrintable(run.error));
            break;
        }
        state.SetIterationTime(run.seconds);
        const double perPacketMs = run.seconds * 1000 / Packets;
        const double turnaroundMs = perPacketMs - delayMs;
        state.counters["turnaround_us"] = turnaroundMs * 1000;
        state.counters["bound_share"] = delayMs > 0 ? delayMs / perPacketMs : 0;
    }
}

} // namespace

BENCHMARK(upgradeTurnaround)
    ->Arg(0)
    ->Arg(1)
    ->Arg(5)
    ->ArgName("delay_ms")
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QCoreApplication app(argc, argv);
    // The engine's per-step diagnostics are for the window's log, as in koru-flash.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
