#include "devicelink.h"
#include "fakeport.h"
#include "koruresources.h"
#include "mainwindow.h"
#include "myled.h"
#include "simulatorhost.h"

#include <QDir>
#include <QFileInfo>
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

static bool ledIsOn(MainWindow *w)
{
    const QPixmap shown = w->findChild<MyLed *>()->pixmap(Qt::ReturnByValue);
    return !shown.isNull() && shown.toImage() == QPixmap(QStringLiteral(":/img/usb_on")).toImage();
}

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
    QVERIFY(ledIsOn(&window));
    QTRY_COMPARE_WITH_TIMEOUT(versionAnswers, host.simulator()->options().deviceIds.size(), 3000);

    host.vanish();
    QVERIFY(!QFileInfo::exists(link));
    QTRY_VERIFY_WITH_TIMEOUT(!ledIsOn(&window), 1000);

    versionAnswers = 0;
    QVERIFY(host.reappear());
    QTRY_VERIFY_WITH_TIMEOUT(ledIsOn(&window), 1000);
    QTRY_COMPARE_WITH_TIMEOUT(versionAnswers, host.simulator()->options().deviceIds.size(), 3000);
}

QTEST_MAIN(TestLink)
#include "tst_link.moc"
