#include "windowfixture.h"

#include "appsettings.h"
#include "frame.h"
#include "protocolids.h"
#include "mytoolbutton.h"
#include "upgradesession.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// The bottom bar's Update button; the channel page's "Default all" shares its style name.
QPushButton *updateButton(const WindowFixture &f)
{
    QWidget *bar = f.window()->findChild<QWidget *>(QStringLiteral("bottomBar"));
    return bar->findChild<QPushButton *>(QStringLiteral("resetCali"));
}

QString iniText(const WindowFixture &f, const QString &key)
{
    return QSettings(f.iniPath(), QSettings::IniFormat).value(key).toString();
}

QList<MyToolButton *> pageButtons(MainWindow *w)
{
    QList<MyToolButton *> buttons = w->findChildren<MyToolButton *>();
    std::sort(buttons.begin(), buttons.end(), [](MyToolButton *a, MyToolButton *b) {
        static const QList<int> order = {11, 131, 738, 618, 251}; // x of page ids 0..4
        return order.indexOf(a->x()) < order.indexOf(b->x());
    });
    return buttons;
}

QStringList shellTexts(const QList<SentFrame> &frames)
{
    QStringList texts;
    for (const SentFrame &f : frames) {
        if (f.set == 0xF0 && f.id == 0x07)
            texts << QStringLiteral("%1:%2").arg(f.target, 2, 16, QLatin1Char('0')).arg(QString::fromUtf8(f.payload).trimmed());
    }
    return texts;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void frameGeometryAndTitleBar();
    void firstRunStartsInChinese();
    void savedEnglishIsApplied();
    void unknownLanguageIndexWritesNothing();
    void languageSwitchChangesTexts();
    void pageButtonsSelectAndSendEntryActions();
    void gimbalTimerFollowsPage4();
    void dragBands_data();
    void dragBands();
    void trayClickTogglesWindow();
    void settingsDefaults();
    void buttonsNeedingTheControllerSaySo_data();
    void buttonsNeedingTheControllerSaySo();
};

