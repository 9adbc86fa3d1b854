#include "framereassembler.h"
#include "responsedecoder.h"

#include <QRandomGenerator>
#include <QTest>

#include <cstring>

using namespace Koru;

// Feeds pieces through the reassembler the way the window's receive path does: append,
// then take frames until more bytes are needed.
struct Receiver
{
    FrameReassembler reassembler;
    DeviceState state;
    QList<QByteArray> frames;
    QList<DecodedResponse> responses;
    int badHeaders = 0;

    void receive(const QByteArray &piece)
    {
        reassembler.append(piece);
        Frame frame;
        for (;;) {
            const auto result = reassembler.takeFrame(frame);
            if (result == FrameReassembler::Result::NeedMore)
                return;
            if (result == FrameReassembler::Result::BadHeader) {
                ++badHeaders;
                continue;
            }
            frames.append(QByteArray(reinterpret_cast<const char *>(frame.data()), frame.length));
            responses.append(applyResponse(frame, state));
        }
    }
};

static QByteArray reverseReport(uint8_t channel, uint8_t value, CheckMode mode = CheckPlain)
{
    return makeFrame(0x10, 0xD0, 0x10, 0x08, QByteArray(1, char(channel)) + char(value), mode);
}

class TestReassembly : public QObject
{
    Q_OBJECT

private slots:
    void reverseReportInBothModes_data();
    void reverseReportInBothModes();
    void splitAtEveryPoint();
    void twoFramesInOneRead();
    void noiseIsSkipped();
    void badHeaderDropsFourBytes();
    void badTrailerIsConsumed();
    void channelOutOfRange();
    void shortChannelValues();
    void valueListIgnoresSurplus();
    void gimbalIndexOutOfRange();
    void shortPayloadsAreIgnored();
    void longFrameKeepsItsLength();
    void randomSplitsMatchOneRead();
};

void TestReassembly::reverseReportInBothModes_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("mode 0") << QByteArray::fromHex("AA010202550000 10D0 1008 0301 66");
    QTest::newRow("mode 8") << QByteArray::fromHex("AA080203E4000010D0100803 01EA12");
    QTest::newRow("mode 4") << reverseReport(3, 1, CheckNone);
}

void TestReassembly::reverseReportInBothModes()
{
    QFETCH(QByteArray, frame);
    Receiver r;
    r.receive(frame);
    QCOMPARE(r.frames.size(), 1);
    QCOMPARE(r.responses.first().kind, Response::ChannelReverse);
    QCOMPARE(r.responses.first().index, 2);
    QCOMPARE(r.responses.first().source, uint8_t(0x10));
    QCOMPARE(r.state.chReverse[2], uint8_t(1));
}

void TestReassembly::splitAtEveryPoint()
{
    const QByteArray frame = makeFrame(0x10, 0xD0, 0x10, 0x10, QByteArray::fromHex("05E803DC05D007"), CheckCrc);
    for (int cut = 1; cut < frame.size(); ++cut) {
        Receiver r;
        r.receive(frame.left(cut));
        QCOMPARE(r.frames.size(), 0);
        r.receive(frame.mid(cut));
        QCOMPARE(r.frames.size(), 1);
        QCOMPARE(r.state.chMin[4], uint16_t(1000));
        QCOMPARE(r.state.chMid[4], uint16_t(1500));
        QCOMPARE(r.state.chMax[4], uint16_t(2000));
    }
}

void TestReassembly::twoFramesInOneRead()
{
    Receiver r;
    r.receive(reverseReport(1, 1) + reverseReport(2, 0xFF));
    QCOMPARE(r.responses.size(), 2);
    QCOMPARE(r.responses[0].index, 0);
    QCOMPARE(r.responses[1].index, 1);
    QCOMPARE(r.reassembler.buffered(), 0);
}

