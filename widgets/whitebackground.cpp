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
