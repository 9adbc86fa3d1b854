#pragma once

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>

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
Q_DECLARE_METATYPE(PortInfo)

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
    // Emits the differences between the last known list and the current one, at once.
    void announceChanges(const QList<PortInfo> &current);
    // For notices from the system, which come in bursts (a loose cable): one comparison of
    // refresh()ed ports on a later turn of the event loop however many notices came before,
    // and never while a receiver of the last announcement still runs.
    void announceChangesLater();
    virtual void refresh() {}

private:
    void queueAnnouncement();
    void announceQueued();

    QList<PortInfo> known;
    bool queued = false;
    bool announcing = false;
};

// The system's ports from QSerialPortInfo. Changes come from the system's notices where it
// has them (portwatch.h); elsewhere the list is compared every 500 ms.
class SystemPortEnumerator : public PortEnumerator
{
    Q_OBJECT

public:
    explicit SystemPortEnumerator(QObject *parent = nullptr);

    QList<PortInfo> getPorts() const override;

protected:
    void refresh() override;

private:
    QList<PortInfo> ports; // as of the last scan, which every change notice triggers
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
    PortEnumerator *base;
    QString path;
};
