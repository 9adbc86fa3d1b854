#include "frame.h"
#include "mylineedit.h"
#include "mypushbutton.h"
#include "productionpage.h"
#include "windowfixture.h"

#include <QApplication>
#include <QDate>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Koru;

namespace {

QList<SentFrame> framesWith(const QByteArrayList &writes, uint8_t set, uint8_t id)
{
    QList<SentFrame> frames;
    for (const SentFrame &s : parseWrites(writes)) {
        if (s.set == set && s.id == id)
            frames << s;
    }
    return frames;
}

MyPushButton *panelButton(MainWindow *w, const QString &text)
{
    for (MyPushButton *button : w->findChild<ProductionPage *>()->findChildren<MyPushButton *>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

QByteArray dateBytes(const QDate &date)
{
    QByteArray bytes(4, '\0');
    writeU32(reinterpret_cast<uint8_t *>(bytes.data()), date.toString(QStringLiteral("yyyyMMdd")).toUInt());
    return bytes;
}

// Records every answer box as "title|text" once, leaves each open for one poll so that more
// frames can arrive meanwhile, then closes it.
class BoxWatcher : public QObject
{
public:
    explicit BoxWatcher(std::function<void(int)> onNewBox = {}) : onNewBox(std::move(onNewBox))
    {
        connect(&poll, &QTimer::timeout, this, &BoxWatcher::check);
        poll.start(20);
    }

    QStringList seen;

private:
    void check()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (box->property("seen").toBool()) {
            box->done(0);
            return;
        }
        box->setProperty("seen", true);
        seen << box->windowTitle() + QLatin1Char('|') + box->text();
        if (onNewBox) // outside this slot: a nested box must not block the poll
            QTimer::singleShot(0, this, [this] { onNewBox(seen.size()); });
    }

    QTimer poll;
    std::function<void(int)> onNewBox;
};

const QString InquiryTitle = QStringLiteral("获取生产日期");
const QString SetTitle = QStringLiteral("设置情况");
const QString SetFailed = QStringLiteral("          设置失败          ");

} // namespace

class TestProduction : public QObject
{
    Q_OBJECT

private slots:
    void displaySwitchFollowsPage_data();
    void displaySwitchFollowsPage();
    void scpzCommandPayload_data();
    void scpzCommandPayload();
    void datePanelSendsRequests();
    void answerBox_data();
    void answerBox();
    void laterFrameHandledWhileBoxOpen();
};

void TestProduction::displaySwitchFollowsPage_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QByteArray>("frame");
    const QByteArray off = QByteArray::fromHex("AA010201550100D010F0300066");
    const QByteArray on = QByteArray::fromHex("AA010201550100D010F0300166");
    QTest::newRow("channels") << 0 << off;
    QTest::newRow("upgrade") << 1 << off;
    QTest::newRow("console") << 2 << off;
    QTest::newRow("production") << 3 << on;
    QTest::newRow("gimbal") << 4 << off;
}

void TestProduction::displaySwitchFollowsPage()
{
    QFETCH(int, page);
    QFETCH(QByteArray, frame);
    WindowFixture f;
    f.takeWrites();
    QMetaObject::invokeMethod(f.window(), "showPage", Q_ARG(int, page));
    const QByteArrayList writes = f.takeWrites();
    QCOMPARE(writes.count(frame), 1);
    QCOMPARE(framesWith(writes, CommonSet, CMD_ID_SCXS_VALUES).size(), 1);
}

void TestProduction::scpzCommandPayload_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<float>("value");
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("first value") << 0 << 1.5f << QByteArray::fromHex("010000C03F");
    QTest::newRow("id wraps to 0") << 255 << -2.0f << QByteArray::fromHex("00000000C0");
}

void TestProduction::scpzCommandPayload()
{
    QFETCH(int, id);
    QFETCH(float, value);
    QFETCH(QByteArray, payload);
    WindowFixture f;
    f.takeWrites();
    f.window()->findChild<ProductionPage *>()->sendProductionValue(uint8_t(id), value);
    const QList<SentFrame> frames = framesWith(f.takeWrites(), CommonSet, CMD_ID_SCPZ_VALUES);
    QCOMPARE(frames.size(), 1);
    QCOMPARE(frames[0].target, uint8_t(RemoteControllerId));
    QCOMPARE(frames[0].payload, payload);
}

