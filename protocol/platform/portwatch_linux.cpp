#include "portwatch.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QObject>
#include <QSocketNotifier>

#ifdef KORU_HAVE_UDEV
#include <libudev.h>
#endif

namespace {

#ifdef KORU_HAVE_UDEV
// A udev monitor on the tty subsystem, read whenever its socket has an event.
class UdevMonitor : public QObject
{
public:
    UdevMonitor(QObject *owner, const std::function<void()> &onNotice) : QObject(owner)
    {
        context = udev_new();
        if (context)
            monitor = udev_monitor_new_from_netlink(context, "udev");
        if (!monitor || udev_monitor_filter_add_match_subsystem_devtype(monitor, "tty", nullptr) < 0
            || udev_monitor_enable_receiving(monitor) < 0)
            return;
        auto *notifier = new QSocketNotifier(udev_monitor_get_fd(monitor), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, onNotice] {
            if (udev_device *device = udev_monitor_receive_device(monitor))
                udev_device_unref(device);
            onNotice();
        });
        listening = true;
    }

    ~UdevMonitor() override
    {
        if (monitor)
            udev_monitor_unref(monitor);
        if (context)
            udev_unref(context);
    }

    bool listening = false;

private:
    udev *context = nullptr;
    udev_monitor *monitor = nullptr;
};
#endif

bool startUdevMonitor(QObject *owner, const std::function<void()> &onNotice)
{
#ifdef KORU_HAVE_UDEV
    // Without a running udev daemon the monitor would never hear of a change.
    if (!QFileInfo::exists(QStringLiteral("/run/udev/control")))
        return false;
    auto *monitor = new UdevMonitor(owner, onNotice);
    if (monitor->listening)
        return true;
    delete monitor;
#else
    Q_UNUSED(owner)
    Q_UNUSED(onNotice)
#endif
    return false;
}

// Without udev, device nodes still come and go in /dev; watching the folder avoids
// scanning every port twice a second.
bool startDeviceFolderWatch(QObject *owner, const std::function<void()> &onNotice)
{
    auto *watcher = new QFileSystemWatcher(owner);
    if (!watcher->addPath(QStringLiteral("/dev"))) {
        delete watcher;
        return false;
    }
    QObject::connect(watcher, &QFileSystemWatcher::directoryChanged, owner, [onNotice] { onNotice(); });
    return true;
}

} // namespace

bool watchPortChanges(QObject *owner, const std::function<void()> &onNotice)
{
    return startUdevMonitor(owner, onNotice) || startDeviceFolderWatch(owner, onNotice);
}
