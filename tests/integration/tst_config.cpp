#include "channelsamples.h"
#include "channelsettings.h"
#include "deviceprofile.h"
#include "pseudoterminal.h"
#include "simulatorhost.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Koru;

namespace {

QJsonObject validDocument()
{
    return QJsonDocument::fromJson(ChannelSettingsFile::toJson(changedChannelSettings())).object();
}

QByteArray withTopLevel(const QString &key, const QJsonValue &value)
{
    QJsonObject root = validDocument();
    root[key] = value;
    return QJsonDocument(root).toJson();
}

// The valid document with the entry of one channel replaced; an undefined value removes it.
QByteArray withEntry(int channel, const QJsonValue &entry)
{
    QJsonArray channels = validDocument().value(QLatin1String("channels")).toArray();
    if (entry.isUndefined())
        channels.removeAt(channel - 1);
    else
        channels[channel - 1] = entry;
    return withTopLevel(QStringLiteral("channels"), channels);
}

QByteArray withField(int channel, const QString &field, const QJsonValue &value)
{
    QJsonObject entry = validDocument().value(QLatin1String("channels")).toArray().at(channel - 1).toObject();
    if (value.isUndefined())
        entry.remove(field);
    else
        entry[field] = value;
    return withEntry(channel, entry);
}

// Every channel number a report names ("Channel 7 ...", "channels 3, 12").
QSet<int> namedChannels(const QString &report)
{
    QSet<int> channels;
    QRegularExpressionMatchIterator it =
        QRegularExpression(QStringLiteral("[Cc]hannels? ((?:\\d+(?:, )?)+)")).globalMatch(report);
    while (it.hasNext()) {
        for (const QString &number : it.next().captured(1).split(QStringLiteral(", "), Qt::SkipEmptyParts))
            channels.insert(number.toInt());
    }
    return channels;
}

} // namespace

// koru-config over a real pseudo-terminal against the simulated controller.
class TestConfig : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void saveLoadSave();
    void faultsAreReported_data();
    void faultsAreReported();
    void badFileIsRefused_data();
    void badFileIsRefused();

private:
    struct Result
    {
        int exitCode = -1;
        QString out;
        QString err;
    };
    Result runConfig(const QString &command, const QString &file);
    QString writeFile(const QString &name, const QByteArray &content);

    QTemporaryDir dir;
    QString program;
    QString link;
    std::unique_ptr<SimulatorHost> simulator;
};

void TestConfig::initTestCase()
{
    QVERIFY(dir.isValid());
    qRegisterMetaType<QProcess::ExitStatus>();
    program = QCoreApplication::applicationDirPath() + QStringLiteral("/../config/koru-config");
    if (!QFileInfo::exists(program))
        QSKIP("koru-config is not built");
    link = dir.filePath(QStringLiteral("ttyKORU0"));
}

void TestConfig::cleanup()
{
    simulator.reset();
}

