#include "chsubwidget.h"
#include "frame.h"
#include "mylineedit.h"
#include "windowfixture.h"

#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace Koru;

namespace {

QString mainText(const char *key)
{
    return QCoreApplication::translate("CalibrationPanel", key);
}

} // namespace

class TstCalibration : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void fullRun();
    void statusReports_data();
    void statusReports();
    void failedStartWithPortClosed();
    void languageChangeDuringStep2();
    void resetSendsModelDefault_data();
    void resetSendsModelDefault();

private:
    // The title bar has a "resetCali" button of its own: look on the channel page only.
    QPushButton *button(const char *name) const
    {
        QWidget *page =
            fixture->window()->findChild<QPushButton *>(QStringLiteral("beginCali"))->parentWidget();
        return page->findChild<QPushButton *>(QLatin1String(name));
    }
    QLabel *label() const;
    void startCalibration();
    void report(int calState, int error);
    // Payloads of the calibration frames written since the last takeWrites().
    QByteArrayList caliPayloads() const;

    std::unique_ptr<WindowFixture> fixture;
};

void TstCalibration::init()
{
    fixture = std::make_unique<WindowFixture>(true, QStringLiteral("[General]\nlangage=1\n"));
    fixture->window()->show();
    fixture->takeWrites();
}

void TstCalibration::cleanup()
{
    fixture.reset();
}

QLabel *TstCalibration::label() const
{
    return button("beginCali")->parentWidget()->findChild<QLabel *>();
}

void TstCalibration::startCalibration()
{
    QTest::mouseClick(button("beginCali"), Qt::LeftButton);
    QTest::mouseClick(button("beginCali"), Qt::LeftButton);
    QVERIFY(button("beginCali")->isHidden());
}

void TstCalibration::report(int calState, int error)
{
    const QByteArray payload(1, '\0');
    fixture->port()->feed(makeFrame(RemoteControllerId, AssistantId, RemoteControllerSet, CMD_ID_CALIBRATION,
                                    payload + char(calState) + char(error)));
}

QByteArrayList TstCalibration::caliPayloads() const
{
    QByteArrayList payloads;
    for (const SentFrame &f : parseWrites(fixture->port()->writes)) {
        if (f.set == RemoteControllerSet && f.id == CMD_ID_CALIBRATION && f.target == RemoteControllerId)
            payloads.append(f.payload);
    }
    return payloads;
}

void TstCalibration::fullRun()
{
    QPushButton *begin = button("beginCali");
    QCOMPARE(begin->text(), QStringLiteral("Joystick Calibration"));
    QTest::mouseClick(begin, Qt::LeftButton);
    QCOMPARE(begin->text(), QStringLiteral("Next Step"));
    QCOMPARE(label()->text(), mainText("zhunbei"));
    QVERIFY(caliPayloads().isEmpty());

    QTest::mouseClick(begin, Qt::LeftButton);
    QCOMPARE(caliPayloads(), QByteArrayList{QByteArray("\x01\x01")});
    QVERIFY(begin->isHidden());
    QCOMPARE(begin->text(), mainText("caliEnd"));
    fixture->takeWrites();
    QTRY_COMPARE_WITH_TIMEOUT(caliPayloads().value(0), QByteArray("\x01\x00", 2), 1000);

    report(1, 0);
    QCOMPARE(label()->text(), mainText("zhonwei"));
    QVERIFY(begin->isHidden());
    report(2, 0);
    QCOMPARE(label()->text(), mainText("zuidazhi"));
    QVERIFY(begin->isVisible());

    fixture->takeWrites();
    QTest::mouseClick(begin, Qt::LeftButton);
    QCOMPARE(caliPayloads(), QByteArrayList{QByteArray("\x01\x02")});
    QCOMPARE(begin->text(), QStringLiteral("Joystick Calibration"));

    report(3, 0);
    QCOMPARE(label()->text(), QStringLiteral("Calibration Complete"));
    fixture->takeWrites();
    // Three of the channel page's 500 ms bursts: more than three poll periods.
    QTRY_VERIFY_WITH_TIMEOUT(channelSettingsBursts(*fixture) >= 3, 10000);
    QVERIFY(caliPayloads().isEmpty());
}

void TstCalibration::statusReports_data()
{
    QTest::addColumn<int>("calState");
    QTest::addColumn<int>("error");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<bool>("buttonShown");
    QTest::addColumn<bool>("polling");
    QTest::newRow("0") << 0 << 0 << QByteArray("weikaishi") << false << true;
    QTest::newRow("1") << 1 << 0 << QByteArray("zhonwei") << false << true;
    QTest::newRow("2") << 2 << 0 << QByteArray("zuidazhi") << true << true;
    QTest::newRow("3") << 3 << 0 << QByteArray("wanc") << false << false;
    QTest::newRow("7 leaves the label") << 7 << 0 << QByteArray("zhonwei") << false << true;
    QTest::newRow("2 with error") << 2 << 1 << QByteArray("返回收据错误 校准失败") << true << true;
    QTest::newRow("3 with error") << 3 << 9 << QByteArray("返回收据错误 校准失败") << false << false;
    QTest::newRow("7 with error") << 7 << 1 << QByteArray("返回收据错误 校准失败") << false << true;
}

