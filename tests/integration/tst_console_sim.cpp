#include "devicelink.h"
#include "fakeport.h"
#include "koruresources.h"
#include "mainwindow.h"
#include "mypushbutton.h"
#include "shellmsgdialog.h"
#include "simulatorhost.h"

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace Koru;

// A console row sends "help" through the real port; the simulated devices answer with text
// frames that land in the view of the answering device.
class TestConsoleSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void helpReplyReachesTheDevicesView();

private:
    QTemporaryDir dir;
};

void TestConsoleSim::initTestCase()
{
    initKoruResources();
    QVERIFY(dir.isValid());
    QDir::setCurrent(dir.path());
}

static MyPushButton *sendButton(MainWindow *window, const QString &text)
{
    const auto buttons = window->findChildren<MyPushButton *>(QStringLiteral("sendShellCmd"));
    for (MyPushButton *button : buttons) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

void TestConsoleSim::helpReplyReachesTheDevicesView()
{
    SimulatorHost host;
    const QString link = dir.filePath(QStringLiteral("ttyKORU0"));
    if (!host.start(link))
        QSKIP(qPrintable(QStringLiteral("no pseudo-terminal here: %1").arg(host.errorString())));

    DeviceLink deviceLink(nullptr, new FixedPathEnumerator(new FakePortEnumerator, link));
    MainWindow window(deviceLink);
    auto *embeddedView = window.findChild<QPlainTextEdit *>(QStringLiteral("showShellcmdTextEdit"));
    QVERIFY(embeddedView);

    // Row 1 holds the default command "help" for device 0x10.
    MyPushButton *row1 = sendButton(&window, QStringLiteral("1"));
    QVERIFY(row1);
    row1->click();
    QTRY_VERIFY_WITH_TIMEOUT(embeddedView->toPlainText().contains(QStringLiteral("commands: help")), 3000);

    // The same command to the module side opens that device's own view, titled 2C.
    QLineEdit *row2Address = nullptr;
    for (QLineEdit *edit : window.findChildren<QLineEdit *>()) {
        if (edit->pos() == QPoint(604, 28 + 19)) // the address field of the second row
            row2Address = edit;
    }
    QVERIFY(row2Address);
    row2Address->setText(QStringLiteral("0x2C"));
    sendButton(&window, QStringLiteral("2"))->click();
    ShellMsgDialog *dialog = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((dialog = window.findChild<ShellMsgDialog *>()) != nullptr, 3000);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("2C"));
    auto *dialogView = dialog->findChild<QPlainTextEdit *>(QStringLiteral("showShellcmdTextEdit"));
    QTRY_VERIFY_WITH_TIMEOUT(dialogView->toPlainText().contains(QStringLiteral("commands: help")), 3000);
}

QTEST_MAIN(TestConsoleSim)
#include "tst_console_sim.moc"
