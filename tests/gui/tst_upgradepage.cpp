#include "bootloaderresponder.h"
#include "frame.h"
#include "mypushbutton.h"
#include "mytoolbutton.h"
#include "protocolids.h"
#include "updatefileitem.h"
#include "upgradepage.h"
#include "upgradesession.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QScrollArea>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Koru;

namespace {

const QString EnglishIni = QStringLiteral("[General]\nlangage=1\n");

QString iniText(const WindowFixture &f, const QString &key)
{
    return QSettings(f.iniPath(), QSettings::IniFormat).value(key).toString();
}

void reply(const WindowFixture &f, uint8_t source, uint8_t id, const QByteArray &payload)
{
    f.port()->feed(makeFrame(source, AssistantId, CommonSet, id, payload));
}

QByteArray versionPayload(uint32_t firmware, uint32_t boot, const QByteArray &hardwareId)
{
    QByteArray payload(20, '\0');
    writeU32(reinterpret_cast<uint8_t *>(payload.data()), firmware);
    writeU32(reinterpret_cast<uint8_t *>(payload.data()) + 4, boot);
    payload.replace(8, hardwareId.size(), hardwareId);
    return payload;
}

QList<UpdateFileItem *> rows(const WindowFixture &f)
{
    QList<UpdateFileItem *> list = f.window()->findChildren<UpdateFileItem *>();
    std::sort(list.begin(), list.end(), [](QWidget *a, QWidget *b) { return a->y() < b->y(); });
    return list;
}

QPoint pagePosition(const WindowFixture &f, UpdateFileItem *row)
{
    return row->mapTo(f.window()->findChild<UpgradePage *>(), QPoint());
}

// The row's info labels left to right: name, hardware id, SN, boot loader, firmware.
QStringList infoTexts(UpdateFileItem *row)
{
    QList<QLabel *> labels = row->findChildren<QLabel *>(QStringLiteral("updateItem"));
    std::sort(labels.begin(), labels.end(), [](QWidget *a, QWidget *b) { return a->x() < b->x(); });
    QStringList texts;
    for (QLabel *label : labels)
        texts << label->text();
    return texts;
}

QString childText(UpdateFileItem *row, const char *objectName)
{
    return row->findChild<QLabel *>(QLatin1String(objectName))->text();
}

MyPushButton *button(UpdateFileItem *row, const char *objectName)
{
    return row->findChild<MyPushButton *>(QLatin1String(objectName));
}

void showUpgradePage(const WindowFixture &f)
{
    f.window()->show();
    for (MyToolButton *pageButton : f.window()->findChildren<MyToolButton *>())
        if (pageButton->x() == 131) // the upgrade page's tab
            QTest::mouseClick(pageButton, Qt::LeftButton);
}

void chooseFile(UpdateFileItem *row, const QString &path)
{
    QTimer::singleShot(0, row, [path] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            dialog->selectFile(path);
            static_cast<QDialog *>(dialog)->accept();
        }
    });
    QTest::mouseClick(button(row, "getfile"), Qt::LeftButton);
}

} // namespace

class TestUpgradePage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void rowsFollowReplyOrder();
    void spoofedIdsLeaveKnownRowsFirst();
    void pollAsksEveryDeviceOnce();
    void openRowLocksOtherRowsUntilClosed();
    void upgradeThroughTheWindow_data();
    void upgradeThroughTheWindow();
    void closeDuringTransferStopsAtZero();
    void secondRunWaitsForTheFirst();
    void controllerResumesAfterRestart();

private:
    QString writeImage(int size);

    QTemporaryDir files;
};

void TestUpgradePage::initTestCase()
{
    qRegisterMetaType<uint8_t>("uint8_t");
    QVERIFY(files.isValid());
}

QString TestUpgradePage::writeImage(int size)
{
    QByteArray content(size, '\0');
    for (int i = 0; i < size; ++i)
        content[i] = char((i * 13 + 5) & 0xFF);
    const QString path = files.filePath(QStringLiteral("image%1.bin").arg(size));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != size)
        return {};
    return path;
}

