#include "devicelink.h"
#include "fakeport.h"
#include "framereassembler.h"
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
    int settingsBursts = 0;
    FrameReassembler requests;
    connect(host.simulator(), &DeviceSimulator::input, this, [&settingsBursts, &requests](const QByteArray &bytes) {
        requests.append(bytes);
        requests.takeFrames([&settingsBursts](const Frame &frame) {
            settingsBursts += frame.commandSet() == RemoteControllerSet && frame.commandId() == CMD_ID_GET_REVERSE
                              && frame.target() == RemoteControllerId && frame.payloadSize() > 0
                              && frame.payload()[0] == 1;
        });
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
    // The channel page's settings bursts (every 500 ms) mark the time: a poll sent before
    // the state-3 report has been answered once a burst after it has reached the device;
    // three more are over three poll periods, with the link at work.
    settingsBursts = 0;
    QTRY_VERIFY_WITH_TIMEOUT(settingsBursts >= 1, 10000);
    const int answersAtEnd = statusAnswers;
    QTRY_VERIFY_WITH_TIMEOUT(settingsBursts >= 4, 10000);
    QCOMPARE(statusAnswers, answersAtEnd); // polling stopped with the state-3 report
}

QTEST_MAIN(TstCalibrationSim)
#include "tst_calibration_sim.moc"
