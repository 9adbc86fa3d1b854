#include "ipaddress.h"

#include <QTest>

class TstIpAddress : public QObject
{
    Q_OBJECT

private slots:
    void check_data();
    void check();
    void nullIsRejected();
};

void TstIpAddress::check_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("camera default") << QByteArray("192.168.144.25") << true;
    QTest::newRow("all 255, 15 characters") << QByteArray("255.255.255.255") << true;
    QTest::newRow("empty octet counts as 0") << QByteArray("192..144.1") << true;
    QTest::newRow("leading zeros") << QByteArray("001.002.003.004") << true;
    QTest::newRow("last octet 0") << QByteArray("192.168.144.0") << false;
    QTest::newRow("three octets") << QByteArray("192.168.144") << false;
    QTest::newRow("trailing dot") << QByteArray("192.168.144.") << false;
    QTest::newRow("leading dot") << QByteArray(".192.168.144.1") << false;
    QTest::newRow("last octet 256") << QByteArray("192.168.144.256") << false;
    QTest::newRow("inner octet 256") << QByteArray("192.256.144.1") << false;
    QTest::newRow("four dots") << QByteArray("192.168.1.1.1") << false;
    QTest::newRow("letter") << QByteArray("192.168.a.1") << false;
    QTest::newRow("space") << QByteArray("192.168.1.1 ") << false;
    QTest::newRow("empty") << QByteArray("") << false;
    QTest::newRow("16 characters") << QByteArray("192.168.144.0025") << false;
    QTest::newRow("16 characters, empty octets") << QByteArray("1..............1") << false;
    QTest::newRow("17 characters") << QByteArray("0192.168.144.025") + '5' << false;
    QTest::newRow("long digit run") << QByteArray("1.1.1.99999999999") << false;
    QTest::newRow("digit run wrapping 32 bits") << QByteArray("4294967297.1.1") << false;
}

void TstIpAddress::check()
{
    QFETCH(QByteArray, text);
    QTEST(isValidIp(text.constData()), "valid");
}

void TstIpAddress::nullIsRejected()
{
    QVERIFY(!isValidIp(nullptr));
}

QTEST_MAIN(TstIpAddress)
#include "tst_ipaddress.moc"
