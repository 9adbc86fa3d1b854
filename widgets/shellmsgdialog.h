#pragma once

#include <QDialog>

#include <cstdint>

class ShellMsgWidget;

// Shell text view of one device address other than the remote controller, in a window of
// its own titled with the address in hexadecimal.
class ShellMsgDialog : public QDialog
{
    Q_OBJECT

public:
    ShellMsgDialog(uint8_t deviceId, QWidget *parent);

    void appendShellText(const QString &text);
    void updateTexts();

private:
    ShellMsgWidget *view = nullptr;
};
