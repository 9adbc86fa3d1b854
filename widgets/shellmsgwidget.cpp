#include "shellmsgwidget.h"

#include <QDebug>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>

namespace {
const QString LineEnd = QStringLiteral("\r\n");
constexpr int MaxPendingChars = 512;
}

ShellMsgWidget::ShellMsgWidget(QWidget *parent)
    : QWidget(parent), textView(new QTextEdit(this)), clearButton(new QPushButton(this)),
      rollButton(new QPushButton(this))
{
    resize(538, 380);
    textView->setObjectName(QStringLiteral("showShellcmdTextEdit"));
    textView->setGeometry(0, 0, 538, 340);
    clearButton->setObjectName(QStringLiteral("clearPushButton"));
    clearButton->setGeometry(10, 345, 50, 26);
    rollButton->setObjectName(QStringLiteral("rollPushButton"));
    rollButton->setGeometry(70, 345, 70, 26);
    connect(clearButton, &QPushButton::clicked, this, &ShellMsgWidget::slot_clear);
    connect(rollButton, &QPushButton::clicked, this, &ShellMsgWidget::slot_roll);
    updateTexts();
}

// Only the end of the collected text is examined: line ends inside a piece stay inside
// its paragraph.
void ShellMsgWidget::appendShellText(const QString &text)
{
    pendingLine += text;
    if (pendingLine.endsWith(LineEnd))
        pendingLine.chop(LineEnd.size());
    else if (pendingLine.size() <= MaxPendingChars)
        return;
    textView->append(pendingLine);
    pendingLine.clear();
}

void ShellMsgWidget::updateTexts()
{
    clearButton->setText(tr("clear"));
    rollButton->setText(tr("roll"));
}

void ShellMsgWidget::slot_clear()
{
    textView->clear();
}

// Leaving the cursor one character before the end stops the view from following new
// text; putting it back at the end scrolls there and follows again.
void ShellMsgWidget::slot_roll()
{
    QTextCursor cursor = textView->textCursor();
    if (rolling) {
        rolling = false;
        cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor);
    } else {
        rolling = true;
        qDebug() << "setTextCursor";
        cursor.movePosition(QTextCursor::End);
    }
    textView->setTextCursor(cursor);
}
