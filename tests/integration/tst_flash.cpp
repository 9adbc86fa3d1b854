#include "devicelink.h"
#include "deviceport.h"
#include "deviceprofile.h"
#include "devicetypes.h"
#include "framereassembler.h"
#include "koruresources.h"
#include "portenumerator.h"
#include "protocolids.h"
#include "pseudoterminal.h"
#include "simulatorhost.h"
#include "upgradesession.h"
#include "versiontext.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <algorithm>
#include <optional>

using namespace Koru;

Q_DECLARE_METATYPE(Koru::SimulatorOptions)

namespace {

const QString RetryAdvice = QStringLiteral(
    "please update again. If failed many times, please contact our service center for help");

// What koru-flash --list shows of a simulated device, column by column.
QStringList listedColumns(uint8_t id)
{
    const DeviceProfile profile = DeviceProfile::forDevice(id);
    const QByteArray serial = profile.uid.left(8).toHex().toUpper();
    return {deviceTypeName(id),
            QStringLiteral("0x%1").arg(QString::number(id, 16).toUpper()),
            QString::fromLatin1(profile.hardwareId),
            QString::fromLatin1(serial.left(8) + ' ' + serial.mid(8)),
            versionText(profile.bootLoaderVersion),
            versionText(profile.firmwareVersion)};
}

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
    void commandLine_data();
    void commandLine();

private:
    QString writeImage(int size);
    QByteArray imageContent(int size) const;
    QString imageSha256(int size) const;
    bool startSimulator(const SimulatorOptions &options);
    // A link to the simulated controller's port, opened as koru-flash opens it.
    std::unique_ptr<DeviceLink> openLink(const UpgradeTimings &timings = {});
    // Runs an upgrade to its end, as koru-flash waits for it.
    UpgradeOutcome upgrade(UpgradeSession &session, int size, uint8_t target);
    // Checks that the output of --list (a table, or JSON) names exactly these devices.
    void checkListed(const QString &output, bool json, const QVector<uint8_t> &ids);

    QTemporaryDir dir;
    QTranslator english;
    std::unique_ptr<SimulatorHost> simulator;
    QList<QPair<uint8_t, QByteArray>> completed;
    qint64 receivedBytes = 0; // by the simulated devices
    QString link;
    int simulatorsStarted = 0;
};

void TestFlash::initTestCase()
{
    qRegisterMetaType<uint8_t>("uint8_t");
    qRegisterMetaType<QProcess::ExitStatus>("QProcess::ExitStatus"); // for the spy on finished
    QVERIFY(dir.isValid());
    initKoruResources();
    QVERIFY(english.load(QStringLiteral(":/en.qm")));
    QCoreApplication::installTranslator(&english);
    link = dir.filePath(QStringLiteral("ttyKORU0"));
}

void TestFlash::init()
{
    completed.clear();
    receivedBytes = 0;
}

void TestFlash::cleanup()
{
    simulator.reset();
}

bool TestFlash::startSimulator(const SimulatorOptions &options)
{
    // A path of its own for every simulator: nothing left over from an earlier row (a
    // program still retrying its port) can reach this row's device.
    link = dir.filePath(QStringLiteral("ttyKORU%1").arg(++simulatorsStarted));
    simulator = std::make_unique<SimulatorHost>(options);
    connect(simulator->simulator(), &DeviceSimulator::upgradeCompleted, this,
            [this](uint8_t id, const QByteArray &image) { completed.append({id, image}); });
    connect(simulator->simulator(), &DeviceSimulator::input, this,
            [this](const QByteArray &bytes) { receivedBytes += bytes.size(); });
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

QString TestFlash::imageSha256(int size) const
{
    return QString::fromLatin1(QCryptographicHash::hash(imageContent(size), QCryptographicHash::Sha256).toHex());
}

QString TestFlash::writeImage(int size)
{
    const QString path = dir.filePath(QStringLiteral("image%1.bin").arg(size));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(imageContent(size)) != size)
        return {};
    return path;
}