void TestUpgradePage::rowsFollowReplyOrder()
{
    WindowFixture f(true, EnglishIni);
    showUpgradePage(f); // the rows' scroll area is laid out when shown
    reply(f, GimbalCameraId, CMD_ID_UID, QByteArray::fromHex("12AB00FF000102039999999999999999"));
    QCOMPARE(infoTexts(rows(f).value(0)).mid(3), (QStringList{"1234.34.34", "2017.3.4"}));
    reply(f, RemoteControllerId, CMD_ID_VERSION, versionPayload(0x00010203, 0xFF040506, "ABCDEFGHIJKL"));
    reply(f, GimbalCameraId, CMD_ID_VERSION, versionPayload(0xFF0A0B0C, 0x070809, "AB"));
    reply(f, 0x99, CMD_ID_VERSION, versionPayload(0, 0, "X"));
    reply(f, RemoteControllerId, CMD_ID_UID, QByteArray(16, '\x11'));

    const QList<UpdateFileItem *> list = rows(f);
    QCOMPARE(list.size(), 3);
    QCOMPARE(pagePosition(f, list[0]), QPoint(16, 50));
    QCOMPARE(pagePosition(f, list[1]), QPoint(16, 120));
    QCOMPARE(pagePosition(f, list[2]), QPoint(16, 190));
    QCOMPARE(infoTexts(list[0]), (QStringList{"Gimbal", "AB", "12AB00FF\n00010203", "7.8.9", "10.11.12"}));
    QCOMPARE(infoTexts(list[1]), (QStringList{"RC", "ABCDEFGHIJKL", "11111111\n11111111", "4.5.6", "1.2.3"}));
    QCOMPARE(infoTexts(list[2]).value(0), QStringLiteral("unkownDevice"));
}

// Answers from every id, the made-up ones first: the known device types' rows stay on top
// in the order of their answers, and the last row can still be scrolled into sight.
void TestUpgradePage::spoofedIdsLeaveKnownRowsFirst()
{
    WindowFixture f(true, EnglishIni);
    showUpgradePage(f);
    for (int id = 255; id >= 0; --id)
        reply(f, uint8_t(id), CMD_ID_VERSION, versionPayload(0, 0, QByteArray::number(id, 16)));
    const QList<UpdateFileItem *> list = rows(f);
    QCOMPARE(list.size(), 256);
    QCOMPARE(infoTexts(list[0]).mid(0, 2), (QStringList{"ZOOM", "30"}));
    QCOMPARE(infoTexts(list[16]).mid(0, 2), (QStringList{"RC", "10"}));
    QCOMPARE(infoTexts(list[17]).mid(0, 2), (QStringList{"unkownDevice", "ff"}));
    QCOMPARE(pagePosition(f, list[0]), QPoint(16, 50));

    // The page's own row list, not the window's scroll area of a low screen.
    f.window()->findChild<UpgradePage *>()->findChild<QScrollArea *>()->ensureWidgetVisible(list.last());
    QVERIFY(!list.last()->visibleRegion().isEmpty());
    QVERIFY(list[0]->visibleRegion().isEmpty());
}

void TestUpgradePage::pollAsksEveryDeviceOnce()
{
    WindowFixture f;
    f.takeWrites();
    showUpgradePage(f);
    QStringList asked;
    for (const SentFrame &s : parseWrites(f.takeWrites()))
        if (s.set == CommonSet && s.payload.isEmpty())
            asked << QStringLiteral("%1:%2").arg(s.target, 2, 16, QLatin1Char('0')).arg(s.id, 2, 16, QLatin1Char('0'));
    QStringList expected;
    for (const char *id : {"10", "13", "15", "17", "18", "1a", "1c", "1e", "20", "22", "24", "26", "28", "2a", "2c", "2e", "30"})
        expected << QStringLiteral("%1:0c").arg(QLatin1String(id)) << QStringLiteral("%1:0a").arg(QLatin1String(id));
    QCOMPARE(asked, expected);
}

// With no file chosen the run fails at once, but the row keeps its panel and the lock.
void TestUpgradePage::openRowLocksOtherRowsUntilClosed()
{
    WindowFixture f(true, EnglishIni);
    reply(f, RemoteControllerId, CMD_ID_VERSION, versionPayload(1, 1, "A"));
    reply(f, 0x13, CMD_ID_VERSION, versionPayload(1, 1, "B"));
    showUpgradePage(f);
    UpdateFileItem *first = rows(f).value(0);
    UpdateFileItem *second = rows(f).value(1);

    QTest::mouseClick(button(first, "zhengxian"), Qt::LeftButton);
    QCOMPARE(childText(first, "msgLabel"), QStringLiteral("File open failed"));
    QCOMPARE(iniText(f, "haveOpenUpdataing"), QStringLiteral("1"));
    QCOMPARE(iniText(f, "updateAddr"), QStringLiteral("16"));

    QString warning;
    QTimer::singleShot(0, f.window(), [&warning] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            warning = box->text();
            box->close();
        }
    });
    QTest::mouseClick(button(second, "zhengxian"), Qt::LeftButton);
    QCOMPARE(warning, QStringLiteral("Only one device is allowed to be upgraded onLine at a time"));
    QVERIFY(!button(second, "itemClose")->isVisible());

    QSignalSpy stops(first, &UpdateFileItem::sig_stopUpdateFile);
    QTest::mouseClick(button(first, "itemClose"), Qt::LeftButton);
    QCOMPARE(stops.count(), 1);
    QCOMPARE(iniText(f, "haveOpenUpdataing"), QStringLiteral("0"));
    QCOMPARE(childText(first, "msgLabel"), QString());
    QCOMPARE(iniText(f, "isUpdataing"), QStringLiteral("0"));

    QTest::mouseClick(button(second, "zhengxian"), Qt::LeftButton);
    QCOMPARE(iniText(f, "updateAddr"), QStringLiteral("19"));
    QCOMPARE(childText(second, "msgLabel"), QStringLiteral("File open failed"));
}

