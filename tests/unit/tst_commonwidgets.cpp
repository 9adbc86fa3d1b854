#include "channelmeter.h"
#include "chsubwidget.h"
#include "gimbalsubwidget.h"
#include "koruresources.h"
#include "myled.h"
#include "mypushbutton.h"
#include "mytoolbutton.h"
#include "whitebackground.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <memory>

class TstCommonWidgets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void clickReportsId_data();
    void clickReportsId();
    void toolButtonHighlightOnlyWhenSelected();
    void ledShowsNothingUntilSwitched();
    void selectorPopupsKeepTheirLimit_data();
    void selectorPopupsKeepTheirLimit();
    void meterLooksLikeStyledBarAndLabel_data();
    void meterLooksLikeStyledBarAndLabel();

private:
    QWidget window;
};

void TstCommonWidgets::initTestCase()
{
    initKoruResources();
    window.resize(300, 200);
    window.show();
}

template <typename Button> void checkClickReportsId(QWidget *parent, bool setId, int id)
{
    Button button(parent);
    button.show();
    if (setId)
        button.setId(id);
    QSignalSpy spy(&button, &Button::sig_clicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), setId ? id : 0);
}

void TstCommonWidgets::clickReportsId_data()
{
    QTest::addColumn<bool>("toolButton");
    QTest::addColumn<bool>("setId");
    QTest::addColumn<int>("id");
    QTest::newRow("push button, id never set") << false << false << 0;
    QTest::newRow("push button, id 7") << false << true << 7;
    QTest::newRow("push button, id -3") << false << true << -3;
    QTest::newRow("tool button, id never set") << true << false << 0;
    QTest::newRow("tool button, id 4") << true << true << 4;
}

void TstCommonWidgets::clickReportsId()
{
    QFETCH(bool, toolButton);
    QFETCH(bool, setId);
    QFETCH(int, id);
    if (toolButton)
        checkClickReportsId<MyToolButton>(&window, setId, id);
    else
        checkClickReportsId<MyPushButton>(&window, setId, id);
}

void TstCommonWidgets::toolButtonHighlightOnlyWhenSelected()
{
    MyToolButton button(&window);
    const QSize highlightSize = QPixmap(QStringLiteral(":/img/title_back")).size();
    QVERIFY(!highlightSize.isEmpty());

    button.setSelected(true);
    QCOMPARE(button.iconSize(), highlightSize);
    button.setSelected(false);
    QVERIFY(!button.icon().isNull());
    QCOMPARE(button.iconSize(), QSize(0, 0));
    // The mouse over the picture or the caption is over the tab itself, so it is hovered.
    QCOMPARE(button.childAt(60, 30), nullptr);
    QCOMPARE(button.childAt(60, 60), nullptr);
}

void TstCommonWidgets::ledShowsNothingUntilSwitched()
{
    MyLed led(&window);
    QCOMPARE(led.size(), QSize(20, 20));
    QVERIFY(led.pixmap(Qt::ReturnByValue).isNull());

    const QImage on = QPixmap(QStringLiteral(":/img/usb_on")).toImage();
    const QImage off = QPixmap(QStringLiteral(":/img/usb_off")).toImage();
    QVERIFY(!on.isNull() && !off.isNull());
    led.turnOn();
    QCOMPARE(led.pixmap(Qt::ReturnByValue).toImage(), on);
    led.turnOff();
    QCOMPARE(led.pixmap(Qt::ReturnByValue).toImage(), off);
}

void TstCommonWidgets::meterLooksLikeStyledBarAndLabel_data()
{
    QTest::addColumn<int>("fromPercent");
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("value");
    QTest::newRow("empty from full") << 100 << 0 << -32768;
    QTest::newRow("one percent") << 50 << 1 << 1000;
    QTest::newRow("three percent") << 0 << 3 << 32767;
    QTest::newRow("half") << 0 << 50 << 1500;
    QTest::newRow("99 from 98") << 98 << 99 << -5;
    QTest::newRow("full") << 37 << 100 << 2000;
    QTest::newRow("only the value changes") << 63 << 63 << 1234;
}

