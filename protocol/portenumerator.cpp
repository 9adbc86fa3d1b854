#include "portenumerator.h"
#include "portwatch.h"
#include "protocolids.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSerialPortInfo>
#include <QTimer>

namespace {
constexpr int PollIntervalMs = 500;
}

void PortEnumerator::announceChanges(const QList<PortInfo> &current)
{
    const bool outermost = !announcing;
    announcing = true;
    const QList<PortInfo> previous = known;
    known = current;
    for (const PortInfo &info : previous) {
        if (!current.contains(info))
            emit deviceRemoved(info);
    }
    for (const PortInfo &info : current) {
        if (!previous.contains(info))
            emit deviceDiscovered(info);
    }
    if (!outermost)
        return;
    announcing = false;
    // Notices that came while the receivers ran are compared now that they are done.
    if (queued)
        queueAnnouncement();
}

void PortEnumerator::announceChangesLater()
{
    if (queued)
        return;
    queued = true;
    if (!announcing)
        queueAnnouncement();
}

void PortEnumerator::queueAnnouncement()
{
    QMetaObject::invokeMethod(this, [this] { announceQueued(); }, Qt::QueuedConnection);
}

void PortEnumerator::announceQueued()
{
    // Reached from a receiver's nested event loop: the announcement that runs queues it again.
    if (announcing || !queued)
        return;
    queued = false;
    refresh();
    announceChanges(getPorts());
}

SystemPortEnumerator::SystemPortEnumerator(QObject *parent)
    : PortEnumerator(parent)
{
    refresh();
    announceChanges(ports);
    if (watchPortChanges(this, [this] { announceChangesLater(); }))
        return;
    auto *pollTimer = new QTimer(this);
    connect(pollTimer, &QTimer::timeout, this, &SystemPortEnumerator::announceChangesLater);
    pollTimer->start(PollIntervalMs);
}

QList<PortInfo> SystemPortEnumerator::getPorts() const
{
    return ports;
}

void SystemPortEnumerator::refresh()
{
    ports.clear();
    const auto available = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : available)
        ports.append({info.portName(), info.vendorIdentifier(), info.productIdentifier(), info.serialNumber()});
}

FixedPathEnumerator::FixedPathEnumerator(PortEnumerator *base, const QString &path, QObject *parent)
    : PortEnumerator(parent)
    , base(base)
    , path(path)
{
    base->setParent(this);
    announceChanges(getPorts());
    connect(base, &PortEnumerator::deviceDiscovered, this, &FixedPathEnumerator::announceChangesLater);
    connect(base, &PortEnumerator::deviceRemoved, this, &FixedPathEnumerator::announceChangesLater);
    // Only the path itself is watched here; the base tells of its own changes. The path's
    // folder tells when an entry comes or goes; without a watch on it the path is looked at
    // every 250 ms.
    auto *watcher = new QFileSystemWatcher(this);
    if (watcher->addPath(QFileInfo(path).absolutePath())) {
        connect(watcher, &QFileSystemWatcher::directoryChanged, this, &FixedPathEnumerator::announceChangesLater);
    } else {
        auto *pathTimer = new QTimer(this);
        connect(pathTimer, &QTimer::timeout, this, &FixedPathEnumerator::announceChangesLater);
        pathTimer->start(PollIntervalMs / 2);
    }
}

QList<PortInfo> FixedPathEnumerator::getPorts() const
{
    QList<PortInfo> ports = base->getPorts();
    if (QFileInfo::exists(path))
        ports.append({path, Koru::DeviceVendorId, Koru::DeviceProductId, QString()});
    return ports;
}
