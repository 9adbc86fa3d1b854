#include "devicelink.h"
#include "fakeport.h"
#include "koruresources.h"
#include "mainwindow.h"
#include "myled.h"
#include "simulatorhost.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <ctime>

using namespace Koru;

namespace {
enum class LineFault { HangUp, Flapping };

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}
} // namespace
Q_DECLARE_METATYPE(LineFault)

// The real QSerialPort against the simulated devices on a pseudo-terminal.
class TestLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void opensPollsClosesAndReopens();
    void answerArrivesInsideNestedLoop();
    void answersKeepUpWithFastLiveReports();
    void survivesLineFaults_data();
    void survivesLineFaults();

private:
    QTemporaryDir dir;
};

// What the bottom bar tells of the controller: the USB indicator and the words beside it.
static QString connectionShown(MainWindow *w)
{
    const QPixmap shown = w->findChild<MyLed *>()->pixmap(Qt::ReturnByValue);
    const bool ledOn = !shown.isNull() && shown.toImage() == QPixmap(QStringLiteral(":/img/usb_on")).toImage();
    return (ledOn ? QStringLiteral("on: ") : QStringLiteral("off: "))
           + w->findChild<QLabel *>(QStringLiteral("connectionLabel"))->text();
}

static const QString Connected = QStringLiteral("on: Connected: ttyKORU0");
static const QString Disconnected = QStringLiteral("off: No remote controller — plug it in by USB");

void TestLink::initTestCase()
{
    initKoruResources();
    QVERIFY(dir.isValid());
    QDir::setCurrent(dir.path());
}

void TestLink::opensPollsClosesAndReopens()
{
    SimulatorHost host;
    const QString link = dir.filePath(QStringLiteral("ttyKORU0"));
    if (!host.start(link))
        QSKIP(qPrintable(QStringLiteral("no pseudo-terminal here: %1").arg(host.errorString())));

    int versionAnswers = 0;
    connect(host.simulator(), &DeviceSimulator::output, this, [&versionAnswers](const QByteArray &bytes) {
        // Answers leave whole when output is not split.
        if (bytes.size() > 10 && uint8_t(bytes[9]) == CommonSet && uint8_t(bytes[10]) == CMD_ID_VERSION)
            ++versionAnswers;
    });

    DeviceLink deviceLink(nullptr, new FixedPathEnumerator(new FakePortEnumerator, link));
    MainWindow window(deviceLink);
    QCOMPARE(connectionShown(&window), Connected);
    QTRY_COMPARE_WITH_TIMEOUT(versionAnswers, host.simulator()->options().deviceIds.size(), 3000);

    host.vanish();
    QVERIFY(!QFileInfo::exists(link));
    QTRY_COMPARE_WITH_TIMEOUT(connectionShown(&window), Disconnected, 1000);

    versionAnswers = 0;
    QVERIFY(host.reappear());
    QTRY_COMPARE_WITH_TIMEOUT(connectionShown(&window), Connected, 1000);
    QTRY_COMPARE_WITH_TIMEOUT(versionAnswers, host.simulator()->options().deviceIds.size(), 3000);
}

// QSerialPort announces nothing new while a handler of its last notice runs; an answer box
// waits in such a handler, and the answers that come meanwhile must still get through.
void TestLink::answerArrivesInsideNestedLoop()
{
    SimulatorHost host;
    const QString link = dir.filePath(QStringLiteral("ttyKORU1"));
    if (!host.start(link))
        QSKIP(qPrintable(QStringLiteral("no pseudo-terminal here: %1").arg(host.errorString())));
    DeviceLink deviceLink(nullptr, new FixedPathEnumerator(new FakePortEnumerator, link));
    deviceLink.start();
    QVERIFY(deviceLink.isOpen());

    int answers = 0;
    bool answeredInside = false;
    connect(&deviceLink, &DeviceLink::responseReceived, this, [&](const DecodedResponse &response) {
        if (response.kind != Response::DeviceVersion || ++answers > 1)
            return;
        QEventLoop box;
        connect(&deviceLink, &DeviceLink::responseReceived, &box, &QEventLoop::quit);
        QTimer::singleShot(2000, &box, &QEventLoop::quit);
        deviceLink.send(CommonSet, CMD_ID_VERSION, RemoteControllerId);
        box.exec();
        answeredInside = answers > 1;
    });
    deviceLink.send(CommonSet, CMD_ID_VERSION, RemoteControllerId);
    QTRY_VERIFY_WITH_TIMEOUT(answers > 1, 3000);
    QVERIFY(answeredInside);
}

