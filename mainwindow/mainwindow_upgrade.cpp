#include "mainwindow.h"

#include "protocolids.h"
#include "updatefileitem.h"
#include "upgradeengine.h"

#include <QDebug>

// The window as the upgrade engine's host: commands leave through sendCmd, answers come
// in through the receive path, and messages and progress go to the row that started the
// run (updateFileID).
class MainWindow::UpgradeLink : public QObject, public Koru::UpgradeHost
{
public:
    explicit UpgradeLink(MainWindow &window) : QObject(&window), window(window) {}

    Koru::UpgradeEngine &engine() { return upgradeEngine; }

    bool sendCommand(uint8_t commandId, const QByteArray &payload, uint8_t target) override
    {
        return window.sendCmd(reinterpret_cast<const uint8_t *>(payload.constData()),
                              uint8_t(payload.size()), Koru::CommonSet, commandId, target);
    }
    void receive() override { window.onReadyRead(); }
    int wait(int maxMs) override { return Koru::processEventsUntilAnswer(window.state, maxMs); }
    bool devicePresent() override { return window.check_usb_port(); }
    void showMessage(int code, const QString &text) override { window.showUpgradeMsg(code, text); }
    void showProgress(int maximum, int value) override
    {
        window.proMax = maximum;
        window.proValue = value;
        window.updateProUI();
    }
    void setUpdating(bool on) override { window.setIsUpdataing(on ? 1 : 0); }
    bool isUpdating() const override { return window.getIsUpdataing(); }

private:
    MainWindow &window;
    Koru::UpgradeEngine upgradeEngine{*this, window.state, window.upgradeFile};
};

MainWindow::UpgradeLink &MainWindow::upgradeLink()
{
    if (!upgradeHost)
        upgradeHost = new UpgradeLink(*this);
    return *upgradeHost;
}

bool MainWindow::upgradeRunning()
{
    return upgradeLink().engine().isRunning();
}

void MainWindow::slot_upFile()
{
    upgradeLink().engine().run(updatefilename, updateAddr);
}

void MainWindow::slot_stopUpFile()
{
    upgradeLink().engine().requestStop();
}

void MainWindow::endUpFile()
{
    upgradeLink().engine().finish();
}

void MainWindow::updateProUI()
{
    if (updateFileID == 0)
        setSettingProgress(proMax, proValue);
    else if (UpdateFileItem *row = updateRow(updateFileID))
        row->setProgress(proMax, proValue);
}

void MainWindow::showUpgradeMsg(int code, const QString &text)
{
    const QString message = Koru::upgradeMessageText(code, text);
    qDebug() << message;
    if (updateFileID == 0)
        setSettingMsg(message);
    else if (UpdateFileItem *row = updateRow(updateFileID))
        row->setMsg(message);
}

uint8_t MainWindow::getLastError()
{
    return Koru::takeUpgradeErrorStage(state);
}
