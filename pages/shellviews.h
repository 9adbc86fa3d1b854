#pragma once

#include <QMap>
#include <QObject>

#include <cstdint>

class QWidget;
class ShellMsgDialog;
class ShellMsgWidget;

// Where the devices' shell answers are shown: the remote controller's in the console
// page's own view, every other device's in a dialog of its own, created when its first
// text arrives. A dialog the user closed comes back with the next text for its device.
class ShellViews : public QObject
{
    Q_OBJECT

public:
    ShellViews(ShellMsgWidget *controllerView, QWidget *dialogParent);

    void show(uint8_t device, const QString &text);
    void retranslate();

private:
    ShellMsgWidget *controllerView;
    QWidget *dialogParent;
    QMap<uint8_t, ShellMsgDialog *> dialogs;
};
