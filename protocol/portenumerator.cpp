#include "portenumerator.h"
#include "protocolids.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSerialPortInfo>
#include <QSocketNotifier>
#include <QTimer>

#ifdef KORU_HAVE_UDEV
#include <libudev.h>
#endif

namespace {
constexpr int PollIntervalMs = 500;
}

void PortEnumerator::announceChanges(const QList<PortInfo> &current)
{
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
}

SystemPortEnumerator::SystemPortEnumerator(QObject *parent)
    : PortEnumerator(parent)
{
    rescan();
    if (startUdevMonitor() || startDeviceFolderWatch())
        return;
    auto *pollTimer = new QTimer(this);
    connect(pollTimer, &QTimer::timeout, this, &SystemPortEnumerator::rescan);
    pollTimer->start(PollIntervalMs);
}

// Without udev, device nodes still come and go in /dev; watching the folder avoids
// scanning every port twice a second.
bool SystemPortEnumerator::startDeviceFolderWatch()
{
    auto *watcher = new QFileSystemWatcher(this);
    if (!watcher->addPath(QStringLiteral("/dev"))) {
        delete watcher;
        return false;
    }
    connect(watcher, &QFileSystemWatcher::directoryChanged, this, &SystemPortEnumerator::rescan);
    return true;
}

SystemPortEnumerator::~SystemPortEnumerator()
{
#ifdef KORU_HAVE_UDEV
    if (udevMonitor)
        udev_monitor_unref(udevMonitor);
    if (udevContext)
        udev_unref(udevContext);
#endif
}

QList<PortInfo> SystemPortEnumerator::scanPorts()
{
    QList<PortInfo> ports;
    const auto available = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : available)
        ports.append({info.portName(), info.vendorIdentifier(), info.productIdentifier(), info.serialNumber()});
    return ports;
}

QList<PortInfo> SystemPortEnumerator::getPorts() const
{
    return ports;
}

void SystemPortEnumerator::rescan()
{
    ports = scanPorts();
    announceChanges(ports);
}

bool SystemPortEnumerator::startUdevMonitor()
{
#ifdef KORU_HAVE_UDEV
    // Without a running udev daemon the monitor would never hear of a change.
    if (!QFileInfo::exists(QStringLiteral("/run/udev/control")))
        return false;
    udevContext = udev_new();
    if (!udevContext)
        return false;
    udevMonitor = udev_monitor_new_from_netlink(udevContext, "udev");
    if (!udevMonitor || udev_monitor_filter_add_match_subsystem_devtype(udevMonitor, "tty", nullptr) < 0
        || udev_monitor_enable_receiving(udevMonitor) < 0)
        return false;
    udevNotifier = new QSocketNotifier(udev_monitor_get_fd(udevMonitor), QSocketNotifier::Read, this);
    connect(udevNotifier, &QSocketNotifier::activated, this, [this] {
        if (udev_device *device = udev_monitor_receive_device(udevMonitor))
            udev_device_unref(device);
        rescan();
    });
    return true;
#else
    return false;
#endif
}

FixedPathEnumerator::FixedPathEnumerator(PortEnumerator *base, const QString &path, QObject *parent)
    : PortEnumerator(parent)
    , base(base)
    , path(path)
{
    base->setParent(this);
    pathPresent = QFileInfo::exists(path);
    announceChanges(getPorts());
    connect(base, &PortEnumerator::deviceDiscovered, this, [this] { announceChanges(getPorts()); });
    connect(base, &PortEnumerator::deviceRemoved, this, [this] { announceChanges(getPorts()); });
    // Only the path itself is watched here; the base tells of its own changes. The path's
    // folder tells when an entry comes or goes; without a watch on it the path is looked at
    // every 250 ms.
    auto *watcher = new QFileSystemWatcher(this);
    if (watcher->addPath(QFileInfo(path).absolutePath())) {
        connect(watcher, &QFileSystemWatcher::directoryChanged, this, &FixedPathEnumerator::checkPath);
    } else {
        auto *pathTimer = new QTimer(this);
        connect(pathTimer, &QTimer::timeout, this, &FixedPathEnumerator::checkPath);
        pathTimer->start(PollIntervalMs / 2);
    }
}

void FixedPathEnumerator::checkPath()
{
    const bool present = QFileInfo::exists(path);
    if (present == pathPresent)
        return;
    pathPresent = present;
    announceChanges(getPorts());
}

QList<PortInfo> FixedPathEnumerator::getPorts() const
{
    QList<PortInfo> ports = base->getPorts();
    if (QFileInfo::exists(path))
        ports.append({path, Koru::DeviceVendorId, Koru::DeviceProductId, {}});
    return ports;
}
