#include "deviceport.h"
#include "koruresources.h"
#include "protocolids.h"
#include "simulatorhost.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <deque>
#include <memory>

using namespace Koru;

// koru-flash on several simulated controllers, each on a pseudo-terminal of its own whose
// by-id link carries its USB serial number.
class TestFlashLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void everyUnitOnItsOwnPort_data();
    void everyUnitOnItsOwnPort();
    void lineLoopRecordsEachUnitOnce();
    void portHeldElsewhereIsRefused_data();
    void portHeldElsewhereIsRefused();
    void interruptedRunCostsNothing_data();
    void interruptedRunCostsNothing();

private:
    struct Unit
    {
        std::unique_ptr<SimulatorHost> host;
        int completed = 0;
        QByteArray image;
    };

    bool plug(int number, const SimulatorOptions &options = {});
    void startFlash(QProcess &flash, const QStringList &options);
    QList<QJsonObject> records() const;

    QTemporaryDir dir;
    QString folder;
    QString program;
    QByteArray image;
    std::deque<Unit> units; // grows at its end, so that the references the spies hold stay
};

void TestFlashLine::initTestCase()
{
    qRegisterMetaType<QProcess::ExitStatus>("QProcess::ExitStatus"); // for the spy on finished
    QVERIFY(dir.isValid());
    folder = dir.filePath(QStringLiteral("by-id"));
    QVERIFY(QDir().mkpath(folder));
    program = QCoreApplication::applicationDirPath() + QStringLiteral("/../flash/koru-flash");
    image.resize(3000);
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 7 + 3);
    QFile file(dir.filePath(QStringLiteral("image.bin")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(image) == image.size());
}

void TestFlashLine::cleanup()
{
    units.clear();
    QFile::remove(dir.filePath(QStringLiteral("record.jsonl")));
}

// Unit n (from 1) plugged in.
bool TestFlashLine::plug(int number, const SimulatorOptions &options)
{
    units.resize(std::max<size_t>(units.size(), size_t(number)));
    Unit &unit = units[size_t(number - 1)];
    unit.host = std::make_unique<SimulatorHost>(options);
    connect(unit.host->simulator(), &DeviceSimulator::upgradeCompleted, this,
            [&unit](uint8_t, const QByteArray &bytes) {
                ++unit.completed;
                unit.image = bytes;
            });
    const QString serial = SimulatorHost::unitSerial(number);
    return unit.host->start(QDir(folder).filePath(SimulatorHost::byIdLinkName(serial)));
}

void TestFlashLine::startFlash(QProcess &flash, const QStringList &options)
{
    flash.start(program, options + QStringList{"--by-id", folder, "--record", dir.filePath("record.jsonl"),
                                               "--target", "0x10", dir.filePath("image.bin")});
}

QList<QJsonObject> TestFlashLine::records() const
{
    QFile file(dir.filePath(QStringLiteral("record.jsonl")));
    QList<QJsonObject> lines;
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    while (!file.atEnd())
        lines.append(QJsonDocument::fromJson(file.readLine()).object());
    return lines;
}

void TestFlashLine::everyUnitOnItsOwnPort_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("restarting"); // the unit that restarts into its boot loader; 0: none
    QTest::addColumn<QList<int>>("flashed");

    QTest::newRow("all of four") << QStringList{"--all"} << 4 << 0 << QList<int>{1, 2, 3, 4};
    QTest::newRow("all, one restarting") << QStringList{"--all"} << 2 << 1 << QList<int>{1, 2};
    // The last one found is taken; while it restarts, only the other one is plugged in.
    QTest::newRow("one restarting beside another") << QStringList{} << 2 << 2 << QList<int>{2};
}

void TestFlashLine::everyUnitOnItsOwnPort()
{
    QFETCH(QStringList, options);
    QFETCH(int, count);
    QFETCH(int, restarting);
    QFETCH(QList<int>, flashed);
    if (!QFileInfo::exists(program))
        QSKIP("koru-flash is not built");
    for (int number = 1; number <= count; ++number) {
        SimulatorOptions unitOptions;
        unitOptions.startInApplication = number == restarting;
        unitOptions.restartDelayMs = 100;
        unitOptions.restartDowntimeMs = 300;
        if (!plug(number, unitOptions))
            QSKIP("no pseudo-terminal here");
    }
    QProcess flash;
    QSignalSpy finished(&flash, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    startFlash(flash, options);
    QVERIFY(finished.wait(60000));
    QVERIFY2(flash.exitCode() == 0, flash.readAllStandardError().constData());

    const QString sha256 = QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex());
    const QList<QJsonObject> lines = records();
    QCOMPARE(lines.size(), flashed.size());
    QStringList serials;
    for (const QJsonObject &line : lines) {
        QCOMPARE(line.value("sha256").toString(), sha256);
        QCOMPARE(line.value("size").toInt(), image.size());
        QCOMPARE(line.value("result").toString(), QStringLiteral("passed"));
        serials << line.value("usbSerial").toString();
    }
    for (int number = 1; number <= count; ++number) {
        const Unit &unit = units[size_t(number - 1)];
        const bool wanted = flashed.contains(number);
        QTRY_COMPARE(unit.completed, wanted ? 1 : 0);
        QCOMPARE(serials.contains(SimulatorHost::unitSerial(number)), wanted);
        if (wanted)
            QCOMPARE(unit.image, image);
    }
}

