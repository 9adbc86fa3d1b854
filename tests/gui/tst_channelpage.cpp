#include "channelmeter.h"
#include "chsubwidget.h"
#include "crosswidget.h"
#include "frame.h"
#include "mylineedit.h"
#include "userinput.h"
#include "windowfixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>

using namespace Koru;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

QByteArray mapPayload(int ch, uint16_t min, uint16_t mid, uint16_t max)
{
    return bytes({ch, min & 0xFF, min >> 8, mid & 0xFF, mid >> 8, max & 0xFF, max >> 8});
}

QByteArray valuesPayload(const QVector<int16_t> &values)
{
    QByteArray p(2 * values.size(), '\0');
    for (int k = 0; k < values.size(); ++k)
        writeU16(reinterpret_cast<uint8_t *>(p.data()) + 2 * k, uint16_t(values[k]));
    return p;
}

template <typename W> QList<W *> leftToRight(QList<W *> widgets)
{
    std::sort(widgets.begin(), widgets.end(), [](W *a, W *b) { return a->x() < b->x(); });
    return widgets;
}

QLabel *numberLabel(const ChSubWidget *row)
{
    return row->findChild<QLabel *>(QStringLiteral("ChValueButton"), Qt::FindDirectChildrenOnly);
}

ChannelMeter *meter(const ChSubWidget *row)
{
    return row->findChild<ChannelMeter *>();
}

} // namespace

class TstChannelPage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void directionClickSendsAndKeepsText_data();
    void directionClickSendsAndKeepsText();
    void editFocusLossSendsLow16Bits_data();
    void editFocusLossSendsLow16Bits();
    void reportWaitsWhileEditing();
    void sourcePick_data();
    void sourcePick();
    void reportsRefreshRowsWithoutSending();
    void valuesDriveBarsAndSticks_data();
    void valuesDriveBarsAndSticks();
    void burstShowsNewestValuesWithinOneRefresh();
    void notLiveUntilFirstReport();
    void burstQueriesBothDevicesInOrder();
    void pageEntryAndExit();

private:
    ChSubWidget *row(int index) const;
    MyLineEdit *edit(int rowIndex, int which) const
    {
        return leftToRight(row(rowIndex)->findChildren<MyLineEdit *>())[which];
    }
    QComboBox *selector(int rowIndex) const { return row(rowIndex)->findChild<QComboBox *>(); }
    QPushButton *directionButton(int rowIndex) const
    {
        return row(rowIndex)->findChild<QPushButton *>(QStringLiteral("zhengxian"));
    }
    void report(uint8_t id, const QByteArray &payload);
    QList<SentFrame> sent(uint8_t set, uint8_t id);
    QStringList shellTexts();

    std::unique_ptr<WindowFixture> fixture;
};

void TstChannelPage::init()
{
    fixture = std::make_unique<WindowFixture>(true, QStringLiteral("[General]\nlangage=1\n"));
    fixture->window()->show();
    QApplication::setActiveWindow(fixture->window());
    QVERIFY(QTest::qWaitForWindowActive(fixture->window()));
    fixture->takeWrites();
}

void TstChannelPage::cleanup()
{
    fixture.reset();
}

ChSubWidget *TstChannelPage::row(int index) const
{
    for (ChSubWidget *r : fixture->window()->findChildren<ChSubWidget *>()) {
        if (numberLabel(r)->text() == QString::number(index + 1))
            return r;
    }
    return nullptr;
}

void TstChannelPage::report(uint8_t id, const QByteArray &payload)
{
    fixture->port()->feed(makeFrame(RemoteControllerId, AssistantId, RemoteControllerSet, id, payload));
}

QList<SentFrame> TstChannelPage::sent(uint8_t set, uint8_t id)
{
    QList<SentFrame> frames;
    for (const SentFrame &f : parseWrites(fixture->takeWrites())) {
        if (f.set == set && f.id == id)
            frames.append(f);
    }
    return frames;
}

