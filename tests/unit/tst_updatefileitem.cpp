#include "appsettings.h"
#include "devicetypes.h"
#include "inisettings.h"
#include "koruresources.h"
#include "mypushbutton.h"
#include "updatefileitem.h"
#include "versiontext.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QTranslator>

class TstUpdateFileItem : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void versionFormat_data();
    void versionFormat();
    void identityLabels_data();
    void identityLabels();
    void deviceName_data();
    void deviceName();
    void progressPercent_data();
    void progressPercent();
    void startHoldsFlagUntilClosed();
    void closeStopsOnlyLastTarget_data();
    void closeStopsOnlyLastTarget();
    void chosenFileIsRememberedAndStarted_data();
    void chosenFileIsRememberedAndStarted();

private:
    QLabel *label(UpdateFileItem *item, int column) const;
    QLabel *percentLabel(UpdateFileItem *item) const;
    MyPushButton *button(UpdateFileItem *item, const char *objectName) const;

    QTemporaryDir workDir;
    QTranslator english;
    AppSettings settings;
    QWidget page;
    UpdateFileItem *item = nullptr;
};

void TstUpdateFileItem::initTestCase()
{
    qRegisterMetaType<uint8_t>("uint8_t");
    // kestan.ini is read and written in the working directory.
    QVERIFY(workDir.isValid());
    QVERIFY(QDir::setCurrent(workDir.path()));
    initKoruResources();
    QVERIFY(english.load(QStringLiteral(":/en.qm")));
    QApplication::installTranslator(&english);
    page.resize(900, 200);
    page.show();
}

void TstUpdateFileItem::init()
{
    QFile::remove(QStringLiteral("kestan.ini"));
    item = new UpdateFileItem(settings, &page);
    item->setDeviceId(0x13);
    item->setRowNumber(2);
    item->show();
}

void TstUpdateFileItem::cleanup()
{
    delete item;
}

// Info labels in column order: name, hardware id, SN, boot loader, firmware.
QLabel *TstUpdateFileItem::label(UpdateFileItem *row, int column) const
{
    return row->findChildren<QLabel *>(QStringLiteral("updateItem")).at(column);
}

QLabel *TstUpdateFileItem::percentLabel(UpdateFileItem *row) const
{
    return row->findChild<QLabel *>(QStringLiteral("bule"));
}

MyPushButton *TstUpdateFileItem::button(UpdateFileItem *row, const char *objectName) const
{
    return row->findChild<MyPushButton *>(QString::fromLatin1(objectName));
}

void TstUpdateFileItem::versionFormat_data()
{
    QTest::addColumn<uint>("version");
    QTest::addColumn<QString>("text");
    QTest::newRow("bytes 0 1 2 3") << 0x00010203u << "1.2.3";
    QTest::newRow("top byte hidden") << 0xFF0A0B0Cu << "10.11.12";
    QTest::newRow("all ones") << 0xFFFFFFFFu << "255.255.255";
    QTest::newRow("zero") << 0u << "0.0.0";
}

void TstUpdateFileItem::versionFormat()
{
    QFETCH(uint, version);
    QFETCH(QString, text);
    QCOMPARE(versionText(version), text);
    item->setBootVersion(version);
    item->setFwVersion(version);
    QCOMPARE(label(item, 3)->text(), text);
    QCOMPARE(label(item, 4)->text(), text);
}

void TstUpdateFileItem::identityLabels_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("hardwareId");
    QTest::addColumn<QString>("sn");
    QTest::newRow("12 characters, no NUL")
        << QByteArray("KORU-RC-0001") << "KORU-RC-0001" << "4B4F5255\n2D52432D";
    QTest::newRow("short, NUL terminated")
        << QByteArray("AB\0\x12\xAB\x00\xFF", 8).append(4, '\x01') << "AB" << "41420012\nAB00FF00";
    QTest::newRow("empty") << QByteArray(12, '\0') << "" << "00000000\n00000000";
    QTest::newRow("markup stays text") << QByteArray("<b>RC</b><i>") << "<b>RC</b><i>" << "3C623E52\n433C2F62";
}

