#include "frame.h"
#include "framereassembler.h"
#include "protocolids.h"
#include "responsedecoder.h"
#include "upgradeengine.h"
#include "upgrademessages.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <functional>
#include <map>
#include <optional>

using namespace Koru;

Q_DECLARE_METATYPE(Koru::PacketPlan::Fit)

// How a boot loader's acknowledgements go wrong.
enum class AckFault { None, NextPacketFirst, Repeated, LastLate, PastLastAtEnd };
Q_DECLARE_METATYPE(AckFault)

namespace {

struct Command
{
    qint64 at;
    uint8_t id;
    QByteArray payload;
};

// The engine's surroundings on a virtual clock: the device's answers and the user's
// clicks are events at chosen times, and the clock jumps straight to the next event or to
// the engine's wake-up, whichever comes first. Answers at the wake-up's time come first.
class ScriptedHost : public UpgradeHost
{
public:
    void at(qint64 time, std::function<void()> action) { events.emplace(time, std::move(action)); }
    void answer(uint8_t id, const QByteArray &payload, int delayMs = 1)
    {
        const QByteArray frame = makeFrame(RemoteControllerId, AssistantId, CommonSet, id, payload);
        at(now + delayMs, [this, frame] { deliver(frame); });
    }

    UpgradeOutcome run(const QString &fileName, uint8_t target)
    {
        outcome.reset();
        wake.reset();
        if (!engine->start(fileName, target))
            return UpgradeOutcome::Busy;
        while (!outcome) {
            if (!wake && events.empty())
                qFatal("the engine waits for nothing");
            now = std::min(wake.value_or(LLONG_MAX), events.empty() ? LLONG_MAX : events.begin()->first);
            while (!events.empty() && events.begin()->first <= now) {
                const auto action = events.begin()->second;
                events.erase(events.begin());
                action();
            }
            if (!outcome && wake && *wake <= now) {
                wake.reset();
                engine->timerExpired();
            }
        }
        return *outcome;
    }

    bool sendCommand(uint8_t id, const QByteArray &payload, uint8_t) override
    {
        sent.append({now, id, payload});
        if (device)
            device(sent.last());
        return true;
    }
    qint64 clockMs() const override { return now; }
    void wakeAt(qint64 ms) override { wake = ms; }
    bool devicePresent() override { return present; }
    void showMessage(int code, const char *key) override { messages.append({code, QString::fromUtf8(key)}); }
    void showProgress(int maximum, int value) override { progress.append({maximum, value}); }
    void setUpdating(bool on) override { updating = on; }
    bool isUpdating() const override { return updating; }
    void runEnded(UpgradeOutcome end) override { outcome = end; }

    QList<Command> sentWithId(uint8_t id) const
    {
        QList<Command> result;
        for (const Command &c : sent)
            if (c.id == id)
                result.append(c);
        return result;
    }

    DeviceState state;
    UpgradeEngine *engine = nullptr;
    qint64 now = 0;
    bool present = true;
    bool updating = false;
    QList<Command> sent;
    QList<QPair<int, QString>> messages;
    QList<QPair<int, int>> progress;
    std::function<void(const Command &)> device;

private:
    // As the link does: each frame is decoded and handed over before the next.
    void deliver(const QByteArray &bytes)
    {
        rx.append(bytes);
        Frame frame;
        while (rx.takeFrame(frame) == FrameReassembler::Result::Frame) {
            const DecodedResponse response = applyResponse(frame, state);
            if (response.kind == Response::UpgradeAnswer)
                engine->answerReceived(uint8_t(response.value));
        }
    }

    std::multimap<qint64, std::function<void()>> events;
    FrameReassembler rx;
    std::optional<qint64> wake;
    std::optional<UpgradeOutcome> outcome;
};

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int v : values)
        result.append(char(v));
    return result;
}

// Answers every command like a boot loader announcing packSize, after delayMs.
void actAsBootLoader(ScriptedHost &host, int packSize, int delayMs = 1)
{
    host.device = [&host, packSize, delayMs](const Command &c) {
        if (c.id == CMD_ID_UPGRADE_START)
            host.answer(c.id, bytes({1, packSize}), delayMs);
        else if (c.id == CMD_ID_UPGRADE_DATA)
            host.answer(c.id, QByteArray(1, '\0') + c.payload.left(2), delayMs);
        else if (c.id == CMD_ID_UPGRADE_END)
            host.answer(c.id, bytes({1}), delayMs);
    };
}