// A controller that reports a thousand times a second makes the link read in batches; an
// answer among the reports must still come through within a batch period or two.
void TestLink::answersKeepUpWithFastLiveReports()
{
    SimulatorOptions options;
    options.liveValueRateHz = 1000;
    SimulatorHost host(options);
    const QString link = dir.filePath(QStringLiteral("ttyKORU2"));
    if (!host.start(link))
        QSKIP(qPrintable(QStringLiteral("no pseudo-terminal here: %1").arg(host.errorString())));
    DeviceLink deviceLink(nullptr, new FixedPathEnumerator(new FakePortEnumerator, link));
    deviceLink.start();
    QVERIFY(deviceLink.isOpen());

    int reports = 0;
    int versionAnswers = 0;
    connect(&deviceLink, &DeviceLink::responseReceived, this, [&](const DecodedResponse &response) {
        reports += response.kind == Response::ChannelValues;
        versionAnswers += response.kind == Response::DeviceVersion;
    });
    deviceLink.setLiveChannelReports(true);
    QTRY_VERIFY_WITH_TIMEOUT(reports > 200, 3000);

    for (int round = 0; round < 5; ++round) {
        const int before = versionAnswers;
        QElapsedTimer answered;
        answered.start();
        deviceLink.send(CommonSet, CMD_ID_VERSION, RemoteControllerId);
        QTRY_VERIFY_WITH_TIMEOUT(versionAnswers > before, 1000);
        QVERIFY2(answered.elapsed() < 250, qPrintable(QString::number(answered.elapsed())));
    }
    const int streamed = reports;
    QTRY_VERIFY_WITH_TIMEOUT(reports > streamed + 100, 1000);
}

void TestLink::survivesLineFaults_data()
{
    QTest::addColumn<LineFault>("fault");
    QTest::newRow("hang-up with the path kept") << LineFault::HangUp;
    QTest::newRow("flapping at 50 Hz") << LineFault::Flapping;
}

// The link closes a broken port at once without spinning on it, stays sane while the port
// comes and goes, and polls the steady device that follows.
void TestLink::survivesLineFaults()
{
    QFETCH(LineFault, fault);
    SimulatorHost host;
    const QString link = dir.filePath(QStringLiteral("ttyKORU3"));
    if (!host.start(link))
        QSKIP(qPrintable(QStringLiteral("no pseudo-terminal here: %1").arg(host.errorString())));
    DeviceLink deviceLink(nullptr, new FixedPathEnumerator(new FakePortEnumerator, link));
    int versionAnswers = 0;
    connect(&deviceLink, &DeviceLink::responseReceived, this,
            [&](const DecodedResponse &r) { versionAnswers += r.kind == Response::DeviceVersion; });
    deviceLink.start();
    QTRY_VERIFY_WITH_TIMEOUT(versionAnswers > 0, 5000);

    if (fault == LineFault::HangUp) {
        host.hangUp(1000);
        QTRY_VERIFY_WITH_TIMEOUT(!deviceLink.isOpen(), 2000);
        const double cpuBefore = threadCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QTest::qWait(500); // a measuring window: nothing is awaited here
        const double share = (threadCpuSeconds() - cpuBefore) / (double(wall.nsecsElapsed()) / 1e9);
        QVERIFY2(share < 0.10, qPrintable(QString::number(share)));
    } else {
        int closes = 0;
        connect(&deviceLink, &DeviceLink::connectionChanged, this, [&closes](bool on) { closes += !on; });
        host.flap(50, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!host.isFlapping(), 10000);
        QVERIFY2(closes >= 20, qPrintable(QString::number(closes)));
    }
    versionAnswers = 0;
    QTRY_VERIFY_WITH_TIMEOUT(versionAnswers > 0, 5000);
    QVERIFY(deviceLink.isOpen());
}

QTEST_MAIN(TestLink)
#include "tst_link.moc"