QStringList TstChannelPage::shellTexts()
{
    QStringList texts;
    for (const SentFrame &f : sent(CommonSet, CMD_ID_SHELL_TEXT))
        texts.append(QString::number(f.target, 16) + ' ' + QString::fromLatin1(f.payload).trimmed());
    return texts;
}

void TstChannelPage::directionClickSendsAndKeepsText_data()
{
    QTest::addColumn<int>("rowIndex");
    QTest::addColumn<int>("reported");
    QTest::addColumn<int>("sentByte");
    QTest::addColumn<QString>("text");
    QTest::newRow("normal") << 2 << 1 << 0xFF << "Normal";
    QTest::newRow("reverse") << 15 << 0 << 0x01 << "Reverse";
    QTest::newRow("any other byte is reverse") << 0 << 7 << 0x01 << "Reverse";
}

void TstChannelPage::directionClickSendsAndKeepsText()
{
    QFETCH(int, rowIndex);
    QFETCH(int, reported);
    QFETCH(int, sentByte);
    report(CMD_ID_GET_REVERSE, bytes({rowIndex + 1, reported}));
    QTEST(directionButton(rowIndex)->text(), "text");
    fixture->takeWrites();
    QTest::mouseClick(directionButton(rowIndex), Qt::LeftButton);
    const auto frames = sent(RemoteControllerSet, CMD_ID_SET_REVERSE);
    QCOMPARE(frames.size(), 1);
    QCOMPARE(frames[0].target, uint8_t(RemoteControllerId));
    QCOMPARE(frames[0].payload, bytes({rowIndex + 1, sentByte}));
    QTEST(directionButton(rowIndex)->text(), "text");
}

void TstChannelPage::editFocusLossSendsLow16Bits_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<bool>("retype");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("min above 16 bits") << 0 << true << "70000" << mapPayload(6, 4464, 1500, 2000);
    QTest::newRow("min negative") << 0 << true << "-100" << mapPayload(6, 65436, 1500, 2000);
    QTest::newRow("mid not an integer") << 1 << true << "1500.5" << mapPayload(6, 1000, 0, 2000);
    QTest::newRow("max emptied") << 2 << true << "" << mapPayload(6, 1000, 1500, 0);
    QTest::newRow("tabbed through sends nothing") << 1 << false << "" << QByteArray();
}

void TstChannelPage::editFocusLossSendsLow16Bits()
{
    QFETCH(int, which);
    QFETCH(bool, retype);
    QFETCH(QString, typed);
    report(CMD_ID_GET_MAP, mapPayload(6, 1000, 1500, 2000));
    MyLineEdit *e = edit(5, which);
    e->setFocus();
    QTRY_VERIFY(e->hasSelectedText());
    if (retype) {
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, typed);
    }
    fixture->takeWrites();
    e->clearFocus();
    QFETCH(QByteArray, payload);
    const auto frames = sent(RemoteControllerSet, CMD_ID_SET_MAP);
    QCOMPARE(frames.size(), payload.isEmpty() ? 0 : 1);
    if (!payload.isEmpty())
        QCOMPARE(frames[0].payload, payload);
}

void TstChannelPage::reportWaitsWhileEditing()
{
    report(CMD_ID_GET_MAP, mapPayload(9, 1, 2, 3));
    MyLineEdit *mid = edit(8, 1);
    mid->setFocus();
    QTRY_VERIFY(mid->hasSelectedText());
    QTest::keyClicks(mid, QStringLiteral("1234"));
    report(CMD_ID_GET_MAP, mapPayload(9, 111, 222, 333));
    QCOMPARE(mid->text(), QStringLiteral("1234"));
    QCOMPARE(edit(8, 0)->text(), QStringLiteral("111"));
    fixture->takeWrites();
    mid->clearFocus();
    const auto frames = sent(RemoteControllerSet, CMD_ID_SET_MAP);
    QCOMPARE(frames.size(), 1);
    QCOMPARE(frames[0].payload, mapPayload(9, 111, 1234, 333));
    report(CMD_ID_GET_MAP, mapPayload(9, 111, 222, 333));
    QCOMPARE(mid->text(), QStringLiteral("222"));
}

