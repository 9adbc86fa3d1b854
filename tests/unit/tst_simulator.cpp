#include "chsource.h"
#include "devicesimulator.h"
#include "framereassembler.h"

#include <QElapsedTimer>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <optional>

using namespace Koru;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray array;
    for (int value : values)
        array.append(char(value));
    return array;
}

QByteArray u16(uint16_t value)
{
    return bytes({value & 0xFF, value >> 8});
}

QByteArray u32(uint32_t value)
{
    return u16(uint16_t(value)) + u16(uint16_t(value >> 16));
}

uint32_t sumOf(const QByteArray &image)
{
    uint32_t sum = 0;
    byteSum(reinterpret_cast<const uint8_t *>(image.constData()), size_t(image.size()), &sum);
    return sum;
}

// Sends host frames to a simulator and cuts what it answers back into frames.
class Bench
{
public:
    explicit Bench(const SimulatorOptions &options = {}) : sim(options)
    {
        QObject::connect(&sim, &DeviceSimulator::output, &sim, [this](const QByteArray &piece) {
            ++pieces;
            largestPiece = std::max(largestPiece, int(piece.size()));
            reassembler.append(piece);
            Frame frame;
            while (reassembler.takeFrame(frame) != FrameReassembler::Result::NeedMore) {
                if (frame.length > 0)
                    frames.append(frame);
                frame.length = 0;
            }
        });
    }

    void send(uint8_t target, uint8_t set, uint8_t id, const QByteArray &payload = {})
    {
        sim.receive(makeFrame(AssistantId, target, set, id, payload));
    }

    // Takes the collected frames of one command out of the list, in arrival order.
    QVector<Frame> take(uint8_t set, uint8_t id)
    {
        const auto kept = std::stable_partition(frames.begin(), frames.end(), [set, id](const Frame &f) {
            return f.commandSet() != set || f.commandId() != id;
        });
        const QVector<Frame> taken(kept, frames.end());
        frames.erase(kept, frames.end());
        return taken;
    }

    int count(uint8_t set, uint8_t id) const
    {
        return int(std::count_if(frames.cbegin(), frames.cend(), [set, id](const Frame &f) {
            return f.commandSet() == set && f.commandId() == id;
        }));
    }

    // Sends a request and returns the answer the simulator gave at once, if any.
    std::optional<Frame> ask(uint8_t target, uint8_t set, uint8_t id, const QByteArray &payload = {})
    {
        send(target, set, id, payload);
        const QVector<Frame> answers = take(set, id);
        return answers.isEmpty() ? std::nullopt : std::optional<Frame>(answers.last());
    }

    QByteArray answer(uint8_t target, uint8_t set, uint8_t id, const QByteArray &payload = {})
    {
        const std::optional<Frame> frame = ask(target, set, id, payload);
        return frame ? frame->payloadBytes() : QByteArray();
    }

    DeviceSimulator sim;
    FrameReassembler reassembler;
    QVector<Frame> frames;
    int pieces = 0;
    int largestPiece = 0;
};

QByteArray testImage(int size)
{
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i)
        image[i] = char((i * 131 + i / 7) & 0xFF);
    return image;
}

// Starts an upgrade and sends every packet once (but the skipped one); returns the
// acknowledged packet numbers.
QVector<int> sendImage(Bench &bench, uint8_t device, const QByteArray &image, int packetSize,
                       int skipped = -1)
{
    const QByteArray ready =
        bench.answer(device, CommonSet, CMD_ID_UPGRADE_START, u32(uint32_t(image.size())));
    if (ready != bytes({1, packetSize}))
        return {};
    const int packets = std::max(1, int((image.size() + packetSize - 1) / packetSize));
    QVector<int> acknowledged;
    for (int i = 0; i < packets; ++i) {
        if (i == skipped)
            continue;
        const QByteArray ack = bench.answer(device, CommonSet, CMD_ID_UPGRADE_DATA,
                                            u16(uint16_t(i)) + image.mid(i * packetSize, packetSize));
        if (ack == bytes({0}) + u16(uint16_t(i)))
            acknowledged.append(i);
    }
    return acknowledged;
}

QByteArray endUpgrade(Bench &bench, uint8_t device, uint32_t size, uint32_t checksum)
{
    return bench.answer(device, CommonSet, CMD_ID_UPGRADE_END, u32(size) + u32(checksum));
}

} // namespace

