#pragma once

#include <QMap>
#include <QObject>
#include <QSet>

#include <cstdint>

class QWidget;
class ShellMsgDialog;
class ShellMsgWidget;

// Where the devices' shell answers are shown: the remote controller's in the console
// page's own view, every other device's in a dialog of its own, created when its first
// text arrives. A dialog the user closed comes back with the next text for its device.
// Only a device of the known type table or one the user has sent a command to gets a
// dialog; text from any other id goes to the console page's view, so that a device that
// sends from every id cannot open a window for each.
class ShellViews : public QObject
{
    Q_OBJECT

public:
    ShellViews(ShellMsgWidget *controllerView, QWidget *dialogParent);

    void show(uint8_t device, const QString &text);
    void retranslate();
    // The user sent a command to this device: its answers get a dialog.
    void addressed(uint8_t device);

private:
    bool hasOwnDialog(uint8_t device) const;

    ShellMsgWidget *controllerView;
    QWidget *dialogParent;
    QMap<uint8_t, ShellMsgDialog *> dialogs;
    QSet<uint8_t> addressedDevices;
};
