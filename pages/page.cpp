#include "page.h"

#include "whitebackground.h"

Page::Page(Koru::DeviceLink &link, AppSettings &settings, QWidget *parent)
    : QWidget(parent), link(link), settings(settings)
{
    resize(844, 442);
    fillWhite(this);
}