class TestSimulator : public QObject
{
    Q_OBJECT

private slots:
    void versionAndIdentity_data()
    {
        QTest::addColumn<int>("device");
        QTest::addColumn<bool>("present");
        for (int id : {0x10, 0x13, 0x1E, 0x2C, 0x2E})
            QTest::addRow("0x%02X", id) << id << true;
        QTest::newRow("0x15 not listed") << 0x15 << false;
    }

    void versionAndIdentity()
    {
        QFETCH(int, device);
        QFETCH(bool, present);
        Bench bench;
        const std::optional<Frame> version = bench.ask(uint8_t(device), CommonSet, CMD_ID_VERSION);
        const std::optional<Frame> uid = bench.ask(uint8_t(device), CommonSet, CMD_ID_UID);
        QCOMPARE(version.has_value(), present);
        QCOMPARE(uid.has_value(), present);
        if (!present)
            return;
        QCOMPARE(int(version->source()), device);
        QCOMPARE(int(version->target()), int(AssistantId));
        const QByteArray payload = version->payloadBytes();
        QCOMPARE(payload.size(), 20);
        const QByteArray hardwareId = payload.mid(8).left(payload.mid(8).indexOf('\0'));
        QVERIFY(!hardwareId.isEmpty());
        for (char c : hardwareId)
            QVERIFY(c >= 0x20 && c < 0x7F);
        QVERIFY(readU32(version->payload()) != 0);
        QCOMPARE(int(uid->source()), device);
        QCOMPARE(uid->payloadBytes().size(), 16);
    }

    void devicesDiffer()
    {
        Bench bench;
        QSet<QByteArray> versions;
        QSet<QByteArray> uids;
        for (uint8_t id : SimulatorOptions().deviceIds) {
            versions.insert(bench.answer(id, CommonSet, CMD_ID_VERSION));
            uids.insert(bench.answer(id, CommonSet, CMD_ID_UID));
        }
        QCOMPARE(versions.size(), 5);
        QCOMPARE(uids.size(), 5);
    }

    void channelSetThenQuery_data()
    {
        QTest::addColumn<int>("setId");
        QTest::addColumn<QByteArray>("setPayload");
        QTest::addColumn<int>("queryId");
        QTest::addColumn<int>("queryTarget");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray map = u16(900) + u16(1400) + u16(2100);
        QTest::newRow("mapping") << int(CMD_ID_SET_MAP) << bytes({3}) + map << int(CMD_ID_GET_MAP) << 0x10
                                 << bytes({3}) + map;
        QTest::newRow("mapping via module side")
            << int(CMD_ID_SET_MAP) << bytes({16}) + map << int(CMD_ID_GET_MAP) << 0x2C << bytes({16}) + map;
        QTest::newRow("direction") << int(CMD_ID_SET_REVERSE) << bytes({1, 0xFF}) << int(CMD_ID_GET_REVERSE)
                                   << 0x10 << bytes({1, 0xFF});
        QTest::newRow("source") << int(CMD_ID_SET_ENTITY) << bytes({7, 1, 2}) << int(CMD_ID_GET_ENTITY)
                                << 0x2C << bytes({7, 1, 2});
        QTest::newRow("channel 17 ignored") << int(CMD_ID_SET_REVERSE) << bytes({17, 0xFF})
                                            << int(CMD_ID_GET_REVERSE) << 0x10 << QByteArray();
    }

    void channelSetThenQuery()
    {
        QFETCH(int, setId);
        QFETCH(QByteArray, setPayload);
        QFETCH(int, queryId);
        QFETCH(int, queryTarget);
        QFETCH(QByteArray, expected);
        Bench bench;
        bench.send(RemoteControllerId, RemoteControllerSet, uint8_t(setId), setPayload);
        const std::optional<Frame> answer =
            bench.ask(uint8_t(queryTarget), RemoteControllerSet, uint8_t(queryId), setPayload.left(1));
        QCOMPARE(answer.has_value(), !expected.isEmpty());
        if (answer) {
            QCOMPARE(int(answer->source()), queryTarget);
            QCOMPARE(answer->payloadBytes(), expected);
        }
    }