void TestMainWindow::frameGeometryAndTitleBar()
{
    WindowFixture f;
    MainWindow *w = f.window();
    // On a screen lower than the 870 x 620 frame (Qt 5's offscreen screen is 600 pixels
    // high, Qt 6's 800) the window takes the screen's height, its content above the bottom
    // bar scrolls, and the bottom bar stays in sight.
    const int screenHeight = w->screen()->availableGeometry().height();
    const bool low = screenHeight < 620;
    QCOMPARE(w->height(), low ? screenHeight : 620);
    QVERIFY(w->width() <= 1024);
    auto *area = w->findChild<QScrollArea *>(QStringLiteral("windowScroll"));
    QCOMPARE(area != nullptr, low);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    auto *connection = w->findChild<QLabel *>(QStringLiteral("connectionLabel"));
    if (low)
        QCOMPARE(area->widget()->size(), QSize(870, 575));
    QCOMPARE(connection->visibleRegion().boundingRect().height(), connection->height());
    QVERIFY(connection->mapTo(w, QPoint(0, connection->height())).y() <= w->height());
    QCOMPARE(w->objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(w->windowTitle(), QStringLiteral("KORU Assistant"));
    QVERIFY(w->windowFlags() & Qt::FramelessWindowHint);
    auto *version = w->findChild<QLabel *>(QStringLiteral("VLabel"));
    QVERIFY(version);
    QCOMPARE(version->text(), QStringLiteral("v1.2.9"));
    auto *stack = w->findChild<QStackedWidget *>();
    QCOMPARE(stack->count(), 5);
    QCOMPARE(stack->geometry(), QRect(13, 133, 844, 442));
    const QList<MyToolButton *> buttons = pageButtons(w);
    QCOMPARE(buttons.size(), 5);
    QVERIFY(buttons[2]->isHidden());
    QVERIFY(buttons[3]->isHidden());
    QVERIFY(!buttons[0]->isHidden() && !buttons[1]->isHidden() && !buttons[4]->isHidden());
    w->showServicePages();
    QVERIFY(!buttons[2]->isHidden() && !buttons[3]->isHidden());
}

void TestMainWindow::firstRunStartsInChinese()
{
    WindowFixture f;
    QCOMPARE(iniText(f, QStringLiteral("langage")), QStringLiteral("0"));
    QCOMPARE(updateButton(f)->text(), QStringLiteral("软件更新"));
    // Without an address from the build or from kestan.ini there is no Update button.
    QCOMPARE(updateButton(f)->isHidden(),
             QStringLiteral(KORU_UPDATE_URL).isEmpty());
    QCOMPARE(iniText(f, QStringLiteral("haveOpenUpdataing")), QStringLiteral("0"));
    QCOMPARE(iniText(f, QStringLiteral("isUpdataing")), QStringLiteral("0"));
}

void TestMainWindow::savedEnglishIsApplied()
{
    WindowFixture f(true, QStringLiteral("[General]\nlangage=1\nurl=https://example.com/x\n"));
    QCOMPARE(f.window()->findChild<QComboBox *>(QStringLiteral("langageComboBox"))->currentText(),
             QStringLiteral("English"));
    QCOMPARE(updateButton(f)->text(), QStringLiteral("Update"));
    QVERIFY(!updateButton(f)->isHidden());
}

void TestMainWindow::unknownLanguageIndexWritesNothing()
{
    WindowFixture f(true, QStringLiteral("[General]\nlangage=5\n"));
    auto *combo = f.window()->findChild<QComboBox *>(QStringLiteral("langageComboBox"));
    QCOMPARE(combo->currentIndex(), -1);
    QCOMPARE(iniText(f, QStringLiteral("langage")), QStringLiteral("5"));
    // No catalogue was loaded: the keys themselves show.
    QCOMPARE(updateButton(f)->text(), QStringLiteral("Upgrade"));
}

void TestMainWindow::languageSwitchChangesTexts()
{
    WindowFixture f;
    auto *combo = f.window()->findChild<QComboBox *>(QStringLiteral("langageComboBox"));
    const QList<MyToolButton *> buttons = pageButtons(f.window());
    auto caption = [](MyToolButton *b) { return b->findChildren<QLabel *>().first()->text(); };
    QStringList before;
    for (MyToolButton *b : buttons)
        before << b->findChildren<QLabel *>().first()->text() + b->findChildren<QLabel *>().last()->text();

    combo->setCurrentIndex(1);
    QCOMPARE(iniText(f, QStringLiteral("langage")), QStringLiteral("1"));
    QStringList after;
    for (MyToolButton *b : buttons)
        after << b->findChildren<QLabel *>().first()->text() + b->findChildren<QLabel *>().last()->text();
    QVERIFY(after.join(QString()).contains(QStringLiteral("CH Setting")));
    QVERIFY(after.join(QString()).contains(QStringLiteral("gimbal config")));
    QVERIFY(before.join(QString()).contains(QStringLiteral("通道设置")));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "OK"), QStringLiteral("OK"));
    for (int i = 0; i < buttons.size(); ++i)
        QVERIFY2(before[i] != after[i], qPrintable(caption(buttons[i])));

    combo->setCurrentIndex(0);
    QCOMPARE(iniText(f, QStringLiteral("langage")), QStringLiteral("0"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "OK"), QStringLiteral("确定"));
}

