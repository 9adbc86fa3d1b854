#pragma once

#include "deviceport.h"
#include "devicestate.h"
#include "framereassembler.h"
#include "responsedecoder.h"
#include "shelllinecollector.h"

#include <QObject>
#include <QString>
#include <QStringList>

class PortEnumerator;
class QTimer;

namespace Koru {

class UpgradeSession;

// The link to the remote controller and every device behind it. Finds the controller's
// port by its USB identity, opens it at start and when it is plugged in, closes it when
// it goes; cuts the received bytes into frames, stores their payloads in the device state
// and announces each decoded answer. Every command leaves through send().
class DeviceLink : public QObject
{
    Q_OBJECT

public:
    // Takes ownership of port and enumerator; null ones are replaced by the system's.
    explicit DeviceLink(DevicePort *port = nullptr, PortEnumerator *enumerator = nullptr,
                        QObject *parent = nullptr);
    ~DeviceLink() override;

    // The first look for the controller; later ones follow the enumerator's notices.
    void start();

    bool isOpen() const;
    // The name of the open port; empty while none is open.
    QString portName() const;
    // Every port the enumerator lists, in its order.
    QStringList portNames() const;
    // The controller's port by its USB identity; empty when it is not plugged in.
    QString devicePortName() const;
    // Opens a port the user chose, closing the one that is open.
    void choosePort(const QString &name);
    void close();

    // Frames sent while one lives are collected and written in one go when the last one ends:
    // the same bytes in the same order, in one write instead of one per frame.
    class WriteBatch
    {
    public:
        explicit WriteBatch(DeviceLink &link) : link(link) { ++link.openBatches; }
        ~WriteBatch() { link.endBatch(); }
        WriteBatch(const WriteBatch &) = delete;
        WriteBatch &operator=(const WriteBatch &) = delete;

    private:
        DeviceLink &link;
    };

    // One command frame, written at once; false when no port is open or the write was short.
    // Inside a WriteBatch it is only collected, and true means that the port is open.
    bool send(uint8_t set, uint8_t id, uint8_t target, const uint8_t *payload = nullptr, int length = 0);
    bool send(uint8_t set, uint8_t id, uint8_t target, const QByteArray &payload);
    // Waits at most msecs until every frame sent has left the program; a program that ends
    // without returning to its event loop calls it last. False when some are still waiting.
    bool flush(int msecs);
    // One line of text to a device's command shell.
    void sendShellText(const QString &text, uint8_t device);

    // Asks every upgradable device type for its identity and version; only sends.
    void requestDeviceInfo();
    // Live channel reports from the controller and the module side ("rc_pc 1" / "rc_pc 0").
    void setLiveChannelReports(bool on);
    // The controller's production display.
    void setProductionDisplay(bool on);

    const DeviceState &state() const { return deviceState; }
    UpgradeSession &upgrade() { return *upgradeSession; }

public slots:
    // Reads what has arrived and dispatches every complete frame.
    void receive();

signals:
    void connectionChanged(bool connected, const QString &portName);
    // The controller's port opened by a rescan has settled: the link asked who is there, or
    // resumed the upgrade the port's loss interrupted, unless one still runs. The window
    // then enters the current page again.
    void deviceAttached();
    void openFailed(DevicePort::OpenError reason);
    // The enumerator's list changed.
    void portListChanged();
    void responseReceived(const Koru::DecodedResponse &response);

private:
    void rescan();
    void greetDevice();
    bool openPort(const QString &name);
    void closePort();
    void onPortFailed();
    void dispatch(const Frame &frame);
    void endBatch();

    DevicePort *port = nullptr;
    PortEnumerator *enumerator = nullptr;
    int openBatches = 0;
    QByteArray batchedFrames;
    QString currentPortName; // the port last opened or tried, until it is closed
    FrameReassembler receiveBuffer;
    ShellTextDecoder shellText;
    DeviceState deviceState;
    UpgradeSession *upgradeSession = nullptr;
    QTimer *settleTimer = nullptr; // from the open to the first questions
    bool resumeWhenSettled = false; // an upgrade was interrupted when the port opened
    QTimer *reopenTimer = nullptr; // runs while the controller's port is tried again
    QString lastFailure;           // port and reason of the open failure last announced
    bool retryingBrokenPort = false;
};

} // namespace Koru
