#include "frame.h"
#include "mylineedit.h"
#include "mypushbutton.h"
#include "productionpage.h"
#include "windowfixture.h"

#include <QApplication>
#include <QDate>
#include <QMessageBox>
#include <QTest>

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

// "title|text" of every answer box shown, by title.
QStringList shownBoxes(MainWindow *w)
{
    QStringList shown;
    for (QMessageBox *box : w->findChild<ProductionPage *>()->findChildren<QMessageBox *>()) {
        if (box->isVisible())
            shown << box->windowTitle() + QLatin1Char('|') + box->text();
    }
    shown.sort();
    return shown;
}

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
    void datePanelSendsRequests();
    void answerBox_data();
    void answerBox();
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
    // Each answer: command id and payload in hex, "24:57293501".
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("shown");
    const QString date = InquiryTitle + "|       20261207       ";
    const QString setDone = SetTitle + "|          设置成功          ";
    // "ask24" and "ask25" press the query and the set button.
    QTest::newRow("date") << QStringList{"ask24", "24:57293501"} << QStringList{date};
    QTest::newRow("date 0") << QStringList{"ask24", "24:00000000"} << QStringList{InquiryTitle + "|       0       "};
    QTest::newRow("date all ones") << QStringList{"ask24", "24:FFFFFFFF"}
                                   << QStringList{InquiryTitle + "|       4294967295       "};
    QTest::newRow("set") << QStringList{"ask25", "25:01"} << QStringList{setDone};
    QTest::newRow("set refused") << QStringList{"ask25", "25:02"} << QStringList{SetTitle + "|" + SetFailed};
    QTest::newRow("newer date replaces the text")
        << QStringList{"ask24", "24:00000000", "ask24", "24:57293501"} << QStringList{date};
    QTest::newRow("one box of each kind") << QStringList{"ask25", "25:02", "ask24", "24:57293501", "ask25", "25:01"}
                                          << QStringList{date, setDone};
    QTest::newRow("answers nobody asked for") << QStringList{"25:01", "24:57293501"} << QStringList();
    QStringList burst{"ask24", "ask25"};
    for (int i = 0; i < 1000; ++i)
        burst << QStringLiteral("24:%1").arg(i, 8, 16, QLatin1Char('0')) << QStringLiteral("25:02");
    QTest::newRow("1,000 answers of each kind: the first answers the request")
        << burst << QStringList{InquiryTitle + "|       0       ", SetTitle + "|" + SetFailed};
}

// The boxes are shown without an event loop of their own: every answer is taken at once,
// and the receive path goes on behind them.
void TestProduction::answerBox()
{
    QFETCH(QStringList, answers);
    WindowFixture f;
    for (const QString &answer : answers) {
        if (answer.startsWith(QLatin1String("ask"))) {
            panelButton(f.window(), answer == QLatin1String("ask24") ? QStringLiteral("查询") : QStringLiteral("设置"))
                ->click();
            continue;
        }
        const QStringList parts = answer.split(QLatin1Char(':'));
        const auto id = uint8_t(parts[0].toUInt(nullptr, 16));
        f.port()->feed(makeFrame(RemoteControllerId, AssistantId, RemoteControllerSet, id,
                                 QByteArray::fromHex(parts[1].toLatin1())));
    }
    QTEST(shownBoxes(f.window()), "shown");
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(TestProduction)
#include "tst_production.moc"
