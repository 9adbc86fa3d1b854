#include "devicelink.h"
#include "deviceport.h"
#include "framereassembler.h"
#include "koruresources.h"
#include "portenumerator.h"
#include "protocolids.h"
#include "pseudoterminal.h"
#include "simulatorhost.h"
#include "upgradesession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

using namespace Koru;

Q_DECLARE_METATYPE(Koru::UpgradeOutcome)
Q_DECLARE_METATYPE(Koru::SimulatorOptions)

namespace {

const QString RetryAdvice = QStringLiteral(
    "please update again. If failed many times, please contact our service center for help");

} // namespace

// The upgrade engine over the real QSerialPort against the simulated devices on a
// pseudo-terminal, as the command-line flasher runs it.
class TestFlash : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void imageArrivesWhole_data();
    void imageArrivesWhole();
    void refusalIsReported_data();
    void refusalIsReported();
    void startStatusZeroRepeatsUntilTimeOut();
    void pulledCableIsNoSuccess();
    void controllerResumesAfterRestart();
    void commandLineExitCodes_data();
    void commandLineExitCodes();

private:
    QString writeImage(int size);
    QByteArray imageContent(int size) const;
    bool startSimulator(const SimulatorOptions &options);
    // A link to the simulated controller's port, opened as koru-flash opens it.
    std::unique_ptr<DeviceLink> openLink(const UpgradeTimings &timings = {});

    QTemporaryDir dir;
    QTranslator english;
    std::unique_ptr<SimulatorHost> simulator;
    QList<QPair<uint8_t, QByteArray>> completed;
    QString link;
};

void TestFlash::initTestCase()
{
    qRegisterMetaType<uint8_t>("uint8_t");
    QVERIFY(dir.isValid());
    initKoruResources();
    QVERIFY(english.load(QStringLiteral(":/en.qm")));
    QCoreApplication::installTranslator(&english);
    link = dir.filePath(QStringLiteral("ttyKORU0"));
}

void TestFlash::init()
{
    completed.clear();
}

void TestFlash::cleanup()
{
    simulator.reset();
}

bool TestFlash::startSimulator(const SimulatorOptions &options)
{
    simulator = std::make_unique<SimulatorHost>(options);
    connect(simulator->simulator(), &DeviceSimulator::upgradeCompleted, this,
            [this](uint8_t id, const QByteArray &image) { completed.append({id, image}); });
    return simulator->start(link);
}

std::unique_ptr<DeviceLink> TestFlash::openLink(const UpgradeTimings &timings)
{
    auto deviceLink =
        std::make_unique<DeviceLink>(new SerialDevicePort, new FixedPathEnumerator(new SystemPortEnumerator, link));
    deviceLink->upgrade().setTimings(timings);
    deviceLink->start();
    return deviceLink;
}

QByteArray TestFlash::imageContent(int size) const
{
    QByteArray content(size, '\0');
    for (int i = 0; i < size; ++i)
        content[i] = char((i * 31 + i / 256) & 0xFF);
    return content;
}

QString TestFlash::writeImage(int size)
{
    const QString path = dir.filePath(QStringLiteral("image%1.bin").arg(size));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(imageContent(size)) != size)
        return {};
    return path;
}

void TestFlash::imageArrivesWhole_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<SimulatorOptions>("options");

    SimulatorOptions options;
    options.packetSize = 16;
    QTest::newRow("empty file") << 0 << options;
    QTest::newRow("1 byte") << 1 << options;
    QTest::newRow("3 packets of 16") << 48 << options;
    QTest::newRow("3 packets of 16 + 1") << 49 << options;
    options.packetSize = 128;
    QTest::newRow("packets of 128") << 5000 << options;
    options.packetSize = 253;
    QTest::newRow("packets of 253") << 20000 << options;
    options.dropEveryNthAck = 7;
    QTest::newRow("every 7th ack dropped") << 20000 << options;
    options.dropEveryNthAck = 10;
    QTest::newRow("every 10th ack dropped") << 20000 << options;
    options.dropEveryNthAck = 0;
    options.splitOutput = true;
    options.noise = true;
    options.checkMode = CheckCrc;
    options.packetSize = 64;
    QTest::newRow("split, noisy, CRC frames") << 3000 << options;
}

