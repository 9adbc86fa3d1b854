#include "frame.h"
#include "updatefileitem.h"
#include "upgradesession.h"
#include "windowfixture.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>

#include <functional>
#include <memory>

using namespace Koru;

namespace {

// Every text a user sees or hears of the window, of the boxes it shows and of its tray
// icon, in creation order.
QStringList shownTexts(MainWindow *window)
{
    QStringList texts;
    for (QSystemTrayIcon *tray : window->findChildren<QSystemTrayIcon *>()) {
        texts << QStringLiteral("tray: ") + tray->toolTip();
        for (QAction *action : tray->contextMenu()->actions())
            texts << QStringLiteral("tray menu: ") + action->text();
    }
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisible())
            continue;
        QString text;
        if (auto *label = qobject_cast<QLabel *>(w))
            text = label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            text = button->text();
        else if (auto *combo = qobject_cast<QComboBox *>(w))
            text = combo->currentText();
        if (w->isWindow())
            text += QLatin1Char('|') + w->windowTitle();
        texts << QStringLiteral("%1 %2: %3 [%4] {%5}")
                     .arg(QLatin1String(w->metaObject()->className()), w->objectName(), text, w->toolTip(),
                          w->accessibleName());
    }
    return texts;
}

QPushButton *buttonWithText(MainWindow *window, const QString &text)
{
    for (QPushButton *button : window->findChildren<QPushButton *>())
        if (button->text() == text)
            return button;
    return nullptr;
}

QPushButton *pageButton(MainWindow *window, const char *name)
{
    auto *begin = window->findChild<QPushButton *>(QStringLiteral("beginCali"));
    return begin->parentWidget()->findChild<QPushButton *>(QLatin1String(name));
}

void reportCalibration(WindowFixture &f, int state)
{
    const uint8_t status[] = {0, uint8_t(state), 0};
    f.port()->feed(makeFrame(RemoteControllerId, AssistantId, RemoteControllerSet, CMD_ID_CALIBRATION,
                             QByteArray(reinterpret_cast<const char *>(status), sizeof status)));
}

// The receiver's row on the upgrade page, its upgrade started and answered with status:
// 2 (its application runs: a notice, the run goes on) or a refusal (the run ends).
void upgradeAnswered(WindowFixture &f, int8_t status)
{
    f.window()->showPage(MainWindow::Upgrade);
    const uint8_t receiver = 0x13;
    f.port()->feed(makeFrame(receiver, AssistantId, CommonSet, CMD_ID_VERSION, QByteArray(20, '\0')));
    f.link().upgrade().start(QByteArray(64, 'x'), receiver, 1);
    f.port()->feed(makeFrame(receiver, AssistantId, CommonSet, CMD_ID_UPGRADE_START, QByteArray(1, char(status))));
}

using State = std::function<void(WindowFixture &)>;

} // namespace
Q_DECLARE_METATYPE(State)

// A language switch at run time leaves the window as a fresh start in that language would
// show it in the same state.
class TstLanguage : public QObject
{
    Q_OBJECT

private slots:
    void switchMatchesFreshStart_data();
    void switchMatchesFreshStart();
};

void TstLanguage::switchMatchesFreshStart_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<State>("state");
    const QList<QPair<const char *, State>> states{
        {"idle", [](WindowFixture &) {}},
        {"calibration prompt", [](WindowFixture &f) { pageButton(f.window(), "beginCali")->click(); }},
        {"calibration centring",
         [](WindowFixture &f) {
             pageButton(f.window(), "beginCali")->click();
             pageButton(f.window(), "beginCali")->click();
             reportCalibration(f, 1);
         }},
        {"default all box open", [](WindowFixture &f) { pageButton(f.window(), "resetCali")->click(); }},
        {"not connected box open",
         [](WindowFixture &f) {
             f.enumerator()->setPorts({});
             f.window()->showPage(MainWindow::Console);
             f.window()->findChild<QPushButton *>(QStringLiteral("sendShellCmd"))->click();
         }},
        {"upgrade notice while it runs", [](WindowFixture &f) { upgradeAnswered(f, 2); }},
        {"upgrade refused", [](WindowFixture &f) { upgradeAnswered(f, -3); }},
        {"not connected in an upgrade row",
         [](WindowFixture &f) {
             f.port()->feed(makeFrame(0x13, AssistantId, CommonSet, CMD_ID_VERSION, QByteArray(20, '\0')));
             f.enumerator()->setPorts({});
             f.window()->showPage(MainWindow::Upgrade);
             auto *row = f.window()->findChild<UpdateFileItem *>();
             row->findChild<QPushButton *>(QStringLiteral("zhengxian"))->click();
         }},
        {"production answer box open",
         [](WindowFixture &f) {
             f.window()->showPage(MainWindow::Production);
             buttonWithText(f.window(), QStringLiteral("查询"))->click();
             f.port()->feed(makeFrame(RemoteControllerId, AssistantId, RemoteControllerSet, CMD_ID_PRODUCTION_DATE,
                                      QByteArray(4, '\1')));
         }},
    };
    for (const auto &state : states) {
        QTest::addRow("%s, Chinese to English", state.first) << 0 << state.second;
        QTest::addRow("%s, English to Chinese", state.first) << 1 << state.second;
    }
}

void TstLanguage::switchMatchesFreshStart()
{
    QFETCH(int, from);
    QFETCH(State, state);
    const int to = 1 - from;
    const auto start = [](int language) {
        auto f = std::make_unique<WindowFixture>(true, QStringLiteral("[General]\nlangage=%1\n").arg(language));
        f->window()->showServicePages();
        f->window()->show();
        return f;
    };
    QStringList fresh;
    {
        auto f = start(to);
        state(*f);
        fresh = shownTexts(f->window());
    }
    auto f = start(from);
    state(*f);
    QVERIFY(shownTexts(f->window()) != fresh);
    f->window()->findChild<QComboBox *>(QStringLiteral("langageComboBox"))->setCurrentIndex(to);
    QCOMPARE(shownTexts(f->window()), fresh);
}

QTEST_MAIN(TstLanguage)
#include "tst_language.moc"