void TstUpdateFileItem::identityLabels()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, hardwareId);
    QFETCH(QString, sn);
    QCOMPARE(label(item, 3)->text(), QStringLiteral("1234.34.34"));
    QCOMPARE(label(item, 4)->text(), QStringLiteral("2017.3.4"));
    const QByteArray versionAnswer = QByteArray(HardwareIdAt, '\0') + bytes;
    item->setHardwareId(hardwareIdText(reinterpret_cast<const uint8_t *>(versionAnswer.constData())));
    item->setSn(serialNumberText(reinterpret_cast<const uint8_t *>(bytes.constData()), QLatin1Char('\n')));
    QCOMPARE(label(item, 1)->text(), hardwareId);
    QCOMPARE(label(item, 2)->text(), sn);
    QCOMPARE(label(item, 1)->textFormat(), Qt::PlainText);
    QCOMPARE(label(item, 2)->textFormat(), Qt::PlainText);
}

void TstUpdateFileItem::deviceName_data()
{
    QTest::addColumn<int>("deviceId");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("english");
    QTest::newRow("remote controller") << 0x10 << "主控" << "RC";
    QTest::newRow("receiver") << 0x13 << "xt" << "Receiver";
    QTest::newRow("image transmission") << 0x1E << "ImageTransmission" << "Image\nTransmission";
    QTest::newRow("module") << 0x2C << "EXT Module" << "Module";
    QTest::newRow("zoom board") << 0x30 << "ZOOM" << "ZOOM";
    QTest::newRow("between table ids") << 0x11 << "unkownDevice" << "unkownDevice";
    QTest::newRow("assistant itself") << 0xD0 << "unkownDevice" << "unkownDevice";
}

void TstUpdateFileItem::deviceName()
{
    QFETCH(int, deviceId);
    QFETCH(QString, key);
    QFETCH(QString, english);
    QCOMPARE(QString::fromUtf8(deviceTypeKey(uint8_t(deviceId))), key);
    item->setDeviceId(uint8_t(deviceId));
    QCOMPARE(label(item, 0)->text(), english);
}

void TstUpdateFileItem::progressPercent_data()
{
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("half") << 100 << 50 << "50%";
    QTest::newRow("a third") << 3 << 1 << "33%";
    QTest::newRow("done") << 7 << 7 << "100%";
    QTest::newRow("closed row") << 1 << 0 << "0%";
    QTest::newRow("empty range") << 0 << 0 << "0%";
}

void TstUpdateFileItem::progressPercent()
{
    QFETCH(int, maximum);
    QFETCH(int, value);
    QFETCH(QString, shown);
    item->setProgress(maximum, value);
    QCOMPARE(percentLabel(item)->text(), shown);
}

// A second row cannot start while the first row's panel is open, even after its upgrade
// has ended; closing the first row frees the flag.
void TstUpdateFileItem::startHoldsFlagUntilClosed()
{
    UpdateFileItem other(settings, &page);
    other.setDeviceId(0x2E);
    other.move(0, 70);
    other.show();
    QSignalSpy started(item, &UpdateFileItem::sig_updateFile);
    QSignalSpy otherStarted(&other, &UpdateFileItem::sig_updateFile);

    QTest::mouseClick(button(item, "zhengxian"), Qt::LeftButton);
    QCOMPARE(started.count(), 1);
    QCOMPARE(started.at(0).at(0).value<uint8_t>(), uint8_t(0x13));
    QCOMPARE(started.at(0).at(1).toInt(), 2);
    QCOMPARE(iniValue(QStringLiteral("haveOpenUpdataing")), QStringLiteral("1"));
    QVERIFY(button(item, "itemClose")->isVisible());
    item->setProgress(10, 10);

    QString warning;
    QTimer::singleShot(0, this, [&warning] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box) {
            warning = box->windowTitle() + QLatin1Char('|') + box->text();
            box->button(QMessageBox::Yes)->click();
        }
    });
    QTest::mouseClick(button(&other, "zhengxian"), Qt::LeftButton);
    QCOMPARE(warning,
             QStringLiteral("waring|Only one device is allowed to be upgraded onLine at a time"));
    QCOMPARE(otherStarted.count(), 0);
    QVERIFY(!button(&other, "itemClose")->isVisible());

    QTest::mouseClick(button(item, "itemClose"), Qt::LeftButton);
    QCOMPARE(iniValue(QStringLiteral("haveOpenUpdataing")), QStringLiteral("0"));
    QVERIFY(!button(item, "itemClose")->isVisible());
    QCOMPARE(percentLabel(item)->text(), QStringLiteral("0%"));
    QTest::mouseClick(button(&other, "zhengxian"), Qt::LeftButton);
    QCOMPARE(otherStarted.count(), 1);
}

