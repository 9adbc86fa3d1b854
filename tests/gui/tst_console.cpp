#include "frame.h"
#include "inisettings.h"
#include "mylineedit.h"
#include "consolepage.h"
#include "mypushbutton.h"
#include "shellmsgdialog.h"
#include "windowfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStackedWidget>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Koru;

namespace {

QWidget *page(MainWindow *w)
{
    return w->findChild<QStackedWidget *>()->widget(MainWindow::Console);
}

// The page is laid out by absolute positions, so a widget is found by where it sits.
template <typename T> T *at(MainWindow *w, int x, int y)
{
    for (T *child : page(w)->findChildren<T *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->pos() == QPoint(x, y))
            return child;
    }
    return nullptr;
}

MyLineEdit *addressEdit(MainWindow *w, int row) { return at<MyLineEdit>(w, 604, 28 + 19 * row); }
MyLineEdit *commandEdit(MainWindow *w, int row) { return at<MyLineEdit>(w, 654, 28 + 19 * row); }
QCheckBox *rollBox(MainWindow *w, int row) { return at<QCheckBox>(w, 584, 28 + 19 * row); }
MyPushButton *sendButton(MainWindow *w, int row) { return at<MyPushButton>(w, 774, 28 + 19 * row); }
QCheckBox *rollEnable(MainWindow *w) { return at<QCheckBox>(w, 584, 414); }
MyLineEdit *rollInterval(MainWindow *w) { return at<MyLineEdit>(w, 719, 414); }
MyPushButton *button(MainWindow *w, const char *name) { return page(w)->findChild<MyPushButton *>(name); }
QWidget *progressPanel(MainWindow *w) { return page(w)->findChild<QProgressBar *>()->parentWidget(); }

QString shownText(QWidget *view)
{
    return view->findChild<QPlainTextEdit *>(QStringLiteral("showShellcmdTextEdit"))->toPlainText();
}

// Text commands written since the last takeWrites(), as target:payload; not consumed.
QStringList shellSends(const WindowFixture &f)
{
    QStringList sends;
    for (const SentFrame &s : parseWrites(f.port()->writes)) {
        if (s.set == CommonSet && s.id == CMD_ID_SHELL_TEXT)
            sends << QString::number(s.target, 16) + QLatin1Char(':') + QString::fromUtf8(s.payload);
    }
    return sends;
}

// Runs handler on the next modal widget that opens, from inside its own event loop.
void onNextModal(QObject *context, std::function<void(QWidget *)> handler)
{
    auto *poll = new QTimer(context);
    QObject::connect(poll, &QTimer::timeout, context, [poll, handler] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            poll->deleteLater();
            poll->stop();
            handler(modal);
        }
    });
    poll->start(10);
}

} // namespace

class TestConsole : public QObject
{
    Q_OBJECT

private slots:
    void storedZeroReloadsAsDefault();
    void sendRow_data();
    void sendRow();
    void rollSendsTickedRowsInOrder();
    void invalidIntervalLeavesTimer_data();
    void invalidIntervalLeavesTimer();
    void chosenFileNameShortened_data();
    void chosenFileNameShortened();
    void updateRefusedWhileUpgrading_data();
    void updateRefusedWhileUpgrading();
    void closingPanelStopsOnlyItsTarget_data();
    void closingPanelStopsOnlyItsTarget();
    void shellAnswerShownInDeviceView_data();
    void shellAnswerShownInDeviceView();
};

void TestConsole::storedZeroReloadsAsDefault()
{
    WindowFixture f(true, QStringLiteral("[General]\ncmdLine3=0\ndevAddr3=0\ncmdLine5=ver\ndevAddr5=0x2E\n"));
    QCOMPARE(commandEdit(f.window(), 3)->text(), QStringLiteral("help"));
    QCOMPARE(addressEdit(f.window(), 3)->text(), QStringLiteral("0x10"));
    QCOMPARE(commandEdit(f.window(), 5)->text(), QStringLiteral("ver"));
    QCOMPARE(addressEdit(f.window(), 5)->text(), QStringLiteral("0x2E"));
    QCOMPARE(rollInterval(f.window())->text(), QStringLiteral("1000"));
}

