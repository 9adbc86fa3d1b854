#include "windowfixture.h"

#include "inisettings.h"
#include "myled.h"

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

bool ledIsOn(MainWindow *w)
{
    const QPixmap shown = w->findChild<MyLed *>()->pixmap(Qt::ReturnByValue);
    return !shown.isNull() && shown.toImage() == QPixmap(QStringLiteral(":/img/usb_on")).toImage();
}

int countFrames(const QList<SentFrame> &frames, uint8_t set, uint8_t id)
{
    int count = 0;
    for (const SentFrame &f : frames)
        count += (f.set == set && f.id == id) ? 1 : 0;
    return count;
}


} // namespace

class TestSerial : public QObject
{
    Q_OBJECT

private slots:
    void deviceAtStartIsOpenedAndPolled();
    void lastMatchingPortWins();
    void unplugClosesQuietlyAndReplugReopens();
    void portOpenedByHandStaysWhileEnumerated();
    void pickingTheOpenPortDoesNothing();
    void openFailureExplainsPermission();
    void resumesUpgradeFlagOnReplug();
    void sendCmdWithPortClosed();
    void shellTextLimits();
};

void TestSerial::deviceAtStartIsOpenedAndPolled()
{
    WindowFixture f;
    QVERIFY(f.port()->isOpen());
    QCOMPARE(f.port()->portName(), QStringLiteral("ttyACM0"));
    QVERIFY(ledIsOn(f.window()));
    const QList<QComboBox *> combos = f.window()->findChildren<QComboBox *>();
    const auto portCombo = std::find_if(combos.begin(), combos.end(),
                                        [](QComboBox *c) { return c->findText(QStringLiteral("ttyACM0")) >= 0; });
    QVERIFY(portCombo != combos.end());
    QCOMPARE((*portCombo)->currentText(), QStringLiteral("ttyACM0"));
    const QList<SentFrame> sent = parseWrites(f.takeWrites());
    QCOMPARE(countFrames(sent, 0xF0, 0x0C), 17);
    QCOMPARE(countFrames(sent, 0xF0, 0x0A), 17);
}

void TestSerial::lastMatchingPortWins()
{
    WindowFixture f(false);
    f.enumerator()->setPorts({FakePortEnumerator::device(QStringLiteral("ttyACM0")),
                              FakePortEnumerator::other(QStringLiteral("ttyS0")),
                              FakePortEnumerator::device(QStringLiteral("ttyACM1"))});
    QCOMPARE(f.port()->portName(), QStringLiteral("ttyACM1"));
}

void TestSerial::unplugClosesQuietlyAndReplugReopens()
{
    WindowFixture f;
    f.enumerator()->setPorts({});
    QVERIFY(!f.port()->isOpen());
    QVERIFY(!ledIsOn(f.window()));
    QVERIFY(!QApplication::activeModalWidget());

    f.takeWrites();
    f.enumerator()->setPorts({FakePortEnumerator::device(QStringLiteral("ttyACM0"))});
    QVERIFY(f.port()->isOpen());
    QVERIFY(ledIsOn(f.window()));
    QVERIFY(f.waitForDevice());
    // Re-entering page 0 says "rc_pc 1" again.
    int rcPcOn = 0;
    for (const SentFrame &frame : parseWrites(f.takeWrites()))
        rcPcOn += frame.payload == "rc_pc 1\r\n" ? 1 : 0;
    QCOMPARE(rcPcOn, 2);
}

void TestSerial::portOpenedByHandStaysWhileEnumerated()
{
    WindowFixture f(false);
    f.enumerator()->setPorts({FakePortEnumerator::other(QStringLiteral("ttyUSB0"))});
    f.link().choosePort(QStringLiteral("ttyUSB0"));
    QVERIFY(f.port()->isOpen());
    f.enumerator()->setPorts({FakePortEnumerator::other(QStringLiteral("ttyUSB0")),
                              FakePortEnumerator::other(QStringLiteral("ttyS4"))});
    QVERIFY(f.port()->isOpen());
    f.enumerator()->setPorts({FakePortEnumerator::other(QStringLiteral("ttyS4"))});
    QVERIFY(!f.port()->isOpen());
}