void TstChannelPage::sourcePick_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("pair"); // empty: nothing is sent
    QTest::newRow("S1") << 12 << bytes({1, 2});
    QTest::newRow("RT5") << 27 << bytes({1, 17});
    QTest::newRow("RD") << 5 << bytes({4, 0});
    QTest::newRow("SF") << 11 << bytes({0, 10});
    QTest::newRow("--") << 28 << bytes({3, 0});
    QTest::newRow("space") << 29 << QByteArray();
}

// What the user picked is what the selector still shows after the device reports it back.
void TstChannelPage::sourcePick()
{
    QFETCH(int, index);
    QFETCH(QByteArray, pair);
    pickEntry(selector(10), index);
    const auto frames = sent(RemoteControllerSet, CMD_ID_SET_ENTITY);
    QCOMPARE(frames.size(), pair.isEmpty() ? 0 : 1);
    if (pair.isEmpty())
        return;
    QCOMPARE(frames[0].target, uint8_t(RemoteControllerId));
    QCOMPARE(frames[0].payload, char(11) + pair);
    report(CMD_ID_GET_ENTITY, char(11) + pair);
    QCOMPARE(selector(10)->currentIndex(), index);
    QVERIFY(sent(RemoteControllerSet, CMD_ID_SET_ENTITY).isEmpty());
}

void TstChannelPage::reportsRefreshRowsWithoutSending()
{
    report(CMD_ID_GET_REVERSE, bytes({4, 1}));
    report(CMD_ID_GET_ENTITY, bytes({4, 0, 11}));
    report(CMD_ID_GET_MAP, mapPayload(4, 40000, 1500, 2000));
    QCOMPARE(directionButton(3)->text(), QStringLiteral("Normal"));
    QCOMPARE(selector(3)->currentText(), QStringLiteral(" "));
    QCOMPARE(edit(3, 0)->text(), QStringLiteral("-25536"));
    QVERIFY(edit(2, 0)->text().isEmpty()); // other rows still unknown
    QVERIFY(!edit(2, 0)->isEnabled());

    // Row 2's typed minimum differs from the stored 0 until a report refreshes the row.
    report(CMD_ID_GET_MAP, mapPayload(3, 0, 1500, 2000));
    edit(2, 0)->setFocus();
    QTRY_VERIFY(edit(2, 0)->hasSelectedText());
    QTest::keyClicks(edit(2, 0), QStringLiteral("77"));
    edit(2, 0)->clearFocus();
    report(CMD_ID_GET_MAP, mapPayload(17, 1, 2, 3));
    QCOMPARE(edit(2, 0)->text(), QStringLiteral("77"));
    report(CMD_ID_GET_MAP, mapPayload(0, 1, 2, 3)); // channel 0 refreshes every row
    QCOMPARE(edit(2, 0)->text(), QStringLiteral("0"));
    QCOMPARE(edit(3, 0)->text(), QStringLiteral("-25536"));

    fixture->takeWrites();
    report(CMD_ID_GET_ENTITY, bytes({4, 1, 2}));
    report(CMD_ID_GET_REVERSE, bytes({4, 0}));
    report(CMD_ID_GET_MAP, mapPayload(4, 1, 2, 3));
    QCOMPARE(selector(3)->currentText(), QStringLiteral("S1"));
    for (const SentFrame &f : parseWrites(fixture->takeWrites()))
        QVERIFY(f.set != RemoteControllerSet || f.id == CMD_ID_GET_REVERSE || f.id == CMD_ID_GET_ENTITY
                || f.id == CMD_ID_GET_MAP);

    fixture->window()->findChild<QComboBox *>(QStringLiteral("langageComboBox"))->setCurrentIndex(0);
    QCOMPARE(directionButton(3)->text(), QCoreApplication::translate("ChSubWidget", "反相1"));
    QVERIFY(directionButton(3)->text() != QStringLiteral("Reverse"));
}

