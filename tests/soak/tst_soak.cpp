#include "devicelink.h"
#include "fakeport.h"
#include "faultsoak.h"
#include "framereassembler.h"
#include "hostileattacks.h"
#include "koruresources.h"
#include "mainwindow.h"
#include "mypushbutton.h"
#include "mytoolbutton.h"
#include "simulatorthread.h"
#include "soakprobes.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <iterator>
#include <map>

using namespace Koru;

namespace {

constexpr int DefaultSeconds = 180;
constexpr int DefaultAttackSeconds = 60;
constexpr int TickMs = 1000;            // page, language and shell marker
constexpr int CheckModeSwitchMs = 3000; // the devices change their frames' check mode
constexpr int FirstMinuteMs = 60000;
constexpr int ImageSize = 256 * 1024;
constexpr int DrainTimeoutMs = 30000;
// A transfer still running after this long is stopped and reported.
constexpr int TransferLimitMs = 240000;
constexpr double AllowedGrowth = 1.10;
const uint8_t FlashedIds[] = {0x13, 0x1E};
const int PageCycle[] = {MainWindow::Channels, MainWindow::Upgrade, MainWindow::Gimbal};

// Shell answers carry the marker the test sent: "unknown command: soak-17".
const QRegularExpression MarkerPattern(QStringLiteral("soak-(\\d+)"));

int secondsFrom(const char *variable, int byDefault)
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue(variable, &ok);
    return (ok && seconds > 0 ? seconds : byDefault) * 1000;
}

int soakMs()
{
    return secondsFrom("KORU_SOAK_SECONDS", DefaultSeconds);
}

// KORU_SOAK_MODE=hostile runs the device attacks instead of the load run, =faults the link
// and settings faults.
QByteArray soakMode()
{
    return qgetenv("KORU_SOAK_MODE");
}

int attackMs()
{
    return secondsFrom("KORU_SOAK_ATTACK_SECONDS", DefaultAttackSeconds);
}

// How often each answer stands in the view as a line of its own, exactly as it was sent.
std::map<int, int> shownAnswers(const QString &view, const std::map<int, QString> &answers)
{
    std::map<int, int> counts;
    for (const QString &line : view.split(QLatin1Char('\n'))) {
        const int marker = MarkerPattern.match(line).captured(1).toInt();
        if (answers.count(marker) && answers.at(marker) == line)
            ++counts[marker];
    }
    return counts;
}

// The markers whose answers the window showed more or less often than the devices sent them.
QString markerDifferences(const std::map<int, int> &shown, const std::map<int, int> &answered)
{
    std::map<int, int> all = answered;
    all.insert(shown.begin(), shown.end());
    QStringList differences;
    for (const auto &entry : all) {
        const int inAnswers = answered.count(entry.first) ? answered.at(entry.first) : 0;
        const int inView = shown.count(entry.first) ? shown.at(entry.first) : 0;
        if (inAnswers != inView)
            differences << QStringLiteral("soak-%1 answered %2, shown %3")
                               .arg(entry.first)
                               .arg(inAnswers)
                               .arg(inView);
    }
    return differences.join(QStringLiteral("; "));
}

// Noisy answers in random pieces, live values at 200 Hz, every 7th acknowledgement lost.
SimulatorOptions soakOptions()
{
    SimulatorOptions options;
    options.noise = true;
    options.splitOutput = true;
    options.checkMode = CheckNone;
    options.liveValueRateHz = 200;
    options.dropEveryNthAck = 7;
    return options;
}

} // namespace

// Counts the frames the simulator put on the wire, read back from its output pieces,
// and the shell markers its answers carried.
class EmittedFrames : public QObject
{
public:
    void add(const QByteArray &bytes)
    {
        reassembler.append(bytes);
        Frame frame;
        FrameReassembler::Result result;
        while ((result = reassembler.takeFrame(frame)) != FrameReassembler::Result::NeedMore) {
            if (result != FrameReassembler::Result::Frame)
                continue;
            ++total;
            if (frame.commandSet() == RemoteControllerSet && frame.commandId() == CMD_ID_CH_VALUES)
                ++liveValues;
            if (frame.commandSet() == CommonSet && frame.commandId() == CMD_ID_SHELL_TEXT)
                addAnswer(
                    QString::fromUtf8(reinterpret_cast<const char *>(frame.payload()), frame.payloadSize()));
        }
    }

    int total = 0;
    int liveValues = 0;
    std::map<int, int> markers;      // answers per marker
    std::map<int, QString> answers; // the answer's line by marker

private:
    void addAnswer(QString text)
    {
        const QRegularExpressionMatch match = MarkerPattern.match(text);
        if (!match.hasMatch())
            return;
        const int marker = match.captured(1).toInt();
        ++markers[marker];
        text.chop(text.endsWith(QLatin1String("\r\n")) ? 2 : 0);
        answers[marker] = text;
    }

    FrameReassembler reassembler;
};

