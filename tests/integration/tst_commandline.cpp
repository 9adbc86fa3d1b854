#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int KeepsRunning = -1;

} // namespace

// The built koru-assistant as a user starts it from a terminal: without a display, unless
// Qt is told a platform on the command line.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void programAnswers_data();
    void programAnswers();

private:
    QString program;
};

void TestCommandLine::initTestCase()
{
    program = QCoreApplication::applicationDirPath() + QStringLiteral("/../app/koru-assistant");
    if (!QFileInfo::exists(program))
        QSKIP("koru-assistant is not built");
}

void TestCommandLine::programAnswers_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // patterns for a program that exits
    QTest::addColumn<QString>("errors");

    const QString usage = QStringLiteral("^Usage: \\S*koru-assistant \\[options\\]\\n(.*\\n)*  --service ");
    QTest::newRow("--help") << QStringList{"--help"} << 0 << usage << "^$";
    QTest::newRow("-h") << QStringList{"-h"} << 0 << usage << "^$";
    QTest::newRow("help beside Qt options")
        << QStringList{"-platform", "offscreen", "-reverse", "--help"} << 0 << usage << "^$";
    QTest::newRow("--version") << QStringList{"--version"} << 0 << "^koru-assistant \\d+\\.\\d+\\.\\d+\\n$" << "^$";
    QTest::newRow("unknown option") << QStringList{"-platform", "offscreen", "--bogus"} << 1 << "^$"
                                    << "koru-assistant: Unknown option 'bogus'\\.\\n$";
    QTest::newRow("unknown option, no display") << QStringList{"-style", "fusion", "--bogus"} << 1 << "^$"
                                                << "^koru-assistant: Unknown option 'bogus'\\.\\n$";
    QTest::newRow("-platform") << QStringList{"-platform", "offscreen"} << KeepsRunning << "" << "";
    QTest::newRow("Qt options and --service")
        << QStringList{"--platform", "offscreen", "-style", "fusion", "-reverse", "--service"} << KeepsRunning
        << "" << "";
}

void TestCommandLine::programAnswers()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(QString, errors);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QTemporaryDir workDir; // for kestan.ini and kestan.log
    QVERIFY(workDir.isValid());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workDir.path());
    process.start(program, arguments);
    QVERIFY(process.waitForStarted());

    if (exitCode == KeepsRunning) {
        const bool finished = process.waitForFinished(1500);
        QVERIFY2(!finished, (process.readAllStandardOutput() + process.readAllStandardError()).constData());
        process.terminate();
        QVERIFY(process.waitForFinished(5000));
        return;
    }
    QVERIFY(process.waitForFinished(10000));
    const QString standardOutput = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QString standardError = QString::fromLocal8Bit(process.readAllStandardError());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    QVERIFY2(standardOutput.contains(QRegularExpression(output)), qPrintable(standardOutput));
    QVERIFY2(standardError.contains(QRegularExpression(errors)), qPrintable(standardError));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