void TestMainWindow::pageButtonsSelectAndSendEntryActions()
{
    WindowFixture f;
    const QList<MyToolButton *> buttons = pageButtons(f.window());
    QVERIFY(buttons[0]->iconSize() != QSize(0, 0));
    f.takeWrites();

    QTest::mouseClick(buttons[1], Qt::LeftButton);
    QCOMPARE(f.window()->currentPageId(), 1);
    QCOMPARE(buttons[0]->iconSize(), QSize(0, 0));
    QVERIFY(buttons[1]->iconSize() != QSize(0, 0));
    const QList<SentFrame> upload = parseWrites(f.takeWrites());
    QCOMPARE(shellTexts(upload), QStringList({"10:rc_pc 0", "2c:rc_pc 0"}));
    int versionRequests = 0;
    for (const SentFrame &frame : upload)
        versionRequests += (frame.set == 0xF0 && frame.id == 0x0A && frame.target == 0x10) ? 1 : 0;
    QCOMPARE(versionRequests, 1);

    QTest::mouseClick(buttons[4], Qt::LeftButton);
    QCOMPARE(shellTexts(parseWrites(f.takeWrites())), QStringList({"10:rc_pc 0", "2c:rc_pc 0"}));

    QTest::mouseClick(buttons[0], Qt::LeftButton);
    QCOMPARE(shellTexts(parseWrites(f.takeWrites())), QStringList({"10:rc_pc 1", "2c:rc_pc 1"}));
}

void TestMainWindow::gimbalTimerFollowsPage4()
{
    WindowFixture f;
    QMetaObject::invokeMethod(f.window(), "showPage", Q_ARG(int, 4));
    f.takeWrites();
    QTRY_VERIFY_WITH_TIMEOUT(!f.port()->writes.isEmpty(), 1500);
    QMetaObject::invokeMethod(f.window(), "showPage", Q_ARG(int, 0));
    f.takeWrites();
    // Four of the channel page's 500 ms bursts: more than a gimbal period has passed.
    QTRY_VERIFY_WITH_TIMEOUT(channelSettingsBursts(f) >= 4, 10000);
    for (const SentFrame &frame : parseWrites(f.takeWrites()))
        QVERIFY(frame.set != 0x11);
}

void TestMainWindow::dragBands_data()
{
    QTest::addColumn<int>("y");
    QTest::addColumn<bool>("drags");
    QTest::newRow("top band") << 40 << true;
    QTest::newRow("bottom band") << 600 << true;
    QTest::newRow("page area") << 300 << false;
    QTest::newRow("band edge 50") << 50 << false;
    QTest::newRow("band edge 581") << 581 << true;
}