// The row as it was built before: a style-sheet progress bar with the bar picture laid over
// it and a centred label, against the meter that paints both itself. For the meter, what the
// screen shows is compared, so a part it failed to repaint after a change shows too.
void TstCommonWidgets::meterLooksLikeStyledBarAndLabel()
{
    QFETCH(int, fromPercent);
    QFETCH(int, percent);
    QFETCH(int, value);
    QFile styleSheet(QStringLiteral(":/kestanqss.qss"));
    QVERIFY(styleSheet.open(QIODevice::ReadOnly));
    qApp->setStyleSheet(QString::fromUtf8(styleSheet.readAll()));
    QWidget page;
    page.setGeometry(0, 0, 170, 40);
    fillWhite(&page);
    auto *bar = new QProgressBar(new QWidget(&page));
    bar->setObjectName(QStringLiteral("progressBar_test"));
    bar->setTextVisible(false);
    bar->setRange(0, 100);
    bar->move(17, 1);
    auto *picture = new QLabel(bar);
    picture->setPixmap(QPixmap(QStringLiteral(":/img/ch_probar.png")));
    picture->adjustSize();
    bar->resize(picture->size());
    auto *label = new QLabel(bar->parentWidget());
    label->setObjectName(QStringLiteral("ChValueButton"));
    label->setGeometry(141, 2, 38, 16);
    auto *meterRow = new QWidget(&page);
    meterRow->setGeometry(0, 20, 170, 20);
    auto *meter = new ChannelMeter(meterRow);
    meter->move(17, 1);
    meter->setLive(true);
    meter->setValue(fromPercent, -1);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QTest::qWait(20);

    bar->setValue(percent);
    label->setText(QString::number(value));
    meter->setValue(percent, int16_t(value));
    const auto shown = [&page] {
        const QPixmap screen = page.screen()->grabWindow(page.winId(), 0, 20, 170, 20);
        return screen.toImage().convertToFormat(QImage::Format_RGB32);
    };
    // The reference is drawn afresh: the progress bar itself leaves the screen stale after a
    // change narrower than its chunk width.
    const QImage drawn = page.grab(QRect(0, 0, 170, 20)).toImage().convertToFormat(QImage::Format_RGB32);
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    // Qt 6's label sets the glyphs of a text wider than itself a fraction of a pixel apart
    // from where the meter, which measures each glyph as Qt 5 does, puts them.
    QEXPECT_FAIL("empty from full", "Qt 6 places the glyphs of an overflowing label text differently", Continue);
#endif
    QTRY_COMPARE(shown(), drawn);
    QCOMPARE(meter->percent(), percent);
    qApp->setStyleSheet(QString());
}

void TstCommonWidgets::selectorPopupsKeepTheirLimit_data()
{
    QTest::addColumn<bool>("channelRow");
    QTest::addColumn<int>("limit");
    QTest::newRow("channel source") << true << 8;
    QTest::newRow("gimbal channel") << false << 6;
}

// The popup lists at most its limit of entries and scrolls to the others.
void TstCommonWidgets::selectorPopupsKeepTheirLimit()
{
    QFETCH(bool, channelRow);
    QFETCH(int, limit);
    std::unique_ptr<QWidget> row(channelRow ? static_cast<QWidget *>(new ChSubWidget(&window))
                                            : new GimbalSubWidget(&window));
    row->show();
    auto *selector = row->findChild<QComboBox *>();
    QVERIFY(selector->count() > limit);
    selector->showPopup();
    QAbstractItemView *list = selector->view();
    QTRY_VERIFY(list->isVisible());
    QVERIFY2(list->viewport()->height() <= limit * list->sizeHintForRow(0),
             qPrintable(QString::number(list->viewport()->height())));
    QVERIFY(list->verticalScrollBar()->isVisible());
    QCOMPARE(list->verticalScrollBar()->width(), 6);
    selector->hidePopup();
}

QTEST_MAIN(TstCommonWidgets)
#include "tst_commonwidgets.moc"
