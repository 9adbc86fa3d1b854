#include "portsources.h"

#include "protocolids.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QRegularExpression>
#include <QTimer>

namespace {
// How often a folder that cannot be watched is looked at.
constexpr int FolderPollMs = 250;

bool isController(const PortInfo &info)
{
    return info.vendorID == Koru::DeviceVendorId && info.productID == Koru::DeviceProductId;
}
} // namespace

PortEnumerator *PortSources::create() const
{
    if (!linkFolder.isEmpty())
        return new LinkFolderEnumerator(linkFolder);
    if (!devicePath.isEmpty())
        return new FixedPathEnumerator(new SystemPortEnumerator, devicePath);
    return new SystemPortEnumerator;
}

QList<PortInfo> controllersOf(const PortEnumerator &enumerator)
{
    QList<PortInfo> controllers;
    for (const PortInfo &info : enumerator.getPorts()) {
        if (isController(info))
            controllers.append(info);
    }
    return controllers;
}

LinkFolderEnumerator::LinkFolderEnumerator(const QString &folder, QObject *parent)
    : PortEnumerator(parent), folder(folder)
{
    rescan();
    auto *watcher = new QFileSystemWatcher(this);
    if (watcher->addPath(folder)) {
        connect(watcher, &QFileSystemWatcher::directoryChanged, this, &LinkFolderEnumerator::rescan);
        return;
    }
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &LinkFolderEnumerator::rescan);
    timer->start(FolderPollMs);
}

QString LinkFolderEnumerator::serialNumberOf(const QString &linkName)
{
    static const QRegularExpression byId(QStringLiteral("^usb-.*_([^_]+)-if\\d+(-port\\d+)?$"));
    return byId.match(linkName).captured(1);
}

void LinkFolderEnumerator::rescan()
{
    QList<PortInfo> current;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::System | QDir::Files, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString target = entry.canonicalFilePath();
        const QString serial = serialNumberOf(entry.fileName());
        if (entry.isSymLink() && !target.isEmpty() && !serial.isEmpty())
            current.append({target, Koru::DeviceVendorId, Koru::DeviceProductId, serial});
    }
    ports = current;
    announceChanges(ports);
}

UnitEnumerator::UnitEnumerator(PortEnumerator *base, const PortInfo &unit, QObject *parent)
    : PortEnumerator(parent), base(base), unit(unit)
{
    base->setParent(this);
    update();
    connect(base, &PortEnumerator::deviceDiscovered, this, &UnitEnumerator::update);
    connect(base, &PortEnumerator::deviceRemoved, this, &UnitEnumerator::update);
}

QList<PortInfo> UnitEnumerator::getPorts() const
{
    QList<PortInfo> ports;
    for (const PortInfo &info : base->getPorts()) {
        if (isUnit(info) && info.portName == shownPort)
            ports.append(info);
    }
    return ports;
}

bool UnitEnumerator::isUnit(const PortInfo &info) const
{
    if (!isController(info))
        return false;
    return unit.serialNumber.isEmpty() ? info.portName == unit.portName : info.serialNumber == unit.serialNumber;
}

// A unit whose port changed name without a notice in between (both changes seen at once)
// is shown gone first, so that the link closes the dead port before it opens the new one.
void UnitEnumerator::update()
{
    QString current;
    for (const PortInfo &info : base->getPorts()) {
        if (isUnit(info))
            current = info.portName;
    }
    if (current == shownPort) {
        announceChanges(getPorts());
        return;
    }
    if (!shownPort.isEmpty()) {
        shownPort.clear();
        announceChanges({});
    }
    shownPort = current;
    announceChanges(getPorts());
}
