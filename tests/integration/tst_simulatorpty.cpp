#include "framereassembler.h"
#include "simulatorhost.h"
#include "simulatorthread.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace Koru;

namespace {

bool openPort(QSerialPort &port, const QString &path)
{
    port.setPortName(path);
    return port.open(QIODevice::ReadWrite) && port.setBaudRate(QSerialPort::Baud115200)
           && port.setDataBits(QSerialPort::Data8) && port.setParity(QSerialPort::NoParity)
           && port.setStopBits(QSerialPort::OneStop) && port.setFlowControl(QSerialPort::NoFlowControl);
}

// Writes one request and reads until the answer with the same set and id is complete.
// The event loop keeps turning unless blocking is asked for, in which case only a
// simulator on another thread can answer.
std::optional<Frame> exchange(QSerialPort &port, uint8_t target, uint8_t set, uint8_t id,
                              const QByteArray &payload = {}, bool blocking = false)
{
    if (port.write(makeFrame(AssistantId, target, set, id, payload)) < 0)
        return std::nullopt;
    QSignalSpy readyRead(&port, &QSerialPort::readyRead);
    FrameReassembler reassembler;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 3000) {
        const bool arrived = blocking ? port.waitForReadyRead(100) : readyRead.wait(100);
        if (!arrived && port.bytesAvailable() == 0)
            continue;
        reassembler.append(port.readAll());
        Frame frame;
        while (reassembler.takeFrame(frame) != FrameReassembler::Result::NeedMore) {
            if (frame.length > 0 && frame.commandSet() == set && frame.commandId() == id)
                return frame;
            frame.length = 0;
        }
    }
    return std::nullopt;
}

QByteArray u32(uint32_t value)
{
    QByteArray array(4, '\0');
    writeU32(reinterpret_cast<uint8_t *>(array.data()), value);
    return array;
}

} // namespace

class TestSimulatorPty : public QObject
{
    Q_OBJECT

private slots:
    void versionOverSerialPort_data();
    void versionOverSerialPort();
    void vanishAndReappear();
    void applicationModeReplug();
    void threadedHostAnswersBlockedCaller();

private:
    QTemporaryDir dir;
};

void TestSimulatorPty::versionOverSerialPort_data()
{
    QTest::addColumn<bool>("stableLink");
    QTest::addColumn<bool>("faults");
    QTest::newRow("slave path") << false << false;
    QTest::newRow("stable link") << true << false;
    QTest::newRow("pieces, noise, CRC") << true << true;
}

void TestSimulatorPty::versionOverSerialPort()
{
    QFETCH(bool, stableLink);
    QFETCH(bool, faults);
    SimulatorOptions options;
    options.splitOutput = faults;
    options.noise = faults;
    options.checkMode = faults ? CheckCrc : CheckPlain;
    SimulatorHost host(options);
    const QString link = stableLink ? dir.filePath(QStringLiteral("ttyKORU0")) : QString();
    QVERIFY2(host.start(link), qPrintable(host.errorString()));
    QCOMPARE(host.portPath(), stableLink ? link : host.slavePath());
    if (stableLink)
        QCOMPARE(QFileInfo(link).symLinkTarget(), host.slavePath());

    QSerialPort port;
    QVERIFY2(openPort(port, host.portPath()), qPrintable(port.errorString()));
    const std::optional<Frame> answer = exchange(port, 0x13, CommonSet, CMD_ID_VERSION);
    QVERIFY(answer);
    QCOMPARE(int(answer->source()), 0x13);
    QVERIFY(frameEndValid(answer->data(), answer->length));
    QCOMPARE(answer->payloadBytes(), DeviceProfile::forDevice(0x13).versionPayload());
}

void TestSimulatorPty::vanishAndReappear()
{
    SimulatorHost host;
    const QString link = dir.filePath(QStringLiteral("ttyKORU1"));
    QVERIFY2(host.start(link), qPrintable(host.errorString()));
    const QString firstSlave = host.slavePath();
    QSerialPort port;
    QVERIFY(openPort(port, link));
    QVERIFY(exchange(port, 0x10, CommonSet, CMD_ID_UID));

    QSignalSpy vanished(&host, &SimulatorHost::vanished);
    host.vanish();
    QCOMPARE(vanished.count(), 1);
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY(!QFileInfo::exists(firstSlave));
    port.write(makeFrame(AssistantId, 0x10, CommonSet, CMD_ID_UID, {}));
    QTRY_COMPARE(port.error(), QSerialPort::ResourceError);
    port.close();
    QVERIFY(!openPort(port, link));

    QSignalSpy reappeared(&host, &SimulatorHost::reappeared);
    QVERIFY(host.reappear());
    QCOMPARE(reappeared.count(), 1);
    QCOMPARE(QFileInfo(link).symLinkTarget(), host.slavePath());
    QVERIFY2(openPort(port, link), qPrintable(port.errorString()));
    const std::optional<Frame> answer = exchange(port, 0x10, CommonSet, CMD_ID_UID);
    QVERIFY(answer);
    QCOMPARE(answer->payloadBytes().size(), 16);
}

void TestSimulatorPty::applicationModeReplug()
{
    SimulatorOptions options;
    options.startInApplication = true;
    options.restartDelayMs = 50;
    options.restartDowntimeMs = 300;
    SimulatorHost host(options);
    const QString link = dir.filePath(QStringLiteral("ttyKORU2"));
    QVERIFY2(host.start(link), qPrintable(host.errorString()));
    QSerialPort port;
    QVERIFY(openPort(port, link));
    std::optional<Frame> answer = exchange(port, 0x10, CommonSet, CMD_ID_UPGRADE_START, u32(4096));
    QVERIFY(answer);
    QCOMPARE(answer->payloadBytes(), QByteArray(1, 2));

    QTRY_VERIFY(!QFileInfo(link).isSymLink());
    port.close();
    QTRY_VERIFY(QFileInfo::exists(link));
    QVERIFY2(openPort(port, link), qPrintable(port.errorString()));
    answer = exchange(port, 0x10, CommonSet, CMD_ID_UPGRADE_START, u32(4096));
    QVERIFY(answer);
    QCOMPARE(answer->payloadBytes(), QByteArray("\x01\x80", 2));
}

void TestSimulatorPty::threadedHostAnswersBlockedCaller()
{
    const QString link = dir.filePath(QStringLiteral("ttyKORU3"));
    {
        SimulatorThread simulator;
        QVERIFY2(simulator.start(link), qPrintable(simulator.errorString()));
        QCOMPARE(simulator.portPath(), link);
        QSerialPort port;
        QVERIFY(openPort(port, link));
        QVERIFY(exchange(port, 0x2E, CommonSet, CMD_ID_VERSION, {}, true));

        SimulatorOptions options;
        options.checkMode = CheckCrc;
        simulator.setOptions(options);
        const std::optional<Frame> answer = exchange(port, 0x2E, GimbalSet, CMD_ID_GET_CAMERA_FW, {}, true);
        QVERIFY(answer);
        QCOMPARE(int(checkModeOf(answer->bytes[FrameOffset::Control])), int(CheckCrc));
        QCOMPARE(readU32(answer->payload()), 0x00010203u);
    }
    QVERIFY(!QFileInfo(link).isSymLink());
}

QTEST_MAIN(TestSimulatorPty)
#include "tst_simulatorpty.moc"
