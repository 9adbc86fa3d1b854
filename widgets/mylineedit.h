#pragma once

#include <QLineEdit>

class QTimer;

// Line edit for values the user sends to a device. It reports the end of an edit when it
// loses focus, selects its text when it gains focus, and ignores setTextIfIdle() while
// the user is typing, so that polled values never overwrite an edit in progress.
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
    bool editing = false;
    QTimer *selectTimer = nullptr;
};