void TstUpdateFileItem::closeStopsOnlyLastTarget_data()
{
    QTest::addColumn<QString>("updateAddr");
    QTest::addColumn<int>("stops");
    QTest::newRow("this row's device") << "19" << 1;
    QTest::newRow("another device") << "46" << 0;
    QTest::newRow("no upgrade yet") << "" << 0;
}

void TstUpdateFileItem::closeStopsOnlyLastTarget()
{
    QFETCH(QString, updateAddr);
    QFETCH(int, stops);
    if (!updateAddr.isEmpty())
        setIniValue(QStringLiteral("updateAddr"), updateAddr);
    QSignalSpy stopped(item, &UpdateFileItem::sig_stopUpdateFile);
    QTest::mouseClick(button(item, "zhengxian"), Qt::LeftButton);
    item->setMsg({"UpgradeEngine", "file open error"});

    QTest::mouseClick(button(item, "itemClose"), Qt::LeftButton);
    QCOMPARE(stopped.count(), stops);
    QCOMPARE(iniValue(QStringLiteral("haveOpenUpdataing")), QStringLiteral("0"));
    QVERIFY(item->findChild<QLabel *>(QStringLiteral("msgLabel"))->text().isEmpty());
}

void TstUpdateFileItem::chosenFileIsRememberedAndStarted_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("shown"); // a pattern
    QTest::newRow("short name") << "rc.bin" << "^rc\\.bin$";
    QTest::newRow("long name elided in the middle") << "receiver_firmware_v129.bin" << "^rec.*….*\\.bin$";
    QTest::newRow("cancelled") << "" << "^$";
}

// A cancelled dialog still starts, with an empty path; the upgrade itself reports the
// failed open in the row.
void TstUpdateFileItem::chosenFileIsRememberedAndStarted()
{
    QFETCH(QString, fileName);
    QFETCH(QString, shown);
    const QString path = fileName.isEmpty() ? QString() : workDir.filePath(fileName);
    if (!path.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QTimer::singleShot(0, this, [path] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (path.isEmpty()) {
            dialog->reject();
        } else {
            dialog->selectFile(path);
            static_cast<QDialog *>(dialog)->accept();
        }
    });
    QTest::mouseClick(button(item, "getfile"), Qt::LeftButton);
    QVERIFY2(QRegularExpression(shown).match(button(item, "getfilename")->text()).hasMatch(),
             qPrintable(button(item, "getfilename")->text()));
    QCOMPARE(button(item, "getfilename")->toolTip(), QDir::toNativeSeparators(path));
    QCOMPARE(iniValue(QStringLiteral("settingfileName")), path);

    QSignalSpy started(item, &UpdateFileItem::sig_updateFile);
    QTest::mouseClick(button(item, "zhengxian"), Qt::LeftButton);
    QCOMPARE(started.count(), 1);
    QCOMPARE(started.at(0).at(2).toString(), path);
}

QTEST_MAIN(TstUpdateFileItem)
#include "tst_updatefileitem.moc"
