#include "page.h"

#include "devicelink.h"
#include "whitebackground.h"

#include <QMessageBox>

Page::Page(Koru::DeviceLink &link, AppSettings &settings, QWidget *parent)
    : QWidget(parent), link(link), settings(settings)
{
    resize(844, 442);
    fillWhite(this);
}


bool Page::controllerConnected()
{
    if (link.isOpen())
        return true;
    if (!notConnectedBox) {
        notConnectedBox = new QMessageBox(QMessageBox::Warning, tr("Not connected"), notConnectedText(),
                                          QMessageBox::Ok, this);
        notConnectedBox->setAttribute(Qt::WA_DeleteOnClose);
    }
    notConnectedBox->open();
    return false;
}

QString Page::notConnectedText()
{
    return tr("The remote controller is not connected. Connect it by USB and try again.");
}