// Keeps the boot loader's answers to the other commands; the test answers commandId.
void answerItself(ScriptedHost &host, int commandId, const std::function<void(const Command &)> &answer)
{
    const auto others = host.device;
    host.device = [others, commandId, answer](const Command &c) {
        if (c.id == commandId)
            answer(c);
        else
            others(c);
    };
}

QByteArray patternBytes(int size)
{
    QByteArray content(size, '\0');
    for (int i = 0; i < size; ++i)
        content[i] = char((i * 7 + 3) & 0xFF);
    return content;
}

} // namespace

class TestUpgradeEngine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void packetPlan_data();
    void packetPlan();
    void transferSendsTheFileWhole_data();
    void transferSendsTheFileWhole();
    void refusalShowsTheCodesMessage_data();
    void refusalShowsTheCodesMessage();
    void startStatusZeroRepeatsUntilTimeOut();
    void answerOnTheLastPollCounts_data();
    void answerOnTheLastPollCounts();
    void answersOutOfTurnChangeNothing_data();
    void answersOutOfTurnChangeNothing();
    void lateStartAnswerIsNoAcknowledgement();
    void stopDuringTransferEndsAtZero();
    void stopBeforeStartAcceptedHasNoEffect();
    void applicationMode_data();
    void applicationMode();
    void uncarriableFileSendsNoData_data();
    void uncarriableFileSendsNoData();
    void unopenableFile_data();
    void unopenableFile();
    void lostDeviceNeverSucceeds();
    void nestedRunIsRefused();

private:
    QString writeFile(const QByteArray &content);
    UpgradeOutcome runWith(const QByteArray &content, uint8_t target = RemoteControllerId);

    QTemporaryDir dir;
    std::unique_ptr<ScriptedHost> host;
    std::unique_ptr<UpgradeEngine> engine;
};

void TestUpgradeEngine::init()
{
    host = std::make_unique<ScriptedHost>();
    engine = std::make_unique<UpgradeEngine>(*host, host->state);
    host->engine = engine.get();
}

QString TestUpgradeEngine::writeFile(const QByteArray &content)
{
    const QString path = dir.filePath(QStringLiteral("image.bin"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size())
        qFatal("cannot write the test image");
    return path;
}

UpgradeOutcome TestUpgradeEngine::runWith(const QByteArray &content, uint8_t target)
{
    return host->run(writeFile(content), target);
}

void TestUpgradeEngine::packetPlan_data()
{
    QTest::addColumn<uint>("fileSize");
    QTest::addColumn<int>("packetSize");
    QTest::addColumn<PacketPlan::Fit>("fit");
    QTest::addColumn<uint>("lastNum");
    QTest::addColumn<int>("lastLength");

    QTest::newRow("empty file") << 0u << 128 << PacketPlan::Fit::Ok << 0u << 0;
    QTest::newRow("one byte") << 1u << 128 << PacketPlan::Fit::Ok << 0u << 1;
    QTest::newRow("3 x size") << 384u << 128 << PacketPlan::Fit::Ok << 2u << 128;
    QTest::newRow("3 x size + 1") << 385u << 128 << PacketPlan::Fit::Ok << 3u << 1;
    QTest::newRow("largest packet") << 253u << 253 << PacketPlan::Fit::Ok << 0u << 253;
    QTest::newRow("65536 packets") << 65536u * 16 << 16 << PacketPlan::Fit::Ok << 65535u << 16;
    QTest::newRow("no packet size") << 10u << 0 << PacketPlan::Fit::NoPacketSize << 0u << 0;
    QTest::newRow("packet 254") << 10u << 254 << PacketPlan::Fit::PacketTooLarge << 0u << 0;
    QTest::newRow("65537 packets") << 65536u * 16 + 1 << 16 << PacketPlan::Fit::TooManyPackets << 0u << 0;
}

void TestUpgradeEngine::packetPlan()
{
    QFETCH(uint, fileSize);
    QFETCH(int, packetSize);
    QFETCH(PacketPlan::Fit, fit);
    const PacketPlan plan(fileSize, packetSize);
    QCOMPARE(plan.fit(), fit);
    if (fit != PacketPlan::Fit::Ok)
        return;
    QFETCH(uint, lastNum);
    QFETCH(int, lastLength);
    QCOMPARE(plan.lastNum(), lastNum);
    QCOMPARE(plan.length(lastNum), lastLength);
    QCOMPARE(plan.offset(lastNum), lastNum * uint(packetSize));
    if (lastNum > 0)
        QCOMPARE(plan.length(lastNum - 1), packetSize);
}

void TestUpgradeEngine::transferSendsTheFileWhole_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("packetSize");
    QTest::addColumn<int>("packets");

    QTest::newRow("1 byte") << 1 << 16 << 1;
    QTest::newRow("3 packets of 16") << 48 << 16 << 3;
    QTest::newRow("3 packets of 16 + 1") << 49 << 16 << 4;
    QTest::newRow("packets of 128") << 1000 << 128 << 8;
    QTest::newRow("packets of 253") << 1000 << 253 << 4;
}

