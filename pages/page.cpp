#include "page.h"

#include "devicelink.h"
#include "whitebackground.h"

#include <QMessageBox>
#include <QPushButton>

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

void Page::retranslatePage()
{
    retranslate();
    if (notConnectedBox) {
        notConnectedBox->setWindowTitle(tr("Not connected"));
        notConnectedBox->setText(notConnectedText());
        retranslateStandardButtons(notConnectedBox);
    }
}

void Page::retranslateStandardButtons(QMessageBox *box)
{
    const QMessageBox::StandardButton defaultButton = box->standardButton(box->defaultButton());
    box->setStandardButtons(box->standardButtons());
    if (defaultButton != QMessageBox::NoButton)
        box->setDefaultButton(defaultButton);
}

Koru::TextKey Page::notConnectedKey()
{
    return {"Page", QT_TRANSLATE_NOOP("Page", "The remote controller is not connected. Connect it by USB and try again.")};
}