void TstChannelPage::valuesDriveBarsAndSticks_data()
{
    QTest::addColumn<QVector<int>>("mapping");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("bar");
    QTest::addColumn<QPoint>("stick");
    const QVector<int> wide{1000, 0, 2000}, centred{1000, 1500, 2000};
    QTest::newRow("mid 0, low") << wide << 1000 << 0 << QPoint(0, 100);
    QTest::newRow("mid 0, centre") << wide << 1500 << 50 << QPoint(50, 50);
    QTest::newRow("mid 0, high") << wide << 2000 << 100 << QPoint(100, 0);
    QTest::newRow("mid 0, below range") << wide << 500 << 0 << QPoint(0, 100);
    QTest::newRow("mid 1500, 1000") << centred << 1000 << 38 << QPoint(38, 62);
    QTest::newRow("mid 1500, 1500") << centred << 1500 << 50 << QPoint(50, 50);
    QTest::newRow("mid 1500, 2000") << centred << 2000 << 63 << QPoint(63, 37);
    QTest::newRow("min = max") << QVector<int>{1500, 0, 1500} << 1800 << 0 << QPoint(0, 100);
    QTest::newRow("zero divisor") << QVector<int>{1000, -500, 2000} << 1500 << 0 << QPoint(0, 100);
    QTest::newRow("max 40000: signed bar, unsigned stick")
        << QVector<int>{0, 0, 40000} << 20000 << 0 << QPoint(50, 50);
}

void TstChannelPage::valuesDriveBarsAndSticks()
{
    QFETCH(QVector<int>, mapping);
    QFETCH(int, value);
    for (int ch = 1; ch <= 4; ++ch)
        report(CMD_ID_GET_MAP,
               mapPayload(ch, uint16_t(mapping[0]), uint16_t(mapping[1]), uint16_t(mapping[2])));
    report(CMD_ID_CH_VALUES, valuesPayload(QVector<int16_t>(4, int16_t(value))));
    QFETCH(int, bar);
    QFETCH(QPoint, stick);
    QTRY_COMPARE(meter(row(0))->percent(), bar);
    for (CrossWidget *cross : fixture->window()->findChildren<CrossWidget *>())
        QTRY_COMPARE(cross->stickPercent(), stick);
}

// After a burst of reports the newest values show within one refresh period of the last,
// and then no timer but the settings query runs. Right stick: channel 1 across, channel 2
// up; left stick: channel 4 across, channel 3 up.
void TstChannelPage::burstShowsNewestValuesWithinOneRefresh()
{
    for (int ch = 1; ch <= ChannelCount; ++ch)
        report(CMD_ID_GET_MAP, mapPayload(ch, 1000, 0, 2000));
    QVector<int16_t> values(ChannelCount);
    for (int k = 0; k < 50; ++k) {
        for (int ch = 0; ch < ChannelCount; ++ch)
            values[ch] = int16_t(2000 - 7 * k - ch);
        report(CMD_ID_CH_VALUES, valuesPayload(values));
        if (k == 0) // the first report after a pause shows at once
            QCOMPARE(meter(row(0))->value(), values[0]);
    }
    values.fill(1500);
    values[0] = 1000;
    values[2] = 2000;
    values[3] = 1200;
    values[15] = -5;
    report(CMD_ID_CH_VALUES, valuesPayload(values));
    // A 33 ms period and a margin for a busy machine.
    QTRY_COMPARE_WITH_TIMEOUT(meter(row(15))->value(), int16_t(-5), 200);
    for (int ch = 0; ch < ChannelCount; ++ch)
        QCOMPARE(meter(row(ch))->value(), values[ch]);
    QCOMPARE(meter(row(3))->percent(), 20);
    const auto crosses = leftToRight(fixture->window()->findChildren<CrossWidget *>());
    QCOMPARE(crosses.size(), 2);
    QCOMPARE(crosses[0]->stickPercent(), QPoint(20, 0));
    QCOMPARE(crosses[1]->stickPercent(), QPoint(0, 50));

    const auto timers = row(0)->parentWidget()->findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
    const auto running = [](const QTimer *t) { return t->isActive(); };
    QTRY_COMPARE(std::count_if(timers.cbegin(), timers.cend(), running), 1);
}

