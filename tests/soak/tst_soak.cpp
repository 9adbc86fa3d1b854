#include "deviceprofile.h"
#include "fakeport.h"
#include "framereassembler.h"
#include "koruresources.h"
#include "mainwindow.h"
#include "mypushbutton.h"
#include "mytoolbutton.h"
#include "simulatorthread.h"
#include "updatefileitem.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <iterator>
#include <map>

using namespace Koru;

namespace {

constexpr int DefaultSeconds = 180;
constexpr int TickMs = 1000;            // page, language and shell marker
constexpr int CheckModeSwitchMs = 3000; // the devices change their frames' check mode
constexpr int FirstMinuteMs = 60000;
constexpr int ImageSize = 256 * 1024;
constexpr int DrainTimeoutMs = 30000;
constexpr double AllowedGrowth = 1.10;
const uint8_t FlashedIds[] = {0x13, 0x1E};
const int PageCycle[] = {MainWindow::ChannelPage, MainWindow::UpgradePage, MainWindow::GimbalPage};

// Shell answers carry the marker the test sent: "unknown command: soak-17".
const QRegularExpression MarkerPattern(QStringLiteral("soak-(\\d+)"));

int soakMs()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("KORU_SOAK_SECONDS", &ok);
    return (ok && seconds > 0 ? seconds : DefaultSeconds) * 1000;
}

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

std::map<int, int> countMarkers(const QString &text)
{
    std::map<int, int> counts;
    auto matches = MarkerPattern.globalMatch(text);
    while (matches.hasNext())
        ++counts[matches.next().captured(1).toInt()];
    return counts;
}

QByteArray pseudoRandomImage(quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray image(ImageSize, '\0');
    random.fillRange(reinterpret_cast<quint32 *>(image.data()), ImageSize / int(sizeof(quint32)));
    return image;
}

MyPushButton *rowButton(UpdateFileItem *row, const char *objectName)
{
    return row->findChild<MyPushButton *>(QLatin1String(objectName));
}

// The row whose hardware id label shows the simulated device's id.
UpdateFileItem *rowOf(MainWindow &window, uint8_t deviceId)
{
    const QString hardwareId = QString::fromLatin1(DeviceProfile::forDevice(deviceId).hardwareId);
    for (UpdateFileItem *row : window.findChildren<UpdateFileItem *>()) {
        for (QLabel *label : row->findChildren<QLabel *>(QStringLiteral("updateItem")))
            if (label->text() == hardwareId)
                return row;
    }
    return nullptr;
}

void chooseFile(UpdateFileItem *row, const QString &path)
{
    QTimer::singleShot(0, row, [path] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            dialog->selectFile(path);
            static_cast<QDialog *>(dialog)->accept();
        }
    });
    QTest::mouseClick(rowButton(row, "getfile"), Qt::LeftButton);
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
            if (frame.commandSet() == CommonSet && frame.commandId() == CMD_ID_SHELL_TEXT) {
                const QByteArray payload(reinterpret_cast<const char *>(frame.payload()), frame.payloadLength());
                for (const auto &entry : countMarkers(QString::fromLatin1(payload)))
                    markers[entry.first] += entry.second;
            }
        }
    }

    int total = 0;
    int liveValues = 0;
    std::map<int, int> markers;

private:
    FrameReassembler reassembler;
};

// What a restless user and a changing link do meanwhile: every tick the next page, the
// other language and a shell command with a fresh marker; every few seconds the devices
// change the check mode of their frames.
class SoakLoad : public QObject
{
public:
    SoakLoad(MainWindow &window, SimulatorThread &simulator, const SimulatorOptions &options)
        : window(window), simulator(simulator), options(options)
    {
        QList<MyToolButton *> tabs = window.findChildren<MyToolButton *>();
        tabs.erase(std::remove_if(tabs.begin(), tabs.end(), [](QWidget *tab) { return !tab->isVisible(); }),
                   tabs.end());
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
    void sendMarker() { window.sendShellText(QStringLiteral("soak-%1").arg(++markersSent), RemoteControllerId); }

    QList<MyToolButton *> pageTabs;
    int markersSent = 0;
    int pageSwitches = 0;
    int modeSwitches = 0;

private:
    static int tabIndex(int page) { return int(std::find(std::begin(PageCycle), std::end(PageCycle), page) - std::begin(PageCycle)); }

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
    SimulatorThread &simulator;
    SimulatorOptions options;
    QTimer tick;
    QTimer modeTimer;
};

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windowKeepsUpUnderLoad();

private:
    void flash(MainWindow &window, SoakLoad &load, uint8_t deviceId);
    QByteArray completedImage(SimulatorThread &simulator, uint8_t deviceId);

    QTemporaryDir dir;
    QTranslator translator;
    std::map<uint8_t, QByteArray> images;
    std::map<uint8_t, qint64> transferMs;
};

