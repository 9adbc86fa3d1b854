#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QSocketNotifier;
class QTimer;

struct PortInfo
{
    QString portName;
    quint16 vendorID = 0;
    quint16 productID = 0;
    QString serialNumber; // the USB serial number; empty where the port has none

    bool operator==(const PortInfo &other) const
    {
        return portName == other.portName && vendorID == other.vendorID && productID == other.productID
               && serialNumber == other.serialNumber;
    }
};

// Lists the serial ports and tells when one appears or vanishes.
class PortEnumerator : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual QList<PortInfo> getPorts() const = 0;

signals:
    void deviceDiscovered(const PortInfo &info);
    void deviceRemoved(const PortInfo &info);

protected:
    // Emits the differences between the last known list and the current one.
    void announceChanges(const QList<PortInfo> &current);

private:
    QList<PortInfo> known;
};

// The system's ports from QSerialPortInfo. Changes come from a udev monitor on the tty
// subsystem where udev runs, else from a watch on /dev; where neither is possible the
// list is compared every 500 ms.
class SystemPortEnumerator : public PortEnumerator
{
    Q_OBJECT

public:
    explicit SystemPortEnumerator(QObject *parent = nullptr);
    ~SystemPortEnumerator() override;

    QList<PortInfo> getPorts() const override;

private:
    static QList<PortInfo> scanPorts();
    bool startUdevMonitor();
    bool startDeviceFolderWatch();
    void rescan();

    QList<PortInfo> ports; // as of the last scan, which every change notice triggers

    QSocketNotifier *udevNotifier = nullptr;
    struct udev *udevContext = nullptr;
    struct udev_monitor *udevMonitor = nullptr;
};

// Adds one port that carries the controller's USB identity while its path exists: a
// pseudo-terminal of the simulator, or a controller behind a bridge with another identity.
// Takes ownership of base.
class FixedPathEnumerator : public PortEnumerator
{
    Q_OBJECT

public:
    FixedPathEnumerator(PortEnumerator *base, const QString &path, QObject *parent = nullptr);

    QList<PortInfo> getPorts() const override;

private:
    void checkPath();

    PortEnumerator *base;
    QString path;
    bool pathPresent = false;
};