void TestReassembly::noiseIsSkipped()
{
    Receiver r;
    r.receive(QByteArray::fromHex("0102035566"));
    QCOMPARE(r.reassembler.buffered(), 0);
    r.receive(QByteArray::fromHex("1122") + reverseReport(4, 1));
    QCOMPARE(r.frames.size(), 1);
    QCOMPARE(r.state.chReverse[3], uint8_t(1));
}

void TestReassembly::badHeaderDropsFourBytes()
{
    QByteArray bad = reverseReport(3, 1);
    bad[4] = char(0x54);
    FrameReassembler reassembler;
    reassembler.append(bad + reverseReport(5, 1));
    Frame frame;
    QCOMPARE(reassembler.takeFrame(frame), FrameReassembler::Result::BadHeader);
    QCOMPARE(reassembler.buffered(), bad.size() - 4 + 14);

    // The frame behind the damaged one still arrives in the same pass.
    Receiver r;
    r.receive(bad + reverseReport(5, 1));
    QCOMPARE(r.badHeaders, 1);
    QCOMPARE(r.frames.size(), 1);
    QCOMPARE(r.state.chReverse[4], uint8_t(1));
    QCOMPARE(r.state.chReverse[2], uint8_t(0));
}

void TestReassembly::badTrailerIsConsumed()
{
    QByteArray bad = reverseReport(3, 1);
    bad[bad.size() - 1] = char(0x65);
    Receiver r;
    r.receive(bad);
    QCOMPARE(r.frames.size(), 1);
    QCOMPARE(r.responses.first().kind, Response::Ignored);
    QCOMPARE(r.state.chReverse[2], uint8_t(0));
    QCOMPARE(r.reassembler.buffered(), 0);
}

void TestReassembly::channelOutOfRange()
{
    Receiver r;
    r.receive(reverseReport(0, 1) + reverseReport(17, 1));
    QCOMPARE(r.responses[0].index, -1); // refreshes all rows
    QCOMPARE(r.responses[1].index, 16); // refreshes nothing
    for (uint8_t v : r.state.chReverse)
        QCOMPARE(v, uint8_t(0));
}

void TestReassembly::shortChannelValues()
{
    Receiver r;
    for (int16_t &v : r.state.chValues)
        v = 7;
    r.receive(makeFrame(0x10, 0xD0, 0x10, 0x01, QByteArray::fromHex("E803D007")));
    QCOMPARE(r.responses.first().kind, Response::ChannelValues);
    QCOMPARE(r.state.chValues[0], int16_t(1000));
    QCOMPARE(r.state.chValues[1], int16_t(2000));
    QCOMPARE(r.state.chValues[2], int16_t(7));

    // More than sixteen values: only the first 32 bytes are stored.
    r.receive(makeFrame(0x10, 0xD0, 0x10, 0x01, QByteArray(40, '\x01')));
    QCOMPARE(r.state.chValues[15], int16_t(0x0101));
}

void TestReassembly::valueListIgnoresSurplus()
{
    Receiver r;
    r.receive(makeFrame(0x10, 0xD0, 0xF0, 0x28, QByteArray::fromHex("010000C03F02000000C0AABB")));
    QCOMPARE(r.state.scpzValues.size(), 2);
    QCOMPARE(int(r.state.scpzValues[0].id), 0);
    QCOMPARE(r.state.scpzValues[0].value, 1.5f);
    QCOMPARE(int(r.state.scpzValues[1].id), 1);
    QCOMPARE(r.state.scpzValues[1].value, -2.0f);

    r.receive(makeFrame(0x10, 0xD0, 0xF0, 0x30, QByteArray::fromHex("0000803F00")));
    QCOMPARE(int(r.state.scxsValues.first().id), 255);
    r.receive(makeFrame(0x10, 0xD0, 0xF0, 0x30, QByteArray::fromHex("010203")));
    QVERIFY(r.state.scxsValues.isEmpty());
}