void TestMainWindow::dragBands()
{
    QFETCH(int, y);
    QFETCH(bool, drags);
    WindowFixture f;
    MainWindow *w = f.window();
    w->move(100, 100);
    const QPoint start(400, y);
    const QPoint before = w->pos();
    QMouseEvent press(QEvent::MouseButtonPress, start, w->mapToGlobal(start), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent move(QEvent::MouseMove, start + QPoint(30, 20), w->mapToGlobal(start) + QPoint(30, 20), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    QCOMPARE(w->pos() != before, drags);
    if (drags)
        QCOMPARE(w->pos(), before + QPoint(30, 20));
    QMouseEvent release(QEvent::MouseButtonRelease, start, w->mapToGlobal(start), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

void TestMainWindow::trayClickTogglesWindow()
{
    WindowFixture f;
    MainWindow *w = f.window();
    w->show();
    auto *tray = w->findChild<QSystemTrayIcon *>();
    auto click = [tray](QSystemTrayIcon::ActivationReason reason) { emit tray->activated(reason); };
    click(QSystemTrayIcon::Trigger);
    QVERIFY(w->isHidden());
    click(QSystemTrayIcon::Context);
    QVERIFY(w->isHidden());
    click(QSystemTrayIcon::DoubleClick);
    QVERIFY(!w->isHidden());
    // A minimised window comes back to the front rather than being hidden.
    w->showMinimized();
    click(QSystemTrayIcon::Trigger);
    QVERIFY(!w->isHidden());
    QVERIFY(!w->isMinimized());
    QVERIFY(w->windowState() & Qt::WindowActive);

    // Hidden in the tray, a dialog closed is not the end; the menu's quit is.
    const QList<QAction *> menu = tray->contextMenu()->actions();
    QCOMPARE(menu.size(), 3);
    menu[1]->trigger();
    QVERIFY(w->isHidden());
    // The application quits only from its own event loop.
    const auto runUntil = [](QObject *context, const std::function<void()> &action) {
        QTimer::singleShot(0, context, action);
        QTimer::singleShot(2000, qApp, [] { QCoreApplication::exit(1); }); // nobody quit
        return QApplication::exec();
    };
    auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("t"), QStringLiteral("t"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
    QCOMPARE(runUntil(box, [box] { box->close(); }), 1);
    menu[0]->trigger();
    QVERIFY(!w->isHidden());
    QCOMPARE(runUntil(w, [&menu] { menu[2]->trigger(); }), 0);
}

void TestMainWindow::settingsDefaults()
{
    WindowFixture f;
    AppSettings settings;
    QCOMPARE(settings.read(QStringLiteral("never written")), QStringLiteral("0"));
    settings.write(QStringLiteral("url"), QStringLiteral("https://example.com/x"));
    QCOMPARE(iniText(f, QStringLiteral("url")), QStringLiteral("https://example.com/x"));
    // The window keeps the upgrade-in-progress flag in kestan.ini.
    Koru::UpgradeSession &upgrade = f.link().upgrade();
    settings.write(QStringLiteral("isUpdataing"), QStringLiteral("1"));
    QVERIFY(upgrade.isFlagSet());
    upgrade.clearFlag();
    QCOMPARE(iniText(f, QStringLiteral("isUpdataing")), QStringLiteral("0"));
    QVERIFY(!upgrade.isFlagSet());
}

void TestMainWindow::buttonsNeedingTheControllerSaySo_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("button"); // object name or caption
    QTest::addColumn<bool>("disabled");  // it writes a device value: it cannot be pressed at all
    QTest::newRow("console send") << "ConsolePage" << "sendShellCmd" << false;
    QTest::newRow("console file update") << "ConsolePage" << "zhengxian" << false;
    QTest::newRow("production date query") << "ProductionPage" << "查询" << false;
    QTest::newRow("production date set") << "ProductionPage" << "设置" << true;
    QTest::newRow("camera address") << "GimbalPage" << "Confirm IP" << true;
    QTest::newRow("upgrade row") << "UpgradePage" << "zhengxian" << false;
}

// Pressed after the controller went away, such a button says so and sends nothing.
void TestMainWindow::buttonsNeedingTheControllerSaySo()
{
    QFETCH(QString, page);
    QFETCH(QString, button);
    WindowFixture f(true, QStringLiteral("[General]\nlangage=1\n"));
    f.port()->feed(makeFrame(Koru::RemoteControllerId, Koru::AssistantId, Koru::CommonSet, Koru::CMD_ID_VERSION,
                             QByteArray(20, '\0'))); // gives the upgrade page its row
    f.enumerator()->setPorts({});
    QVERIFY(!f.link().isOpen());
    f.takeWrites();

    QAbstractButton *pressed = nullptr;
    for (QAbstractButton *candidate : f.window()->findChildren<QAbstractButton *>()) {
        bool onPage = false;
        for (QObject *up = candidate; up && !onPage; up = up->parent())
            onPage = page == QLatin1String(up->metaObject()->className());
        if (onPage && !pressed && (candidate->objectName() == button || candidate->text() == button))
            pressed = candidate;
    }
    QVERIFY(pressed);
    QFETCH(bool, disabled);
    QCOMPARE(!pressed->isEnabled(), disabled);
    QTest::mouseClick(pressed, Qt::LeftButton);

    QVERIFY(f.takeWrites().isEmpty());
    if (disabled)
        return;
    QStringList shown;
    for (QMessageBox *box : f.window()->findChildren<QMessageBox *>())
        shown << box->text();
    for (QLabel *label : f.window()->findChildren<QLabel *>(QStringLiteral("msgLabel")))
        shown << label->text();
    QVERIFY2(shown.contains(QStringLiteral("The remote controller is not connected. Connect it by USB and try again.")),
             qPrintable(shown.join(QLatin1Char('|'))));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
