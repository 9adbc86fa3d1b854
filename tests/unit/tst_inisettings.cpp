#include "inisettings.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

class TstIniSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { previousDir = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(previousDir); }
    void sizeLimit_data();
    void sizeLimit();
    void leftLocks_data();
    void leftLocks();

private:
    QString previousDir;
};

void TstIniSettings::sizeLimit_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("leftAlone"); // neither read nor written

    QTest::newRow("1 MiB is read") << 1024 * 1024 << false;
    QTest::newRow("one byte more is left alone") << 1024 * 1024 + 1 << true;
}

// A well-formed file: only its size decides.
void TstIniSettings::sizeLimit()
{
    QFETCH(int, size);
    QFETCH(bool, leftAlone);
    QTemporaryDir dir;
    QVERIFY(QDir::setCurrent(dir.path()));
    const QByteArray head = "[General]\nlangage=1\npadding=";
    const QByteArray content = head + QByteArray(size - head.size() - 1, 'p') + '\n';
    QFile file(QStringLiteral("kestan.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == size);
    file.close();

    QCOMPARE(iniFileTooLarge(), leftAlone);
    QCOMPARE(iniFileDamaged(), leftAlone);
    QCOMPARE(iniValue(QStringLiteral("langage")), leftAlone ? QStringLiteral("0") : QStringLiteral("1"));
    QCOMPARE(setIniValue(QStringLiteral("langage"), QStringLiteral("0")), !leftAlone);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll() == content, leftAlone);
}

void TstIniSettings::leftLocks_data()
{
    QTest::addColumn<QString>("holder"); // "none", "dead" or "live": the process the lock names
    QTest::addColumn<bool>("written");
    QTest::newRow("empty, left by a killed run") << "none" << true;
    QTest::newRow("naming a process that is gone") << "dead" << true;
    QTest::newRow("held by a running program") << "live" << false;
}

// A lock a killed run left is taken over at once; a running holder's is left to it.
void TstIniSettings::leftLocks()
{
    QFETCH(QString, holder);
    QFETCH(bool, written);
    QTemporaryDir dir;
    QVERIFY(QDir::setCurrent(dir.path()));
    QProcess other;
    qint64 pid = 0;
    if (holder != QLatin1String("none")) {
        other.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        QVERIFY(other.waitForStarted());
        pid = other.processId();
        if (holder == QLatin1String("dead")) {
            other.kill();
            QVERIFY(other.waitForFinished());
        }
    }
    QFile lock(QStringLiteral("kestan.ini.lock"));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    if (pid)
        lock.write(QStringLiteral("%1\nsleep\n%2\n").arg(pid).arg(QSysInfo::machineHostName()).toUtf8());
    QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-1), QFileDevice::FileModificationTime));
    lock.close();

    QCOMPARE(iniLockHolder(), written ? 0 : pid);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(setIniValue(QStringLiteral("langage"), QStringLiteral("1")), written);
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(iniValue(QStringLiteral("langage")), written ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(lock.exists(), !written);
    other.kill();
    other.waitForFinished();
}

QTEST_GUILESS_MAIN(TstIniSettings)
#include "tst_inisettings.moc"
