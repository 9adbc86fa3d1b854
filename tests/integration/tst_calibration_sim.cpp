#include "devicelink.h"
#include "fakeport.h"
#include "koruresources.h"
#include "mainwindow.h"
#include "simulatorhost.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Koru;

// The stick calibration over the real serial port, against the simulated controller.
class TstCalibrationSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void throughAllStates_data();
    void throughAllStates();

private:
    QTemporaryDir dir;
};

void TstCalibrationSim::initTestCase()
{
    initKoruResources();
    QVERIFY(dir.isValid());
    QDir::setCurrent(dir.path());
}

void TstCalibrationSim::throughAllStates_data()
{
    QTest::addColumn<bool>("deviceError");
    QTest::newRow("calibration succeeds") << false;
    QTest::newRow("device flags an error") << true;
}

void TstCalibrationSim::throughAllStates()
{
    QFETCH(bool, deviceError);
    SimulatorOptions options;
    options.calibrationError = deviceError;
    options.calibrationCentreMs = 600;
    SimulatorHost host(options);
    const QString link = dir.filePath(QStringLiteral("ttyKORUcali"));
    if (!host.start(link))
        QSKIP(qPrintable(QStringLiteral("no pseudo-terminal here: %1").arg(host.errorString())));
    int statusAnswers = 0;
    connect(host.simulator(), &DeviceSimulator::output, this, [&statusAnswers](const QByteArray &bytes) {
        if (bytes.size() > 10 && uint8_t(bytes[9]) == RemoteControllerSet
            && uint8_t(bytes[10]) == CMD_ID_CALIBRATION)
            ++statusAnswers;
    });

    DeviceLink deviceLink(nullptr, new FixedPathEnumerator(new FakePortEnumerator, link));
    MainWindow window(deviceLink);
    auto *begin = window.findChild<QPushButton *>(QStringLiteral("beginCali"));
    auto *label = begin->parentWidget()->findChild<QLabel *>();
    // No catalogue is loaded: the label shows the keys.
    const auto shows = [label, deviceError](const char *key) {
        return label->text() == QString::fromUtf8(deviceError ? "返回收据错误 校准失败" : key);
    };

    const uint8_t statusQuery[] = {0x01, 0x00};
    deviceLink.send(RemoteControllerSet, CMD_ID_CALIBRATION, RemoteControllerId, statusQuery, sizeof statusQuery);
    QTRY_VERIFY_WITH_TIMEOUT(shows("weikaishi"), 2000);
    QTest::mouseClick(begin, Qt::LeftButton);
    QCOMPARE(label->text(), QStringLiteral("zhunbei"));
    QTest::mouseClick(begin, Qt::LeftButton);
    QVERIFY(begin->isHidden());
    QTRY_VERIFY_WITH_TIMEOUT(shows("zhonwei"), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(!begin->isHidden(), 3000);
    QVERIFY(shows("zuidazhi"));
    QCOMPARE(begin->text(), QStringLiteral("caliEnd"));

    QTest::mouseClick(begin, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(shows("wanc"), 2000);
    QCOMPARE(begin->text(), QStringLiteral("calistart"));
    QTest::qWait(100);
    const int answersAtEnd = statusAnswers;
    QTest::qWait(900);
    QCOMPARE(statusAnswers, answersAtEnd); // polling stopped with the state-3 report
}

QTEST_MAIN(TstCalibrationSim)
#include "tst_calibration_sim.moc"