    void modelDefaultRestoresChannels()
    {
        Bench bench;
        bench.send(RemoteControllerId, RemoteControllerSet, CMD_ID_SET_MAP,
                   bytes({2}) + u16(1) + u16(2) + u16(3));
        bench.send(RemoteControllerId, RemoteControllerSet, CMD_ID_SET_REVERSE, bytes({2, 0xFF}));
        bench.send(RemoteControllerId, RemoteControllerSet, CMD_ID_SET_ENTITY, bytes({2, 3, 0}));
        bench.send(RemoteControllerId, CommonSet, CMD_ID_SHELL_TEXT, QByteArray("model_default\r\n"));
        QCOMPARE(bench.answer(0x10, RemoteControllerSet, CMD_ID_GET_MAP, bytes({2})),
                 bytes({2}) + u16(1000) + u16(1500) + u16(2000));
        QCOMPARE(bench.answer(0x10, RemoteControllerSet, CMD_ID_GET_REVERSE, bytes({2})), bytes({2, 1}));
        for (int ch = 1; ch <= 4; ++ch) // the sticks J1..J4
            QCOMPARE(bench.answer(0x10, RemoteControllerSet, CMD_ID_GET_ENTITY, bytes({ch})),
                     bytes({ch, 0, ch - 1}));
        // Every default source is one the channel page has an entry for.
        for (int ch = 1; ch <= 16; ++ch) {
            const QByteArray source = bench.answer(0x10, RemoteControllerSet, CMD_ID_GET_ENTITY, bytes({ch}));
            QVERIFY2(indexForSource(uint8_t(source[1]), uint8_t(source[2])) != ChSourceUnknownIndex,
                     qPrintable(QStringLiteral("channel %1").arg(ch)));
        }
    }

    void calibrationSequence_data()
    {
        QTest::addColumn<bool>("error");
        QTest::newRow("calibrated") << false;
        QTest::newRow("error flag") << true;
    }

    void calibrationSequence()
    {
        QFETCH(bool, error);
        SimulatorOptions options;
        options.calibrationCentreMs = 150;
        options.calibrationError = error;
        Bench bench(options);
        auto step = [&bench](int code) {
            return bench.answer(RemoteControllerId, RemoteControllerSet, CMD_ID_CALIBRATION,
                                bytes({1, code}));
        };
        auto status = [error](int state) { return bytes({0, state, error ? 1 : 0}); };
        QCOMPARE(step(0), status(0));
        QCOMPARE(step(1), status(1));
        QCOMPARE(step(2), status(1)); // finishing before the centre is done changes nothing
        QTRY_COMPARE(step(0), status(2));
        QCOMPARE(step(2), status(3));
        QCOMPARE(step(0), status(3));
    }

    void upgradeCompletes_data()
    {
        QTest::addColumn<int>("device");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("packetSize");
        QTest::newRow("empty file") << 0x13 << 0 << 64;
        QTest::newRow("three full packets") << 0x13 << 192 << 64;
        QTest::newRow("one byte more") << 0x2E << 193 << 64;
        QTest::newRow("5 KiB, controller") << 0x10 << 5 * 1024 + 37 << 64;
        QTest::newRow("largest packets") << 0x1E << 3000 << 253;
    }

    void upgradeCompletes()
    {
        QFETCH(int, device);
        QFETCH(int, size);
        QFETCH(int, packetSize);
        SimulatorOptions options;
        options.packetSize = packetSize;
        Bench bench(options);
        QSignalSpy completed(&bench.sim, &DeviceSimulator::upgradeCompleted);
        const QByteArray image = testImage(size);
        const int packets = std::max(1, (size + packetSize - 1) / packetSize);
        QCOMPARE(sendImage(bench, uint8_t(device), image, packetSize).size(), packets);
        QCOMPARE(endUpgrade(bench, uint8_t(device), uint32_t(size), sumOf(image)), bytes({1}));
        QVERIFY(bench.sim.completedImage(uint8_t(device)).isNull());
        bench.send(uint8_t(device), CommonSet, CMD_ID_RESET);
        QCOMPARE(completed.count(), 1);
        QCOMPARE(completed.first().at(0).value<uint8_t>(), uint8_t(device));
        QCOMPARE(completed.first().at(1).toByteArray(), image);
        QCOMPARE(bench.sim.completedImage(uint8_t(device)), image);
    }

    void upgradeEndRefused_data()
    {
        QTest::addColumn<int>("sizeDelta");
        QTest::addColumn<int>("sumDelta");
        QTest::addColumn<int>("skippedPacket");
        QTest::newRow("checksum mismatch") << 0 << 1 << -1;
        QTest::newRow("size one more") << 1 << 0 << -1;
        QTest::newRow("packet missing") << 0 << 0 << 2;
    }