void TestUpgradeEngine::transferSendsTheFileWhole()
{
    QFETCH(int, size);
    QFETCH(int, packetSize);
    QFETCH(int, packets);
    actAsBootLoader(*host, packetSize);
    const QByteArray content = patternBytes(size);

    QCOMPARE(runWith(content), UpgradeOutcome::Succeeded);

    const QList<Command> data = host->sentWithId(CMD_ID_UPGRADE_DATA);
    QCOMPARE(data.size(), packets);
    QByteArray received;
    for (int i = 0; i < data.size(); ++i) {
        QCOMPARE(readU16(reinterpret_cast<const uint8_t *>(data[i].payload.constData())), uint16_t(i));
        received += data[i].payload.mid(2);
        // Each packet leaves as the acknowledgement of the one before arrives.
        if (i > 0)
            QCOMPARE(data[i].at, data[i - 1].at + 1);
    }
    QCOMPARE(received, content);
    uint32_t sum = 0;
    byteSum(reinterpret_cast<const uint8_t *>(content.constData()), size_t(size), &sum);
    QByteArray end(8, '\0');
    writeU32(reinterpret_cast<uint8_t *>(end.data()), uint32_t(size));
    writeU32(reinterpret_cast<uint8_t *>(end.data()) + 4, sum);
    QCOMPARE(host->sentWithId(CMD_ID_UPGRADE_END).value(0).payload, end);
    QCOMPARE(host->sent.last().id, uint8_t(CMD_ID_RESET));
    QCOMPARE(host->messages, (QList<QPair<int, QString>>{{0, QStringLiteral("upgred ok ")}}));
    QCOMPARE(host->progress.mid(host->progress.size() - 2), (QList<QPair<int, int>>{{100, 99}, {100, 100}}));
    QCOMPARE(host->progress.size(), packets - 1 + 2); // one per acknowledged packet but the last
    QVERIFY(!host->updating);
}

void TestUpgradeEngine::refusalShowsTheCodesMessage_data()
{
    QTest::addColumn<int>("refusedCommand");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("key");

    QTest::newRow("start -1") << int(CMD_ID_UPGRADE_START) << -1 << "msgerror1";
    QTest::newRow("start -13") << int(CMD_ID_UPGRADE_START) << -13 << "msgerror3";
    QTest::newRow("data -2") << int(CMD_ID_UPGRADE_DATA) << -2 << "msgerror0";
    QTest::newRow("data -3") << int(CMD_ID_UPGRADE_DATA) << -3 << "msgerror3";
    QTest::newRow("data -10") << int(CMD_ID_UPGRADE_DATA) << -10 << "msgerror10";
    QTest::newRow("end -7") << int(CMD_ID_UPGRADE_END) << -7 << "msgerror7";
    QTest::newRow("end -15") << int(CMD_ID_UPGRADE_END) << -15 << "msgerror15";
    QTest::newRow("end -99") << int(CMD_ID_UPGRADE_END) << -99 << "msgerror99";
}

