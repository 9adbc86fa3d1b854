#include "frame.h"

#include <QTest>

using namespace Koru;

class TestFrames : public QObject
{
    Q_OBJECT

private slots:
    void directionFrameOfTheOverview();
    void emptyPayloadFrame();
    void largestFrame();
    void makeFrameInCrcMode();
    void checkValues();
    void byteSumWraps();
    void hexPairToByte_data();
    void hexPairToByte();
};

static QByteArray build(const QByteArray &payload, uint8_t set, uint8_t id, uint8_t target)
{
    uint8_t out[MaxFrameSize + 33] = {};
    const int size = buildFrame(out, reinterpret_cast<const uint8_t *>(payload.constData()),
                                uint8_t(payload.size()), set, id, target);
    return QByteArray(reinterpret_cast<const char *>(out), size);
}

void TestFrames::directionFrameOfTheOverview()
{
    QCOMPARE(build(QByteArray::fromHex("03FF"), 0x10, 0x09, 0x10).toHex(' ').toUpper(),
             QByteArray("AA 01 02 02 55 01 00 D0 10 10 09 03 FF 66"));
}

void TestFrames::emptyPayloadFrame()
{
    QCOMPARE(build({}, 0xF0, 0x0A, 0x2C), QByteArray::fromHex("AA01020055 0100 D0 2C F0 0A 66"));
}

void TestFrames::largestFrame()
{
    QByteArray payload(255, '\0');
    for (int i = 0; i < payload.size(); ++i)
        payload[i] = char(i);
    const QByteArray frame = build(payload, 0xF0, 0x23, 0x10);
    QCOMPARE(frame.size(), 267);
    QCOMPARE(uint8_t(frame[3]), uint8_t(255));
    QCOMPARE(frame.mid(11, 255), payload);
    QCOMPARE(uint8_t(frame[266]), FrameTrailer);
}

void TestFrames::makeFrameInCrcMode()
{
    // The reverse report of channel 3 as a device sends it in check mode 8.
    const QByteArray frame = makeFrame(0x10, 0xD0, 0x10, 0x08, QByteArray::fromHex("0301"), CheckCrc);
    QCOMPARE(frame, QByteArray::fromHex("AA080203E4000010D0100803 01EA12"));
    const auto *bytes = reinterpret_cast<const uint8_t *>(frame.constData());
    QVERIFY(headerValid(bytes));
    QVERIFY(frameEndValid(bytes, frame.size()));
    for (int i = 2; i < frame.size(); ++i) {
        QByteArray broken = frame;
        broken[i] = char(broken[i] ^ 0x01);
        const auto *b = reinterpret_cast<const uint8_t *>(broken.constData());
        QVERIFY2(!(headerValid(b) && frameEndValid(b, broken.size())), qPrintable(QString::number(i)));
    }
}

void TestFrames::checkValues()
{
    const QByteArray digits("123456789");
    const auto *d = reinterpret_cast<const uint8_t *>(digits.constData());
    QCOMPARE(CRC8_cal(d, 9, 0), uint8_t(0xA1));
    QCOMPARE(CRC16_cal(d, 9, 0), uint16_t(0x31C3));
    QCOMPARE(CRC8_cal(d, 0, 0x5A), uint8_t(0x5A));
    QCOMPARE(CRC16_cal(d, 0, 0xBEEF), uint16_t(0xBEEF));
}

void TestFrames::byteSumWraps()
{
    const QByteArray bytes(20000000, '\xFF');
    uint32_t sum = 1;
    QCOMPARE(byteSum(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()), &sum), 4);
    QCOMPARE(sum, uint32_t(20000000u * 255u));
    QCOMPARE(byteSum(nullptr, 0, &sum), 4);
    QCOMPARE(sum, 0u);
}

void TestFrames::hexPairToByte_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lowByte");
    QTest::newRow("lower") << "0x1f" << 31;
    QTest::newRow("upper") << "0x1F" << 31;
    QTest::newRow("prefix not examined") << "AB2C" << 0x2C;
    QTest::newRow("two characters") << "1f" << 0;
    QTest::newRow("bad digits count as -1") << "0xZZ" << 0xEF;
    QTest::newRow("empty") << "" << 0;
}

void TestFrames::hexPairToByte()
{
    QFETCH(QString, text);
    QFETCH(int, lowByte);
    QCOMPARE(Koru::hexPairToByte(text) & 0xFF, lowByte);
}

QTEST_APPLESS_MAIN(TestFrames)
#include "tst_frames.moc"
