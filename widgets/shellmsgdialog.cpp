#include "shellmsgdialog.h"

#include "shellmsgwidget.h"

ShellMsgDialog::ShellMsgDialog(uint8_t deviceId, QWidget *parent)
    : QDialog(parent), view(new ShellMsgWidget(this))
{
    resize(560, 390);
    view->move(0, 0);
    setWindowTitle(QString::number(deviceId, 16).toUpper());
}

void ShellMsgDialog::appendShellText(const QString &text)
{
    view->appendShellText(text);
}

void ShellMsgDialog::updateTexts()
{
    view->updateTexts();
}
