#include "koruresources.h"
#include "shellmsgdialog.h"
#include "shellmsgwidget.h"

#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>
#include <QTranslator>

class TstShellMsgWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void linesAreCollected_data();
    void linesAreCollected();
    void rollTwiceFollowsTheEnd();
    void clearKeepsPendingLine();
    void dialogTitleAndTexts_data();
    void dialogTitleAndTexts();

private:
    QTextEdit *view() const;
    QPushButton *pushButton(const char *objectName) const;

    QWidget window;
    QTranslator english;
    ShellMsgWidget *widget = nullptr;
};

void TstShellMsgWidget::initTestCase()
{
    initKoruResources();
    QVERIFY(english.load(QStringLiteral(":/en.qm")));
    QApplication::installTranslator(&english);
    window.resize(538, 380);
    window.show();
}

void TstShellMsgWidget::init()
{
    widget = new ShellMsgWidget(&window);
    widget->show();
}

void TstShellMsgWidget::cleanup()
{
    delete widget;
}

QTextEdit *TstShellMsgWidget::view() const
{
    return widget->findChild<QTextEdit *>(QStringLiteral("showShellcmdTextEdit"));
}

QPushButton *TstShellMsgWidget::pushButton(const char *objectName) const
{
    return widget->findChild<QPushButton *>(QString::fromLatin1(objectName));
}

void TstShellMsgWidget::linesAreCollected_data()
{
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QStringList>("paragraphs");
    const QString x512(512, QLatin1Char('x'));
    QTest::newRow("two pieces, one line") << QStringList{"abc", "def\r\n"} << QStringList{"abcdef"};
    QTest::newRow("512 characters wait") << QStringList{x512} << QStringList{};
    QTest::newRow("512 then line end") << QStringList{x512, "\r\n"} << QStringList{x512};
    QTest::newRow("513 characters flush") << QStringList{x512 + "y"} << QStringList{x512 + "y"};
    QTest::newRow("lone LF waits") << QStringList{"abc\n"} << QStringList{};
    QTest::newRow("lone CR waits") << QStringList{"abc\r"} << QStringList{};
    QTest::newRow("CR and LF in two pieces") << QStringList{"abc\r", "\n"} << QStringList{"abc"};
    QTest::newRow("inner line end kept") << QStringList{"ab\r\ncd\r\n"} << QStringList{"ab\r\ncd"};
    QTest::newRow("CR LF CR LF") << QStringList{"ok\r\n\r\n"} << QStringList{"ok\r\n"};
    QTest::newRow("two lines") << QStringList{"one\r\n", "two\r\n"} << QStringList{"one", "two"};
}

// The expected view is what the same paragraphs give when appended to a plain view.
void TstShellMsgWidget::linesAreCollected()
{
    QFETCH(QStringList, pieces);
    QFETCH(QStringList, paragraphs);
    QTextEdit expected;
    for (const QString &paragraph : paragraphs)
        expected.append(paragraph);
    for (const QString &piece : pieces)
        widget->appendShellText(piece);
    QCOMPARE(view()->toPlainText(), expected.toPlainText());
    QCOMPARE(view()->document()->blockCount(), expected.document()->blockCount());
}

// Stopping the roll selects the character before the cursor; rolling again puts the
// cursor at the end and scrolls there.
void TstShellMsgWidget::rollTwiceFollowsTheEnd()
{
    for (int line = 0; line < 100; ++line)
        widget->appendShellText(QStringLiteral("line %1\r\n").arg(line));
    QTextCursor cursor = view()->textCursor();
    cursor.setPosition(10);
    view()->setTextCursor(cursor);

    QTest::mouseClick(pushButton("rollPushButton"), Qt::LeftButton);
    QCOMPARE(view()->textCursor().anchor(), 10);
    QCOMPARE(view()->textCursor().position(), 9);

    QScrollBar *scrollBar = view()->verticalScrollBar();
    QVERIFY(scrollBar->maximum() > 0);
    scrollBar->setValue(0);
    QTest::mouseClick(pushButton("rollPushButton"), Qt::LeftButton);
    QVERIFY(!view()->textCursor().hasSelection());
    QCOMPARE(view()->textCursor().position(), view()->document()->characterCount() - 1);
    QVERIFY(scrollBar->value() > 0);
    QVERIFY(view()->viewport()->rect().contains(view()->cursorRect()));
}

void TstShellMsgWidget::clearKeepsPendingLine()
{
    widget->appendShellText(QStringLiteral("shown\r\n"));
    widget->appendShellText(QStringLiteral("part"));
    QCOMPARE(view()->toPlainText(), QStringLiteral("shown"));
    QTest::mouseClick(pushButton("clearPushButton"), Qt::LeftButton);
    QVERIFY(view()->toPlainText().isEmpty());
    widget->appendShellText(QStringLiteral("ial\r\n"));
    QCOMPARE(view()->toPlainText(), QStringLiteral("partial"));
}

void TstShellMsgWidget::dialogTitleAndTexts_data()
{
    QTest::addColumn<int>("deviceId");
    QTest::addColumn<QString>("title");
    QTest::newRow("module side") << 0x2C << "2C";
    QTest::newRow("no padding") << 0x0A << "A";
}

void TstShellMsgWidget::dialogTitleAndTexts()
{
    QFETCH(int, deviceId);
    QFETCH(QString, title);
    ShellMsgDialog dialog(uint8_t(deviceId), &window);
    QCOMPARE(dialog.windowTitle(), title);
    dialog.updateTexts();
    QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("clearPushButton"))->text(),
             QStringLiteral("清空"));
    QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("rollPushButton"))->text(),
             QStringLiteral("滚动中"));
    dialog.appendShellText(QStringLiteral("reply\r\n"));
    QCOMPARE(dialog.findChild<QTextEdit *>()->toPlainText(), QStringLiteral("reply"));
}

QTEST_MAIN(TstShellMsgWidget)
#include "tst_shellmsgwidget.moc"