void TestUpgradeEngine::refusalShowsTheCodesMessage()
{
    QFETCH(int, refusedCommand);
    QFETCH(int, status);
    QFETCH(QString, key);
    actAsBootLoader(*host, 16);
    answerItself(*host, refusedCommand, [this, status](const Command &c) { host->answer(c.id, bytes({status, 0, 0})); });

    QCOMPARE(runWith(patternBytes(40)), UpgradeOutcome::Refused);
    QCOMPARE(host->messages.size(), 1);
    QCOMPARE(host->messages[0].first, status);
    QCOMPARE(upgradeMessage(host->messages[0].first, nullptr).text(), key);
    QVERIFY(host->sentWithId(CMD_ID_RESET).isEmpty());
    QVERIFY(!host->updating);
}

void TestUpgradeEngine::startStatusZeroRepeatsUntilTimeOut()
{
    host->device = [this](const Command &c) { host->answer(c.id, bytes({0})); };

    QCOMPARE(runWith(patternBytes(40)), UpgradeOutcome::TimedOut);
    const QList<Command> starts = host->sentWithId(CMD_ID_UPGRADE_START);
    QCOMPARE(starts.size(), 15); // at 0, 3 s, ..., 42 s
    QCOMPARE(starts.last().at, qint64(42000));
    QCOMPARE(host->now, qint64(45000));
    QCOMPARE(host->sent.size(), starts.size());
    QCOMPARE(host->messages.size(), 1);
    QCOMPARE(upgradeMessage(host->messages[0].first, nullptr).text(), QStringLiteral("msgerror1"));
}

void TestUpgradeEngine::answerOnTheLastPollCounts_data()
{
    QTest::addColumn<int>("slowCommand");
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<UpgradeOutcome>("outcome");

    QTest::newRow("start at 45 s") << int(CMD_ID_UPGRADE_START) << 45000 << UpgradeOutcome::Succeeded;
    // Nothing came within the time: most likely there is no such device.
    QTest::newRow("start after 45 s") << int(CMD_ID_UPGRADE_START) << 45001 << UpgradeOutcome::NoAnswer;
    QTest::newRow("data at 30 s") << int(CMD_ID_UPGRADE_DATA) << 30000 << UpgradeOutcome::Succeeded;
    QTest::newRow("data after 30 s") << int(CMD_ID_UPGRADE_DATA) << 30001 << UpgradeOutcome::TimedOut;
    QTest::newRow("end at 60 s") << int(CMD_ID_UPGRADE_END) << 60000 << UpgradeOutcome::Succeeded;
    QTest::newRow("end after 60 s") << int(CMD_ID_UPGRADE_END) << 60001 << UpgradeOutcome::TimedOut;
}

// The device answers only the first sending of one command, and late.
void TestUpgradeEngine::answerOnTheLastPollCounts()
{
    QFETCH(int, slowCommand);
    QFETCH(int, delayMs);
    QFETCH(UpgradeOutcome, outcome);
    actAsBootLoader(*host, 16);
    bool answered = false;
    answerItself(*host, slowCommand, [this, delayMs, &answered](const Command &c) {
        if (answered)
            return;
        answered = true;
        const QByteArray reply = c.id == CMD_ID_UPGRADE_DATA ? QByteArray(1, '\0') + c.payload.left(2)
                                                             : bytes({1, 16});
        host->answer(c.id, reply, delayMs);
    });

    QCOMPARE(runWith(patternBytes(10)), outcome);
}

void TestUpgradeEngine::answersOutOfTurnChangeNothing_data()
{
    QTest::addColumn<AckFault>("fault");
    QTest::addColumn<int>("endStatus");
    QTest::addColumn<int>("dataFrames"); // for the two packets of 16 bytes
    QTest::addColumn<UpgradeOutcome>("outcome");

    QTest::newRow("ack of the packet not yet sent") << AckFault::NextPacketFirst << 1 << 2
                                                    << UpgradeOutcome::Succeeded;
    QTest::newRow("each ack three times, then the one before") << AckFault::Repeated << 1 << 2
                                                               << UpgradeOutcome::Succeeded;
    // The last packet is sent twice (its first acknowledgement is slow) and both copies are
    // acknowledged; the second acknowledgement is no end confirmation.
    QTest::newRow("late ack of the last packet, end refused") << AckFault::LastLate << -7 << 3
                                                              << UpgradeOutcome::Refused;
    QTest::newRow("ack one past the last, end refused") << AckFault::PastLastAtEnd << -7 << 2
                                                        << UpgradeOutcome::Refused;
    QTest::newRow("ack one past the last, end confirmed") << AckFault::PastLastAtEnd << 1 << 2
                                                          << UpgradeOutcome::Succeeded;
    QTest::newRow("end answered with status 0") << AckFault::None << 0 << 2 << UpgradeOutcome::TimedOut;
}

