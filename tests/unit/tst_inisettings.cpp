#include "inisettings.h"

#include <QDir>
#include <QFile>
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

QTEST_GUILESS_MAIN(TstIniSettings)
#include "tst_inisettings.moc"
