#pragma once

#include "shelllinecollector.h"

#include <QString>
#include <QStringList>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;
class QTimer;

// Shell text view. Incoming pieces are collected into lines (see ShellLineCollector) and
// shown as plain text, exactly as received. Like a terminal it keeps the last MaxLines
// lines. New lines are shown together 20 ms after the first of them came, so a flood
// costs one layout and one paint per batch instead of one per line.
class ShellMsgWidget : public QWidget
{
    Q_OBJECT

public:
    static constexpr int MaxLines = 5000;

    explicit ShellMsgWidget(QWidget *parent);

    void appendShellText(const QString &text);
    void updateTexts();

public slots:
    void slot_clear();
    void slot_roll();

private:
    void showCollectedLines();
    void scrollToEnd();

    ShellLineCollector collector;
    QStringList unshownLines;
    QPlainTextEdit *textView = nullptr;
    QPushButton *clearButton = nullptr;
    QPushButton *rollButton = nullptr;
    QTimer *showTimer = nullptr;
    bool rolling = true;
};