// What a restless user and a changing link do meanwhile: every tick the next page, the
// other language and a shell command with a fresh marker; every few seconds the devices
// change the check mode of their frames.
class SoakLoad : public QObject
{
public:
    SoakLoad(MainWindow &window, DeviceLink &link, SimulatorThread &simulator, const SimulatorOptions &options)
        : window(window), link(link), simulator(simulator), options(options)
    {
        QList<MyToolButton *> tabs = window.findChildren<MyToolButton *>();
        const auto hidden = [](QWidget *tab) { return !tab->isVisible(); };
        tabs.erase(std::remove_if(tabs.begin(), tabs.end(), hidden), tabs.end());
        std::sort(tabs.begin(), tabs.end(), [](QWidget *a, QWidget *b) { return a->x() < b->x(); });
        pageTabs = tabs; // left to right: channels, upgrade, gimbal
        connect(&tick, &QTimer::timeout, this, &SoakLoad::onTick);
        connect(&modeTimer, &QTimer::timeout, this, &SoakLoad::switchCheckMode);
    }

    void start()
    {
        tick.start(TickMs);
        modeTimer.start(CheckModeSwitchMs);
    }
    void stop()
    {
        tick.stop();
        modeTimer.stop();
    }
    void showPage(int page) { QTest::mouseClick(pageTabs.value(tabIndex(page)), Qt::LeftButton); }
    void sendMarker()
    {
        link.sendShellText(QStringLiteral("soak-%1").arg(++markersSent), RemoteControllerId);
    }

    QList<MyToolButton *> pageTabs;
    int markersSent = 0;
    int pageSwitches = 0;
    int modeSwitches = 0;

private:
    static int tabIndex(int page)
    {
        return int(std::find(std::begin(PageCycle), std::end(PageCycle), page) - std::begin(PageCycle));
    }

    void onTick()
    {
        showPage(PageCycle[++pageSwitches % int(std::size(PageCycle))]);
        auto *languages = window.findChild<QComboBox *>(QStringLiteral("langageComboBox"));
        languages->setCurrentIndex(1 - languages->currentIndex());
        sendMarker();
    }
    void switchCheckMode()
    {
        options.checkMode = options.checkMode == CheckCrc ? CheckNone : CheckCrc;
        simulator.setOptions(options);
        ++modeSwitches;
    }

    MainWindow &window;
    DeviceLink &link;
    SimulatorThread &simulator;
    SimulatorOptions options;
    QTimer tick;
    QTimer modeTimer;
};

// The window as the program builds it, on a link that follows the simulator's port at path.
struct SoakWindow
{
    SoakWindow(const QString &path, QTranslator &translator)
        : link(nullptr, new FixedPathEnumerator(new FakePortEnumerator, path)), window(link)
    {
        window.setTranslator(&translator);
        window.show();
    }

    DeviceLink link;
    MainWindow window;
};

class TestSoak : public QObject
{
    Q_OBJECT

public:
    TestSoak()
    {
        // Qt Test's own limit per test function is five minutes.
        const int loadRunMs = soakMs() + 2 * TransferLimitMs + DrainTimeoutMs;
        const int attacksMs = HostileSoak::AttackCount * (attackMs() + 10000) + TransferLimitMs;
        if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
            qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number(std::max(loadRunMs, attacksMs) + 60000));
    }

private slots:
    void initTestCase();
    void windowKeepsUpUnderLoad();
    void deviceAttacks();
    void linkFaults();

private:
    QString flash(MainWindow &window, SoakLoad &load, uint8_t deviceId);

    QTemporaryDir dir;
    QTranslator translator;
    std::map<uint8_t, QByteArray> images;
};

