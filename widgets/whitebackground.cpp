#include "whitebackground.h"

#include <QPalette>
#include <QWidget>

void fillWhite(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::All, QPalette::Window, Qt::white);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QColor colourBehind(const QWidget *widget)
{
    const QWidget *ancestor = widget->parentWidget();
    while (ancestor && !ancestor->autoFillBackground() && !ancestor->isWindow())
        ancestor = ancestor->parentWidget();
    return (ancestor ? ancestor : widget)->palette().color(QPalette::Window);
}
