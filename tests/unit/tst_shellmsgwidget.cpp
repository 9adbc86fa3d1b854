#include "koruresources.h"
#include "shelllinecollector.h"
#include "shellmsgdialog.h"
#include "shellmsgwidget.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
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
    void splitCharactersDecodePerSource();
    void linesShownAsText_data();
    void linesShownAsText();
    void scrollBackKeepsTheNewest_data();
    void scrollBackKeepsTheNewest();
    void rollStopsAndFollows();
    void clearKeepsPendingLine();
    void dialogTitleAndTexts_data();
    void dialogTitleAndTexts();

private:
    QPlainTextEdit *view() const;
    QPushButton *pushButton(const char *objectName) const;
    bool waitUntilShown(const QString &lastLine) const;
    bool appendLines(int first, int count);

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

QPlainTextEdit *TstShellMsgWidget::view() const
{
    return widget->findChild<QPlainTextEdit *>(QStringLiteral("showShellcmdTextEdit"));
}

QPushButton *TstShellMsgWidget::pushButton(const char *objectName) const
{
    return widget->findChild<QPushButton *>(QString::fromLatin1(objectName));
}

// New lines are shown a moment after they arrive.
bool TstShellMsgWidget::waitUntilShown(const QString &lastLine) const
{
    return QTest::qWaitFor([this, &lastLine] { return view()->document()->lastBlock().text() == lastLine; });
}

bool TstShellMsgWidget::appendLines(int first, int count)
{
    for (int line = first; line < first + count; ++line)
        widget->appendShellText(QStringLiteral("line %1\r\n").arg(line));
    return waitUntilShown(QStringLiteral("line %1").arg(first + count - 1));
}

void TstShellMsgWidget::linesAreCollected_data()
{
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QStringList>("lines");
    const QString x512(512, QLatin1Char('x'));
    QTest::newRow("two pieces, one line") << QStringList{"abc", "def\r\n"} << QStringList{"abcdef"};
    QTest::newRow("512 characters wait") << QStringList{x512} << QStringList{};
    QTest::newRow("512 then line end") << QStringList{x512, "\r\n"} << QStringList{x512};
    QTest::newRow("513 characters flush") << QStringList{x512 + "y"} << QStringList{x512 + "y"};
    QTest::newRow("collection starts anew") << QStringList{x512 + "y", "z\r\n"} << QStringList{x512 + "y", "z"};
    QTest::newRow("lone LF waits") << QStringList{"abc\n"} << QStringList{};
    QTest::newRow("lone CR waits") << QStringList{"abc\r"} << QStringList{};
    QTest::newRow("CR and LF in two pieces") << QStringList{"abc\r", "\n"} << QStringList{"abc"};
    QTest::newRow("inner line end kept") << QStringList{"ab\r\ncd\r\n"} << QStringList{"ab\r\ncd"};
    QTest::newRow("CR LF CR LF") << QStringList{"ok\r\n\r\n"} << QStringList{"ok\r\n"};
    QTest::newRow("two lines") << QStringList{"one\r\n", "two\r\n"} << QStringList{"one", "two"};
}

void TstShellMsgWidget::linesAreCollected()
{
    QFETCH(QStringList, pieces);
    QFETCH(QStringList, lines);
    ShellLineCollector collector;
    QStringList collected;
    for (const QString &piece : pieces) {
        if (std::optional<QString> line = collector.add(piece))
            collected << *line;
    }
    QCOMPARE(collected, lines);
}

// Cut at every byte, the controller's text comes out whole even with another device's text
// between its two pieces; a stray continuation byte still shows as one replacement mark.
void TstShellMsgWidget::splitCharactersDecodePerSource()
{
    const QByteArray text = QStringLiteral("a\u4E2D\u00E9\U0001F600b\r\n").toUtf8();
    const QByteArray other = QStringLiteral("x\u4E2D").toUtf8();
    for (int cut = 0; cut <= text.size(); ++cut) {
        ShellTextDecoder decoder;
        QString controller = decoder.decode(0x10, text.constData(), cut);
        const QString module = decoder.decode(0x2C, other.constData(), other.size());
        controller += decoder.decode(0x10, text.constData() + cut, text.size() - cut);
        QCOMPARE(controller, QString::fromUtf8(text));
        QCOMPARE(module, QString::fromUtf8(other));
    }
    ShellTextDecoder decoder;
    QCOMPARE(decoder.decode(0x10, "\x80z", 2), QStringLiteral("\uFFFDz"));
}

