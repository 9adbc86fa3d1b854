#pragma once

#include <QLineEdit>

class QTimer;

// Line edit for values the user sends to a device. It reports the end of an edit (Enter or
// the loss of focus) only when the user changed the text, selects its text when it gains
// focus, and ignores setTextIfIdle() while the user has typed something not yet
// committed, so that polled values never overwrite an edit in progress and a value the
// program set is never sent back.
class MyLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit MyLineEdit(QWidget *parent);

    void setTextIfIdle(const QString &text);
    // Signed decimal input: up to five integer digits and up to six decimals.
    void setNumberValidator();

signals:
    void sig_finishEdit();

public slots:
    void slot_timeout();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void commitUserEdit();

    bool userEdited = false; // typed since the last commit or program-set text
    QString committedText;   // what the device was last told or last reported
    QTimer *selectTimer = nullptr;
};
