#include "shellmsgwidget.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace {
// Often enough to look immediate, seldom enough that a flood costs a few layouts and
// paints a second.
constexpr int ShowIntervalMs = 20;
}

ShellMsgWidget::ShellMsgWidget(QWidget *parent)
    : QWidget(parent), textView(new QPlainTextEdit(this)), clearButton(new QPushButton(this)),
      rollButton(new QPushButton(this)), showTimer(new QTimer(this))
{
    resize(538, 380);
    textView->setObjectName(QStringLiteral("showShellcmdTextEdit"));
    textView->setGeometry(0, 0, 538, 340);
    textView->setMaximumBlockCount(MaxLines);
    textView->setTabChangesFocus(true); // the view only shows; Tab moves on
    clearButton->setObjectName(QStringLiteral("clearPushButton"));
    clearButton->setGeometry(10, 345, 50, 26);
    rollButton->setObjectName(QStringLiteral("rollPushButton"));
    rollButton->setGeometry(70, 345, 70, 26);
    showTimer->setSingleShot(true);
    showTimer->setInterval(ShowIntervalMs);
    connect(showTimer, &QTimer::timeout, this, &ShellMsgWidget::showCollectedLines);
    connect(clearButton, &QPushButton::clicked, this, &ShellMsgWidget::slot_clear);
    connect(rollButton, &QPushButton::clicked, this, &ShellMsgWidget::slot_roll);
    updateTexts();
}

void ShellMsgWidget::appendShellText(const QString &text)
{
    const std::optional<QString> line = collector.add(text);
    if (!line)
        return;
    // Lines beyond the scroll-back would be dropped on showing anyway.
    if (unshownLines.size() == MaxLines)
        unshownLines.removeFirst();
    unshownLines.append(*line);
    if (!showTimer->isActive())
        showTimer->start();
}

void ShellMsgWidget::updateTexts()
{
    clearButton->setText(tr("clear"));
    rollButton->setText(tr("roll"));
    textView->setAccessibleName(tr("Device messages"));
}

void ShellMsgWidget::slot_clear()
{
    unshownLines.clear();
    showTimer->stop();
    textView->clear();
}

// While rolling the view follows new text; otherwise it stays where the user left it.
void ShellMsgWidget::slot_roll()
{
    rolling = !rolling;
    if (!rolling)
        return;
    scrollToEnd();
}

// Each line becomes at least one paragraph; line ends inside a line start further ones.
// The paragraph separator joins them: a line ending in CR followed by LF would make one.
void ShellMsgWidget::showCollectedLines()
{
    QScrollBar *scrollBar = textView->verticalScrollBar();
    const int shownFrom = scrollBar->value();
    textView->appendPlainText(unshownLines.join(QChar::ParagraphSeparator));
    unshownLines.clear();
    if (rolling)
        scrollToEnd();
    else
        scrollBar->setValue(shownFrom);
}

void ShellMsgWidget::scrollToEnd()
{
    QScrollBar *scrollBar = textView->verticalScrollBar();
    scrollBar->setValue(scrollBar->maximum());
}
