#pragma once

#include "textkey.h"

#include <QPointer>
#include <QWidget>

class QMessageBox;

class AppSettings;
namespace Koru {
class DeviceLink;
}

// One page of the window's page stack: a white page that owns its widgets and timers,
// sends through the device link and shows the answers it subscribes to. The window calls
// enter() when the page becomes current and leave() when another one does.
class Page : public QWidget
{
    Q_OBJECT

public:
    Page(Koru::DeviceLink &link, AppSettings &settings, QWidget *parent = nullptr);

    virtual void enter() = 0;
    virtual void leave() {}
    // Re-reads every caption in the installed language, also of a box the page shows.
    void retranslatePage();

    // What a button that needs the controller says while it is away.
    static Koru::TextKey notConnectedKey();
    static QString notConnectedText() { return notConnectedKey().text(); }

protected:
    virtual void retranslate() {}
    // True while the remote controller is connected. Otherwise says so in a box (one at a
    // time) and returns false, so that a button that needs the controller does not silently
    // do nothing.
    bool controllerConnected();
    // Qt does not re-read the captions of a box's standard buttons when the language
    // changes: they are made anew, and the default button kept.
    static void retranslateStandardButtons(QMessageBox *box);

    Koru::DeviceLink &link;
    AppSettings &settings;

private:
    QPointer<QMessageBox> notConnectedBox;
};
