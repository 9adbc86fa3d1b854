#include "devicelink.h"
#include "deviceport.h"
#include "framereassembler.h"
#include "koruresources.h"
#include "portenumerator.h"
#include "protocolids.h"
#include "simulatorhost.h"
#include "upgradesession.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

using namespace Koru;

Q_DECLARE_METATYPE(Koru::SimulatorOptions)

// Boot loaders whose acknowledgements go wrong, over the real receive path: the link's
// QSerialPort on a pseudo-terminal against the simulated devices.
class TestUpgradeFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void acknowledgementFaults_data();
    void acknowledgementFaults();

private:
    QTemporaryDir dir;
    QTranslator english;
};

void TestUpgradeFaults::initTestCase()
{
    QVERIFY(dir.isValid());
    initKoruResources();
    QVERIFY(english.load(QStringLiteral(":/en.qm")));
    QCoreApplication::installTranslator(&english);
}

void TestUpgradeFaults::acknowledgementFaults_data()
{
    QTest::addColumn<SimulatorOptions>("options");
    QTest::addColumn<UpgradeOutcome>("outcome");
    QTest::addColumn<QString>("message");

    const QString complete = QStringLiteral("Upgrading Complete");
    SimulatorOptions options;
    options.repeatAcks = true;
    QTest::newRow("each ack three times, then the one before") << options << UpgradeOutcome::Succeeded << complete;
    options.splitOutput = true;
    QTest::newRow("repeated acks in pieces") << options << UpgradeOutcome::Succeeded << complete;
    options = {};
    options.strayAckAtEnd = true;
    QTest::newRow("ack past the last packet, end confirmed") << options << UpgradeOutcome::Succeeded << complete;
    options.refuseEndCode = -7;
    QTest::newRow("ack past the last packet, end refused")
        << options << UpgradeOutcome::Refused
        << "Error in firmware checking, please update again. If failed many times, please contact our service "
           "center for help";
}

void TestUpgradeFaults::acknowledgementFaults()
{
    QFETCH(SimulatorOptions, options);
    QFETCH(UpgradeOutcome, outcome);
    QFETCH(QString, message);
    constexpr int Packets = 40;
    options.packetSize = 16;
    SimulatorHost simulator(options);
    const QString path = dir.filePath(QStringLiteral("ttyKORU0"));
    if (!simulator.start(path))
        QSKIP("no pseudo-terminal here");
    FrameReassembler requests;
    int dataFrames = 0;
    connect(simulator.simulator(), &DeviceSimulator::input, this, [&](const QByteArray &bytes) {
        requests.append(bytes);
        Frame frame;
        while (requests.takeFrame(frame) == FrameReassembler::Result::Frame)
            dataFrames += frame.commandId() == CMD_ID_UPGRADE_DATA ? 1 : 0;
    });
    QSignalSpy completed(simulator.simulator(), &DeviceSimulator::upgradeCompleted);
    DeviceLink link(new SerialDevicePort, new FixedPathEnumerator(new SystemPortEnumerator, path));
    link.start();
    QVERIFY(link.isOpen());
    const QByteArray image(Packets * 16, '\x3C');
    const QString file = dir.filePath(QStringLiteral("image.bin"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(image) == image.size());
    out.close();
    UpgradeSession &upgrade = link.upgrade();
    QSignalSpy finished(&upgrade, &UpgradeSession::finished);
    QSignalSpy messages(&upgrade, &UpgradeSession::message);

    upgrade.start(file, 0x13, 0);

    QVERIFY(finished.wait(20000));
    QCOMPARE(finished[0][1].value<UpgradeOutcome>(), outcome);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0][1].value<TextKey>().text(), message);
    // A repeated or stray acknowledgement sets off no repetition.
    QCOMPARE(dataFrames, Packets);
    if (outcome == UpgradeOutcome::Succeeded) {
        QVERIFY(completed.wait(5000));
        QCOMPARE(completed[0][1].toByteArray(), image);
    }
}

QTEST_GUILESS_MAIN(TestUpgradeFaults)
#include "tst_upgradefaults.moc"