void TestFlash::imageArrivesWhole()
{
    QFETCH(int, size);
    QFETCH(SimulatorOptions, options);
    if (!startSimulator(options))
        QSKIP("no pseudo-terminal here");
    const auto deviceLink = openLink();
    QVERIFY(deviceLink->isOpen());
    UpgradeSession &host = deviceLink->upgrade();
    QSignalSpy messages(&host, &UpgradeSession::message);

    QCOMPARE(host.start(writeImage(size), 0x13, 0), UpgradeOutcome::Succeeded);
    QCOMPARE(messages.value(0).value(1).toString(), QStringLiteral("Upgrading Complete"));
    QTRY_COMPARE(completed.size(), 1);
    QCOMPARE(completed[0].first, uint8_t(0x13));
    QCOMPARE(completed[0].second, imageContent(size));
}

void TestFlash::refusalIsReported_data()
{
    QTest::addColumn<SimulatorOptions>("options");
    QTest::addColumn<QString>("message");

    SimulatorOptions options;
    options.refuseStartCode = -1;
    QTest::newRow("start -1") << options << "Error during updating, " + RetryAdvice;
    options.refuseStartCode = -2;
    QTest::newRow("start -2") << options << "Unknown error, " + RetryAdvice + ".";
    options.refuseStartCode = 0;
    options.refuseDataCode = -3;
    QTest::newRow("data -3") << options << "Wrong firmware, please choose the right firmware";
    options.refuseDataCode = -10;
    QTest::newRow("data -10") << options << "Error during updating, " + RetryAdvice;
    options.refuseDataCode = 0;
    options.refuseEndCode = -7;
    QTest::newRow("end -7") << options << "Error in firmware checking, " + RetryAdvice;
    options.refuseEndCode = -13;
    QTest::newRow("end -13") << options << "Wrong firmware, please choose the right firmware";
    options.refuseEndCode = -15;
    QTest::newRow("end -15") << options
                             << "Configuration file is not matched with firmware,please load the same version";
}

void TestFlash::refusalIsReported()
{
    QFETCH(SimulatorOptions, options);
    QFETCH(QString, message);
    if (!startSimulator(options))
        QSKIP("no pseudo-terminal here");
    const auto deviceLink = openLink();
    QVERIFY(deviceLink->isOpen());
    UpgradeSession &host = deviceLink->upgrade();
    QSignalSpy messages(&host, &UpgradeSession::message);

    QCOMPARE(host.start(writeImage(500), RemoteControllerId, 0), UpgradeOutcome::Refused);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0][1].toString(), message);
    QVERIFY(completed.isEmpty());
}

// A device that answers every start with status 0 (not ready), on a pseudo-terminal of
// its own: the start is repeated on the real clock until the shortened time-out.
void TestFlash::startStatusZeroRepeatsUntilTimeOut()
{
    PseudoTerminal device;
    device.setLinkPath(link);
    if (!device.open())
        QSKIP("no pseudo-terminal here");
    FrameReassembler requests;
    int starts = 0;
    connect(&device, &PseudoTerminal::received, this, [&device, &requests, &starts](const QByteArray &bytes) {
        requests.append(bytes);
        Frame frame;
        while (requests.takeFrame(frame) == FrameReassembler::Result::Frame) {
            if (frame.commandId() != CMD_ID_UPGRADE_START)
                continue;
            ++starts;
            device.write(makeFrame(frame.target(), AssistantId, CommonSet, CMD_ID_UPGRADE_START, QByteArray(1, '\0')));
        }
    });
    UpgradeTimings timings;
    timings.start = {100, 1000, 5000};
    const auto deviceLink = openLink(timings);
    QVERIFY(deviceLink->isOpen());
    UpgradeSession &host = deviceLink->upgrade();
    QSignalSpy messages(&host, &UpgradeSession::message);
    QElapsedTimer clock;
    clock.start();

    QCOMPARE(host.start(writeImage(500), 0x13, 0), UpgradeOutcome::TimedOut);
    QVERIFY(clock.elapsed() >= 1000);
    // At 0, 100, ..., 900 ms; a loaded machine may let the last ones slip past 1 s.
    QVERIFY2(starts >= 8 && starts <= 10, qPrintable(QString::number(starts)));
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0][1].toString(), "Error during updating, " + RetryAdvice);
}

