#include "chpercent.h"
#include "chsource.h"
#include "chsubwidget.h"
#include "crosswidget.h"
#include "koruresources.h"
#include "mylineedit.h"
#include "mypushbutton.h"
#include "userinput.h"

#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>

class TstChannelRow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void barPercent_data();
    void barPercent();
    void stickPercent_data();
    void stickPercent();
    void crossClampsPercent_data();
    void crossClampsPercent();
    void sourceTable_data();
    void sourceTable();
    void unlistedSourceShowsBlank_data();
    void unlistedSourceShowsBlank();
    void directionClick_data();
    void directionClick();
    void editSendsLow16Bits_data();
    void editSendsLow16Bits();
    void reportedMapIsSigned();

private:
    QWidget window;
    QTranslator english;
    ChSubWidget *row = nullptr;
};

void TstChannelRow::initTestCase()
{
    qRegisterMetaType<uint8_t>("uint8_t");
    qRegisterMetaType<uint16_t>("uint16_t");
    initKoruResources();
    QVERIFY(english.load(QStringLiteral(":/en.qm")));
    QApplication::installTranslator(&english);
    window.resize(300, 100);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

void TstChannelRow::init()
{
    row = new ChSubWidget(&window);
    row->setId(5);
    row->setMinValue(1000);
    row->setMidValue(1500);
    row->setMaxValue(2000);
    row->show();
}

void TstChannelRow::cleanup()
{
    delete row;
}

void TstChannelRow::barPercent_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("mid");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("percent");
    QTest::newRow("mid 0, at min") << 1000 << 1000 << 0 << 2000 << 0;
    QTest::newRow("mid 0, half way") << 1500 << 1000 << 0 << 2000 << 50;
    QTest::newRow("mid 0, at max") << 2000 << 1000 << 0 << 2000 << 100;
    QTest::newRow("mid 1500, 1000") << 1000 << 1000 << 1500 << 2000 << 38;
    QTest::newRow("mid 1500, 1500") << 1500 << 1000 << 1500 << 2000 << 50;
    QTest::newRow("mid 1500, 2000") << 2000 << 1000 << 1500 << 2000 << 63;
    QTest::newRow("above range clamps") << 3000 << 1000 << 0 << 2000 << 100;
    QTest::newRow("below range clamps") << 0 << 1000 << 0 << 2000 << 0;
    QTest::newRow("min = max") << 1500 << 1500 << 700 << 1500 << 0;
    QTest::newRow("zero divisor") << 1500 << 1000 << -500 << 2000 << 0;
}

void TstChannelRow::barPercent()
{
    QFETCH(int, value);
    QFETCH(int, min);
    QFETCH(int, mid);
    QFETCH(int, max);
    QFETCH(int, percent);
    QCOMPARE(int(chBarPercent(int16_t(value), int16_t(min), int16_t(mid), int16_t(max))), percent);
}

void TstChannelRow::stickPercent_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("mid");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::newRow("low end") << 1000 << 1000 << 0 << 2000 << 0 << 100;
    QTest::newRow("centre") << 1500 << 1000 << 0 << 2000 << 50 << 50;
    QTest::newRow("high end") << 2000 << 1000 << 0 << 2000 << 100 << 0;
    QTest::newRow("beyond high end is not clamped") << 2500 << 1000 << 0 << 2000 << 150 << -50;
    QTest::newRow("max read unsigned") << 20000 << 0 << 0 << 40000 << 50 << 50;
    QTest::newRow("min = max") << 100 << 1500 << 0 << 1500 << 0 << 100;
    QTest::newRow("zero divisor") << 1500 << 1000 << -500 << 2000 << 0 << 100;
}

void TstChannelRow::stickPercent()
{
    QFETCH(int, value);
    QFETCH(int, min);
    QFETCH(int, mid);
    QFETCH(int, max);
    QFETCH(int, x);
    QFETCH(int, y);
    const StickPercent stick =
        chStickPercent(int16_t(value), int16_t(min), int16_t(mid), uint16_t(max));
    QCOMPARE(stick.x, x);
    QCOMPARE(stick.y, y);
}