// Only the acknowledgement of the packet that waits moves the transfer on, at once; only
// the positive answer to the end is a success.
void TestUpgradeEngine::answersOutOfTurnChangeNothing()
{
    QFETCH(AckFault, fault);
    QFETCH(int, endStatus);
    QFETCH(int, dataFrames);
    QFETCH(UpgradeOutcome, outcome);
    const int ackDelay = fault == AckFault::NextPacketFirst ? 50 : 1;
    host->device = [this, fault, endStatus, ackDelay](const Command &c) {
        const uint16_t number = readU16(reinterpret_cast<const uint8_t *>(c.payload.constData()));
        const auto ack = [](int packet) { return bytes({0, packet & 0xFF, packet >> 8}); };
        if (c.id == CMD_ID_UPGRADE_START) {
            host->answer(c.id, bytes({1, 16}));
        } else if (c.id == CMD_ID_UPGRADE_DATA) {
            if (fault == AckFault::NextPacketFirst)
                host->answer(c.id, ack(number + 1));
            const int repeats = fault == AckFault::Repeated ? 3 : 1;
            for (int i = 0; i < repeats; ++i)
                host->answer(c.id, ack(number), fault == AckFault::LastLate && number == 1 ? 130 : ackDelay);
            if (fault == AckFault::Repeated && number > 0)
                host->answer(c.id, ack(number - 1));
        } else if (c.id == CMD_ID_UPGRADE_END) {
            if (fault == AckFault::PastLastAtEnd)
                host->answer(CMD_ID_UPGRADE_DATA, ack(2));
            host->answer(c.id, bytes({endStatus}), fault == AckFault::LastLate ? 300 : 2);
        }
    };
    const QByteArray content = patternBytes(32);

    QCOMPARE(runWith(content), outcome);
    const QList<Command> data = host->sentWithId(CMD_ID_UPGRADE_DATA);
    QCOMPARE(data.size(), dataFrames);
    QCOMPARE(data[1].at, data[0].at + ackDelay);
    QCOMPARE(data[0].payload.mid(2) + data[1].payload.mid(2), content);
    const bool succeeded = outcome == UpgradeOutcome::Succeeded;
    QCOMPARE(host->sentWithId(CMD_ID_RESET).size(), succeeded ? 1 : 0);
    QCOMPARE(host->messages.contains({0, QStringLiteral("upgred ok ")}), succeeded);
    if (!succeeded)
        QCOMPARE(host->messages.value(0).first, endStatus < 0 ? endStatus : -1);
}

// The start is repeated at 3 s and both starts are answered; the second answer arrives
// while packet 0 still waits for its acknowledgement.
void TestUpgradeEngine::lateStartAnswerIsNoAcknowledgement()
{
    QSet<QByteArray> acknowledged;
    host->device = [this, &acknowledged](const Command &c) {
        if (c.id == CMD_ID_UPGRADE_START)
            host->answer(c.id, bytes({1, 16}), 3100);
        else if (c.id == CMD_ID_UPGRADE_DATA && !acknowledged.contains(c.payload.left(2)))
            host->answer(c.id, QByteArray(1, '\0') + c.payload.left(2), 3500);
        else if (c.id == CMD_ID_UPGRADE_END)
            host->answer(c.id, bytes({1}));
        acknowledged.insert(c.payload.left(2));
    };

    QCOMPARE(runWith(patternBytes(32)), UpgradeOutcome::Succeeded);
    const QList<Command> data = host->sentWithId(CMD_ID_UPGRADE_DATA);
    const auto packet1 = std::find_if(data.cbegin(), data.cend(),
                                      [](const Command &c) { return c.payload.startsWith(bytes({1, 0})); });
    QVERIFY(packet1 != data.cend());
    QCOMPARE(data.first().at, qint64(3100));
    QVERIFY2(packet1->at >= 3100 + 3500, "packet 1 went out before packet 0 was acknowledged");
}