void TestFlash::pulledCableIsNoSuccess()
{
    SimulatorOptions options;
    options.packetSize = 16;
    if (!startSimulator(options))
        QSKIP("no pseudo-terminal here");
    const auto deviceLink = openLink();
    QVERIFY(deviceLink->isOpen());
    UpgradeSession &host = deviceLink->upgrade();
    QSignalSpy messages(&host, &UpgradeSession::message);
    connect(&host, &UpgradeSession::progress, this, [this](int, int maximum, int value) {
        if (value * 5 >= maximum)
            simulator->vanish();
    });

    const UpgradeOutcome outcome = host.start(writeImage(16 * 200), RemoteControllerId, 0);
    QVERIFY(outcome == UpgradeOutcome::DeviceLost || outcome == UpgradeOutcome::SendFailed);
    QVERIFY(!messages.isEmpty());
    QVERIFY(messages.last()[1].toString() != QStringLiteral("Upgrading Complete"));
    QVERIFY(completed.isEmpty());
}

void TestFlash::controllerResumesAfterRestart()
{
    SimulatorOptions options;
    options.startInApplication = true;
    options.restartDelayMs = 100;
    options.restartDowntimeMs = 300;
    if (!startSimulator(options))
        QSKIP("no pseudo-terminal here");
    const auto deviceLink = openLink();
    QVERIFY(deviceLink->isOpen());
    UpgradeSession &host = deviceLink->upgrade();

    QCOMPARE(host.startAndWait(writeImage(1000), RemoteControllerId, 0, 25000), UpgradeOutcome::Succeeded);
    QTRY_COMPARE(completed.size(), 1);
    QCOMPARE(completed[0].second, imageContent(1000));
}

void TestFlash::commandLineExitCodes_data()
{
    QTest::addColumn<int>("refuseStart");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("lastLine");

    QTest::newRow("success") << 0 << "image.bin" << 0 << "Upgrading Complete";
    QTest::newRow("refused") << -13 << "image.bin" << 4 << "Wrong firmware, please choose the right firmware";
    QTest::newRow("missing file") << 0 << "missing.bin" << 3 << "File open failed";
}

void TestFlash::commandLineExitCodes()
{
    QFETCH(int, refuseStart);
    QFETCH(QString, file);
    QFETCH(int, exitCode);
    QFETCH(QString, lastLine);
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../flash/koru-flash");
    if (!QFileInfo::exists(program))
        QSKIP("koru-flash is not built");
    SimulatorOptions options;
    options.refuseStartCode = int8_t(refuseStart);
    if (!startSimulator(options))
        QSKIP("no pseudo-terminal here");
    QFile::rename(writeImage(700), dir.filePath(QStringLiteral("image.bin")));

    QProcess flash;
    QSignalSpy finished(&flash, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    flash.start(program, {QStringLiteral("--port"), link, QStringLiteral("--device-id"), QStringLiteral("0x10"),
                          dir.filePath(file)});
    QVERIFY(finished.wait(20000)); // the simulator answers while the spy waits
    QCOMPARE(flash.exitCode(), exitCode);
    const QStringList lines = QString::fromUtf8(flash.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.value(lines.size() - 1), lastLine);
}

QTEST_GUILESS_MAIN(TestFlash)
#include "tst_flash.moc"