UpgradeOutcome TestFlash::upgrade(UpgradeSession &session, int size, uint8_t target)
{
    QSignalSpy finished(&session, &UpgradeSession::finished);
    session.start(writeImage(size), target, 0);
    if (finished.isEmpty() && !finished.wait(60000))
        return UpgradeOutcome::Busy; // no test expects it: the comparison fails

    return finished.first().at(1).value<UpgradeOutcome>();
}

void TestFlash::imageArrivesWhole_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<SimulatorOptions>("options");

    SimulatorOptions options;
    options.packetSize = 16;
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

    QCOMPARE(upgrade(host, size, 0x13), UpgradeOutcome::Succeeded);
    QCOMPARE(messages.value(0).value(1).value<TextKey>().text(), QStringLiteral("Upgrading Complete"));
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

    QCOMPARE(upgrade(host, 500, RemoteControllerId), UpgradeOutcome::Refused);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0][1].value<TextKey>().text(), message);
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

    QCOMPARE(upgrade(host, 500, 0x13), UpgradeOutcome::TimedOut);
    QVERIFY(clock.elapsed() >= 1000);
    // At 0, 100, ..., 900 ms; a loaded machine may let the last ones slip past 1 s.
    QVERIFY2(starts >= 8 && starts <= 10, qPrintable(QString::number(starts)));
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0][1].value<TextKey>().text(), "Error during updating, " + RetryAdvice);
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

    const UpgradeOutcome outcome = upgrade(host, 16 * 200, RemoteControllerId);
    QVERIFY(outcome == UpgradeOutcome::DeviceLost || outcome == UpgradeOutcome::SendFailed);
    QVERIFY(!messages.isEmpty());
    QVERIFY(messages.last()[1].value<TextKey>().text() != QStringLiteral("Upgrading Complete"));
    QVERIFY(completed.isEmpty());
}

// The run ends as Restarting; the link resumes it on the port that comes back.
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
    QSignalSpy restarting(&host, &UpgradeSession::restarting);
    QSignalSpy finished(&host, &UpgradeSession::finished);

    QCOMPARE(upgrade(host, 1000, RemoteControllerId), UpgradeOutcome::Restarting);
    QCOMPARE(restarting.size(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, 30000);
    QCOMPARE(finished[1][1].value<UpgradeOutcome>(), UpgradeOutcome::Succeeded);
    QTRY_COMPARE(completed.size(), 1);
    QCOMPARE(completed[0].second, imageContent(1000));
}

void TestFlash::checkListed(const QString &output, bool json, const QVector<uint8_t> &ids)
{
    QVector<uint8_t> expected = ids;
    std::sort(expected.begin(), expected.end());
    QList<QStringList> rows;
    if (json) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(output.toUtf8(), &error);
        QVERIFY2(document.isObject(), qPrintable(error.errorString()));
        for (const QJsonValue &value : document.object().value("devices").toArray()) {
            const QJsonObject device = value.toObject();
            rows.append({device.value("type").toString(),
                         QStringLiteral("0x%1").arg(QString::number(device.value("id").toInt(), 16).toUpper()),
                         device.value("hardwareId").toString(), device.value("serialNumber").toString(),
                         device.value("bootLoaderVersion").toString(), device.value("firmwareVersion").toString()});
        }
    } else {
        // The devices, a blank line, the controllers.
        QStringList lines = output.left(output.indexOf(QLatin1String("\n\n"))).split(QLatin1Char('\n'));
        QVERIFY(!lines.isEmpty());
        const QRegularExpression header("^TYPE +ID +HARDWARE ID +SERIAL NUMBER +BOOT LOADER +FIRMWARE$");
        QVERIFY2(lines.takeFirst().contains(header), qPrintable(output));
        for (const QString &line : qAsConst(lines))
            rows.append(line.split(QRegularExpression(QStringLiteral(" {2,}"))));
    }
    QCOMPARE(rows.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(rows[i], listedColumns(expected[i]));
}