// The simulator runs on this thread: it answers while the spy waits.
TestConfig::Result TestConfig::runConfig(const QString &command, const QString &file)
{
    QProcess process;
    QSignalSpy finished(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    process.start(program, {QStringLiteral("--device"), link, command, file});
    if (!finished.wait(20000))
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QString TestConfig::writeFile(const QString &name, const QByteArray &content)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return {};
    return path;
}

void TestConfig::saveLoadSave()
{
    simulator = std::make_unique<SimulatorHost>();
    if (!simulator->start(link))
        QSKIP("no pseudo-terminal here");
    const QString first = dir.filePath(QStringLiteral("first.json"));
    const Result saved = runConfig(QStringLiteral("save"), first);
    QCOMPARE(saved.exitCode, 0);
    QVERIFY(saved.err.isEmpty());
    ChannelSettings factory;
    QString error;
    QVERIFY2(ChannelSettingsFile::read(first, &factory, &error), qPrintable(error));
    QCOMPARE(factory.hardwareId, QString::fromLatin1(DeviceProfile::forDevice(RemoteControllerId).hardwareId));

    ChannelSettings changed = changedChannelSettings();
    changed.hardwareId = factory.hardwareId;
    changed.serial = factory.serial;
    const Result loaded = runConfig(QStringLiteral("load"), writeFile(QStringLiteral("changed.json"),
                                                                      ChannelSettingsFile::toJson(changed)));
    QCOMPARE(loaded.exitCode, 0);
    QVERIFY(!loaded.out.isEmpty());

    const QString second = dir.filePath(QStringLiteral("second.json"));
    QCOMPARE(runConfig(QStringLiteral("save"), second).exitCode, 0);
    QFile secondFile(second);
    QVERIFY(secondFile.open(QIODevice::ReadOnly));
    QCOMPARE(secondFile.readAll(), ChannelSettingsFile::toJson(changed));
}

void TestConfig::faultsAreReported_data()
{
    QTest::addColumn<bool>("device");
    QTest::addColumn<int>("ignoredChannel");
    QTest::addColumn<int>("silentChannel");
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QSet<int>>("channels"); // named in the report
    QTest::addColumn<QString>("report");      // pattern

    QTest::newRow("set commands ignored") << true << 7 << 0 << "load" << 5 << QSet<int>{7}
                                          << "^koru-config: The remote controller does not report what was sent:\\n";
    QTest::newRow("channel never answers") << true << 0 << 12 << "save" << 4 << QSet<int>{12}
                                           << "^koru-config: The remote controller did not answer for channels 12\\.";
    // The --device path is missing: the program says so rather than looking for a controller.
    QTest::newRow("no controller") << false << 0 << 0 << "save" << 2 << QSet<int>()
                                   << "^koru-config: \\S*/ttyKORU0 does not exist\\n$";
}

// A failed save leaves no file behind.
void TestConfig::faultsAreReported()
{
    QFETCH(bool, device);
    QFETCH(QString, command);
    QFETCH(int, exitCode);
    QFETCH(QSet<int>, channels);
    QFETCH(int, ignoredChannel);
    QFETCH(int, silentChannel);
    QFETCH(QString, report);
    SimulatorOptions options;
    options.ignoreSetsOfChannel = ignoredChannel;
    options.silentChannel = silentChannel;
    simulator = std::make_unique<SimulatorHost>(options);
    if (device && !simulator->start(link))
        QSKIP("no pseudo-terminal here");
    const QString file = command == QLatin1String("load")
                             ? writeFile(QStringLiteral("load.json"), ChannelSettingsFile::toJson(changedChannelSettings()))
                             : dir.filePath(QStringLiteral("unsaved.json"));

    const Result result = runConfig(command, file);
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY(result.out.isEmpty());
    QVERIFY(result.err.startsWith(QLatin1String("koru-config: ")));
    QCOMPARE(namedChannels(result.err), channels);
    QVERIFY2(result.err.contains(QRegularExpression(report)), qPrintable(result.err));
    if (command == QLatin1String("save"))
        QVERIFY(!QFileInfo::exists(file));
}

void TestConfig::badFileIsRefused_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message"); // the start of the message

    QTest::newRow("not JSON") << QByteArray("{\"format\": ") << "The file is not valid JSON: ";
    QTest::newRow("a JSON array") << QByteArray("[]")
                                  << "The file is not a channel settings file: its format is not "
                                     "\"koru-channel-settings\".";
    QTest::newRow("other format") << withTopLevel(QStringLiteral("format"), QStringLiteral("koru-gimbal"))
                                  << "The file is not a channel settings file";
    QTest::newRow("version 2") << withTopLevel(QStringLiteral("version"), 2)
                               << "The file is of another format version; this program reads version 1.";
    QTest::newRow("version as text") << withTopLevel(QStringLiteral("version"), QStringLiteral("1"))
                                     << "The file is of another format version";
    QTest::newRow("no channel list") << withTopLevel(QStringLiteral("channels"), QJsonObject())
                                     << "The file has no channel list.";
    QTest::newRow("channel 9 missing") << withEntry(9, QJsonValue::Undefined) << "Channel 9 is missing.";
    QTest::newRow("channel 3 twice") << withField(4, QStringLiteral("channel"), 3)
                                     << "Channel 3 is listed more than once.";
    QTest::newRow("channel 17") << withField(16, QStringLiteral("channel"), 17)
                                << "Entry 16 of the channel list has no channel number from 1 to 16.";
    QTest::newRow("entry not an object") << withEntry(1, 5) << "Entry 1 of the channel list is not an object.";
    QTest::newRow("min above 16 bits") << withField(5, QStringLiteral("min"), 65536)
                                       << "Channel 5: \"min\" is 65536, outside 0 to 65535.";
    QTest::newRow("source id negative") << withField(2, QStringLiteral("sourceId"), -1)
                                        << "Channel 2: \"sourceId\" is -1, outside 0 to 255.";
    QTest::newRow("mid as text") << withField(8, QStringLiteral("mid"), QStringLiteral("1500"))
                                 << "Channel 8: \"mid\" must be a whole number from 0 to 65535.";
    QTest::newRow("max not whole") << withField(16, QStringLiteral("max"), 1999.5)
                                   << "Channel 16: \"max\" must be a whole number from 0 to 65535.";
    QTest::newRow("reverse as number") << withField(1, QStringLiteral("reverse"), 1)
                                       << "Channel 1: \"reverse\" must be true or false.";
    QTest::newRow("source type missing") << withField(10, QStringLiteral("sourceType"), QJsonValue::Undefined)
                                         << "Channel 10: \"sourceType\" is missing.";
    QTest::newRow("above 1 MiB") << QByteArray(1024 * 1024 + 1, ' ') << "The file is larger than 1 MiB";
}

// The program sends nothing at all: a bare pseudo-terminal records every byte it writes.
void TestConfig::badFileIsRefused()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    PseudoTerminal device;
    device.setLinkPath(link);
    if (!device.open())
        QSKIP("no pseudo-terminal here");
    qint64 received = 0;
    connect(&device, &PseudoTerminal::received, this, [&received](const QByteArray &bytes) { received += bytes.size(); });

    const Result result = runConfig(QStringLiteral("load"), writeFile(QStringLiteral("bad.json"), content));
    QCOMPARE(result.exitCode, 3);
    QVERIFY2(result.err.startsWith(QStringLiteral("koru-config: ") + message), qPrintable(result.err));
    // The program has ended: whatever it wrote waits in the terminal, read by one pass.
    QCoreApplication::processEvents();
    QCOMPARE(received, qint64(0));
}

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
