#include "koruresources.h"
#include "myled.h"
#include "myprogressbar.h"
#include "mypushbutton.h"
#include "mytoolbutton.h"

#include <QImage>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

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

QTEST_MAIN(TstCommonWidgets)
#include "tst_commonwidgets.moc"