void TestReassembly::gimbalIndexOutOfRange()
{
    Receiver r;
    r.receive(makeFrame(0x2E, 0xD0, 0x11, 0x04, QByteArray::fromHex("0B05")));
    QCOMPARE(r.responses.first().kind, Response::Ignored);
    r.receive(makeFrame(0x2E, 0xD0, 0x11, 0x04, QByteArray::fromHex("0305")));
    QCOMPARE(r.responses.last().kind, Response::GimbalChannel);
    QCOMPARE(r.state.gimbalCtlCh[3], uint8_t(5));
}

void TestReassembly::shortPayloadsAreIgnored()
{
    // Payloads shorter than their fields never read beyond the frame.
    Receiver r;
    r.receive(makeFrame(0x10, 0xD0, 0x10, 0x10, QByteArray::fromHex("0102")));
    r.receive(makeFrame(0x10, 0xD0, 0xF0, 0x0A, QByteArray::fromHex("01")));
    r.receive(makeFrame(0x2E, 0xD0, 0x11, 0x0A, QByteArray::fromHex("0102")));
    for (const DecodedResponse &response : qAsConst(r.responses))
        QCOMPARE(response.kind, Response::Ignored);

    r.receive(makeFrame(0x2E, 0xD0, 0x11, 0x08, QByteArray("192.168.1.20")));
    QCOMPARE(r.responses.last().text, QStringLiteral("192.168.1.20"));
    r.receive(makeFrame(0x2E, 0xD0, 0x11, 0x08, QByteArray("10.0.0.1\0zz", 11)));
    QCOMPARE(r.responses.last().text, QStringLiteral("10.0.0.1"));

    r.receive(makeFrame(0x13, 0xD0, 0xF0, 0x0A, QByteArray::fromHex("0C0B0A00 03020100") + "HW-0123456789AB"));
    QCOMPARE(r.responses.last().source, uint8_t(0x13));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(r.state.deviceVersion + 8), 12), QByteArray("HW-012345678"));
}

void TestReassembly::longFrameKeepsItsLength()
{
    // A mode-4 frame with N = 250 is 262 bytes long: it is dispatched whole.
    Receiver r;
    r.receive(makeFrame(0x13, 0xD0, 0xF0, 0x07, QByteArray(250, 'x'), CheckNone) + reverseReport(1, 1));
    QCOMPARE(r.frames.size(), 2);
    QCOMPARE(r.frames.first().size(), 262);
    QCOMPARE(r.responses.first().text, QString(250, QLatin1Char('x')));
}

static QByteArray mixedStream(QRandomGenerator &random, int frames)
{
    static const CheckMode modes[] = {CheckPlain, CheckNone, CheckCrc};
    QByteArray stream;
    for (int i = 0; i < frames; ++i) {
        QByteArray payload(int(random.bounded(0, 40)), '\0');
        for (char &c : payload)
            c = char(random.bounded(256));
        stream += makeFrame(uint8_t(random.bounded(0x10, 0x30)), 0xD0, 0x10, uint8_t(random.bounded(1, 20)),
                            payload, modes[random.bounded(3)]);
        const int noise = int(random.bounded(0, 4));
        for (int k = 0; k < noise; ++k)
            stream += char(random.bounded(0, 0xA9)); // never a start byte
    }
    return stream;
}

void TestReassembly::randomSplitsMatchOneRead()
{
    QRandomGenerator random(20261208);
    const QByteArray stream = mixedStream(random, 2000);
    Receiver whole;
    whole.receive(stream);
    QCOMPARE(whole.frames.size(), 2000);

    for (int round = 0; round < 20; ++round) {
        Receiver pieces;
        for (int at = 0; at < stream.size();) {
            const int size = int(random.bounded(1, 64));
            pieces.receive(stream.mid(at, size));
            at += size;
        }
        QCOMPARE(pieces.frames, whole.frames);
    }
}

QTEST_APPLESS_MAIN(TestReassembly)
#include "tst_reassembly.moc"
