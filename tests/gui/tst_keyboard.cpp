#include "windowfixture.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSet>
#include <QStackedWidget>
#include <QTest>

#include <memory>

namespace {

bool isInteractive(QWidget *w)
{
    return qobject_cast<QAbstractButton *>(w) || qobject_cast<QComboBox *>(w) || qobject_cast<QLineEdit *>(w)
           || qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QPlainTextEdit *>(w);
}

QString describe(QWidget *w)
{
    return QStringLiteral("%1 \"%2\" in %3")
        .arg(QLatin1String(w->metaObject()->className()), w->objectName(),
             QLatin1String(w->parentWidget()->metaObject()->className()));
}

} // namespace

// The window used by keyboard alone and read through the accessibility interface.
class TstKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void everyControlIsNamed_data();
    void everyControlIsNamed();
    void tabReachesEveryButton();
    void shortcutsOpenTheShownPages();

private:
    void start(const QString &language);

    std::unique_ptr<WindowFixture> fixture;
};

void TstKeyboard::init() {}

void TstKeyboard::cleanup()
{
    fixture.reset();
}

void TstKeyboard::start(const QString &language)
{
    fixture = std::make_unique<WindowFixture>(true, QStringLiteral("[General]\nlangage=%1\n").arg(language));
    fixture->window()->showServicePages();
    fixture->window()->show();
    QApplication::setActiveWindow(fixture->window());
    QVERIFY(QTest::qWaitForWindowActive(fixture->window()));
}

void TstKeyboard::everyControlIsNamed_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("Chinese") << "0";
    QTest::newRow("English") << "1";
}

void TstKeyboard::everyControlIsNamed()
{
    QFETCH(QString, language);
    start(language);
    // The upgrade page gets a row from the controller's answer.
    fixture->port()->feed(Koru::makeFrame(Koru::RemoteControllerId, Koru::AssistantId, Koru::CommonSet,
                                          Koru::CMD_ID_VERSION, QByteArray(20, '\0')));
    QStringList nameless;
    int checked = 0;
    for (QWidget *w : fixture->window()->findChildren<QWidget *>()) {
        if (!isInteractive(w) || qobject_cast<QComboBox *>(w->parentWidget()))
            continue;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(w);
        QVERIFY(accessible);
        ++checked;
        if (accessible->text(QAccessible::Name).trimmed().isEmpty())
            nameless << describe(w);
    }
    QVERIFY(checked > 150);
    QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(QLatin1String(", "))));
}

// From the start, Tab alone visits every enabled button of the title bar and of each page.
void TstKeyboard::tabReachesEveryButton()
{
    start(QStringLiteral("1"));
    auto *stack = fixture->window()->findChild<QStackedWidget *>();
    for (int page = 0; page < stack->count(); ++page) {
        fixture->window()->showPage(page);
        QSet<QWidget *> reached;
        for (int presses = 0; presses < 400; ++presses) {
            QWidget *focused = QApplication::focusWidget();
            QVERIFY(focused);
            reached.insert(focused);
            // The focus is marked: a frame of the style sheet around the control.
            auto *mark = focused->parentWidget()->findChild<QWidget *>(QStringLiteral("focusMark"));
            QVERIFY(mark && mark->isVisible());
            QVERIFY(mark->geometry().contains(focused->geometry()));
            QTest::keyClick(focused, Qt::Key_Tab);
        }
        QStringList missed;
        for (QAbstractButton *button : fixture->window()->findChildren<QAbstractButton *>()) {
            if (button->isVisible() && button->isEnabled() && !reached.contains(button))
                missed << describe(button);
        }
        QVERIFY2(missed.isEmpty(), qPrintable(QString::number(page) + QLatin1String(": ") + missed.join(", ")));
    }
}

void TstKeyboard::shortcutsOpenTheShownPages()
{
    start(QStringLiteral("1"));
    const QList<int> fromLeft{MainWindow::Channels, MainWindow::Upgrade, MainWindow::Gimbal, MainWindow::Production,
                              MainWindow::Console};
    for (int n = 1; n <= fromLeft.size(); ++n) {
        QTest::keyClick(fixture->window(), Qt::Key(Qt::Key_0 + n), Qt::ControlModifier);
        QCOMPARE(fixture->window()->currentPageId(), fromLeft[n - 1]);
    }
}

QTEST_MAIN(TstKeyboard)
#include "tst_keyboard.moc"