void TstChannelRow::crossClampsPercent_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<QPoint>("shown");
    QTest::newRow("inside") << 30 << 70 << QPoint(30, 70);
    QTest::newRow("outside") << 150 << -50 << QPoint(100, 0);
    QTest::newRow("read as 16-bit") << 65536 + 40 << 65535 << QPoint(40, 0);
}

void TstChannelRow::crossClampsPercent()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(QPoint, shown);
    CrossWidget cross(&window);
    cross.setPosition(x, y, 1500, -20);
    QCOMPARE(cross.stickPercent(), shown);
}

void TstChannelRow::sourceTable_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("entityId");
    struct Entry
    {
        const char *name;
        int type;
        int entityId;
    };
    const Entry entries[ChSourceCount] = {
        {"J1", 0, 0},   {"J2", 0, 1},   {"J3", 0, 2},   {"J4", 0, 3},   {"LD", 0, 4},
        {"RD", 4, 0},   {"SA", 0, 5},   {"SB", 0, 6},   {"SC", 0, 7},   {"SD", 0, 8},
        {"SE", 0, 9},   {"SF", 0, 10},  {"S1", 1, 2},   {"S2", 1, 3},   {"S3", 1, 4},
        {"S4", 1, 5},   {"S5", 1, 6},   {"S6", 1, 7},   {"LT1", 1, 8},  {"LT2", 1, 9},
        {"LT3", 1, 10}, {"LT4", 1, 11}, {"LT5", 1, 12}, {"RT1", 1, 13}, {"RT2", 1, 14},
        {"RT3", 1, 15}, {"RT4", 1, 16}, {"RT5", 1, 17}, {"--", 3, 0},   {" ", 2, 0}};
    for (int index = 0; index < ChSourceCount; ++index) {
        const Entry &entry = entries[index];
        QTest::newRow(entry.name) << index << QString::fromLatin1(entry.name) << entry.type
                                  << entry.entityId;
    }
}

// Each entry sends its pair when picked and is shown for that pair when reported; the
// blank entry sends nothing. A reported pair never turns into a set command.
void TstChannelRow::sourceTable()
{
    QFETCH(int, index);
    QFETCH(QString, name);
    QFETCH(int, type);
    QFETCH(int, entityId);
    auto *selector = row->findChild<QComboBox *>();
    QSignalSpy spy(row, &ChSubWidget::sig_chValueChange);

    row->setEntity(uint8_t(type), uint8_t(entityId));
    QCOMPARE(selector->currentIndex(), index);
    QCOMPARE(selector->currentText(), name);
    QCOMPARE(spy.count(), 0);

    pickEntry(selector, index);
    if (index == ChSourceUnknownIndex) {
        QCOMPARE(spy.count(), 0);
        return;
    }
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 5);
    QCOMPARE(spy.at(0).at(1).value<uint8_t>(), uint8_t(type));
    QCOMPARE(spy.at(0).at(2).value<uint8_t>(), uint8_t(entityId));
}

void TstChannelRow::unlistedSourceShowsBlank_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("entityId");
    QTest::newRow("type 0, id 11") << 0 << 11;
    QTest::newRow("type 1, id 0") << 1 << 0;
    QTest::newRow("type 1, id 1") << 1 << 1;
    QTest::newRow("type 1, id 18") << 1 << 18;
    QTest::newRow("type 3, id 1") << 3 << 1;
    QTest::newRow("type 4, id 1") << 4 << 1;
    QTest::newRow("type 5") << 5 << 0;
}

void TstChannelRow::unlistedSourceShowsBlank()
{
    QFETCH(int, type);
    QFETCH(int, entityId);
    QCOMPARE(indexForSource(uint8_t(type), uint8_t(entityId)), ChSourceUnknownIndex);
}

