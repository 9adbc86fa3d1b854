#include "chsubwidget.h"
#include "gimbalsubwidget.h"
#include "koruresources.h"
#include "myled.h"
#include "myprogressbar.h"
#include "mypushbutton.h"
#include "mytoolbutton.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QImage>
#include <QPixmap>
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
    void progressBarTakesPictureSize();
    void selectorPopupsKeepTheirLimit_data();
    void selectorPopupsKeepTheirLimit();

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

void TstCommonWidgets::progressBarTakesPictureSize()
{
    MyProgressBar bar(&window);
    const QSize pictureSize = QPixmap(QStringLiteral(":/img/ch_probar.png")).size();
    QVERIFY(!pictureSize.isEmpty());
    QCOMPARE(bar.size(), pictureSize);
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
