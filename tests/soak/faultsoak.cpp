#include "faultsoak.h"

#include "devicelink.h"
#include "framereassembler.h"
#include "inisettings.h"
#include "mainwindow.h"
#include "protocolids.h"
#include "simulatorthread.h"
#include "soakprobes.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <ctime>
#include <iterator>

using namespace Koru;

namespace {

constexpr int FlapTimesPerSecond = 50;
constexpr int FlapMs = 30000;
constexpr int HangUps = 20;
constexpr int HangUpDowntimeMs = 300;
constexpr int NoticeLimitMs = 2000;
constexpr int CpuWindowMs = 1000;
constexpr double CpuLimit = 0.10;
constexpr int PollLimitMs = 5000;
constexpr qint64 GrowthLimitKiB = 10 * 1024;
constexpr int Kills = 60;
constexpr int WriteLimitMs = 1000;
constexpr int Upgrades = 20;
constexpr int UpgradeImageBytes = 4096;
constexpr int UpgradeLimitMs = 60000;
constexpr uint8_t UpgradedDevice = 0x13;
constexpr uint8_t EndConfirmed = 1; // the boot loader's status for a verified image

// The boot loader's acknowledgement faults the upgrades take turns with; a refused end
// after a stray acknowledgement must not pass for a success.
struct AckFault
{
    bool repeatAcks;
    bool strayEndAck;
    bool split;
    int8_t refuseEndCode;
};
const AckFault AckFaults[] = {
    {true, false, false, 0},  // each ack three times, then the one before
    {true, false, true, 0},   // the same in random pieces
    {false, true, false, 0},  // an ack past the last packet before the end's answer
    {false, true, false, -7}, // the same, then the end refused
    {true, true, true, -7},   // repeated acks, a stray one, the end refused, in pieces
};

// The boot loaders' answers to the end command, read back from what the simulator put on
// the wire. Touched on the simulator thread only.
struct EndAnswers
{
    void add(const QByteArray &bytes)
    {
        reassembler.append(bytes);
        Frame frame;
        FrameReassembler::Result result;
        while ((result = reassembler.takeFrame(frame)) != FrameReassembler::Result::NeedMore) {
            if (result != FrameReassembler::Result::Frame || frame.commandSet() != CommonSet
                || frame.commandId() != CMD_ID_UPGRADE_END || frame.payloadSize() < 1)
                continue;
            frame.payload()[0] == EndConfirmed ? ++positive : ++negative;
        }
    }

    FrameReassembler reassembler;
    int positive = 0;
    int negative = 0;
};

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

} // namespace

FaultSoak::FaultSoak(MainWindow &window, DeviceLink &link, SimulatorThread &simulator, const QString &directory)
    : window(window), link(link), simulator(simulator), directory(directory)
{
}

template<typename Function>
void FaultSoak::onSimulatorThread(Function function)
{
    QMetaObject::invokeMethod(simulator.host(), function, Qt::BlockingQueuedConnection);
}

QStringList FaultSoak::runAll()
{
    QObject counter;
    QObject::connect(&link, &DeviceLink::responseReceived, &counter,
                     [this](const DecodedResponse &r) { versionAnswers += r.kind == Response::DeviceVersion; });
    versionAnswers = 0;
    link.requestDeviceInfo();
    if (waitForPoll() < 0)
        return {QStringLiteral("the device was not polled before the faults")};
    const qint64 startKiB = residentKiB();
    // What the window owns, beside the memory figures: what a fault makes and never frees
    // (a box, a row, a timer) shows here by its count.
    const int startObjects = int(window.findChildren<QObject *>().size());
    QStringList failures = hangUps();
    failures += flapping();
    failures += upgrades();
    const qint64 endKiB = residentKiB();
    qInfo("faults: the window owns %d objects before the faults, %d after", startObjects,
          int(window.findChildren<QObject *>().size()));
    // The first hang-up's reopen and redraws warm the caches up; growth is counted from there.
    qInfo("faults: resident memory %lld KiB at the start, %lld KiB after the first hang-up, %lld KiB after "
          "the link faults and upgrades",
          startKiB, referenceKiB, endKiB);
    if (endKiB - referenceKiB >= GrowthLimitKiB)
        failures << QStringLiteral("resident memory grew from %1 to %2 KiB").arg(referenceKiB).arg(endKiB);
    failures += killedSettingsWrites();
    return failures;
}

qint64 FaultSoak::waitForPoll()
{
    QElapsedTimer clock;
    clock.start();
    return QTest::qWaitFor([this] { return versionAnswers > 0; }, PollLimitMs) ? clock.elapsed() : -1;
}

