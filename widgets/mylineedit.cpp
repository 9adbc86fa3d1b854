#include "mylineedit.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QTimer>

MyLineEdit::MyLineEdit(QWidget *parent) : QLineEdit(parent), selectTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("MyLineEdit"));
    selectTimer->setSingleShot(true);
    selectTimer->setInterval(0);
    connect(selectTimer, &QTimer::timeout, this, &MyLineEdit::slot_timeout);
    connect(this, &QLineEdit::textEdited, this, [this] { userEdited = true; });
    connect(this, &QLineEdit::returnPressed, this, &MyLineEdit::commitUserEdit);
}

void MyLineEdit::setTextIfIdle(const QString &text)
{
    if (userEdited)
        return;
    setText(text);
    committedText = text;
}

void MyLineEdit::commitUserEdit()
{
    if (!userEdited)
        return;
    userEdited = false;
    if (text() == committedText)
        return;
    committedText = text();
    emit sig_finishEdit();
}

void MyLineEdit::setNumberValidator()
{
    // The validator anchors the pattern at both ends itself. With Unicode properties \d
    // takes any decimal digit in the fraction, as it always has; the integer part is ASCII.
    const QRegularExpression pattern(QStringLiteral("-?[0-9]{1,5}(\\.\\d{1,6})?"),
                                     QRegularExpression::UseUnicodePropertiesOption);
    setValidator(new QRegularExpressionValidator(pattern, this));
}

void MyLineEdit::slot_timeout()
{
    selectAll();
}

void MyLineEdit::focusInEvent(QFocusEvent *event)
{
    // The base class places the cursor after this handler; selecting on the next pass of
    // the event loop keeps the whole text selected.
    selectTimer->start();
    if (!userEdited)
        committedText = text();
    QLineEdit::focusInEvent(event);
}

void MyLineEdit::focusOutEvent(QFocusEvent *event)
{
    commitUserEdit();
    QLineEdit::focusOutEvent(event);
}