void TstShellMsgWidget::linesShownAsText_data()
{
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QString>("shown"); // paragraphs separated by LF
    QTest::newRow("inner line end") << QStringList{"ab\r\ncd\r\n"} << "ab\ncd";
    QTest::newRow("line ending in CR, then another") << QStringList{"abc\r\r\n", "next\r\n"} << "abc\n\nnext";
    QTest::newRow("image markup") << QStringList{"<img src=\"/dev/zero\">\r\n"} << "<img src=\"/dev/zero\">";
    QTest::newRow("font markup") << QStringList{"<span style=\"font-size:2000pt\">big</span>\r\n"}
                                 << "<span style=\"font-size:2000pt\">big</span>";
    QTest::newRow("entities") << QStringList{"&lt;b&gt; &amp;\r\n"} << "&lt;b&gt; &amp;";
}

// Markup arrives as text: an image tag that would load /dev/zero stays its characters.
void TstShellMsgWidget::linesShownAsText()
{
    QFETCH(QStringList, pieces);
    QFETCH(QString, shown);
    for (const QString &piece : pieces)
        widget->appendShellText(piece);
    QTRY_COMPARE(view()->toPlainText(), shown);
}

void TstShellMsgWidget::scrollBackKeepsTheNewest_data()
{
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("linesPerBatch");
    QTest::addColumn<int>("pieceSize"); // 0: a whole line per piece

    QTest::newRow("one batch over the limit") << ShellMsgWidget::MaxLines + 100 << ShellMsgWidget::MaxLines + 100 << 0;
    QTest::newRow("limit passed in a later batch") << 6000 << 3000 << 0;
    QTest::newRow("flood in small pieces") << 20000 << 1000 << 7;
}

void TstShellMsgWidget::scrollBackKeepsTheNewest()
{
    QFETCH(int, lineCount);
    QFETCH(int, linesPerBatch);
    QFETCH(int, pieceSize);
    for (int line = 0; line < lineCount; ++line) {
        const QString text = QStringLiteral("line %1\r\n").arg(line);
        for (int at = 0; at < text.size(); at += pieceSize > 0 ? pieceSize : text.size())
            widget->appendShellText(text.mid(at, pieceSize > 0 ? pieceSize : -1));
        if ((line + 1) % linesPerBatch == 0)
            QVERIFY(waitUntilShown(QStringLiteral("line %1").arg(line)));
    }
    const QStringList shown = view()->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(shown.size(), ShellMsgWidget::MaxLines);
    QCOMPARE(shown.first(), QStringLiteral("line %1").arg(lineCount - ShellMsgWidget::MaxLines));
    QCOMPARE(shown.last(), QStringLiteral("line %1").arg(lineCount - 1));
    QCOMPARE(view()->verticalScrollBar()->value(), view()->verticalScrollBar()->maximum());
}

// Stopping the roll keeps the view still, even at the end; rolling again scrolls to the
// end and follows new lines.
void TstShellMsgWidget::rollStopsAndFollows()
{
    QScrollBar *scrollBar = view()->verticalScrollBar();
    QVERIFY(appendLines(0, 100));
    const int stoppedAt = scrollBar->maximum();
    QVERIFY(stoppedAt > 0);
    QCOMPARE(scrollBar->value(), stoppedAt);

    QTest::mouseClick(pushButton("rollPushButton"), Qt::LeftButton);
    QVERIFY(appendLines(100, 100));
    QVERIFY(scrollBar->maximum() > stoppedAt);
    QCOMPARE(scrollBar->value(), stoppedAt);

    QTest::mouseClick(pushButton("rollPushButton"), Qt::LeftButton);
    QCOMPARE(scrollBar->value(), scrollBar->maximum());
    const int endBefore = scrollBar->maximum();
    QVERIFY(appendLines(200, 10));
    QVERIFY(scrollBar->maximum() > endBefore);
    QCOMPARE(scrollBar->value(), scrollBar->maximum());
}

void TstShellMsgWidget::clearKeepsPendingLine()
{
    widget->appendShellText(QStringLiteral("shown\r\n"));
    widget->appendShellText(QStringLiteral("part"));
    QTRY_COMPARE(view()->toPlainText(), QStringLiteral("shown"));
    QTest::mouseClick(pushButton("clearPushButton"), Qt::LeftButton);
    QVERIFY(view()->toPlainText().isEmpty());
    widget->appendShellText(QStringLiteral("ial\r\n"));
    QTRY_COMPARE(view()->toPlainText(), QStringLiteral("partial"));
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
    QTRY_COMPARE(dialog.findChild<QPlainTextEdit *>()->toPlainText(), QStringLiteral("reply"));
}

QTEST_MAIN(TstShellMsgWidget)
#include "tst_shellmsgwidget.moc"
