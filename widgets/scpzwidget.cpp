#include "scpzwidget.h"

#include <QPalette>

ScpzWidget::ScpzWidget(QWidget *parent) : QWidget(parent)
{
    resize(844, 442);
    QPalette whitePalette = palette();
    whitePalette.setColor(QPalette::Window, Qt::white);
    setPalette(whitePalette);
    setAutoFillBackground(true);
}

void ScpzWidget::setValue(uint8_t, const QString &)
{
}

void ScpzWidget::slot_pageChange(int)
{
}