// Values that are not live are never shown as if they were: faded with a note without a
// controller, until its first report, and again once it is gone.
void TstChannelPage::notLiveUntilFirstReport()
{
    const auto note = [this] { return fixture->window()->findChild<QLabel *>(QStringLiteral("notLiveNote")); };
    const auto liveShown = [this, &note] {
        for (CrossWidget *cross : fixture->window()->findChildren<CrossWidget *>())
            if (cross->isLive() != meter(row(0))->isLive() || cross->isLive() == note()->isVisible())
                return QStringLiteral("meters, sticks and note disagree");
        if (meter(row(0))->isLive())
            return QStringLiteral("live");
        return QStringLiteral("faded: ") + note()->text();
    };
    fixture->enumerator()->setPorts({});
    QCOMPARE(liveShown(), QStringLiteral("faded: No remote controller: these values are not live"));
    // A meter that is not live looks the same whatever value it holds.
    meter(row(0))->setValue(50, 1234);
    QCOMPARE(meter(row(0))->grab().toImage(), meter(row(1))->grab().toImage());
    fixture->enumerator()->setPorts({FakePortEnumerator::device(QStringLiteral("ttyACM0"))});
    QVERIFY(fixture->waitForDevice());
    QCOMPARE(liveShown(), QStringLiteral("faded: Waiting for the live values of the remote controller…"));
    report(CMD_ID_CH_VALUES, valuesPayload(QVector<int16_t>(16, 1500)));
    QTRY_COMPARE(liveShown(), QStringLiteral("live"));
    fixture->enumerator()->setPorts({});
    QCOMPARE(liveShown(), QStringLiteral("faded: No remote controller: these values are not live"));
}

// The 96 queries leave in one write.
void TstChannelPage::burstQueriesBothDevicesInOrder()
{
    QTRY_VERIFY_WITH_TIMEOUT(!fixture->port()->writes.isEmpty(), 2000);
    const QByteArrayList writes = fixture->takeWrites();
    QCOMPARE(writes.size(), 1);
    const QList<SentFrame> frames = parseWrites(writes);
    QCOMPARE(frames.size(), 96);
    const uint8_t queries[] = {CMD_ID_GET_REVERSE, CMD_ID_GET_ENTITY, CMD_ID_GET_MAP};
    for (int k = 0; k < 96; ++k) {
        QCOMPARE(frames[k].set, uint8_t(RemoteControllerSet));
        QCOMPARE(frames[k].id, queries[k % 3]);
        QCOMPARE(frames[k].target, uint8_t(k % 6 < 3 ? RemoteControllerId : ModuleSideId));
        QCOMPARE(frames[k].payload, QByteArray(1, char(k / 6 + 1)));
    }
}

void TstChannelPage::pageEntryAndExit()
{
    const QStringList off{"10 rc_pc 0", "2c rc_pc 0"};
    QMetaObject::invokeMethod(fixture->window(), "showPage", Q_ARG(int, 1));
    QCOMPARE(shellTexts(), off);
    QMetaObject::invokeMethod(fixture->window(), "showPage", Q_ARG(int, 4));
    QCOMPARE(shellTexts(), off);
    // The gimbal page's burst a second after its entry: two of the channel page's periods
    // have passed since it was left, and it asked nothing in them.
    QTRY_VERIFY_WITH_TIMEOUT(countWritten(*fixture, GimbalSet, CMD_ID_GET_GIMBAL_CH, GimbalCameraId, 0) > 0, 5000);
    QVERIFY(sent(RemoteControllerSet, CMD_ID_GET_REVERSE).isEmpty());
    QMetaObject::invokeMethod(fixture->window(), "showPage", Q_ARG(int, 0));
    QCOMPARE(shellTexts(), (QStringList{"10 rc_pc 1", "2c rc_pc 1"}));
    QTRY_VERIFY_WITH_TIMEOUT(!fixture->port()->writes.isEmpty(), 1000);
    QCOMPARE(sent(RemoteControllerSet, CMD_ID_GET_REVERSE).size(), 32);
}

QTEST_MAIN(TstChannelPage)
#include "tst_channelpage.moc"