void TestSoak::initTestCase()
{
    qRegisterMetaType<uint8_t>("uint8_t");
    // The window logs a line for every repeated packet and page request; over minutes that
    // would bury the figures and run into Qt Test's limit on logged messages.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QVERIFY(dir.isValid());
    QDir::setCurrent(dir.path());
    initKoruResources();
    QCoreApplication::installTranslator(&translator);
    for (uint8_t id : FlashedIds) {
        images[id] = pseudoRandomImage(0x50AC0000u + id, ImageSize);
        QFile file(dir.filePath(QStringLiteral("image%1.bin").arg(id, 2, 16)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(images[id]), qint64(ImageSize));
    }
}

QString TestSoak::flash(MainWindow &window, SoakLoad &load, uint8_t deviceId)
{
    load.showPage(MainWindow::Upgrade);
    return upgradeThroughRow(&window, deviceId, dir.filePath(QStringLiteral("image%1.bin").arg(deviceId, 2, 16)),
                             TransferLimitMs);
}

void TestSoak::windowKeepsUpUnderLoad()
{
    if (!soakMode().isEmpty())
        QSKIP("KORU_SOAK_MODE chooses another run");
    const int durationMs = soakMs();
    // Short trial runs take their reference sample after a third of their length.
    const int referenceMs = std::min(FirstMinuteMs, durationMs / 3);
    const SimulatorOptions options = soakOptions();
    SimulatorThread simulator(options);
    const QString link = dir.filePath(QStringLiteral("ttyKORU0"));
    if (!simulator.start(link))
        QSKIP(qPrintable(QStringLiteral("no pseudo-terminal here: %1").arg(simulator.errorString())));
    EmittedFrames emitted;
    connect(simulator.host()->simulator(), &DeviceSimulator::output, &emitted, &EmittedFrames::add);

    QElapsedTimer clock;
    clock.start();
    SoakWindow soak(link, translator);
    MainWindow &window = soak.window;
    SoakLoad load(window, soak.link, simulator, options);
    QCOMPARE(load.pageTabs.size(), int(std::size(PageCycle)));
    qint64 referenceKiB = -1;
    QTimer::singleShot(referenceMs, &load, [&referenceKiB] { referenceKiB = residentKiB(); });
    load.start();

    QString transferFailure;
    for (uint8_t id : FlashedIds) {
        if (transferFailure.isEmpty())
            transferFailure = flash(window, load, id);
    }
    if (clock.elapsed() < durationMs)
        QTest::qWait(int(durationMs - clock.elapsed()));
    load.stop();
    const qint64 endKiB = residentKiB();
    const qint64 elapsedMs = clock.elapsed();

    // Leaving the channel page stops the stream; a last marker proves the link still works.
    load.showPage(MainWindow::Upgrade);
    load.sendMarker();
    QElapsedTimer drain;
    drain.start();
    auto *shellView = window.findChild<QPlainTextEdit *>(QStringLiteral("showShellcmdTextEdit"));
    const auto allShown = [&] {
        return int(shownAnswers(shellView->toPlainText(), emitted.answers).size()) >= load.markersSent;
    };
    const bool drained = QTest::qWaitFor(allShown, DrainTimeoutMs);
    const double drainSeconds = drain.elapsed() / 1000.0;
    const QString lastAnswer = drained ? QStringLiteral("came after %1 s").arg(drainSeconds, 0, 'f', 1)
                                       : QStringLiteral("was not shown within %1 s").arg(drainSeconds);
    const std::map<int, int> shown = shownAnswers(shellView->toPlainText(), emitted.answers);

    qInfo("soak: %.1f s, %d page switches, %d check mode switches", elapsedMs / 1000.0, load.pageSwitches,
          load.modeSwitches);
    qInfo("soak: simulator emitted %d frames; shell markers: %d sent, %d answered, %d shown", emitted.total,
          load.markersSent, int(emitted.markers.size()), int(shown.size()));
    qInfo("soak: %d channel value frames; the answer to the last marker %s", emitted.liveValues,
          qPrintable(lastAnswer));
    qInfo("soak: resident memory %lld KiB at %.0f s, %lld KiB at the end", referenceKiB, referenceMs / 1000.0,
          endKiB);

    QVERIFY2(transferFailure.isEmpty(), qPrintable(transferFailure));
    const QString differences = markerDifferences(shown, emitted.markers); // shown twice or lost
    QVERIFY2(differences.isEmpty(), qPrintable(differences));
    QCOMPARE(int(emitted.markers.size()), load.markersSent);
    for (uint8_t id : FlashedIds)
        QVERIFY2(completedImage(simulator, id) == images[id], qPrintable(QString::number(id, 16)));
    QVERIFY(referenceKiB > 0);
    QVERIFY2(endKiB <= referenceKiB * AllowedGrowth,
             qPrintable(QStringLiteral("%1 KiB -> %2 KiB").arg(referenceKiB).arg(endKiB)));
}

// The log is on, as in the program, so that what the attacks cost it can be measured.
void TestSoak::deviceAttacks()
{
    if (soakMode() != "hostile")
        QSKIP("the device attacks run with KORU_SOAK_MODE=hostile");
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=true"));
    SimulatorThread simulator;
    const QString link = dir.filePath(QStringLiteral("ttyKORU1"));
    if (!simulator.start(link))
        QSKIP(qPrintable(QStringLiteral("no pseudo-terminal here: %1").arg(simulator.errorString())));
    SoakWindow soak(link, translator);
    HostileSoak attacks(soak.window, simulator, dir.path());
    const QStringList broken = attacks.runAll(attackMs());
    QVERIFY2(broken.isEmpty(), qPrintable(broken.join(QStringLiteral("; "))));
}

void TestSoak::linkFaults()
{
    if (soakMode() != "faults")
        QSKIP("the link and settings faults run with KORU_SOAK_MODE=faults");
    SimulatorThread simulator;
    const QString link = dir.filePath(QStringLiteral("ttyKORU2"));
    if (!simulator.start(link))
        QSKIP(qPrintable(QStringLiteral("no pseudo-terminal here: %1").arg(simulator.errorString())));
    SoakWindow soak(link, translator);
    FaultSoak faults(soak.window, soak.link, simulator, dir.path());
    const QStringList broken = faults.runAll();
    QVERIFY2(broken.isEmpty(), qPrintable(broken.join(QStringLiteral("; "))));
}

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
