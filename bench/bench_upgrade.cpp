// Flashes a 1 MiB image the way koru-flash does (device link, upgrade engine, a real
// QSerialPort) into the simulated devices on a pseudo-terminal served from their own
// thread, and compares the achieved rate with the stop-and-wait bound: one packet per
// device delay plus round trip. The round trip is measured first by the same flash with
// no device delay.

#include "devicelink.h"
#include "deviceport.h"
#include "portenumerator.h"
#include "upgradesession.h"
#include "simulatorthread.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <vector>

using namespace Koru;

namespace {

constexpr int ImageSize = 1024 * 1024;
constexpr int PacketSize = 253;
constexpr int DeviceDelayMs = 1;
constexpr uint8_t Target = 0x13; // behind the controller: answers from its boot loader at once
// The reset that completes the image reaches the device after the engine returns.
constexpr int CompletionWithinMs = 2000;

struct Flash
{
    double seconds = 0;
    QByteArray completed; // the image the device took after the reset
    QString error;
};

QByteArray randomImage()
{
    std::vector<quint32> words(ImageSize / sizeof(quint32));
    QRandomGenerator(20240601).fillRange(words.data(), words.size());
    return QByteArray(reinterpret_cast<const char *>(words.data()), ImageSize);
}

Flash flash(const QString &fileName, int delayMs)
{
    SimulatorOptions options;
    options.packetSize = PacketSize;
    options.processingDelayMs = delayMs;
    SimulatorThread simulator(options);
    if (!simulator.start())
        return {0, {}, QStringLiteral("no pseudo-terminal: ") + simulator.errorString()};
    QByteArray completed;
    QEventLoop completion;
    QObject::connect(simulator.host()->simulator(), &DeviceSimulator::upgradeCompleted, &completion,
                     [&completed, &completion](uint8_t, const QByteArray &image) {
                         completed = image;
                         completion.quit();
                     });
    DeviceLink link(new SerialDevicePort, new FixedPathEnumerator(new SystemPortEnumerator, simulator.portPath()));
    link.start();
    if (!link.isOpen())
        return {0, {}, QStringLiteral("cannot open ") + simulator.portPath()};

    QElapsedTimer clock;
    clock.start();
    const UpgradeOutcome outcome = link.upgrade().start(fileName, Target, 0);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    if (outcome != UpgradeOutcome::Succeeded)
        return {seconds, {}, QStringLiteral("upgrade did not succeed")};
    if (completed.isEmpty()) {
        QTimer::singleShot(CompletionWithinMs, &completion, &QEventLoop::quit);
        completion.exec();
    }
    return {seconds, completed, {}};
}

// Why a run cannot be counted; empty when the device took the image whole.
QString failureOf(const Flash &run, const QByteArray &image)
{
    if (!run.error.isEmpty())
        return run.error;
    return run.completed == image ? QString() : QStringLiteral("the device's image differs from the file");
}

void flashOneMebibyte(benchmark::State &state)
{
    QTemporaryDir dir;
    const QByteArray image = randomImage();
    const QString fileName = dir.filePath(QStringLiteral("image.bin"));
    QFile file(fileName);
    if (!dir.isValid() || !file.open(QIODevice::WriteOnly) || file.write(image) != image.size()) {
        state.SkipWithError("cannot write the image");
        return;
    }
    file.close();
    const double packets = double((ImageSize + PacketSize - 1) / PacketSize);

    for (auto _ : state) {
        const Flash quick = flash(fileName, 0);
        const Flash paced = flash(fileName, DeviceDelayMs);
        QString failure = failureOf(quick, image);
        if (failure.isEmpty())
            failure = failureOf(paced, image);
        if (!failure.isEmpty()) {
            state.SkipWithError(qPrintable(failure));
            break;
        }
        state.SetIterationTime(paced.seconds);
        const double roundTrip = quick.seconds / packets;
        const double bound = PacketSize / (DeviceDelayMs / 1000.0 + roundTrip);
        const double achieved = ImageSize / paced.seconds;
        state.counters["round_trip_us"] = roundTrip * 1e6;
        state.counters["bound_Bps"] = bound;
        state.counters["achieved_Bps"] = achieved;
        state.counters["ratio"] = achieved / bound;
    }
}

} // namespace

BENCHMARK(flashOneMebibyte)->UseManualTime()->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

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
