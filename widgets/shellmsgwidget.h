#pragma once

#include <QString>
#include <QWidget>

class QPushButton;
class QTextEdit;

// Shell text view. Incoming pieces are collected into lines; a line is shown as one
// paragraph when the collected text ends with CR LF or grows past 512 characters.
class ShellMsgWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ShellMsgWidget(QWidget *parent);

    void appendShellText(const QString &text);
    void updateTexts();

public slots:
    void slot_clear();
    void slot_roll();

private:
    QString pendingLine;
    QTextEdit *textView = nullptr;
    QPushButton *clearButton = nullptr;
    QPushButton *rollButton = nullptr;
    bool rolling = true;
};
