#include "shellviews.h"

#include "devicetypes.h"
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
    if (!hasOwnDialog(device)) {
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

void ShellViews::addressed(uint8_t device)
{
    addressedDevices.insert(device);
}

bool ShellViews::hasOwnDialog(uint8_t device) const
{
    return device != Koru::RemoteControllerId
           && (isKnownDeviceType(device) || addressedDevices.contains(device));
}

void ShellViews::retranslate()
{
    controllerView->updateTexts();
    for (ShellMsgDialog *dialog : qAsConst(dialogs))
        dialog->updateTexts();
}
