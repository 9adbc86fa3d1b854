#include "devicelink.h"
#include "fakeport.h"
#include "koruresources.h"
#include "mainwindow.h"
#include "myled.h"
#include "simulatorhost.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Koru;

// The real QSerialPort against the simulated devices on a pseudo-terminal.
class TestLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void opensPollsClosesAndReopens();

private:
    QTemporaryDir dir;
};

// What the bottom bar tells of the controller: the USB indicator and the words beside it.
static QString connectionShown(MainWindow *w)
{
    const QPixmap shown = w->findChild<MyLed *>()->pixmap(Qt::ReturnByValue);
    const bool ledOn = !shown.isNull() && shown.toImage() == QPixmap(QStringLiteral(":/img/usb_on")).toImage();
    return (ledOn ? QStringLiteral("on: ") : QStringLiteral("off: "))
           + w->findChild<QLabel *>(QStringLiteral("connectionLabel"))->text();
}

static const QString Connected = QStringLiteral("on: Connected: ttyKORU0");
static const QString Disconnected = QStringLiteral("off: No remote controller — plug it in by USB");

void TestLink::initTestCase()
{
    initKoruResources();
    QVERIFY(dir.isValid());
    QDir::setCurrent(dir.path());
}

void TestLink::opensPollsClosesAndReopens()
{
    SimulatorHost host;
    const QString link = dir.filePath(QStringLiteral("ttyKORU0"));
    if (!host.start(link))
        QSKIP(qPrintable(QStringLiteral("no pseudo-terminal here: %1").arg(host.errorString())));

    int versionAnswers = 0;
    connect(host.simulator(), &DeviceSimulator::output, this, [&versionAnswers](const QByteArray &bytes) {
        // Answers leave whole when output is not split.
        if (bytes.size() > 10 && uint8_t(bytes[9]) == CommonSet && uint8_t(bytes[10]) == CMD_ID_VERSION)
            ++versionAnswers;
    });

    DeviceLink deviceLink(nullptr, new FixedPathEnumerator(new FakePortEnumerator, link));
    MainWindow window(deviceLink);
    QCOMPARE(connectionShown(&window), Connected);
    QTRY_COMPARE_WITH_TIMEOUT(versionAnswers, host.simulator()->options().deviceIds.size(), 3000);

    host.vanish();
    QVERIFY(!QFileInfo::exists(link));
    QTRY_COMPARE_WITH_TIMEOUT(connectionShown(&window), Disconnected, 1000);

    versionAnswers = 0;
    QVERIFY(host.reappear());
    QTRY_COMPARE_WITH_TIMEOUT(connectionShown(&window), Connected, 1000);
    QTRY_COMPARE_WITH_TIMEOUT(versionAnswers, host.simulator()->options().deviceIds.size(), 3000);
}

QTEST_MAIN(TestLink)
#include "tst_link.moc"