void TestUpgradeEngine::stopDuringTransferEndsAtZero()
{
    actAsBootLoader(*host, 16, 10);
    host->at(15, [this] { engine->requestStop(); }); // while packet 0 waits for its answer

    QCOMPARE(runWith(patternBytes(64)), UpgradeOutcome::Stopped);
    QCOMPARE(host->sentWithId(CMD_ID_UPGRADE_DATA).size(), 1);
    QVERIFY(host->sentWithId(CMD_ID_UPGRADE_END).isEmpty());
    QCOMPARE(host->progress.last(), qMakePair(1, 0));
    QVERIFY(host->messages.isEmpty());
    QVERIFY(!host->updating);
}

void TestUpgradeEngine::stopBeforeStartAcceptedHasNoEffect()
{
    actAsBootLoader(*host, 16);
    answerItself(*host, CMD_ID_UPGRADE_START, [this](const Command &c) { host->answer(c.id, bytes({1, 16}), 500); });
    host->at(100, [this] { engine->requestStop(); });

    QCOMPARE(runWith(patternBytes(64)), UpgradeOutcome::Succeeded);
    QCOMPARE(host->sentWithId(CMD_ID_UPGRADE_DATA).size(), 4);
}

void TestUpgradeEngine::applicationMode_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("applicationAnswers"); // starts answered with status 2; -1: every one
    QTest::addColumn<int>("earlierPacketSize");  // from an earlier run's boot loader; 0: none
    QTest::addColumn<UpgradeOutcome>("outcome");
    QTest::addColumn<bool>("updatingAfter");

    QTest::newRow("controller restarts") << int(RemoteControllerId) << 1 << 16 << UpgradeOutcome::Restarting
                                         << true;
    QTest::newRow("module restarts, no packet size before") << 0x13 << 1 << 0 << UpgradeOutcome::Succeeded
                                                            << false;
    QTest::newRow("module restarts, earlier packet size") << 0x13 << 1 << 16 << UpgradeOutcome::Succeeded
                                                          << false;
    QTest::newRow("module answers twice from its application") << 0x13 << 2 << 0 << UpgradeOutcome::Succeeded
                                                               << false;
    QTest::newRow("module stays in its application") << 0x13 << -1 << 16 << UpgradeOutcome::TimedOut << false;
}

// A module that answers the start from its application restarts into its boot loader: the
// start is repeated until the boot loader answers it with its packet size, and only then does
// data go out. The controller restarts too, but its port goes away and the run resumes later.
void TestUpgradeEngine::applicationMode()
{
    QFETCH(int, target);
    QFETCH(int, applicationAnswers);
    QFETCH(int, earlierPacketSize);
    QFETCH(UpgradeOutcome, outcome);
    QFETCH(bool, updatingAfter);
    constexpr int BootLoaderPacketSize = 8;
    actAsBootLoader(*host, BootLoaderPacketSize);
    int starts = 0;
    answerItself(*host, CMD_ID_UPGRADE_START, [this, &starts, applicationAnswers](const Command &c) {
        ++starts;
        const bool application = applicationAnswers < 0 || starts <= applicationAnswers;
        host->answer(c.id, application ? bytes({2}) : bytes({1, BootLoaderPacketSize}));
    });
    host->state.onePackSize = uint8_t(earlierPacketSize);

    QCOMPARE(runWith(patternBytes(40), uint8_t(target)), outcome);
    QCOMPARE(host->updating, updatingAfter);
    const QList<Command> startCommands = host->sentWithId(CMD_ID_UPGRADE_START);
    const QList<Command> data = host->sentWithId(CMD_ID_UPGRADE_DATA);
    const QString restarting = QStringLiteral("restarting into boot loader");
    switch (outcome) {
    case UpgradeOutcome::Restarting:
        QCOMPARE(startCommands.size(), 1);
        QVERIFY(data.isEmpty());
        QVERIFY(host->messages.isEmpty());
        break;
    case UpgradeOutcome::Succeeded:
        QCOMPARE(startCommands.size(), applicationAnswers + 1);
        // The restart is given time: no start follows at once.
        for (int i = 1; i < startCommands.size(); ++i)
            QVERIFY(startCommands[i].at - startCommands[i - 1].at >= UpgradeTimings().restart.resendMs);
        QCOMPARE(data.size(), 40 / BootLoaderPacketSize);
        QVERIFY(data.first().at > startCommands.last().at);
        for (const Command &packet : data)
            QCOMPARE(packet.payload.size(), 2 + BootLoaderPacketSize);
        QCOMPARE(host->messages, (QList<QPair<int, QString>>{{0, restarting}, {0, QStringLiteral("upgred ok ")}}));
        break;
    default:
        QVERIFY(data.isEmpty());
        QCOMPARE(host->now, qint64(UpgradeTimings().restart.giveUpMs + 1));
        QCOMPARE(host->messages.size(), 2);
        QCOMPARE(host->messages[0], qMakePair(0, restarting));
        QCOMPARE(upgradeMessage(host->messages[1].first, nullptr).text(), QStringLiteral("msgerror1"));
        break;
    }
}

