#include "focusmark.h"

#include <QApplication>

namespace {
constexpr int Margin = 2;
}

FocusMark::FocusMark(QWidget *window) : window(window)
{
    setObjectName(QStringLiteral("focusMark"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_StyledBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { follow(now); });
    // Inside the window from the start, so that it goes with the window.
    setParent(window);
}

void FocusMark::install(QWidget *window)
{
    new FocusMark(window);
}

// Dialogs and popups keep their own focus look; the window itself gets no frame.
void FocusMark::follow(QWidget *focused)
{
    if (!focused || focused == window || focused->window() != window) {
        hide();
        return;
    }
    setParent(focused->parentWidget());
    setGeometry(focused->geometry().adjusted(-Margin, -Margin, Margin, Margin));
    raise();
    show();
}