void TstChannelRow::directionClick_data()
{
    QTest::addColumn<bool>("forward");
    QTest::addColumn<QString>("shown");
    QTest::newRow("normal") << true << "Normal";
    QTest::newRow("reverse") << false << "Reverse";
}

// The button asks for the other direction but keeps showing the reported one.
void TstChannelRow::directionClick()
{
    QFETCH(bool, forward);
    QFETCH(QString, shown);
    auto *button = row->findChild<MyPushButton *>(QStringLiteral("zhengxian"));
    QCOMPARE(button->text(), QStringLiteral("—")); // not reported yet
    QVERIFY(!button->isEnabled());
    row->setForwardValue(forward);
    QVERIFY(button->isEnabled());
    QCOMPARE(button->text(), shown);

    QSignalSpy spy(row, &ChSubWidget::sig_forwardValueChange);
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(spy.count(), 2);
    for (const QList<QVariant> &arguments : spy) {
        QCOMPARE(arguments.at(0).toInt(), 5);
        QCOMPARE(arguments.at(1).toBool(), !forward);
    }
    QCOMPARE(button->text(), shown);
}

void TstChannelRow::editSendsLow16Bits_data()
{
    QTest::addColumn<int>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("sent");
    QTest::newRow("min above 65535") << 0 << "70000" << 70000 - 65536;
    QTest::newRow("mid negative") << 1 << "-1" << 65535;
    QTest::newRow("max decimal is 0") << 2 << "1500.5" << 0;
    QTest::newRow("min lone minus is 0") << 0 << "-" << 0;
    QTest::newRow("max untouched sends nothing") << 2 << "" << -1;
}

void TstChannelRow::editSendsLow16Bits()
{
    QFETCH(int, edit);
    QFETCH(QString, typed);
    QFETCH(int, sent);
    const QList<MyLineEdit *> edits = row->findChildren<MyLineEdit *>();
    QCOMPARE(edits.size(), 3);
    QSignalSpy spy(row, &ChSubWidget::sig_mapValueChange);

    QTest::mouseClick(edits[edit], Qt::LeftButton);
    QTRY_VERIFY(edits[edit]->hasSelectedText());
    QTest::keyClicks(edits[edit], typed);
    QTest::keyClick(edits[edit], Qt::Key_Tab);

    QCOMPARE(spy.count(), sent < 0 ? 0 : 1);
    if (sent < 0)
        return;
    QList<int> expected{1000, 1500, 2000};
    expected[edit] = sent;
    QCOMPARE(spy.at(0).at(0).toInt(), 5);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(int(spy.at(0).at(i + 1).value<uint16_t>()), expected[i]);
}

// Reported values are shown signed. One that arrives while the user types in that edit is
// not shown, and leaving the edit sends what the user typed.
void TstChannelRow::reportedMapIsSigned()
{
    const QList<MyLineEdit *> edits = row->findChildren<MyLineEdit *>();
    row->setMinValue(40000);
    QCOMPARE(edits[0]->text(), QStringLiteral("-25536"));

    QSignalSpy spy(row, &ChSubWidget::sig_mapValueChange);
    edits[1]->setFocus();
    QTRY_VERIFY(edits[1]->hasSelectedText());
    QTest::keyClicks(edits[1], QStringLiteral("7"));
    row->setMidValue(1234);
    QCOMPARE(edits[1]->text(), QStringLiteral("7"));
    row->setMaxValue(1800);
    edits[2]->setFocus();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(1).value<uint16_t>(), uint16_t(40000));
    QCOMPARE(spy.at(0).at(2).value<uint16_t>(), uint16_t(7));
    QCOMPARE(spy.at(0).at(3).value<uint16_t>(), uint16_t(1800));
}

QTEST_MAIN(TstChannelRow)
#include "tst_channelrow.moc"
