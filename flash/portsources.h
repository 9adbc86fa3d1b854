#pragma once

#include "portenumerator.h"

#include <QString>

// Where koru-flash looks for controllers: the system's ports with the controller's USB
// identity, a --device path, or a folder of links named as /dev/serial/by-id names them.
struct PortSources
{
    QString devicePath; // --device
    QString linkFolder; // --by-id

    // A new enumerator over these sources; the caller owns it.
    PortEnumerator *create() const;
};

// The controllers among the enumerator's ports, in its order.
QList<PortInfo> controllersOf(const PortEnumerator &enumerator);

// Every link in a folder as a controller's port, with the USB serial number its name
// carries ("usb-MAKER_PRODUCT_SERIAL-if00"). The port name is the link's target, so a link
// that is re-pointed (a unit that restarted) is a new port.
class LinkFolderEnumerator : public PortEnumerator
{
    Q_OBJECT

public:
    explicit LinkFolderEnumerator(const QString &folder, QObject *parent = nullptr);

    QList<PortInfo> getPorts() const override { return ports; }

    // The serial number in a by-id style name; empty when the name has none.
    static QString serialNumberOf(const QString &linkName);

private:
    void rescan();

    QString folder;
    QList<PortInfo> ports;
};

// One unit's port among its base's, chosen by its USB serial number, so that a link follows
// that unit across its restart into the boot loader and never takes another that appeared
// meanwhile; a unit without one is known by its port. Takes ownership of base.
class UnitEnumerator : public PortEnumerator
{
    Q_OBJECT

public:
    UnitEnumerator(PortEnumerator *base, const PortInfo &unit, QObject *parent = nullptr);

    QList<PortInfo> getPorts() const override;

private:
    bool isUnit(const PortInfo &info) const;
    void update();

    PortEnumerator *base;
    PortInfo unit;
    QString shownPort;
};