void TstCalibration::statusReports()
{
    QFETCH(int, calState);
    QFETCH(int, error);
    QFETCH(QByteArray, key);
    startCalibration();
    report(1, 0);
    report(calState, error);
    QCOMPARE(label()->text(), mainText(key.constData()));
    QTEST(button("beginCali")->isVisible(), "buttonShown");
    QFETCH(bool, polling);
    fixture->takeWrites();
    const auto polled = [this] { return caliPayloads().contains(QByteArray("\x01\x00", 2)); };
    if (polling) {
        QTRY_VERIFY_WITH_TIMEOUT(polled(), 5000); // the 300 ms status poll
    } else {
        // Two of the channel page's 500 ms bursts: more than a poll period, with nothing polled.
        QTRY_VERIFY_WITH_TIMEOUT(channelSettingsBursts(*fixture) >= 2, 10000);
        QVERIFY(!polled());
    }
}

void TstCalibration::failedStartWithPortClosed()
{
    QTest::mouseClick(button("beginCali"), Qt::LeftButton);
    fixture->port()->close();
    QTest::mouseClick(button("beginCali"), Qt::LeftButton);
    QVERIFY(button("beginCali")->isVisible());
    QCOMPARE(button("beginCali")->text(), QStringLiteral("Next Step"));
    QCOMPARE(label()->text(), QStringLiteral("The remote controller is not connected. Plug it in by USB and click again."));
    QTest::mouseClick(button("resetCali"), Qt::LeftButton);
    QCOMPARE(label()->text(), QStringLiteral("The remote controller is not connected. Plug it in by USB first."));
    fixture->port()->open();
    fixture->takeWrites();
    QTRY_VERIFY_WITH_TIMEOUT(channelSettingsBursts(*fixture) >= 2, 10000);
    QVERIFY(caliPayloads().isEmpty());
    startCalibration(); // the next click starts once the port works again
}

void TstCalibration::languageChangeDuringStep2()
{
    startCalibration();
    fixture->window()->findChild<QComboBox *>(QStringLiteral("langageComboBox"))->setCurrentIndex(0);
    QCOMPARE(button("beginCali")->text(), mainText("caliEnd"));
    QVERIFY(button("beginCali")->text() != QStringLiteral("Calibration Complete"));
    QCOMPARE(button("resetCali")->text(), mainText("Defaultallchannels"));
    QVERIFY(button("beginCali")->isHidden());
}

void TstCalibration::resetSendsModelDefault_data()
{
    QTest::addColumn<int>("answer"); // 0: no reset asked for, only the device's report
    QTest::addColumn<int>("resets");
    QTest::newRow("confirmed") << int(Qt::Key_Y) << 1;
    QTest::newRow("Esc cancels") << int(Qt::Key_Escape) << 0;
    QTest::newRow("device report alone") << 0 << 0;
}

// With the focus on an edit the user committed, a reset and the report that follows send
// only the reset, and leaving the edit afterwards sends nothing.
void TstCalibration::resetSendsModelDefault()
{
    QFETCH(int, answer);
    const auto reportMap = [this](uint16_t min) {
        const uint8_t payload[] = {1, uint8_t(min), uint8_t(min >> 8), 0xDC, 0x05, 0xD0, 0x07};
        fixture->port()->feed(makeFrame(RemoteControllerId, AssistantId, RemoteControllerSet, CMD_ID_GET_MAP,
                                        QByteArray(reinterpret_cast<const char *>(payload), sizeof payload)));
    };
    reportMap(900);
    MyLineEdit *edit = fixture->window()->findChild<ChSubWidget *>()->findChild<MyLineEdit *>();
    edit->setFocus();
    QTRY_VERIFY(edit->hasSelectedText());
    QTest::keyClicks(edit, QStringLiteral("1234"));
    QTest::keyClick(edit, Qt::Key_Return);
    fixture->takeWrites();

    QCOMPARE(button("resetCali")->text(), QStringLiteral("Default all channels"));
    if (answer != 0) {
        button("resetCali")->click();
        QMessageBox *box = fixture->window()->findChild<QMessageBox *>(QStringLiteral("defaultAllBox"));
        QVERIFY(box && box->isVisible());
        QVERIFY(box->text().contains(QStringLiteral("all 16 channels")));
        if (answer == Qt::Key_Escape)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->button(QMessageBox::Yes)->click();
        QTRY_VERIFY(!box->isVisible());
    }
    reportMap(1000);
    QCOMPARE(edit->text(), QStringLiteral("1000"));
    edit->clearFocus();

    QStringList sent;
    for (const SentFrame &f : parseWrites(fixture->takeWrites())) {
        if (f.set == CommonSet && f.id == CMD_ID_SHELL_TEXT)
            sent << QString::fromLatin1(f.payload) + QString::number(f.target, 16);
        else if (f.set == RemoteControllerSet && f.id == CMD_ID_SET_MAP)
            sent << QStringLiteral("map");
    }
    QFETCH(int, resets);
    QCOMPARE(sent, resets ? QStringList{QStringLiteral("model_default\r\n10")} : QStringList());
}

QTEST_MAIN(TstCalibration)
#include "tst_calibration.moc"
