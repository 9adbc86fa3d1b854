#include "wheelguard.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>

namespace {

bool isValueWidget(QObject *object)
{
    return qobject_cast<QComboBox *>(object) || qobject_cast<QAbstractSpinBox *>(object);
}

} // namespace

WheelGuard::WheelGuard(QObject *parent) : QObject(parent) {}

// The guard lives as long as its owner; the application drops a deleted filter itself.
void WheelGuard::install(QObject *owner)
{
    qApp->installEventFilter(new WheelGuard(owner));
}

bool WheelGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Polish && isValueWidget(watched)) {
        static_cast<QWidget *>(watched)->setFocusPolicy(Qt::StrongFocus);
    } else if (event->type() == QEvent::Wheel && isValueWidget(watched)
               && !static_cast<QWidget *>(watched)->hasFocus()) {
        // Ignored and filtered: the application hands the wheel on to the parent, which
        // scrolls.
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
