#include "portproblem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Where QSerialPort and other serial programs keep UUCP lock files, in its order.
const char *const LockFolders[] = {"/var/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp",
                                   "/tmp",      "/var/tmp",   "/var/lock/lockdev", "/run/lock"};

// "LCK..ttyACM0" for /dev/ttyACM0, "LCK..pts_3" for /dev/pts/3: the device below /dev, its
// slashes made underscores.
QString lockFileName(const QString &path)
{
    QString device = QFileInfo(path).canonicalFilePath();
    if (device.isEmpty())
        device = path;
    if (device.startsWith(QLatin1String("/dev/")))
        device = device.mid(5);
    return QStringLiteral("LCK..") + device.replace(QLatin1Char('/'), QLatin1Char('_'));
}

} // namespace

QString PortProblem::lockHolder(const QString &path)
{
    const QString name = lockFileName(path);
    for (const char *folder : LockFolders) {
        QFile lock(QDir(QLatin1String(folder)).filePath(name));
        if (!lock.open(QIODevice::ReadOnly))
            continue;
        const qint64 pid = lock.readLine().trimmed().toLongLong();
        if (pid <= 0)
            continue;
        // A lock whose process is gone holds nothing: the next open takes it over.
        QFile command(QStringLiteral("/proc/%1/comm").arg(pid));
        if (!command.open(QIODevice::ReadOnly))
            continue;
        return tr("%1 (pid %2)").arg(QString::fromLocal8Bit(command.readAll().trimmed())).arg(pid);
    }
    return {};
}

PortProblem PortProblem::of(const QString &path, DevicePort::OpenError error)
{
    if (!QFileInfo::exists(path))
        return {QStringLiteral("vanished"), tr("%1 vanished before it could be opened; plug the controller "
                                               "in again")
                                                .arg(path)};
    // QSerialPort reports a lock held by another program as a permission error.
    const QString holder = lockHolder(path);
    if (!holder.isEmpty())
        return {QStringLiteral("busy"), tr("%1 is in use by %2; close it and try again").arg(path, holder)};
    switch (error) {
    case DevicePort::OpenError::PermissionDenied:
        return {QStringLiteral("permission"),
                tr("no permission to open %1: install the udev rule 60-koru-assistant.rules, or add "
                   "yourself to the dialout group and log in again")
                    .arg(path)};
    case DevicePort::OpenError::Busy:
        return {QStringLiteral("busy"), tr("%1 is in use by another program; close it and try again").arg(path)};
    case DevicePort::OpenError::None:
    case DevicePort::OpenError::Other:
        break;
    }
    return {QStringLiteral("open-failed"), tr("cannot open %1").arg(path)};
}