void TestFlash::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments"); // {port} is the simulator's port, {dir} the files' folder
    QTest::addColumn<SimulatorOptions>("options");
    QTest::addColumn<bool>("terminal"); // standard output on a pseudo-terminal
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // patterns
    QTest::addColumn<QString>("errors");
    QTest::addColumn<int>("completedId"); // the device whose upgrade ended with the reset; -1: none
    QTest::addColumn<bool>("sends");      // false: the simulator receives not a single byte

    const QString image = QStringLiteral("{dir}/image700.bin");
    const QStringList port{"--device", "{port}"};
    const QString percentLines = QStringLiteral("(\\d+%\\n)+");
    const QString complete = QStringLiteral("Upgrading Complete\\n$");
    const QString usageHint = QStringLiteral("\\nTry 'koru-flash --help' for more information\\.\\n$");
    const SimulatorOptions plain;
    SimulatorOptions options = plain;

    QTest::newRow("success") << port + QStringList{"--target", "0x10", image} << plain << false << 0
                             << "^" + percentLines + complete << "^$" << 0x10 << true;
    QTest::newRow("success on a terminal")
        << port + QStringList{"--target", "0x2C", image} << plain << true << 0
        << "^(\\r\\[[#.]{40}\\] +\\d+%)+\\n" + complete << "^$" << 0x2C << true;
    QTest::newRow("old option names, decimal id")
        << QStringList{"--port", "{port}", "--device-id", "19", image} << plain << false << 0
        << "^" + percentLines + complete << "^$" << 0x13 << true;
    options.startInApplication = true;
    options.restartDelayMs = 100;
    options.restartDowntimeMs = 300;
    QTest::newRow("module in application mode")
        << port + QStringList{"--target", "0x13", image} << options << false << 0
        << "^The device is restarting into its boot loader\\n" + percentLines + complete << "^$" << 0x13 << true;
    QTest::newRow("controller in application mode")
        << port + QStringList{"--target", "0x10", image} << options << false << 0
        << "^The remote controller is restarting into its boot loader\\n" + percentLines + complete << "^$"
        << 0x10 << true;
    options = plain;
    options.refuseStartCode = -13;
    QTest::newRow("refused") << port + QStringList{"--target", "0x10", image} << options << false << 4 << "^$"
                             << "^koru-flash: Wrong firmware, please choose the right firmware\\n$" << -1 << true;
    options = plain;
    options.refuseEndCode = -7;
    options.strayAckAtEnd = true;
    QTest::newRow("ack past the last packet, end refused")
        << port + QStringList{"--target", "0x13", image} << options << false << 4 << "^" + percentLines + "$"
        << "^koru-flash: Error in firmware checking, " + QRegularExpression::escape(RetryAdvice) + "\\n$" << -1 << true;
    options = plain;
    options.repeatAcks = true;
    QTest::newRow("every ack repeated") << port + QStringList{"--target", "0x13", image} << options << false << 0
                                        << "^" + percentLines + complete << "^$" << 0x13 << true;
    options = plain;
    options.packetSize = 1;
    QTest::newRow("more than 65536 packets")
        << port + QStringList{"--target", "0x13", "{dir}/image65537.bin"} << options << false << 3 << "^$"
        << "^koru-flash: The file needs more than 65536 packets; the upgrade was not started\\n$" << -1 << true;
    QTest::newRow("silent target")
        << port + QStringList{"--target", "0x15", "--answer-timeout", "1", image} << plain << false << 5 << "^$"
        << "^koru-flash: device 0x15 did not answer; `koru-flash --list` shows the devices that do\\n$" << -1
        << true;
    QTest::newRow("missing file") << port + QStringList{"--target", "0x10", "{dir}/missing.bin"} << plain << false
                                  << 3 << "^$"
                                  << "^koru-flash: cannot read \\S*/missing\\.bin: No such file or directory\\n$"
                                  << -1 << false;
    QTest::newRow("empty image") << port + QStringList{"--target", "0x10", "{dir}/image0.bin"} << plain << false
                                 << 3 << "^$" << "^koru-flash: \\S*/image0\\.bin is empty" << -1 << false;
    QTest::newRow("image piped in") << port + QStringList{"--target", "0x13", "-"} << plain << false << 0
                                    << "^" + percentLines + complete << "^$" << 0x13 << true;
    QTest::newRow("JSON, success") << port + QStringList{"--json", "--target", "0x10", image} << plain << false << 0
                                   << "\"result\": \"passed\"" << "^$" << 0x10 << true;
    QTest::newRow("JSON, empty image") << port + QStringList{"--json", "--target", "0x10", "{dir}/image0.bin"}
                                       << plain << false << 3 << "\"error\": \"file\"" << "is empty" << -1 << false;
    QTest::newRow("JSON, missing port")
        << QStringList{"--json", "--device", "{dir}/ttyNone", "--target", "0x10", image} << plain << false << 2
        << "\"error\": \"no-device\"" << "does not exist" << -1 << false;
    QTest::newRow("JSON, list on a missing port") << QStringList{"--json", "--device", "{dir}/ttyNone", "--list"}
                                                  << plain << false << 2
                                                  << "\"devices\": \\[\\n?\\s*\\],\\n\\s*\"error\": \"no-device\"" << ""
                                                  << -1 << false;
    QTest::newRow("JSON, usage") << port + QStringList{"--json", image} << plain << false << 1
                                 << "\"error\": \"usage\"" << "no device chosen" << -1 << false;
    QTest::newRow("JSON, silent target")
        << port + QStringList{"--json", "--target", "0x15", "--answer-timeout", "1", image} << plain << false << 5
        << "\"error\": \"no-answer\"" << "" << -1 << true;
    options = plain;
    options.refuseEndCode = -7;
    QTest::newRow("JSON, refused") << port + QStringList{"--json", "--target", "0x10", image} << options << false
                                   << 4 << "\"error\": \"refused\"" << "Error in firmware checking" << -1 << true;
    QTest::newRow("missing port") << QStringList{"--device", "{dir}/ttyNone", "--target", "0x10", image} << plain
                                  << false << 2 << "^$" << "^koru-flash: \\S*/ttyNone does not exist\\n$" << -1
                                  << false;
    QTest::newRow("no target") << port + QStringList{image} << plain << false << 1 << "^$"
                               << "^koru-flash: no device chosen: name it with --target ID \\(`koru-flash --list` "
                                  "shows the devices that answer\\)"
                                      + usageHint
                               << -1 << false;
    QTest::newRow("target not a number")
        << port + QStringList{"--target", "0x1G", image} << plain << false << 1 << "^$"
        << "^koru-flash: bad device id '0x1G' for --target: give a number from 0 to 255, decimal or 0x "
           "hexadecimal"
               + usageHint
        << -1 << false;
    QTest::newRow("target above 255") << port + QStringList{"--target", "256", image} << plain << false << 1
                                      << "^$" << "^koru-flash: bad device id '256' for --target" << -1 << false;
    QTest::newRow("two files") << port + QStringList{"--target", "0x10", image, image} << plain << false << 1
                               << "^$" << "^koru-flash: one file at a time" << -1 << false;
    QTest::newRow("list") << port + QStringList{"--list"} << plain << false << 0 << "^TYPE " << "^$" << -1 << true;
    QTest::newRow("list as JSON") << port + QStringList{"--list", "--json"} << plain << false << 0 << "^\\{\\n"
                                  << "^$" << -1 << true;
    options = plain;
    options.deviceIds = {0x2C, RemoteControllerId, 0x15};
    QTest::newRow("list of other devices") << port + QStringList{"--list"} << options << false << 0 << "^TYPE "
                                           << "^$" << -1 << true;
    options.deviceIds.clear();
    QTest::newRow("list, no device answers") << port + QStringList{"--list"} << options << false << 5
                                             << "^CONTROLLER PORT +USB SERIAL\n\\S+/ttyKORU[0-9]+ +-\n$"
                                             << "^koru-flash: no device answered on \\S+\\n$" << -1 << true;
    QTest::newRow("list as JSON, no device answers")
        << port + QStringList{"--list", "--json"} << options << false << 5
        << "\"devices\": \\[\\n?\\s*\\],\\n\\s*\"error\": \"no-answer\",\\n\\s*\"exitCode\": 5,"
        << "^koru-flash: no device answered on \\S+\\n$" << -1 << true;
    QTest::newRow("list with a target") << port + QStringList{"--list", "--target", "0x10"} << plain << false << 1
                                        << "^$" << "^koru-flash: --list shows every device" << -1 << false;
    QTest::newRow("list with --all") << port + QStringList{"--list", "--all"} << plain << false << 1 << "^$"
                                     << "^koru-flash: --device names one controller" << -1 << false;
}

