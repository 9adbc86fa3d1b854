#include "shellviews.h"

#include "protocolids.h"
#include "shellmsgdialog.h"
#include "shellmsgwidget.h"

#include <QDebug>

ShellViews::ShellViews(ShellMsgWidget *controllerView, QWidget *dialogParent)
    : QObject(dialogParent), controllerView(controllerView), dialogParent(dialogParent)
{
}

void ShellViews::show(uint8_t device, const QString &text)
{
    if (device == Koru::RemoteControllerId) {
        if (!text.isEmpty())
            controllerView->appendShellText(text);
        return;
    }
    ShellMsgDialog *&dialog = dialogs[device];
    if (!dialog) {
        qDebug() << "add new dialog";
        dialog = new ShellMsgDialog(device, dialogParent);
        dialog->updateTexts();
    }
    dialog->show();
    if (!text.isEmpty())
        dialog->appendShellText(text);
}

void ShellViews::retranslate()
{
    controllerView->updateTexts();
    for (ShellMsgDialog *dialog : qAsConst(dialogs))
        dialog->updateTexts();
}
