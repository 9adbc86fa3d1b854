#include "scpzwidget.h"

#include "whitebackground.h"

ScpzWidget::ScpzWidget(QWidget *parent) : QWidget(parent)
{
    resize(844, 442);
    fillWhite(this);
}

void ScpzWidget::setValue(uint8_t, const QString &)
{
}

void ScpzWidget::slot_pageChange(int)
{
}