// The built koru-flash against the simulator on its pseudo-terminal, as a user runs it.
void TestFlash::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(SimulatorOptions, options);
    QFETCH(bool, terminal);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(QString, errors);
    QFETCH(int, completedId);
    QFETCH(bool, sends);
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../flash/koru-flash");
    if (!QFileInfo::exists(program))
        QSKIP("koru-flash is not built");
    if (!startSimulator(options))
        QSKIP("no pseudo-terminal here");
    for (const int size : {700, 65537})
        QVERIFY(!writeImage(size).isEmpty());
    QVERIFY(QFile(dir.filePath("image0.bin")).open(QIODevice::WriteOnly));
    arguments.replaceInStrings(QStringLiteral("{port}"), link);
    arguments.replaceInStrings(QStringLiteral("{dir}"), dir.path());

    QProcess flash;
    PseudoTerminal screen;
    QByteArray screenBytes;
    if (terminal) {
        if (!screen.open())
            QSKIP("no pseudo-terminal for the output here");
        connect(&screen, &PseudoTerminal::received, this,
                [&screenBytes](const QByteArray &bytes) { screenBytes += bytes; });
        flash.setStandardOutputFile(screen.slavePath());
    }
    QSignalSpy finished(&flash, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    flash.start(program, arguments);
    // "-" reads a pipe, which tells no size before its end.
    if (arguments.contains(QStringLiteral("-")))
        flash.write(imageContent(700));
    flash.closeWriteChannel();
    QVERIFY(finished.wait(30000)); // the simulator answers while the spy waits
    // What went through a terminal may still be on its way once the program has ended.
    const auto shown = [&] { return QString::fromUtf8(screenBytes).contains(QRegularExpression(output)); };
    QVERIFY2(!terminal || QTest::qWaitFor(shown, 10000), screenBytes.constData());
    const QString standardOutput = QString::fromUtf8(terminal ? screenBytes : flash.readAllStandardOutput());
    const QString standardError = QString::fromUtf8(flash.readAllStandardError());
    QCOMPARE(flash.exitStatus(), QProcess::NormalExit);
    QVERIFY2(flash.exitCode() == exitCode, qPrintable(QString::number(flash.exitCode()) + ": " + standardError));
    QVERIFY2(standardOutput.contains(QRegularExpression(output)), qPrintable(standardOutput));
    QVERIFY2(standardError.contains(QRegularExpression(errors)), qPrintable(standardError));
    const bool json = arguments.contains(QStringLiteral("--json"));
    if (json) {
        // One document, whatever the outcome, that agrees with the exit status.
        const QJsonObject document = QJsonDocument::fromJson(standardOutput.toUtf8()).object();
        QCOMPARE(document.value("exitCode").toInt(-1), exitCode);
        QCOMPARE(document.value("error").isString(), exitCode != 0);
        QVERIFY(exitCode == 0 || !document.value("message").toString().isEmpty());
        for (const QJsonValue &unit : document.value("units").toArray())
            QCOMPARE(unit.toObject().value("sha256").toString(), imageSha256(700));
    }
    if (arguments.contains(QStringLiteral("--list")) && exitCode == 0) {
        checkListed(standardOutput, json, options.deviceIds);
        if (QTest::currentTestFailed())
            return;
    }
    // Every frame left koru-flash before it ended: the device saw the reset that completes
    // the upgrade.
    if (completedId >= 0) {
        QTRY_COMPARE(completed.size(), 1);
        QCOMPARE(int(completed[0].first), completedId);
        QCOMPARE(completed[0].second, imageContent(700));
    } else {
        QVERIFY(completed.isEmpty());
    }
    if (!sends)
        QCOMPARE(receivedBytes, qint64(0));
    else
        QVERIFY(receivedBytes > 0);
}

QTEST_GUILESS_MAIN(TestFlash)
#include "tst_flash.moc"