void TestSerial::pickingTheOpenPortDoesNothing()
{
    WindowFixture f;
    const int opens = f.port()->openCount;
    f.link().choosePort(QStringLiteral("ttyACM0"));
    QCOMPARE(f.port()->openCount, opens);
    QVERIFY(f.port()->isOpen());
}

void TestSerial::openFailureExplainsPermission()
{
    WindowFixture f(false);
    f.port()->failOpens(DevicePort::OpenError::PermissionDenied);
    const auto takeBox = [] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        const QString text = box ? box->text() : QString();
        delete box;
        return text;
    };
    f.enumerator()->setPorts({FakePortEnumerator::device(QStringLiteral("ttyACM0"))});
    QString shown = takeBox();
    QVERIFY(shown.startsWith(QStringLiteral("usb 打开失败")));
    QVERIFY(shown.contains(QStringLiteral("60-koru-assistant.rules")));
    QVERIFY(!ledIsOn(f.window()));

    // The retries of the same port say nothing more.
    const int opens = f.port()->openCount;
    QTRY_VERIFY_WITH_TIMEOUT(f.port()->openCount > opens, 5000);
    QVERIFY(!QApplication::activeModalWidget());

    // Busy: the other sentence.
    f.port()->failOpens(DevicePort::OpenError::Busy);
    f.enumerator()->setPorts({FakePortEnumerator::device(QStringLiteral("ttyACM0")),
                              FakePortEnumerator::device(QStringLiteral("ttyACM1"))});
    QVERIFY(takeBox().contains(QStringLiteral("占用")));

    // A loose connector: failed opens between good ones keep to one box, with the latest text.
    for (const auto failure : {DevicePort::OpenError::PermissionDenied, DevicePort::OpenError::Busy}) {
        f.enumerator()->setPorts({});
        f.port()->failOpens(DevicePort::OpenError::None);
        f.enumerator()->setPorts({FakePortEnumerator::device(QStringLiteral("ttyACM0"))});
        QVERIFY(f.port()->isOpen());
        f.enumerator()->setPorts({});
        f.port()->failOpens(failure);
        f.enumerator()->setPorts({FakePortEnumerator::device(QStringLiteral("ttyACM0"))});
    }
    const QList<QMessageBox *> boxes = f.window()->findChildren<QMessageBox *>();
    QCOMPARE(std::count_if(boxes.begin(), boxes.end(), [](QWidget *box) { return box->isVisible(); }), 1);
    QVERIFY(takeBox().contains(QStringLiteral("占用")));
}

void TestSerial::resumesUpgradeFlagOnReplug()
{
    WindowFixture f;
    f.enumerator()->setPorts({});
    setIniValue(QStringLiteral("isUpdataing"), QStringLiteral("1"));
    f.enumerator()->setPorts({FakePortEnumerator::device(QStringLiteral("ttyACM0"))});
    QVERIFY(f.port()->isOpen());
    QVERIFY(f.waitForDevice());
    QCOMPARE(iniValue(QStringLiteral("isUpdataing")), QStringLiteral("0"));
}

void TestSerial::sendCmdWithPortClosed()
{
    WindowFixture f(false);
    const uint8_t payload[] = {3, 0xFF};
    QVERIFY(!f.link().send(0x10, 0x09, 0x10, payload, 2));
    QVERIFY(f.port()->writes.isEmpty());
}

void TestSerial::shellTextLimits()
{
    WindowFixture f;
    f.takeWrites();
    f.link().sendShellText(QString(200, QLatin1Char('a')), 0x10);
    f.link().sendShellText(QString(201, QLatin1Char('a')), 0x10);
    f.link().sendShellText(QString(70, QChar(0x4E2D)), 0x10); // 210 bytes of UTF-8
    f.link().sendShellText(QString(), 0x2C);
    f.link().sendShellText(QStringLiteral("rc_pc 1"), 0x10);
    const QByteArrayList writes = f.takeWrites();
    QCOMPARE(writes.size(), 3);
    QCOMPARE(writes[0].size(), 202 + 12);
    QCOMPARE(writes[1], QByteArray::fromHex("AA 01 02 02 55 01 00 D0 2C F0 07 0D 0A 66"));
    QCOMPARE(writes[2], QByteArray::fromHex("AA 01 02 09 55 01 00 D0 10 F0 07") + "rc_pc 1\r\n" + QByteArray::fromHex("66"));
}

QTEST_MAIN(TestSerial)
#include "tst_serial.moc"
