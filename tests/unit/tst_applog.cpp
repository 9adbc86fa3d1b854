#include "commandline.h"
#include "devicelink.h"
#include "fakeport.h"
#include "frame.h"
#include "loghandler.h"
#include "loglimiter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// "Level: message" of every line of a log, or a note on the first line of another shape.
QStringList levelsAndMessages(const QString &path)
{
    static const QRegularExpression shape(
        QStringLiteral("^([A-Za-z ]+: )\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d, File: [^,]*, Line: \\d+ : (.*)$"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("cannot open ") + path};
    QStringList lines;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = shape.match(line);
        if (!match.hasMatch())
            return {QStringLiteral("bad line: ") + line};
        lines << match.captured(1) + match.captured(2);
    }
    return lines;
}

} // namespace

class TestAppLog : public QObject
{
    Q_OBJECT

private slots:
    void lineShape();
    void appendsAndRotates();
    void rotatesWhileRunning();
    void repeatedLinesCollapsed_data();
    void repeatedLinesCollapsed();
    void upgradeAnswerFlood_data();
    void upgradeAnswerFlood();
    void commandLine_data();
    void commandLine();
};

void TestAppLog::lineShape()
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("kestan.log"));
    QVERIFY(LogHandler::install(log));
    QMessageLogger("mainwindow", 120, "f").debug("open ok");
    QMessageLogger().warning("x");
    QMessageLogger().info("x");
    LogHandler::uninstall();
    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QStringList lines;
    for (const QString &text : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        lines << text + QLatin1Char('\n');
    const QString line = lines.value(0);
    const QRegularExpression expected(QRegularExpression::anchoredPattern(
        QStringLiteral("Debug: \\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d, File: mainwindow, Line: 120 : open ok\n")));
    QVERIFY2(expected.match(line).hasMatch(),
             qPrintable(line));
    QVERIFY(lines.value(1).startsWith(QStringLiteral("Error: ")));
    QVERIFY(lines.value(2).contains(QStringLiteral(", File: , Line: 0 : x")));
}

void TestAppLog::appendsAndRotates()
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("kestan.log"));
    for (int run = 0; run < 2; ++run) {
        QVERIFY(LogHandler::install(log));
        qDebug() << "run" << run;
        LogHandler::uninstall();
    }
    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("run 0") && text.contains("run 1"));
    file.close();

    QVERIFY(file.open(QIODevice::Append));
    file.write(QByteArray(LogHandler::MaxLogSize, 'x'));
    file.close();
    QVERIFY(LogHandler::install(log));
    qDebug() << "after rotation";
    LogHandler::uninstall();
    QVERIFY(QFileInfo(log + QStringLiteral(".1")).size() > LogHandler::MaxLogSize);
    QVERIFY(QFileInfo(log).size() < 200);

    // An unwritable place is reported, and the program keeps Qt's own output.
    QVERIFY(!LogHandler::install(dir.filePath(QStringLiteral("missing/kestan.log"))));
}

// The line that finds the log past its limit starts a new file.
void TestAppLog::rotatesWhileRunning()
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("kestan.log"));
    QFile file(log);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(LogHandler::MaxLogSize, 'x'));
    file.close();
    QVERIFY(LogHandler::install(log));
    qDebug() << "before";
    qDebug() << "after";
    qDebug() << "later";
    LogHandler::uninstall();

    QFile previous(log + QStringLiteral(".1"));
    QVERIFY(previous.open(QIODevice::ReadOnly));
    QVERIFY(previous.size() > LogHandler::MaxLogSize);
    QVERIFY(previous.readAll().contains(" : before\n"));
    QCOMPARE(levelsAndMessages(log), QStringList({"Debug: after", "Debug: later"}));
}

void TestAppLog::repeatedLinesCollapsed_data()
{
    // Each message: level (D or W), source line number, text.
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("logged");

    QTest::newRow("repeats counted") << QStringList{"D1 a", "D1 a", "D1 a", "D1 b"}
                                     << QStringList{"Debug: a", "Debug: last message repeated 2 times", "Debug: b"};
    QTest::newRow("count written at the end") << QStringList{"W1 a", "W1 a"}
                                              << QStringList{"Error: a", "Error: last message repeated 1 times"};
    QTest::newRow("distinct lines kept") << QStringList{"D1 a", "D1 b", "D1 a", "D1 b"}
                                         << QStringList{"Debug: a", "Debug: b", "Debug: a", "Debug: b"};
    QTest::newRow("other level") << QStringList{"D1 a", "W1 a"} << QStringList{"Debug: a", "Error: a"};
    QTest::newRow("other source line") << QStringList{"D1 a", "D2 a"} << QStringList{"Debug: a", "Debug: a"};
}