// Three units plugged in one after another, each unplugged once it is done.
void TestFlashLine::lineLoopRecordsEachUnitOnce()
{
    if (!QFileInfo::exists(program))
        QSKIP("koru-flash is not built");
    QProcess flash;
    QSignalSpy finished(&flash, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    startFlash(flash, {"--wait"});
    QVERIFY(flash.waitForStarted());
    for (int number = 1; number <= 3; ++number) {
        if (!plug(number))
            QSKIP("no pseudo-terminal here");
        QTRY_COMPARE_WITH_TIMEOUT(records().size(), number, 20000);
        units[size_t(number - 1)].host->vanish();
    }
    flash.terminate(); // SIGTERM, as Ctrl-C
    QVERIFY(finished.wait(10000));
    QCOMPARE(flash.exitCode(), 0);
    const QByteArray output = flash.readAllStandardOutput();
    QVERIFY2(output.contains("3 passed, 0 failed"), output.constData());
    const QList<QJsonObject> lines = records();
    QCOMPARE(lines.size(), 3);
    for (int number = 1; number <= 3; ++number) {
        QCOMPARE(lines[number - 1].value("usbSerial").toString(), SimulatorHost::unitSerial(number));
        QCOMPARE(units[size_t(number - 1)].completed, 1);
    }
}

void TestFlashLine::portHeldElsewhereIsRefused_data()
{
    QTest::addColumn<bool>("heldThroughLink"); // else koru-flash is given the link
    QTest::newRow("held through its by-id link") << true;
    QTest::newRow("held by its device name") << false;
}

// Another program (here this test, as the window would) holds the port under one name;
// koru-flash, given the other, is refused with the holder named and sends nothing.
void TestFlashLine::portHeldElsewhereIsRefused()
{
    QFETCH(bool, heldThroughLink);
    if (!QFileInfo::exists(program))
        QSKIP("koru-flash is not built");
    if (!plug(1))
        QSKIP("no pseudo-terminal here");
    qint64 received = 0;
    connect(units[0].host->simulator(), &DeviceSimulator::input, this,
            [&received](const QByteArray &bytes) { received += bytes.size(); });
    const QString link = units[0].host->portPath();
    const QString device = units[0].host->slavePath();
    SerialDevicePort holder;
    holder.setPortName(heldThroughLink ? link : device);
    QVERIFY(holder.open());

    QProcess flash;
    flash.start(program, {"--json", "--device", heldThroughLink ? device : link, "--target", "0x10",
                          dir.filePath("image.bin")});
    QVERIFY(flash.waitForFinished(20000));
    QCOMPARE(flash.exitCode(), 2);
    const QJsonObject document = QJsonDocument::fromJson(flash.readAllStandardOutput()).object();
    QCOMPARE(document.value("error").toString(), QStringLiteral("busy"));
    const QString message = document.value("message").toString();
    QVERIFY2(message.contains(QStringLiteral("tst_flashline (pid %1)").arg(QCoreApplication::applicationPid())),
             qPrintable(message));
    QCoreApplication::processEvents(); // what it wrote waits in the terminal
    QCOMPARE(received, qint64(0));
}

void TestFlashLine::interruptedRunCostsNothing_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("Ctrl-C") << int(SIGINT);
    QTest::newRow("killed") << int(SIGKILL);
}

// A run stopped in the middle of a transfer: on Ctrl-C it ends stopped with the port's lock
// gone; killed, it leaves a lock of a process that is gone. Either way the next run takes the
// port at once and writes the unit, still in its boot loader, completely.
void TestFlashLine::interruptedRunCostsNothing()
{
    QFETCH(int, signal);
    if (!QFileInfo::exists(program))
        QSKIP("koru-flash is not built");
    SimulatorOptions slow;
    slow.packetSize = 16;
    slow.processingDelayMs = 20;
    if (!plug(1, slow))
        QSKIP("no pseudo-terminal here");
    qint64 received = 0;
    connect(units[0].host->simulator(), &DeviceSimulator::input, this,
            [&received](const QByteArray &bytes) { received += bytes.size(); });
    const QString lock = QStringLiteral("/var/lock/LCK..")
                         + units[0].host->slavePath().mid(5).replace(QLatin1Char('/'), QLatin1Char('_'));
    QProcess flash;
    QSignalSpy finished(&flash, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    startFlash(flash, {"--json"});
    QTRY_VERIFY_WITH_TIMEOUT(received > 1000, 20000);
    QVERIFY(QFileInfo::exists(lock));
    ::kill(pid_t(flash.processId()), signal);
    QVERIFY(finished.wait(10000));
    if (signal == SIGINT) {
        QCOMPARE(flash.exitCode(), 130);
        const QJsonObject document = QJsonDocument::fromJson(flash.readAllStandardOutput()).object();
        QCOMPARE(document.value("error").toString(), QStringLiteral("stopped"));
        QVERIFY(!QFileInfo::exists(lock));
    }
    QCOMPARE(units[0].completed, 0);

    slow.processingDelayMs = 0;
    units[0].host->simulator()->setOptions(slow);
    startFlash(flash, {});
    QVERIFY(finished.wait(30000));
    QCOMPARE(flash.exitCode(), 0);
    QTRY_COMPARE(units[0].completed, 1);
    QCOMPARE(units[0].image, image);
    QCOMPARE(records().size(), signal == SIGINT ? 2 : 1);
    QVERIFY(!QFileInfo::exists(lock));
}

QTEST_GUILESS_MAIN(TestFlashLine)
#include "tst_flashline.moc"
