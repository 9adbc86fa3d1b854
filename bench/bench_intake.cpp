// How fast the device link takes in answers and what that costs it. A device emulator on a
// thread of its own offers mixed answers (shell text, production lists, identity and version
// answers) on a pseudo-terminal; the link reads them through a real QSerialPort with live
// channel reports switched on, as on the channel page. CPU time is the link thread's own.
//
//   intakeAtRate/KB: offered at a fixed rate for KORU_BENCH_SECONDS (default 5): MB/s taken
//                    in on time and the share of a core spent on it.
//   receiveEfficiency: 32 MiB as fast as the terminal takes them: MB received per CPU-second.

#include "devicelink.h"
#include "deviceport.h"
#include "frame.h"
#include "portenumerator.h"
#include "protocolids.h"
#include "pseudoterminal.h"
#include "qtbenchmarkmain.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <ctime>
#include <limits>
#include <map>
#include <vector>

using namespace Koru;

namespace {

constexpr int OfferTickMs = 2;
// The emulator tops the terminal up to this much when it offers as fast as it can.
constexpr qint64 FastQueueBytes = 64 * 1024;
constexpr qint64 EfficiencyBytes = 32 * 1024 * 1024;
constexpr int EfficiencyLimitMs = 60000;
constexpr uint8_t Controller = RemoteControllerId;

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

QByteArray frame(uint8_t set, uint8_t id, const QByteArray &payload)
{
    uint8_t bytes[MaxFrameSize];
    const int size = buildFrame(bytes, reinterpret_cast<const uint8_t *>(payload.constData()),
                                uint8_t(payload.size()), set, id, Controller);
    return QByteArray(reinterpret_cast<const char *>(bytes), size);
}

// One cycle of the mixed answers, each kind once, and the frame size of each kind.
struct AnswerMix
{
    std::vector<QByteArray> frames;
    std::map<Response, int> frameBytes;

    AnswerMix()
    {
        add(Response::ShellText, frame(CommonSet, CMD_ID_SHELL_TEXT,
                                       QByteArrayLiteral("rc status: link ok, rssi -61 dBm, 16 ch\r\n")));
        add(Response::ScpzValues, frame(CommonSet, CMD_ID_SCPZ_VALUES, QByteArray(100, '\x01')));
        add(Response::DeviceUid, frame(CommonSet, CMD_ID_UID, QByteArray(16, '\x5A')));
        add(Response::DeviceVersion, frame(CommonSet, CMD_ID_VERSION, QByteArray(20, '\x30')));
        add(Response::ScxsValues, frame(CommonSet, CMD_ID_SCXS_VALUES, QByteArray(200, '\x02')));
    }

    void add(Response kind, const QByteArray &bytes)
    {
        frames.push_back(bytes);
        frameBytes[kind] = bytes.size();
    }
};

// The device side: lives on its own thread and writes whole frames of the mix, at a fixed
// rate or as fast as the terminal drains.
class AnswerOffer : public QObject
{
public:
    AnswerOffer(const AnswerMix &mix, double bytesPerSecond, qint64 limit)
        : mix(mix), rate(bytesPerSecond), limit(limit)
    {
        connect(&tick, &QTimer::timeout, this, &AnswerOffer::offerMore);
    }

    bool open() { return terminal.open(); }
    QString path() const { return terminal.slavePath(); }
    void begin()
    {
        clock.start();
        tick.start(OfferTickMs);
    }
    void end() { tick.stop(); }
    qint64 offered() const { return sent; }

private:
    void offerMore()
    {
        const qint64 due = rate > 0 ? qint64(rate * double(clock.nsecsElapsed()) / 1e9)
                                    : sent + FastQueueBytes - terminal.pendingBytes();
        QByteArray chunk;
        while (sent + chunk.size() < std::min(due, limit)) {
            chunk += mix.frames[next];
            next = (next + 1) % mix.frames.size();
        }
        sent += chunk.size();
        terminal.write(chunk); // dropped whole when the terminal is full, as a device's buffer overflows
    }