void TestProduction::datePanelSendsRequests()
{
    WindowFixture f;
    MainWindow *w = f.window();
    const QDate before = QDate::currentDate();
    f.takeWrites();
    panelButton(w, QStringLiteral("查询"))->click();
    panelButton(w, QStringLiteral("设置"))->click();
    const QByteArrayList writes = f.takeWrites();
    const QDate after = QDate::currentDate();

    const QList<SentFrame> inquiries = framesWith(writes, RemoteControllerSet, CMD_ID_PRODUCTION_DATE);
    QCOMPARE(inquiries.size(), 1);
    QVERIFY(inquiries[0].payload.isEmpty());
    const QList<SentFrame> sets = framesWith(writes, RemoteControllerSet, CMD_ID_SET_PRODUCTION_DATE);
    QCOMPARE(sets.size(), 1);
    QCOMPARE(sets[0].target, uint8_t(RemoteControllerId));
    QVERIFY2(sets[0].payload == dateBytes(before) || sets[0].payload == dateBytes(after),
             sets[0].payload.toHex().constData()); // a click at midnight may send either day

    bool systemDateShown = false;
    for (MyLineEdit *edit : w->findChild<ProductionPage *>()->findChildren<MyLineEdit *>())
        systemDateShown = systemDateShown || (!edit->isEnabled() && edit->text() == before.toString("yyyyMMdd"));
    QVERIFY(systemDateShown);
}

void TestProduction::answerBox_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("shown");
    QTest::newRow("date") << int(CMD_ID_PRODUCTION_DATE) << QByteArray::fromHex("57293501")
                          << InquiryTitle + "|       20261207       ";
    QTest::newRow("date 0") << int(CMD_ID_PRODUCTION_DATE) << QByteArray::fromHex("00000000")
                            << InquiryTitle + "|       0       ";
    QTest::newRow("date all ones") << int(CMD_ID_PRODUCTION_DATE) << QByteArray::fromHex("FFFFFFFF")
                                   << InquiryTitle + "|       4294967295       ";
    QTest::newRow("set") << int(CMD_ID_SET_PRODUCTION_DATE) << QByteArray::fromHex("01")
                         << SetTitle + "|          设置成功          ";
    QTest::newRow("set refused") << int(CMD_ID_SET_PRODUCTION_DATE) << QByteArray::fromHex("02")
                                 << SetTitle + "|" + SetFailed;
}

void TestProduction::answerBox()
{
    QFETCH(int, id);
    QFETCH(QByteArray, payload);
    QFETCH(QString, shown);
    WindowFixture f;
    BoxWatcher watcher;
    f.port()->feed(makeFrame(RemoteControllerId, AssistantId, RemoteControllerSet, uint8_t(id), payload));
    QTest::qWait(100); // the poll timer must not show the answer a second time
    QCOMPARE(watcher.seen, QStringList{shown});
}

// The box waits in its own event loop; a second answer is shown while the first is open,
// and the first frame, already taken from the receive buffer, is never shown again.
void TestProduction::laterFrameHandledWhileBoxOpen()
{
    WindowFixture f;
    BoxWatcher watcher([&f](int boxes) {
        if (boxes == 1)
            f.port()->feed(makeFrame(RemoteControllerId, AssistantId, RemoteControllerSet,
                                     CMD_ID_SET_PRODUCTION_DATE, QByteArray::fromHex("02")));
    });
    f.port()->feed(makeFrame(RemoteControllerId, AssistantId, RemoteControllerSet, CMD_ID_PRODUCTION_DATE,
                             QByteArray::fromHex("57293501")));
    QTest::qWait(100);
    QCOMPARE(watcher.seen,
             QStringList({InquiryTitle + "|       20261207       ", SetTitle + "|" + SetFailed}));
}

QTEST_MAIN(TestProduction)
#include "tst_production.moc"