QStringList FaultSoak::flapping()
{
    int closes = 0;
    QObject counter;
    QObject::connect(&link, &DeviceLink::connectionChanged, &counter, [&closes](bool on) { closes += !on; });
    SimulatorHost *host = simulator.host();
    qint64 halfwayKiB = -1; // beside the end's figure: growth that goes on, or a level reached
    QTimer::singleShot(FlapMs / 2, &counter, [&halfwayKiB] { halfwayKiB = residentKiB(); });
    onSimulatorThread([host] { host->flap(FlapTimesPerSecond, FlapMs); });
    bool flapping = true;
    const auto flapEnded = [&] {
        onSimulatorThread([host, &flapping] { flapping = host->isFlapping(); });
        return !flapping;
    };
    if (!QTest::qWaitFor(flapEnded, FlapMs + 10000))
        return {QStringLiteral("the flapping did not end")};
    versionAnswers = 0;
    const qint64 polledMs = waitForPoll();
    qInfo("faults: %d s of flapping at %d Hz, %d disconnects seen; polled %lld ms after; resident memory "
          "%lld KiB halfway, %lld KiB at the end",
          FlapMs / 1000, FlapTimesPerSecond, closes, polledMs, halfwayKiB, residentKiB());
    if (polledMs < 0)
        return {QStringLiteral("the steady device was not polled within 5 s after the flapping")};
    return {};
}

QStringList FaultSoak::hangUps()
{
    QStringList failures;
    SimulatorHost *host = simulator.host();
    double worstShare = 0;
    qint64 slowestPollMs = 0;
    QStringList shares; // per hang-up, in % of a core
    QStringList polls;  // per hang-up, ms from the hang-up to the poll's answer
    for (int cycle = 1; cycle <= HangUps; ++cycle) {
        versionAnswers = 0;
        QElapsedTimer sinceHangUp;
        sinceHangUp.start();
        onSimulatorThread([host] { host->hangUp(HangUpDowntimeMs); });
        if (!QTest::qWaitFor([this] { return !link.isOpen(); }, NoticeLimitMs)) {
            failures << QStringLiteral("hang-up %1 was not noticed").arg(cycle);
            continue;
        }
        const double cpuBefore = threadCpuSeconds();
        QElapsedTimer window;
        window.start();
        QTest::qWait(CpuWindowMs); // the window the share is taken over; nothing is awaited
        const double share = (threadCpuSeconds() - cpuBefore) / (double(window.nsecsElapsed()) / 1e9);
        worstShare = std::max(worstShare, share);
        shares << QString::number(100 * share, 'f', 1);
        if (share >= CpuLimit)
            failures << QStringLiteral("hang-up %1: %2 % of a core").arg(cycle).arg(100 * share, 0, 'f', 1);
        const bool polled = waitForPoll() >= 0;
        if (!polled)
            failures << QStringLiteral("hang-up %1: not polled within 5 s").arg(cycle);
        slowestPollMs = std::max(slowestPollMs, sinceHangUp.elapsed());
        polls << (polled ? QString::number(sinceHangUp.elapsed()) : QStringLiteral("none"));
        if (cycle == 1)
            referenceKiB = residentKiB();
    }
    qInfo("faults: %d hang-ups; worst CPU share after one %.1f %% of a core; slowest poll %lld ms after the "
          "hang-up",
          HangUps, 100 * worstShare, slowestPollMs);
    qInfo("faults: CPU share after each hang-up (%% of a core): %s", qPrintable(shares.join(QStringLiteral(" "))));
    qInfo("faults: poll after each hang-up (ms): %s", qPrintable(polls.join(QStringLiteral(" "))));
    return failures;
}