    void upgradeEndRefused()
    {
        QFETCH(int, sizeDelta);
        QFETCH(int, sumDelta);
        QFETCH(int, skippedPacket);
        SimulatorOptions options;
        options.packetSize = 64;
        Bench bench(options);
        QSignalSpy completed(&bench.sim, &DeviceSimulator::upgradeCompleted);
        const QByteArray image = testImage(1000);
        sendImage(bench, 0x13, image, 64, skippedPacket);
        const QByteArray status =
            endUpgrade(bench, 0x13, uint32_t(image.size() + sizeDelta), sumOf(image) + uint32_t(sumDelta));
        QCOMPARE(status, bytes({0xF9}));
        bench.send(0x13, CommonSet, CMD_ID_RESET);
        QCOMPARE(completed.count(), 0);
        QVERIFY(bench.sim.completedImage(0x13).isEmpty());
    }

    void dropEveryNthAck()
    {
        SimulatorOptions options;
        options.packetSize = 16;
        options.dropEveryNthAck = 3;
        Bench bench(options);
        const QByteArray image = testImage(9 * 16);
        QCOMPARE(sendImage(bench, 0x10, image, 16), QVector<int>({0, 1, 3, 4, 6, 7}));
        // The repeated packet is the tenth data frame: acknowledged.
        QCOMPARE(bench.answer(0x10, CommonSet, CMD_ID_UPGRADE_DATA, u16(2) + image.mid(32, 16)),
                 bytes({0}) + u16(2));
    }

    void refusalCodes_data()
    {
        QTest::addColumn<int>("stage");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("start") << 0 << bytes({0xF3});
        QTest::newRow("data") << 1 << bytes({0xF6}) + u16(0);
        QTest::newRow("end") << 2 << bytes({0xF9});
    }

    void refusalCodes()
    {
        QFETCH(int, stage);
        QFETCH(QByteArray, expected);
        SimulatorOptions options;
        options.refuseStartCode = stage == 0 ? -13 : 0;
        options.refuseDataCode = stage == 1 ? -10 : 0;
        options.refuseEndCode = stage == 2 ? -7 : 0;
        Bench bench(options);
        const QByteArray image = testImage(100);
        const QByteArray answers[] = {
            bench.answer(0x13, CommonSet, CMD_ID_UPGRADE_START, u32(100)),
            bench.answer(0x13, CommonSet, CMD_ID_UPGRADE_DATA, u16(0) + image),
            endUpgrade(bench, 0x13, 100, sumOf(image)),
        };
        QCOMPARE(answers[stage], expected);
    }

    void applicationModeRestart_data()
    {
        QTest::addColumn<int>("device");
        QTest::addColumn<int>("restarts");
        QTest::newRow("controller reboots") << 0x10 << 1;
        QTest::newRow("module restarts behind the controller") << 0x13 << 0;
    }

    void applicationModeRestart()
    {
        QFETCH(int, device);
        QFETCH(int, restarts);
        SimulatorOptions options;
        options.startInApplication = true;
        options.restartDelayMs = 20;
        options.restartDowntimeMs = 30;
        Bench bench(options);
        QSignalSpy restart(&bench.sim, &DeviceSimulator::bootLoaderRestart);
        bench.send(0x10, CommonSet, CMD_ID_SHELL_TEXT, QByteArray("rc_pc 1\r\n"));
        QCOMPARE(bench.answer(uint8_t(device), CommonSet, CMD_ID_UPGRADE_START, u32(500)), bytes({2}));
        if (restarts == 0) {
            // The module is away for the restart's delay and downtime; the others answer.
            QVERIFY(!bench.ask(uint8_t(device), CommonSet, CMD_ID_UPGRADE_START, u32(500)));
            QVERIFY(!bench.ask(uint8_t(device), CommonSet, CMD_ID_VERSION));
            QVERIFY(bench.ask(0x1E, CommonSet, CMD_ID_VERSION));
        }
        QCOMPARE(restart.wait(200), restarts == 1);
        QCOMPARE(bench.sim.isStreaming(), restarts == 0);
        QCOMPARE(bench.answer(uint8_t(device), CommonSet, CMD_ID_UPGRADE_START, u32(500)), bytes({1, 128}));
        QCOMPARE(restart.count(), restarts);
    }