void TestConsole::sendRow_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("sent"); // empty: refused
    const QString tooLong(201, QLatin1Char('x'));
    QTest::newRow("0x2C") << "0x2C" << "ver" << "2c:ver\r\n";
    QTest::newRow("lower case") << "0x2c" << "ver" << "2c:ver\r\n";
    QTest::newRow("prefix not examined") << "AB2C" << "ver" << "2c:ver\r\n";
    QTest::newRow("two characters") << "10" << "ver" << "0:ver\r\n";
    QTest::newRow("bad digits count -1") << "0xZZ" << "ver" << "ef:ver\r\n";
    QTest::newRow("empty command") << "0x10" << "" << "10:\r\n";
    QTest::newRow("refused") << "0x2C" << tooLong << "";
}

void TestConsole::sendRow()
{
    QFETCH(QString, address);
    QFETCH(QString, command);
    QFETCH(QString, sent);
    WindowFixture f;
    addressEdit(f.window(), 4)->setText(address);
    commandEdit(f.window(), 4)->setText(command);
    f.takeWrites();
    if (address.size() != 4)
        QTest::ignoreMessage(QtDebugMsg, "error === send cmd length error");
    sendButton(f.window(), 4)->click();

    QCOMPARE(shellSends(f), sent.isEmpty() ? QStringList() : QStringList{sent});
    QCOMPARE(iniValue(QStringLiteral("cmdLine4")), command);
    QCOMPARE(iniValue(QStringLiteral("devAddr4")), address);
    QTRY_COMPARE(shownText(page(f.window())), sent.isEmpty() ? QStringLiteral("error = cmd to long") : QString());
}

void TestConsole::rollSendsTickedRowsInOrder()
{
    WindowFixture f;
    MainWindow *w = f.window();
    commandEdit(w, 7)->setText(QStringLiteral("seven"));
    commandEdit(w, 2)->setText(QStringLiteral("two"));
    rollBox(w, 7)->click();
    rollBox(w, 2)->click();
    rollInterval(w)->setText(QStringLiteral("500"));
    f.takeWrites();
    rollEnable(w)->click();
    QCOMPARE(iniValue(QStringLiteral("rolltime")), QStringLiteral("500"));
    QVERIFY(shellSends(f).isEmpty()); // nothing before the first tick

    QTRY_VERIFY_WITH_TIMEOUT(shellSends(f).size() >= 4, 5000);
    const QStringList tick = {QStringLiteral("10:two\r\n"), QStringLiteral("10:seven\r\n")};
    QCOMPARE(shellSends(f).mid(0, 4), tick + tick);

    // Unticked rows drop out of the roll; the row ticked instead shows that it goes on.
    commandEdit(w, 0)->setText(QStringLiteral("zero"));
    rollBox(w, 0)->click();
    rollBox(w, 2)->click();
    rollBox(w, 7)->click();
    f.takeWrites();
    QTRY_VERIFY_WITH_TIMEOUT(shellSends(f).size() >= 2, 5000);
    const QStringList sends = shellSends(f);
    QCOMPARE(sends.count(QStringLiteral("10:zero\r\n")), sends.size());
}

void TestConsole::invalidIntervalLeavesTimer_data()
{
    QTest::addColumn<QString>("interval");
    QTest::addColumn<bool>("runningBefore");
    QTest::newRow("on with 0") << "0" << false;
    QTest::newRow("on with text") << "abc" << false;
    QTest::newRow("off with 0") << "0" << true;
    QTest::newRow("off with text") << "abc" << true;
}

