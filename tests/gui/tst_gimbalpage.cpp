#include "frame.h"
#include "gimbalsubwidget.h"
#include "userinput.h"
#include "windowfixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace Koru;

class TstGimbalPage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void rowChoiceSends_data();
    void rowChoiceSends();
    void reportsSelectWithoutSending();
    void pageEntryFrameOrder_data();
    void pageEntryFrameOrder();
    void cameraSelectors();
    void flippingCameraIsNeverEchoed();
    void ipSave_data();
    void ipSave();
    void firmwareVersionAndLanguage();

private:
    QWidget *page() const
    {
        return fixture->window()->findChild<QLabel *>(QStringLiteral("ch_config"))->parentWidget();
    }
    QComboBox *rowSelector(const QString &label) const;
    QComboBox *cameraSelector(int index) const; // 0 resolution, 1 coding format
    void report(uint8_t id, const QByteArray &payload);
    QStringList sent(); // "id:payload-hex" of the gimbal frames, all checked to go to 0x2E

    std::unique_ptr<WindowFixture> fixture;
};

void TstGimbalPage::init()
{
    fixture = std::make_unique<WindowFixture>(true, QStringLiteral("[General]\nlangage=1\n"));
    QMetaObject::invokeMethod(fixture->window(), "showPage", Q_ARG(int, MainWindow::Gimbal));
    fixture->takeWrites();
}

void TstGimbalPage::cleanup()
{
    fixture.reset();
}

QComboBox *TstGimbalPage::rowSelector(const QString &label) const
{
    for (GimbalSubWidget *row : fixture->window()->findChildren<GimbalSubWidget *>()) {
        if (row->findChild<QLabel *>()->text() == label)
            return row->findChild<QComboBox *>();
    }
    return nullptr;
}

QComboBox *TstGimbalPage::cameraSelector(int index) const
{
    auto selectors = page()->findChildren<QComboBox *>(QString(), Qt::FindDirectChildrenOnly);
    std::sort(selectors.begin(), selectors.end(), [](QComboBox *a, QComboBox *b) { return a->y() < b->y(); });
    return selectors.value(index);
}

void TstGimbalPage::report(uint8_t id, const QByteArray &payload)
{
    fixture->port()->feed(makeFrame(GimbalCameraId, AssistantId, GimbalSet, id, payload));
}

QStringList TstGimbalPage::sent()
{
    QStringList frames;
    for (const SentFrame &f : parseWrites(fixture->takeWrites())) {
        if (f.set != GimbalSet)
            continue;
        if (f.target != GimbalCameraId)
            return {QStringLiteral("wrong target")};
        frames.append(QString::number(f.id) + ':' + QString::fromLatin1(f.payload.toHex()));
    }
    return frames;
}

void TstGimbalPage::rowChoiceSends_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("function");
    QTest::addColumn<int>("reported");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QStringList>("frame");
    QTest::newRow("Zoom -") << "Zoom" << 9 << 2 << 16 << QStringList{"5:0910"};
    QTest::newRow("Gimbal Mode 1") << "Gimbal Mode" << 0 << 16 << 0 << QStringList{"5:0000"};
    QTest::newRow("Auto Focus 16") << "Auto Focus" << 10 << 16 << 15 << QStringList{"5:0a0f"};
}

void TstGimbalPage::rowChoiceSends()
{
    QFETCH(QString, row);
    QFETCH(int, function);
    QFETCH(int, reported);
    QFETCH(int, chosen);
    report(CMD_ID_GET_GIMBAL_CH, QByteArray(1, char(function)) + char(reported));
    QCOMPARE(rowSelector(row)->currentIndex(), reported);
    QVERIFY(sent().isEmpty());
    pickEntry(rowSelector(row), chosen);
    QTEST(sent(), "frame");
}

void TstGimbalPage::reportsSelectWithoutSending()
{
    report(CMD_ID_GET_GIMBAL_CH, QByteArray("\x03\x05", 2));
    QCOMPARE(rowSelector(QStringLiteral(" PIC"))->currentText(), QStringLiteral("6"));
    report(CMD_ID_GET_GIMBAL_CH, QByteArray("\x0b\x01", 2));
    for (GimbalSubWidget *row : fixture->window()->findChildren<GimbalSubWidget *>()) {
        const bool pic = row->findChild<QLabel *>()->text() == QLatin1String(" PIC");
        QCOMPARE(row->findChild<QComboBox *>()->currentText(), QString(pic ? "6" : ""));
        QCOMPARE(row->findChild<QComboBox *>()->isEnabled(), pic);
    }
    QVERIFY(sent().isEmpty());
}

void TstGimbalPage::pageEntryFrameOrder_data()
{
    QTest::addColumn<bool>("ipReceived");
    QTest::addColumn<QStringList>("entry");
    QTest::addColumn<QStringList>("poll");
    QStringList functions;
    for (int f = 0; f < 11; ++f)
        functions << QStringLiteral("4:%1").arg(f, 2, 16, QLatin1Char('0'));
    const QStringList camera{"6:", "8:", "10:"};
    QTest::newRow("no IP yet") << false << functions + camera + camera << functions + camera;
    QTest::newRow("IP received") << true << functions + QStringList{"10:"} + camera
                                 << functions + QStringList{"10:"};
}