// Every upgrade's result as the page reports it, against the end answers the boot loader
// really sent in that run.
QStringList FaultSoak::upgrades()
{
    QFile file(QDir(directory).filePath(QStringLiteral("faults.bin")));
    const QByteArray image = pseudoRandomImage(0x4B1E0000u, UpgradeImageBytes);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size())
        return {QStringLiteral("the upgrade image cannot be written")};
    file.close();
    SimulatorHost *host = simulator.host();
    EndAnswers answers;
    QMetaObject::Connection watch;
    onSimulatorThread([host, &answers, &watch] {
        watch = QObject::connect(host->simulator(), &DeviceSimulator::output, host,
                                 [&answers](const QByteArray &bytes) { answers.add(bytes); });
    });
    SimulatorOptions plain;
    onSimulatorThread([host, &plain] { plain = host->simulator()->options(); });
    window.showPage(MainWindow::Upgrade);
    QStringList failures;
    int reportedSuccesses = 0;
    int confirmedEnds = 0;
    qint64 slowestPollMs = 0;
    const qint64 beforeKiB = residentKiB();
    qint64 firstRunKiB = -1; // the file dialog's and the row's first use
    for (int run = 1; run <= Upgrades; ++run) {
        const AckFault &fault = AckFaults[(run - 1) % int(std::size(AckFaults))];
        SimulatorOptions options = plain;
        options.repeatAcks = fault.repeatAcks;
        options.strayAckAtEnd = fault.strayEndAck;
        options.splitOutput = fault.split;
        options.refuseEndCode = fault.refuseEndCode;
        int positiveBefore = 0;
        onSimulatorThread([host, options, &answers, &positiveBefore] {
            host->simulator()->setOptions(options);
            positiveBefore = answers.positive;
        });
        const RowUpgrade upgrade = upgradeInRow(&window, UpgradedDevice, file.fileName(), UpgradeLimitMs);
        if (run == 1)
            firstRunKiB = residentKiB();
        // The row shows the end only once the link has read the device's answer, so every
        // answer of this run has passed the counter by now.
        int positive = 0;
        onSimulatorThread([&answers, &positive, positiveBefore] { positive = answers.positive - positiveBefore; });
        const bool reported = upgrade.problem.isEmpty() && upgrade.message == upgradeSucceededText();
        reportedSuccesses += reported;
        confirmedEnds += positive > 0;
        if (!upgrade.problem.isEmpty())
            failures << QStringLiteral("upgrade %1: %2").arg(run).arg(upgrade.problem);
        else if (reported != (positive > 0))
            failures << QStringLiteral("upgrade %1 reported \"%2\" after %3 positive end answers")
                            .arg(run)
                            .arg(upgrade.message)
                            .arg(positive);
        if (reported != (fault.refuseEndCode == 0))
            failures << QStringLiteral("upgrade %1 ended with \"%2\"").arg(run).arg(upgrade.message);
        versionAnswers = 0;
        link.requestDeviceInfo();
        const qint64 polledMs = waitForPoll();
        slowestPollMs = std::max(slowestPollMs, polledMs);
        if (polledMs < 0)
            failures << QStringLiteral("upgrade %1: not polled within 5 s").arg(run);
    }
    int positiveAnswers = 0;
    int negativeAnswers = 0;
    onSimulatorThread([host, plain, &watch, &answers, &positiveAnswers, &negativeAnswers] {
        QObject::disconnect(watch);
        host->simulator()->setOptions(plain);
        positiveAnswers = answers.positive;
        negativeAnswers = answers.negative;
    });
    qInfo("faults: %d upgrades with repeated or stray acknowledgements: %d reported a success, %d runs had a "
          "positive end answer (%d positive, %d negative end answers in all); slowest poll %lld ms after one",
          Upgrades, reportedSuccesses, confirmedEnds, positiveAnswers, negativeAnswers, slowestPollMs);
    qInfo("faults: resident memory %lld KiB before the upgrades, %lld KiB after the first, %lld KiB after the last",
          beforeKiB, firstRunKiB, residentKiB());
    return failures;
}

// A program killed at a random moment of its writes leaves kestan.ini whole, and whatever
// lock it left does not hold up the next write.
QStringList FaultSoak::killedSettingsWrites()
{
    const QString writer = QCoreApplication::applicationDirPath() + QStringLiteral("/soak_iniwriter");
    if (!QFileInfo::exists(writer))
        return {QStringLiteral("soak_iniwriter is not built")};
    const QString folder = QDir(directory).filePath(QStringLiteral("kills"));
    QDir().mkpath(folder);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    QStringList failures;
    QRandomGenerator random(0x4B111);
    int locksLeft = 0;
    qint64 slowestWriteMs = 0;
    for (int kill = 1; kill <= Kills && failures.isEmpty(); ++kill) {
        QProcess program;
        program.start(writer, QStringList());
        if (!program.waitForReadyRead(5000)) { // it says so once it writes
            failures << QStringLiteral("the writer did not start");
            break;
        }
        QTest::qWait(int(random.bounded(5, 60))); // a random moment among its writes
        ::kill(pid_t(program.processId()), SIGKILL);
        program.waitForFinished();
        locksLeft += QFileInfo::exists(QStringLiteral("kestan.ini.lock"));
        bool counted = false;
        iniValue(QStringLiteral("count")).toLongLong(&counted);
        QElapsedTimer write;
        write.start();
        const bool written = setIniValue(QStringLiteral("after"), QString::number(kill));
        slowestWriteMs = std::max(slowestWriteMs, write.elapsed());
        if (iniFileDamaged() || !counted)
            failures << QStringLiteral("kill %1 left kestan.ini damaged").arg(kill);
        if (!written || write.elapsed() > WriteLimitMs || iniValue(QStringLiteral("after")) != QString::number(kill))
            failures << QStringLiteral("the write after kill %1 took %2 ms, stored: %3")
                            .arg(kill)
                            .arg(write.elapsed())
                            .arg(written);
    }
    QDir::setCurrent(previous);
    qInfo("faults: %d kills during settings writes, %d left a lock; slowest write after a kill %lld ms", Kills,
          locksLeft, slowestWriteMs);
    return failures;
}
