#include "mylineedit.h"

#include <QRegExp>
#include <QRegExpValidator>
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
    const QRegExp pattern(QStringLiteral("^(-)?([0-9]{1,5}(\\.\\d{1,6})?)"), Qt::CaseSensitive,
                          QRegExp::RegExp);
    setValidator(new QRegExpValidator(pattern, this));
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