    void answerCheckModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("plain") << int(CheckPlain);
        QTest::newRow("unchecked") << int(CheckNone);
        QTest::newRow("CRC") << int(CheckCrc);
    }

    void answerCheckModes()
    {
        QFETCH(int, mode);
        SimulatorOptions options;
        options.checkMode = CheckMode(mode);
        Bench checked(options);
        Bench plain;
        const std::optional<Frame> answer = checked.ask(0x2E, CommonSet, CMD_ID_VERSION);
        QVERIFY(answer);
        QCOMPARE(int(checkModeOf(answer->bytes[FrameOffset::Control])), mode);
        QVERIFY(headerValid(answer->data()));
        QVERIFY(frameEndValid(answer->data(), answer->length));
        QCOMPARE(answer->payloadBytes(), plain.answer(0x2E, CommonSet, CMD_ID_VERSION));
    }

    void shellText_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("firstLine");
        QTest::newRow("help") << QByteArray("help")
                              << QByteArray("commands: help, rc_pc 0|1, model_default, version\r\n");
        QTest::newRow("unknown") << QByteArray("format  flash")
                                 << QByteArray("unknown command: format flash\r\n");
    }

    void shellText()
    {
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, firstLine);
        Bench bench;
        bench.send(0x13, CommonSet, CMD_ID_SHELL_TEXT, command + "\r\n");
        const QVector<Frame> lines = bench.take(CommonSet, CMD_ID_SHELL_TEXT);
        QVERIFY(!lines.isEmpty());
        QCOMPARE(int(lines.first().source()), 0x13);
        QCOMPARE(lines.first().payloadBytes(), firstLine);
    }

    void liveValuesFollowRcPc_data()
    {
        QTest::addColumn<int>("rate");
        QTest::newRow("none") << 0;
        QTest::newRow("200 Hz") << 200;
        QTest::newRow("400 Hz, no divisor of 1000") << 400;
        QTest::newRow("1000 Hz") << 1000;
    }

    // Reports follow "rc_pc 1" at the rate asked for: never more than the clock allows, and
    // not far fewer when ticks come late.
    void liveValuesFollowRcPc()
    {
        QFETCH(int, rate);
        SimulatorOptions options;
        options.liveValueRateHz = rate;
        Bench bench(options);
        QElapsedTimer clock;
        clock.start();
        bench.send(0x10, CommonSet, CMD_ID_SHELL_TEXT, QByteArray("rc_pc 1\r\n"));
        QTest::qWait(300);
        const QVector<Frame> reports = bench.take(RemoteControllerSet, CMD_ID_CH_VALUES);
        const qint64 due = clock.elapsed() * rate / 1000;
        QVERIFY2(reports.size() <= due + 1 && reports.size() >= due / 2,
                 qPrintable(QStringLiteral("%1 reports, %2 due").arg(reports.size()).arg(due)));
        QSet<int> stick;
        for (const Frame &frame : reports) {
            QCOMPARE(int(frame.source()), 0x10);
            QCOMPARE(frame.payloadSize(), 32);
            for (int ch = 0; ch < 16; ++ch) {
                const int16_t value = int16_t(readU16(frame.payload() + 2 * ch));
                QVERIFY2(value >= 1000 && value <= 2000, qPrintable(QString::number(value)));
            }
            stick.insert(int16_t(readU16(frame.payload())));
        }
        QCOMPARE(stick.size() > 1, rate > 0);
        bench.send(0x10, CommonSet, CMD_ID_SHELL_TEXT, QByteArray("rc_pc 0\r\n"));
        QSignalSpy output(&bench.sim, &DeviceSimulator::output);
        QVERIFY(!output.wait(100));
    }

    void splitOutputWithNoise()
    {
        SimulatorOptions options;
        options.splitOutput = true;
        options.noise = true;
        options.seed = 7;
        Bench bench(options);
        Bench plain;
        bench.send(0x1E, CommonSet, CMD_ID_VERSION);
        bench.send(0x1E, CommonSet, CMD_ID_UID);
        QTRY_COMPARE(bench.frames.size(), 2);
        QVERIFY(bench.pieces > 2 * (FrameOverhead + 16) / 7);
        QVERIFY(bench.largestPiece <= 7);
        QCOMPARE(bench.take(CommonSet, CMD_ID_VERSION).first().payloadBytes(),
                 plain.answer(0x1E, CommonSet, CMD_ID_VERSION));
        QCOMPARE(bench.take(CommonSet, CMD_ID_UID).first().payloadBytes(),
                 plain.answer(0x1E, CommonSet, CMD_ID_UID));
    }

    void processingDelay()
    {
        SimulatorOptions options;
        options.processingDelayMs = 60;
        Bench bench(options);
        QSignalSpy output(&bench.sim, &DeviceSimulator::output);
        QElapsedTimer clock;
        clock.start();
        bench.send(0x10, CommonSet, CMD_ID_VERSION);
        QCOMPARE(output.count(), 0);
        QVERIFY(output.wait(1000));
        QVERIFY(clock.elapsed() >= 60);
        QCOMPARE(bench.take(CommonSet, CMD_ID_VERSION).size(), 1);
    }

    void gimbalAndCamera_data()
    {
        QTest::addColumn<int>("setId");
        QTest::addColumn<QByteArray>("setPayload");
        QTest::addColumn<QByteArray>("setAnswer");
        QTest::addColumn<int>("queryId");
        QTest::addColumn<QByteArray>("queryPayload");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("zoom to none") << int(CMD_ID_SET_GIMBAL_CH) << bytes({9, 16}) << QByteArray()
                                      << int(CMD_ID_GET_GIMBAL_CH) << bytes({9}) << bytes({9, 16});
        QTest::newRow("function 11 ignored") << int(CMD_ID_SET_GIMBAL_CH) << bytes({11, 3}) << QByteArray()
                                             << int(CMD_ID_GET_GIMBAL_CH) << bytes({11}) << QByteArray();
        QTest::newRow("720P H265") << int(CMD_ID_SET_CAMERA_CONFIG) << bytes({0, 1}) << bytes({1})
                                   << int(CMD_ID_GET_CAMERA_CONFIG) << QByteArray() << bytes({0, 1});
        QTest::newRow("unknown resolution kept")
            << int(CMD_ID_SET_CAMERA_CONFIG) << bytes({2, 0}) << bytes({0}) << int(CMD_ID_GET_CAMERA_CONFIG)
            << QByteArray() << bytes({1, 0});
        QTest::newRow("IP address") << int(CMD_ID_SET_CAMERA_IP) << QByteArray("10.0.0.7") << QByteArray()
                                    << int(CMD_ID_GET_CAMERA_IP) << QByteArray()
                                    << QByteArray("10.0.0.7\0", 9);
    }

    void gimbalAndCamera()
    {
        QFETCH(int, setId);
        QFETCH(QByteArray, setPayload);
        QFETCH(QByteArray, setAnswer);
        QFETCH(int, queryId);
        QFETCH(QByteArray, queryPayload);
        QFETCH(QByteArray, expected);
        Bench bench;
        QCOMPARE(bench.answer(GimbalCameraId, GimbalSet, uint8_t(setId), setPayload), setAnswer);
        QCOMPARE(bench.answer(GimbalCameraId, GimbalSet, uint8_t(queryId), queryPayload), expected);
    }

    void productionLists()
    {
        Bench bench;
        QByteArray record = bytes({7}) + u32(0x40200000); // id 7, 2.5f
        bench.send(0x10, CommonSet, CMD_ID_SCPZ_VALUES, record);
        bench.send(0x10, CommonSet, CMD_ID_SCXS_VALUES, bytes({1}));
        QCOMPARE(bench.count(CommonSet, CMD_ID_SCPZ_VALUES), 1);
        QCOMPARE(bench.count(CommonSet, CMD_ID_SCXS_VALUES), 1);
        const QByteArray list = bench.take(CommonSet, CMD_ID_SCPZ_VALUES).first().payloadBytes();
        QCOMPARE(list.size() % 5, 0);
        QVERIFY(list.contains(record));
        QTRY_COMPARE_WITH_TIMEOUT(bench.count(CommonSet, CMD_ID_SCXS_VALUES), 2, 2500);
        bench.send(0x10, CommonSet, CMD_ID_SCXS_VALUES, bytes({0}));
        QSignalSpy output(&bench.sim, &DeviceSimulator::output);
        QVERIFY(!output.wait(1200));
    }

    void productionDate_data()
    {
        QTest::addColumn<uint>("date");
        QTest::addColumn<int>("result");
        QTest::addColumn<uint>("stored");
        QTest::newRow("7 December 2026") << 20261207u << 1 << 20261207u;
        QTest::newRow("month 13 refused") << 20261307u << 0 << 20240315u;
    }

    void productionDate()
    {
        QFETCH(uint, date);
        QFETCH(int, result);
        QFETCH(uint, stored);
        Bench bench;
        QCOMPARE(bench.answer(0x10, RemoteControllerSet, CMD_ID_SET_PRODUCTION_DATE, u32(date)),
                 bytes({result}));
        QCOMPARE(bench.answer(0x10, RemoteControllerSet, CMD_ID_PRODUCTION_DATE), u32(stored));
    }
};

QTEST_MAIN(TestSimulator)
#include "tst_simulator.moc"