void TestConsole::invalidIntervalLeavesTimer()
{
    QFETCH(QString, interval);
    QFETCH(bool, runningBefore);
    WindowFixture f;
    MainWindow *w = f.window();
    rollBox(w, 0)->click();
    if (runningBefore) {
        rollInterval(w)->setText(QStringLiteral("30"));
        rollEnable(w)->click();
        QTRY_VERIFY(!shellSends(f).isEmpty());
    }
    rollInterval(w)->setText(interval);
    QTest::ignoreMessage(QtDebugMsg, "rolltime need >= 0ms");
    rollEnable(w)->click();
    QCOMPARE(rollEnable(w)->isChecked(), !runningBefore); // the box keeps its new state
    f.takeWrites();
    if (runningBefore) {
        QTRY_VERIFY_WITH_TIMEOUT(!shellSends(f).isEmpty(), 5000); // the 30 ms roll keeps going
    } else {
        // Several roll periods: a roll that never started sends nothing (the wait ends early
        // if it does). The console has no timer of its own to mark the time.
        QVERIFY(!QTest::qWaitFor([&f] { return !shellSends(f).isEmpty(); }, 300));
    }
    QCOMPARE(iniValue(QStringLiteral("rolltime")), runningBefore ? QStringLiteral("30") : QStringLiteral("0"));
}

void TestConsole::chosenFileNameShortened_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("shown"); // a pattern
    QTest::newRow("long name elided in the middle") << "configuration_file_v2.cfg" << "^conf.*….*\\.cfg$";
    QTest::newRow("short name whole") << "fw.bin" << "^fw\\.bin$";
    QTest::newRow("cancelled") << QString() << "^$";
}

void TestConsole::chosenFileNameShortened()
{
    QFETCH(QString, fileName);
    QFETCH(QString, shown);
    WindowFixture f;
    QVERIFY(QDir::current().mkdir(QStringLiteral("previous")));
    const QString previousDir = QDir::current().absoluteFilePath(QStringLiteral("previous"));
    setIniValue(QStringLiteral("settingfileName"), previousDir + QStringLiteral("/choice.bin"));
    const QString path = fileName.isEmpty() ? QString() : QDir::current().absoluteFilePath(fileName);
    QFile file(path);
    QVERIFY(path.isEmpty() || file.open(QIODevice::WriteOnly));

    QString startDir;
    onNextModal(f.window(), [&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        startDir = dialog->directory().absolutePath();
        // Typed into the name field and confirmed, as a user would.
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path);
        static_cast<QDialog *>(dialog)->accept();
    });
    button(f.window(), "getfile")->click();

    QCOMPARE(startDir, previousDir);
    QVERIFY2(QRegularExpression(shown).match(button(f.window(), "getfilename")->text()).hasMatch(),
             qPrintable(button(f.window(), "getfilename")->text()));
    QCOMPARE(button(f.window(), "getfilename")->toolTip(), QDir::toNativeSeparators(path));
    QCOMPARE(iniValue(QStringLiteral("settingfileName")), path);
}

void TestConsole::updateRefusedWhileUpgrading_data()
{
    QTest::addColumn<QString>("isUpdataing");
    QTest::newRow("upgrade in progress") << "1";
    QTest::newRow("idle") << "0";
}

void TestConsole::updateRefusedWhileUpgrading()
{
    QFETCH(QString, isUpdataing);
    WindowFixture f;
    setIniValue(QStringLiteral("isUpdataing"), isUpdataing);
    QString warning;
    onNextModal(f.window(), [&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        warning = box->windowTitle() + QLatin1Char('|') + box->text();
        box->reject();
    });
    button(f.window(), "zhengxian")->click();

    const bool busy = isUpdataing == QLatin1String("1");
    QCOMPARE(progressPanel(f.window())->isHidden(), busy);
    QCOMPARE(warning, busy ? ConsolePage::tr("waring") + '|' + ConsolePage::tr("other upgrade is doing") : QString());
    // No file chosen: the upgrade runs for this row and reports here.
    QCOMPARE(page(f.window())->findChild<QLabel *>(QStringLiteral("msgLabel"))->text(),
             busy ? QString() : QCoreApplication::translate("UpgradeEngine", "file open error"));
}

