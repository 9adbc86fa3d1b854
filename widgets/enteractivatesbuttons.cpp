#include "enteractivatesbuttons.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>

EnterActivatesButtons::EnterActivatesButtons(QObject *parent) : QObject(parent) {}

void EnterActivatesButtons::install(QObject *owner)
{
    qApp->installEventFilter(new EnterActivatesButtons(owner));
}

bool EnterActivatesButtons::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    auto *button = qobject_cast<QAbstractButton *>(watched);
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && button && button->hasFocus()
        && !qobject_cast<QDialog *>(button->window())) {
        button->animateClick();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