void TestUpgradeEngine::uncarriableFileSendsNoData_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("packetSize");
    QTest::addColumn<UpgradeOutcome>("outcome");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty image") << 0 << 16 << UpgradeOutcome::FileError << "file is empty";
    QTest::newRow("packet 0") << 40 << 0 << UpgradeOutcome::NoPacketSize << "no packet size";
    QTest::newRow("packet 254") << 40 << 254 << UpgradeOutcome::NotCarriable << "packet size too large";
    QTest::newRow("packet 255") << 40 << 255 << UpgradeOutcome::NotCarriable << "packet size too large";
    QTest::newRow("65537 packets of 16") << 65536 * 16 + 1 << 16 << UpgradeOutcome::NotCarriable << "file too large";
    QTest::newRow("65537 packets of 253") << 65536 * 253 + 1 << 253 << UpgradeOutcome::NotCarriable
                                          << "file too large";
}

void TestUpgradeEngine::uncarriableFileSendsNoData()
{
    QFETCH(int, size);
    QFETCH(int, packetSize);
    QFETCH(UpgradeOutcome, outcome);
    QFETCH(QString, message);
    actAsBootLoader(*host, packetSize);

    QCOMPARE(runWith(QByteArray(size, 'x')), outcome);
    QVERIFY(host->sentWithId(CMD_ID_UPGRADE_DATA).isEmpty());
    QCOMPARE(host->messages, (QList<QPair<int, QString>>{{0, message}}));
    QVERIFY(!host->updating);
}

void TestUpgradeEngine::unopenableFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty name") << QString();
    QTest::newRow("missing file") << dir.filePath(QStringLiteral("missing.bin"));
}

void TestUpgradeEngine::unopenableFile()
{
    QFETCH(QString, name);
    QCOMPARE(host->run(name, RemoteControllerId), UpgradeOutcome::FileError);
    QVERIFY(host->sent.isEmpty());
    QCOMPARE(host->messages, (QList<QPair<int, QString>>{{0, QStringLiteral("file open error")}}));
}

void TestUpgradeEngine::lostDeviceNeverSucceeds()
{
    actAsBootLoader(*host, 16, 5);
    host->at(30, [this] {
        host->present = false;
        host->device = nullptr;
    });

    QCOMPARE(runWith(patternBytes(160)), UpgradeOutcome::DeviceLost);
    QVERIFY(host->sentWithId(CMD_ID_UPGRADE_END).isEmpty());
    QVERIFY(host->now <= 30 + 1000 + 120); // found at the next presence test
    QVERIFY(!host->updating);
}

void TestUpgradeEngine::nestedRunIsRefused()
{
    actAsBootLoader(*host, 16, 5);
    bool nestedStarted = true;
    host->at(12, [this, &nestedStarted] {
        nestedStarted = engine->start(QStringLiteral("other.bin"), 0x13);
        QVERIFY(host->updating);
    });
    const QByteArray content = patternBytes(64);

    QCOMPARE(runWith(content), UpgradeOutcome::Succeeded);
    QVERIFY(!nestedStarted);
    QByteArray received;
    for (const Command &c : host->sentWithId(CMD_ID_UPGRADE_DATA))
        received += c.payload.mid(2);
    QCOMPARE(received, content);
}

QTEST_GUILESS_MAIN(TestUpgradeEngine)
#include "tst_upgradeengine.moc"
