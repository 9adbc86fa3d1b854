#pragma once

#include <QWidget>

// A frame drawn around whichever control of the window has the keyboard focus, so a keyboard user sees
// where Space and Enter act, also on picture buttons whose look the style sheet fixes. It
// follows the application's focus; its look is the style sheet's "focusMark" rule.
class FocusMark : public QWidget
{
    Q_OBJECT

public:
    // Marks the controls of window only.
    static void install(QWidget *window);

private:
    explicit FocusMark(QWidget *window);
    void follow(QWidget *focused);

    QWidget *window = nullptr;
};