void TstGimbalPage::pageEntryFrameOrder()
{
    QFETCH(bool, ipReceived);
    if (ipReceived)
        report(CMD_ID_GET_CAMERA_IP, QByteArray("10.0.0.7", 9));
    QMetaObject::invokeMethod(fixture->window(), "showPage", Q_ARG(int, MainWindow::Upgrade));
    fixture->takeWrites();
    QMetaObject::invokeMethod(fixture->window(), "showPage", Q_ARG(int, MainWindow::Gimbal));
    QTEST(sent(), "entry");
    QTRY_VERIFY_WITH_TIMEOUT(!parseWrites(fixture->port()->writes).isEmpty(), 1500);
    QTEST(sent(), "poll");
}

void TstGimbalPage::cameraSelectors()
{
    pickEntry(cameraSelector(0), 1);
    QCOMPARE(sent(), QStringList{"7:0100"}); // the coding format not reported yet reads 0
    pickEntry(cameraSelector(0), 2);
    QVERIFY(sent().isEmpty());
    report(CMD_ID_GET_CAMERA_CONFIG, QByteArray("\x01\x01", 2));
    QCOMPARE(cameraSelector(0)->currentText(), QStringLiteral("1080P"));
    QCOMPARE(cameraSelector(1)->currentText(), QStringLiteral("H265"));
    QVERIFY(sent().isEmpty());
    report(CMD_ID_SET_CAMERA_CONFIG, QByteArray());
    QCOMPARE(sent(), QStringList{"6:"});
}

// A camera that answers every query with another configuration is shown, never answered:
// only the answer to the one set sent is read back.
void TstGimbalPage::flippingCameraIsNeverEchoed()
{
    pickEntry(cameraSelector(1), 1);
    QCOMPARE(sent(), QStringList{"7:0001"});
    for (int i = 0; i < 100; ++i) {
        report(CMD_ID_GET_CAMERA_CONFIG, QByteArray(2, char(i % 2)));
        report(CMD_ID_SET_CAMERA_CONFIG, QByteArray());
    }
    QCOMPARE(cameraSelector(0)->currentText(), QStringLiteral("1080P"));
    QCOMPARE(cameraSelector(1)->currentText(), QStringLiteral("H265"));
    QCOMPARE(sent(), QStringList{"6:"});
}

void TstGimbalPage::ipSave_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("frames");
    QTest::newRow("valid") << "192.168.144.25"
                           << QStringList{"9:" + QString::fromLatin1(QByteArray("192.168.144.25").toHex())};
    QTest::newRow("trailing dot") << "192.168.144." << QStringList();
    QTest::newRow("16 characters") << "192.168.144.0025" << QStringList();
}

void TstGimbalPage::ipSave()
{
    QFETCH(QString, text);
    auto *edit = page()->findChild<QLineEdit *>(QString(), Qt::FindDirectChildrenOnly);
    QVERIFY(edit->text().isEmpty() && !edit->isEnabled()); // until the camera reports its address
    report(CMD_ID_GET_CAMERA_IP, QByteArray("192.168.144.1\0", 14));
    QCOMPARE(edit->text(), QStringLiteral("192.168.144.1"));
    edit->setText(text);
    QTest::mouseClick(fixture->window()->findChild<QPushButton *>(QStringLiteral("Confirm IP")),
                      Qt::LeftButton);
    QTEST(sent(), "frames");
    report(CMD_ID_GET_CAMERA_IP, QByteArray("10.1.2.3\0garbage", 16));
    QCOMPARE(edit->text(), QStringLiteral("10.1.2.3"));
}

void TstGimbalPage::firmwareVersionAndLanguage()
{
    const auto text = [this](const char *name) {
        return page()->findChild<QLabel *>(QLatin1String(name))->text();
    };
    QCOMPARE(text("camera_fw_ver_value"), QStringLiteral("-.-.-"));
    report(CMD_ID_GET_CAMERA_FW, QByteArray("\x03\x02\x01\x00", 4));
    QCOMPARE(text("camera_fw_ver_value"), QStringLiteral("1.2.3"));
    QCOMPARE(text("code format"), QStringLiteral("Coding Format"));
    QCOMPARE(text("ch_config"), QStringLiteral("CH Config"));

    fixture->window()->findChild<QComboBox *>(QStringLiteral("langageComboBox"))->setCurrentIndex(0);
    for (const char *key : {"CH Config", "Coding Format", "Save IP"})
        QVERIFY(QCoreApplication::translate("GimbalPage", key) != QLatin1String(key));
    QCOMPARE(text("ch_config"), QCoreApplication::translate("GimbalPage", "CH Config"));
    QCOMPARE(text("code format"), QCoreApplication::translate("GimbalPage", "Coding Format"));
    QVERIFY(rowSelector(QCoreApplication::translate("GimbalPage", "Zoom")));
    QVERIFY(rowSelector(QStringLiteral(" HDR"))); // no catalogue entry: the key itself
    QCOMPARE(text("camera_fw_ver_value"), QStringLiteral("1.2.3"));
}

QTEST_MAIN(TstGimbalPage)
#include "tst_gimbalpage.moc"
