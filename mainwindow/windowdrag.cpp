#include "windowdrag.h"

#include <QMouseEvent>
#include <QWidget>

namespace {
constexpr int DragBandTop = 50;
// Counted from the window's bottom edge, which is higher on a low screen.
constexpr int DragBandBottom = 40;
}

WindowDrag::WindowDrag(QWidget *window) : QObject(window), window(window)
{
    window->installEventFilter(this);
}

bool WindowDrag::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    const bool mouseEvent = type == QEvent::MouseButtonPress || type == QEvent::MouseMove
                            || type == QEvent::MouseButtonRelease;
    if (watched != window || !mouseEvent)
        return false;
    const auto *mouse = static_cast<QMouseEvent *>(event);
    switch (type) {
    case QEvent::MouseButtonPress: {
        if (mouse->button() != Qt::LeftButton)
            break;
        const int y = mouse->globalPos().y() - window->pos().y();
        if (y < DragBandTop || y > window->height() - DragBandBottom) {
            dragging = true;
            dragOffset = mouse->globalPos() - window->pos();
        }
        break;
    }
    case QEvent::MouseMove:
        if (dragging)
            window->move(mouse->globalPos() - dragOffset);
        break;
    case QEvent::MouseButtonRelease:
        dragging = false;
        break;
    default:
        break;
    }
    return false;
}
