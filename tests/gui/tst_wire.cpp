#include "bootloaderresponder.h"
#include "deviceprofile.h"
#include "frame.h"
#include "framereassembler.h"
#include "mypushbutton.h"
#include "mytoolbutton.h"
#include "protocolids.h"
#include "updatefileitem.h"
#include "upgraderows.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Koru;

namespace {

const QString TranscriptPath = QStringLiteral(KORU_TEST_DATA_DIR "/wire_transcript.txt");

// The page tabs by page id, found by their place in the title bar.
MyToolButton *pageButton(const WindowFixture &f, int page)
{
    static const int tabX[] = {11, 131, 738, 618, 251};
    for (MyToolButton *button : f.window()->findChildren<MyToolButton *>())
        if (button->x() == tabX[page])
            return button;
    return nullptr;
}

// Every frame in the bytes written since the last call, one hex line each. Frames are
// cut from the byte stream, so how the bytes were split into writes does not matter.
QStringList takeFrames(WindowFixture &f)
{
    FrameReassembler stream;
    for (const QByteArray &write : f.takeWrites())
        stream.append(write);
    QStringList lines;
    stream.takeFrames([&lines](const Frame &frame) {
        lines << QByteArray(reinterpret_cast<const char *>(frame.data()), frame.length).toHex(' ');
    });
    return lines;
}

} // namespace

// Records every frame the window writes, in order, through start-up, every page's entry
// and exit, the periodic bursts, a hot-plug, the calibration steps and an upgrade, and
// compares the record with the transcript in tests/data. The run with KORU_RECORD_WIRE=1
// writes the transcript instead.
class TstWire : public QObject
{
    Q_OBJECT

private slots:
    void transcriptIsUnchanged();

private:
    void segment(const QString &name, WindowFixture &f);
    void timerSegment(const QString &name, WindowFixture &f);
    void calibrate(WindowFixture &f);
    void upgrade(WindowFixture &f);

    QStringList record;
};

void TstWire::segment(const QString &name, WindowFixture &f)
{
    record << QStringLiteral("# ") + name;
    record << takeFrames(f);
}

// A timer's burst is written from one callback, so it is whole once its first frame shows.
void TstWire::timerSegment(const QString &name, WindowFixture &f)
{
    f.takeWrites();
    QTRY_VERIFY_WITH_TIMEOUT(!f.port()->writes.isEmpty(), 3000);
    segment(name, f);
}

void TstWire::transcriptIsUnchanged()
{
    WindowFixture f(true, QStringLiteral("[General]\nlangage=1\n"));
    f.window()->show();
    segment(QStringLiteral("start-up"), f);

    const int visits[] = {1, 4, 2, 3, 4, 0, 3, 1, 0, 2};
    for (int page : visits) {
        pageButton(f, page)->click();
        segment(QStringLiteral("enter page %1").arg(page), f);
        if (page == 0)
            timerSegment(QStringLiteral("channel settings burst"), f);
        if (page == 4)
            timerSegment(QStringLiteral("gimbal burst"), f);
    }

    pageButton(f, 4)->click();
    f.takeWrites();
    f.enumerator()->setPorts({});
    segment(QStringLiteral("unplugged on page 4"), f);
    f.enumerator()->setPorts({FakePortEnumerator::device(QStringLiteral("ttyACM0"))});
    QVERIFY(f.waitForDevice());
    segment(QStringLiteral("plugged in again on page 4"), f);

    // The page without a timer of its own, so that only the calibration's poll writes.
    pageButton(f, 1)->click();
    f.takeWrites();
    calibrate(f);
    upgrade(f);

    if (qEnvironmentVariableIsSet("KORU_RECORD_WIRE")) {
        QFile out(TranscriptPath);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(record.join(QLatin1Char('\n')).toLatin1() + '\n');
        QSKIP("transcript recorded");
    }
    QFile in(TranscriptPath);
    QVERIFY(in.open(QIODevice::ReadOnly));
    const QStringList expected = QString::fromLatin1(in.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (int i = 0; i < std::min(expected.size(), record.size()); ++i)
        QVERIFY2(record[i] == expected[i], qPrintable(QStringLiteral("line %1: %2, expected %3")
                                                          .arg(i + 1).arg(record[i], expected[i])));
    QCOMPARE(record.size(), expected.size());
}

void TstWire::calibrate(WindowFixture &f)
{
    auto *begin = f.window()->findChild<QPushButton *>(QStringLiteral("beginCali"));
    const auto report = [&f](int state) {
        f.port()->feed(makeFrame(RemoteControllerId, AssistantId, RemoteControllerSet, CMD_ID_CALIBRATION,
                                 QByteArray::fromHex("01") + char(state) + QByteArray(1, '\0')));
    };
    begin->click();
    segment(QStringLiteral("calibration prompt"), f);
    begin->click();
    segment(QStringLiteral("calibration start"), f);
    timerSegment(QStringLiteral("calibration status poll"), f);
    report(1);
    report(2);
    begin->click();
    segment(QStringLiteral("calibration finish"), f);
    report(3);
    // Page 1 has no timer to mark the time; the wait ends early if the poll writes.
    QVERIFY(!QTest::qWaitFor([&f] { return !f.port()->writes.isEmpty(); }, 700));
    segment(QStringLiteral("calibration complete: the poll has stopped"), f);
}

void TstWire::upgrade(WindowFixture &f)
{
    QTemporaryDir files;
    QFile image(files.filePath(QStringLiteral("image.bin")));
    QVERIFY(image.open(QIODevice::WriteOnly));
    image.write(QByteArray(49, '\x5A'));
    image.close();

    const DeviceProfile profile = DeviceProfile::forDevice(0x13);
    f.port()->feed(makeFrame(0x13, AssistantId, CommonSet, CMD_ID_VERSION, profile.versionPayload()));
    UpdateFileItem *row = upgradeRowOf(f.window(), 0x13);
    QVERIFY(row);
    chooseUpgradeFile(row, image.fileName());
    segment(QStringLiteral("version answer and file choice"), f);

    BootLoaderResponder device(f, 16);
    QTest::mouseClick(rowButton(row, "zhengxian"), Qt::LeftButton);
    QTRY_COMPARE(device.count(CMD_ID_RESET), 1);
    segment(QStringLiteral("upgrade of 0x13, 4 packets of 16"), f);
}

QTEST_MAIN(TstWire)
#include "tst_wire.moc"