void TestConsole::closingPanelStopsOnlyItsTarget_data()
{
    QTest::addColumn<QString>("storedAddr");
    QTest::addColumn<QString>("isUpdataingAfter");
    QTest::newRow("stored 16 is the 0x10 target") << "16" << "0";
    QTest::newRow("stored 44 is another device") << "44" << "1";
}

void TestConsole::closingPanelStopsOnlyItsTarget()
{
    QFETCH(QString, storedAddr);
    QFETCH(QString, isUpdataingAfter);
    WindowFixture f;
    auto *percent = page(f.window())->findChild<QLabel *>(QStringLiteral("bule"));
    percent->setText(QStringLiteral("57%"));
    setIniValue(QStringLiteral("isUpdataing"), QStringLiteral("1"));
    setIniValue(QStringLiteral("haveOpenUpdataing"), QStringLiteral("1"));
    setIniValue(QStringLiteral("updateAddr"), storedAddr);
    button(f.window(), "itemClose")->click();

    QVERIFY(progressPanel(f.window())->isHidden());
    QCOMPARE(percent->text(), QStringLiteral("0%"));
    QCOMPARE(iniValue(QStringLiteral("haveOpenUpdataing")), QStringLiteral("0"));
    QCOMPARE(iniValue(QStringLiteral("isUpdataing")), isUpdataingAfter); // a stop clears the flag
}

void TestConsole::shellAnswerShownInDeviceView_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<QString>("addressed"); // the console row's address sent to first, if any
    QTest::addColumn<QString>("title");     // empty: the page's own view
    QTest::newRow("remote controller") << 0x10 << QString() << QString();
    QTest::newRow("module side") << 0x2C << QString() << "2C";
    QTest::newRow("known type, never addressed") << 0x30 << QString() << "30";
    QTest::newRow("unknown id") << 0x0A << QString() << QString();
    QTest::newRow("unknown id, other one addressed") << 0x0A << "0x0B" << QString();
    QTest::newRow("unknown id addressed, single digit") << 0x0A << "0x0A" << "A";
}

// Only devices of the known type table and those the user addressed get a dialog.
void TestConsole::shellAnswerShownInDeviceView()
{
    QFETCH(int, source);
    QFETCH(QString, addressed);
    QFETCH(QString, title);
    WindowFixture f;
    MainWindow *w = f.window();
    if (!addressed.isEmpty()) {
        addressEdit(w, 0)->setText(addressed);
        sendButton(w, 0)->click();
    }
    const auto answer = [&](const char *text) {
        f.port()->feed(makeFrame(uint8_t(source), AssistantId, CommonSet, CMD_ID_SHELL_TEXT, text));
    };
    answer("usage: help\r\n");
    const QList<ShellMsgDialog *> dialogs = w->findChildren<ShellMsgDialog *>();
    QCOMPARE(dialogs.size(), title.isEmpty() ? 0 : 1);
    QTRY_COMPARE(shownText(title.isEmpty() ? page(w) : dialogs[0]), QStringLiteral("usage: help"));
    if (title.isEmpty())
        return;
    QCOMPARE(shownText(page(w)), QString());
    QCOMPARE(dialogs[0]->windowTitle(), title);
    QVERIFY(dialogs[0]->isVisible());

    dialogs[0]->close(); // the next answer brings the same dialog back
    answer("ok\r\n");
    QCOMPARE(w->findChildren<ShellMsgDialog *>().size(), 1);
    QVERIFY(dialogs[0]->isVisible());
    QTRY_COMPARE(shownText(dialogs[0]), QStringLiteral("usage: help\nok"));
}

QTEST_MAIN(TestConsole)
#include "tst_console.moc"