void TestAppLog::repeatedLinesCollapsed()
{
    QFETCH(QStringList, messages);
    QFETCH(QStringList, logged);
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("kestan.log"));
    QVERIFY(LogHandler::install(log));
    for (const QString &message : messages) {
        const QMessageLogger logger("device.cpp", message.mid(1, 1).toInt(), nullptr);
        if (message.startsWith(QLatin1Char('W')))
            logger.warning("%s", qPrintable(message.mid(3)));
        else
            logger.debug("%s", qPrintable(message.mid(3)));
    }
    LogHandler::uninstall();
    QCOMPARE(levelsAndMessages(log), logged);
}

void TestAppLog::upgradeAnswerFlood_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("firstStatus"); // each further answer's status is one more, up to 99 more
    QTest::newRow("start refused") << int(Koru::CMD_ID_UPGRADE_START) << 3;
    QTest::newRow("packet refused") << int(Koru::CMD_ID_UPGRADE_DATA) << 0x80;
    QTest::newRow("end, accepted or not") << int(Koru::CMD_ID_UPGRADE_END) << 0;
}

// Upgrade answers nobody asked for, all different so that no repeat is collapsed, cost the
// log a few lines a second; how many were held back is written before the next line.
void TestAppLog::upgradeAnswerFlood()
{
    using namespace Koru;
    QFETCH(int, id);
    QFETCH(int, firstStatus);
    constexpr int Answers = 1000;
    auto *port = new FakeDevicePort;
    auto *enumerator = new FakePortEnumerator;
    enumerator->setPorts({FakePortEnumerator::device(QStringLiteral("ttyACM0"))});
    DeviceLink link(port, enumerator);
    link.start();
    const auto answer = [&](int n) {
        const QByteArray payload = char(firstStatus + n % 100) + QByteArray(2, '\0');
        port->feed(makeFrame(RemoteControllerId, AssistantId, CommonSet, uint8_t(id), payload));
    };

    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("kestan.log"));
    QVERIFY(LogHandler::install(log));
    QElapsedTimer flood;
    flood.start();
    for (int n = 0; n < Answers; ++n)
        answer(n);
    const qint64 floodSeconds = flood.elapsed() / 1000 + 1;
    QTest::qWait(1000);
    answer(Answers);
    LogHandler::uninstall();

    int logged = 0;
    int heldBack = 0;
    for (const QString &line : levelsAndMessages(log)) {
        if (line.contains(QLatin1String("CMD_ID_UPGRADE")))
            ++logged;
        else if (line.startsWith(QLatin1String("Debug: upgrade answers not logged: ")))
            heldBack += line.section(QLatin1Char(' '), -1).toInt();
    }
    QVERIFY2(logged <= LogLimiter::LinesPerSecond * (floodSeconds + 1), qPrintable(QString::number(logged)));
    QCOMPARE(logged + heldBack, Answers + 1);
}

void TestAppLog::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("exitNow");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("devicePath");
    QTest::addColumn<bool>("demo");
    QTest::addColumn<bool>("service");
    QTest::newRow("none") << QStringList{"koru-assistant"} << false << 0 << "" << false << false;
    QTest::newRow("device") << QStringList{"koru-assistant", "--device", "/dev/pts/4"} << false << 0 << "/dev/pts/4"
                            << false << false;
    QTest::newRow("demo") << QStringList{"koru-assistant", "--demo"} << false << 0 << "" << true << false;
    QTest::newRow("service") << QStringList{"koru-assistant", "--demo", "--service"} << false << 0 << "" << true
                             << true;
    QTest::newRow("both") << QStringList{"koru-assistant", "--demo", "--device", "x"} << true << 1 << "x" << true
                          << false;
    QTest::newRow("help") << QStringList{"koru-assistant", "--help"} << true << 0 << "" << false << false;
    QTest::newRow("unknown") << QStringList{"koru-assistant", "--bogus"} << true << 1 << "" << false << false;
    QTest::newRow("stray") << QStringList{"koru-assistant", "file.bin"} << true << 1 << "" << false << false;
}

void TestAppLog::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, exitNow);
    QFETCH(int, exitCode);
    QFETCH(QString, devicePath);
    QFETCH(bool, demo);
    QFETCH(bool, service);
    const CommandLine options = CommandLine::parse(arguments);
    QCOMPARE(options.exitNow, exitNow);
    QCOMPARE(options.exitCode, exitCode);
    if (!exitNow) {
        QCOMPARE(options.devicePath, devicePath);
        QCOMPARE(options.demo, demo);
        QCOMPARE(options.service, service);
    } else {
        QVERIFY(!options.message.isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestAppLog)
#include "tst_applog.moc"