void TestSoak::initTestCase()
{
    qRegisterMetaType<uint8_t>("uint8_t");
    // The receive path logs every frame it checks; at 200 frames a second that would bury
    // the figures and run into the test log's message limit.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QVERIFY(dir.isValid());
    QDir::setCurrent(dir.path());
    initKoruResources();
    QCoreApplication::installTranslator(&translator);
    for (uint8_t id : FlashedIds) {
        images[id] = pseudoRandomImage(0x50AC0000u + id);
        QFile file(dir.filePath(QStringLiteral("image%1.bin").arg(id, 2, 16)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(images[id]), qint64(ImageSize));
    }
}

// Chooses the file in the device's row and starts the upgrade as a user does; the click
// returns when the transfer has ended. The row is closed afterwards to free the lock.
void TestSoak::flash(MainWindow &window, SoakLoad &load, uint8_t deviceId)
{
    load.showPage(MainWindow::UpgradePage);
    QTRY_VERIFY_WITH_TIMEOUT(rowOf(window, deviceId) != nullptr, 10000);
    UpdateFileItem *row = rowOf(window, deviceId);
    chooseFile(row, dir.filePath(QStringLiteral("image%1.bin").arg(deviceId, 2, 16)));

    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(rowButton(row, "zhengxian"), Qt::LeftButton);
    transferMs[deviceId] = clock.elapsed();

    const QString message = row->findChild<QLabel *>(QStringLiteral("msgLabel"))->text();
    QCOMPARE(message, QCoreApplication::translate("MainWindow", "upgred ok "));
    QTest::mouseClick(rowButton(row, "itemClose"), Qt::LeftButton);
}

QByteArray TestSoak::completedImage(SimulatorThread &simulator, uint8_t deviceId)
{
    QByteArray image;
    SimulatorHost *host = simulator.host();
    QMetaObject::invokeMethod(
        host, [host, deviceId, &image] { image = host->simulator()->completedImage(deviceId); },
        Qt::BlockingQueuedConnection);
    return image;
}

void TestSoak::windowKeepsUpUnderLoad()
{
    const int durationMs = soakMs();
    // Short trial runs take their reference sample after a third of their length.
    const int referenceMs = std::min(FirstMinuteMs, durationMs / 3);
    SimulatorOptions options;
    options.noise = true;
    options.splitOutput = true;
    options.checkMode = CheckNone;
    options.liveValueRateHz = 200;
    options.dropEveryNthAck = 7;
    SimulatorThread simulator(options);
    const QString link = dir.filePath(QStringLiteral("ttyKORU0"));
    if (!simulator.start(link))
        QSKIP(qPrintable(QStringLiteral("no pseudo-terminal here: %1").arg(simulator.errorString())));
    EmittedFrames emitted;
    connect(simulator.host()->simulator(), &DeviceSimulator::output, &emitted, &EmittedFrames::add);

    QElapsedTimer clock;
    clock.start();
    MainWindow window(nullptr, new FixedPathEnumerator(new FakePortEnumerator, link));
    window.setTranslator(&translator);
    window.show();
    SoakLoad load(window, simulator, options);
    QCOMPARE(load.pageTabs.size(), int(std::size(PageCycle)));
    qint64 referenceKiB = -1;
    QTimer::singleShot(referenceMs, &load, [&referenceKiB] { referenceKiB = residentKiB(); });
    load.start();

    for (uint8_t id : FlashedIds) {
        flash(window, load, id);
        if (QTest::currentTestFailed())
            return;
    }
    if (clock.elapsed() < durationMs)
        QTest::qWait(int(durationMs - clock.elapsed()));
    load.stop();
    const qint64 endKiB = residentKiB();
    const qint64 elapsedMs = clock.elapsed();

    // Leaving the channel page stops the stream; a last marker proves the link still works.
    load.showPage(MainWindow::UpgradePage);
    load.sendMarker();
    auto *shellView = window.findChild<QTextEdit *>(QStringLiteral("showShellcmdTextEdit"));
    QTRY_COMPARE_WITH_TIMEOUT(int(countMarkers(shellView->toPlainText()).size()), load.markersSent, DrainTimeoutMs);
    const std::map<int, int> shown = countMarkers(shellView->toPlainText());

    qInfo("soak: %.1f s, %d page switches, %d check mode switches", elapsedMs / 1000.0, load.pageSwitches,
          load.modeSwitches);
    qInfo("soak: simulator emitted %d frames (%d channel value frames), %d shell markers sent, %d shown",
          emitted.total, emitted.liveValues, load.markersSent, int(shown.size()));
    for (uint8_t id : FlashedIds)
        qInfo("soak: transfer to 0x%02X took %.1f s", id, transferMs[id] / 1000.0);
    qInfo("soak: resident memory %lld KiB at %.0f s, %lld KiB at the end", referenceKiB, referenceMs / 1000.0, endKiB);

    QCOMPARE(shown, emitted.markers); // no answer shown twice, none lost
    QCOMPARE(int(emitted.markers.size()), load.markersSent);
    for (uint8_t id : FlashedIds)
        QVERIFY2(completedImage(simulator, id) == images[id], qPrintable(QString::number(id, 16)));
    QVERIFY(referenceKiB > 0);
    QVERIFY2(endKiB <= referenceKiB * AllowedGrowth, qPrintable(QStringLiteral("%1 KiB -> %2 KiB").arg(referenceKiB).arg(endKiB)));
}

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
