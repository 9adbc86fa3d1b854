// koru-flash --all on one and on four simulated controllers, as whole programs: the four
// share the machine, each on its own pseudo-terminal, so with the link as the limit the four
// should take hardly longer than one. Reports each run's wall time and, for four, the ratio
// to the median of one.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace {

constexpr int ImageSize = 20000;
// Per request, as a controller behind a slow link answers.
constexpr int DeviceDelayMs = 3;
constexpr int StartWithinMs = 5000;

const QString Binaries = QStringLiteral(KORU_BINARY_DIR);

struct Farm
{
    QTemporaryDir dir;
    QProcess simulator;
    QString image;
    QString error;

    explicit Farm(int count)
    {
        image = dir.filePath(QStringLiteral("image.bin"));
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(ImageSize, '\x5A')) != ImageSize) {
            error = QStringLiteral("cannot write the image");
            return;
        }
        file.close();
        simulator.start(Binaries + QStringLiteral("/sim/koru-devsim"),
                        {"--count", QString::number(count), "--by-id", dir.path(), "--delay",
                         QString::number(DeviceDelayMs)});
        simulator.setReadChannel(QProcess::StandardOutput);
        // The simulator names each port once it serves it.
        QElapsedTimer clock;
        clock.start();
        int announced = 0;
        while (announced < count && clock.elapsed() < StartWithinMs && simulator.waitForReadyRead(StartWithinMs)) {
            while (simulator.canReadLine())
                announced += simulator.readLine().startsWith("port: ") ? 1 : 0;
        }
        if (announced < count)
            error = QStringLiteral("koru-devsim did not start its controllers");
    }

    ~Farm()
    {
        simulator.terminate();
        simulator.waitForFinished();
    }

    // Wall seconds of one koru-flash --all; negative when it failed.
    double flashAll()
    {
        QProcess flash;
        QElapsedTimer clock;
        clock.start();
        flash.start(Binaries + QStringLiteral("/flash/koru-flash"),
                    {"--all", "--by-id", dir.path(), "--target", "0x10", image});
        if (!flash.waitForFinished(60000) || flash.exitCode() != 0)
            return -1;
        return double(clock.nsecsElapsed()) / 1e9;
    }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

std::vector<double> singleTimes;

void BM_FlashAll(benchmark::State &state)
{
    const int count = int(state.range(0));
    Farm farm(count);
    if (!farm.error.isEmpty()) {
        state.SkipWithError(qPrintable(farm.error));
        return;
    }
    std::vector<double> times;
    for (auto _ : state) {
        const double seconds = farm.flashAll();
        if (seconds < 0) {
            state.SkipWithError("koru-flash failed");
            return;
        }
        state.SetIterationTime(seconds);
        times.push_back(seconds);
    }
    state.counters["median_s"] = median(times);
    if (count == 1)
        singleTimes = times;
    else if (!singleTimes.empty())
        state.counters["ratio_to_one"] = median(times) / median(singleTimes);
}

} // namespace

BENCHMARK(BM_FlashAll)->Arg(1)->Arg(4)->UseManualTime()->Iterations(7)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