    const AnswerMix &mix;
    double rate;
    qint64 limit;
    PseudoTerminal terminal{this};
    QTimer tick{this};
    QElapsedTimer clock;
    qint64 sent = 0;
    size_t next = 0;
};

// The emulator's thread and the link that reads from it.
class IntakeRun
{
public:
    IntakeRun(double bytesPerSecond, qint64 limit) : offer(mix, bytesPerSecond, limit)
    {
        offer.moveToThread(&thread);
        thread.start();
        QMetaObject::invokeMethod(&offer, [this] { opened = offer.open(); }, Qt::BlockingQueuedConnection);
        if (!opened)
            return;
        link = new DeviceLink(new SerialDevicePort,
                              new FixedPathEnumerator(new SystemPortEnumerator, offer.path()));
        link->start();
        link->setLiveChannelReports(true);
        QObject::connect(link, &DeviceLink::responseReceived, link, [this](const DecodedResponse &r) {
            const auto size = mix.frameBytes.find(r.kind);
            if (size != mix.frameBytes.end())
                received += size->second;
        });
    }
    ~IntakeRun()
    {
        QMetaObject::invokeMethod(&offer, [this] { offer.end(); }, Qt::BlockingQueuedConnection);
        thread.quit();
        thread.wait();
        delete link;
    }

    bool ready() const { return opened && link && link->isOpen(); }
    void begin()
    {
        QMetaObject::invokeMethod(&offer, [this] { offer.begin(); }, Qt::BlockingQueuedConnection);
    }
    // Runs the event loop until ms have passed or, with a byte goal, until it arrived.
    void runFor(int ms, qint64 goal = -1)
    {
        QEventLoop loop;
        QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (goal >= 0 && received >= goal)
                loop.quit();
        });
        check.start(10);
        loop.exec();
    }

    qint64 received = 0;

private:
    AnswerMix mix;
    AnswerOffer offer;
    QThread thread;
    DeviceLink *link = nullptr;
    bool opened = false;
};

int offerSeconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("KORU_BENCH_SECONDS", &ok);
    return ok && seconds > 0 ? seconds : 5;
}

// One offer per iteration, timed by the wall clock and by the CPU time of this thread, which
// runs the link; report gets the bytes taken in, the wall seconds and the CPU seconds.
template <typename Report>
void measureOffers(benchmark::State &state, double bytesPerSecond, qint64 limit, int ms, qint64 goal,
                   Report report)
{
    for (auto _ : state) {
        IntakeRun run(bytesPerSecond, limit);
        if (!run.ready()) {
            state.SkipWithError("no pseudo-terminal");
            break;
        }
        const double cpuBefore = threadCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        run.begin();
        run.runFor(ms, goal);
        const double seconds = double(wall.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        report(run.received, seconds, threadCpuSeconds() - cpuBefore);
    }
}

void intakeAtRate(benchmark::State &state)
{
    const double rate = double(state.range(0)) * 1000.0;
    measureOffers(state, rate, std::numeric_limits<qint64>::max(), offerSeconds() * 1000, -1,
                  [&](qint64 received, double seconds, double cpu) {
                      state.counters["offered_MBps"] = rate / 1e6;
                      state.counters["taken_MBps"] = double(received) / seconds / 1e6;
                      state.counters["cpu_pct"] = 100.0 * cpu / seconds;
                  });
}

void receiveEfficiency(benchmark::State &state)
{
    measureOffers(state, 0, EfficiencyBytes, EfficiencyLimitMs, EfficiencyBytes,
                  [&](qint64 received, double, double cpu) {
                      state.counters["received_MB"] = double(received) / 1e6;
                      state.counters["MB_per_cpu_s"] = double(received) / 1e6 / cpu;
                  });
}

BENCHMARK(intakeAtRate)->Arg(250)->Arg(500)->Arg(1000)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(receiveEfficiency)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksWithEventLoop(argc, argv);
}