void TestUpgradePage::upgradeThroughTheWindow_data()
{
    QTest::addColumn<int>("packetSize");
    QTest::addColumn<int>("fileSize");
    QTest::addColumn<QByteArray>("startAnswer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("percent");

    const QString done = QStringLiteral("Upgrading Complete");
    QTest::newRow("3 packets + 1 byte of 16") << 16 << 49 << QByteArray() << done << "100%";
    QTest::newRow("packets of 253") << 253 << 2000 << QByteArray() << done << "100%";
    QTest::newRow("packet size 254 refused")
        << 16 << 49 << QByteArray::fromHex("01FE")
        << "The device asks for packets larger than 253 bytes; the upgrade was not started" << "0%";
    QTest::newRow("wrong firmware") << 16 << 49 << QByteArray::fromHex("F3")
                                    << "Wrong firmware, please choose the right firmware" << "0%";
}

void TestUpgradePage::upgradeThroughTheWindow()
{
    QFETCH(int, packetSize);
    QFETCH(int, fileSize);
    QFETCH(QByteArray, startAnswer);
    QFETCH(QString, message);
    QFETCH(QString, percent);
    WindowFixture f(true, EnglishIni);
    reply(f, RemoteControllerId, CMD_ID_VERSION, versionPayload(1, 1, "A"));
    showUpgradePage(f);
    UpdateFileItem *row = rows(f).value(0);
    const QString path = writeImage(fileSize);
    chooseFile(row, path);
    BootLoaderResponder device(f, packetSize);
    device.startAnswer = startAnswer;

    QTest::mouseClick(button(row, "zhengxian"), Qt::LeftButton);

    QTRY_COMPARE(childText(row, "msgLabel"), message);
    QCOMPARE(childText(row, "bule"), percent);
    QCOMPARE(iniText(f, "isUpdataing"), QStringLiteral("0"));
    QFile image(path);
    QVERIFY(image.open(QIODevice::ReadOnly));
    const QByteArray content = image.readAll();
    if (percent == QLatin1String("100%")) {
        // The reset is answered by the device's next look at the port.
        QTRY_COMPARE(device.loader.completedImage(), content);
        QCOMPARE(device.count(CMD_ID_RESET), 1);
        // Then the restarted device is asked for its version, which its row shows.
        const auto askedAfterReset = [&device] {
            bool reset = false;
            for (const SentFrame &frame : qAsConst(device.frames)) {
                if (reset && frame.set == CommonSet && frame.id == CMD_ID_VERSION && frame.target == RemoteControllerId)
                    return true;
                reset = reset || frame.id == CMD_ID_RESET;
            }
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(askedAfterReset(), 5000);
        reply(f, RemoteControllerId, CMD_ID_VERSION, versionPayload(0x00020304, 1, "A"));
        QCOMPARE(infoTexts(row).value(4), QStringLiteral("2.3.4"));
    } else {
        QCOMPARE(device.count(CMD_ID_UPGRADE_DATA), 0);
    }
}

void TestUpgradePage::closeDuringTransferStopsAtZero()
{
    WindowFixture f(true, EnglishIni);
    reply(f, 0x13, CMD_ID_VERSION, versionPayload(1, 1, "A"));
    showUpgradePage(f);
    UpdateFileItem *row = rows(f).value(0);
    chooseFile(row, writeImage(16 * 4000));
    BootLoaderResponder device(f, 16);
    QTimer::singleShot(100, row, [row] { QTest::mouseClick(button(row, "itemClose"), Qt::LeftButton); });
    QSignalSpy finished(&f.link().upgrade(), &UpgradeSession::finished);

    QTest::mouseClick(button(row, "zhengxian"), Qt::LeftButton);
    QVERIFY(finished.wait(10000));

    QVERIFY(device.count(CMD_ID_UPGRADE_DATA) > 0);
    QVERIFY(device.count(CMD_ID_UPGRADE_DATA) < 4000);
    QCOMPARE(device.count(CMD_ID_UPGRADE_END), 0);
    QCOMPARE(childText(row, "bule"), QStringLiteral("0%"));
    QCOMPARE(iniText(f, "isUpdataing"), QStringLiteral("0"));
}

// Closing a row while its device has not yet accepted the start frees the lock but cannot
// stop the run; another row started then must leave that run alone. Closing that other
// row during the transfer frees the lock again without stopping the run, as its device
// is not the one being upgraded.
void TestUpgradePage::secondRunWaitsForTheFirst()
{
    WindowFixture f(true, EnglishIni);
    reply(f, 0x13, CMD_ID_VERSION, versionPayload(1, 1, "A"));
    reply(f, 0x1E, CMD_ID_VERSION, versionPayload(1, 1, "B"));
    showUpgradePage(f);
    UpdateFileItem *first = rows(f).value(0);
    UpdateFileItem *second = rows(f).value(1);
    const QString path = writeImage(64 * 1000);
    chooseFile(first, path);
    chooseFile(second, writeImage(20));
    BootLoaderResponder device(f, 64);
    device.unansweredStarts = 1; // answered when repeated after 3 s
    QTimer::singleShot(100, first, [first, second] {
        QTest::mouseClick(button(first, "itemClose"), Qt::LeftButton);
        QTest::mouseClick(button(second, "zhengxian"), Qt::LeftButton);
    });
    QSignalSpy secondStops(second, &UpdateFileItem::sig_stopUpdateFile);
    QString secondMessage;
    QString lockAfterClose;
    QTimer closer;
    connect(&closer, &QTimer::timeout, second, [&, first, second] {
        const QString percent = childText(first, "bule");
        if (percent == QLatin1String("0%") || percent == QLatin1String("100%"))
            return;
        closer.stop();
        secondMessage = childText(second, "msgLabel");
        QTest::mouseClick(button(second, "itemClose"), Qt::LeftButton);
        lockAfterClose = iniText(f, "haveOpenUpdataing");
    });
    closer.start(1);

    QTest::mouseClick(button(first, "zhengxian"), Qt::LeftButton);

    QTRY_COMPARE_WITH_TIMEOUT(childText(first, "msgLabel"), QStringLiteral("Upgrading Complete"), 20000);
    QCOMPARE(secondMessage, QStringLiteral("Only one device is allowed to be upgraded onLine at a time"));
    QCOMPARE(lockAfterClose, QStringLiteral("0"));
    QCOMPARE(secondStops.count(), 0);
    QFile image(path);
    QVERIFY(image.open(QIODevice::ReadOnly));
    const QByteArray content = image.readAll();
    QTRY_COMPARE(device.loader.completedImage(), content);
    QCOMPARE(iniText(f, "updateAddr"), QStringLiteral("19"));
}

// The controller answers the start from its application, restarts into its boot loader
// and comes back on the port; the window then carries on by itself.
void TestUpgradePage::controllerResumesAfterRestart()
{
    WindowFixture f(true, EnglishIni);
    reply(f, RemoteControllerId, CMD_ID_VERSION, versionPayload(1, 1, "A"));
    showUpgradePage(f);
    UpdateFileItem *row = rows(f).value(0);
    const QString path = writeImage(100);
    chooseFile(row, path);
    BootLoaderResponder device(f, 32);
    device.loader.setInApplication(true);

    QTest::mouseClick(button(row, "zhengxian"), Qt::LeftButton);
    // The application's answer ends the run and leaves the flag set.
    QTRY_VERIFY(!f.link().upgrade().isRunning());
    QCOMPARE(iniText(f, "isUpdataing"), QStringLiteral("1"));
    QCOMPARE(device.count(CMD_ID_UPGRADE_DATA), 0);
    QCOMPARE(childText(row, "msgLabel"), QString());

    f.enumerator()->setPorts({});
    f.enumerator()->setPorts({FakePortEnumerator::device(QStringLiteral("ttyACM0"))});
    QVERIFY(f.waitForDevice());

    QTRY_COMPARE(childText(row, "msgLabel"), QStringLiteral("Upgrading Complete"));
    QFile image(path);
    QVERIFY(image.open(QIODevice::ReadOnly));
    const QByteArray content = image.readAll();
    QTRY_COMPARE(device.loader.completedImage(), content);
    QCOMPARE(iniText(f, "isUpdataing"), QStringLiteral("0"));
}

QTEST_MAIN(TestUpgradePage)
#include "tst_upgradepage.moc"
