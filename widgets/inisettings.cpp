#include "inisettings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QSysInfo>
#include <QThread>

#include <cerrno>
#include <csignal>

namespace {
const QString SettingsFile = QStringLiteral("kestan.ini");
const QString LockFile = QStringLiteral("kestan.ini.lock"); // QSettings' own, during a write
const QString DefaultValue = QStringLiteral("0");
constexpr qint64 MaxSettingsFileSize = 1024 * 1024;
// A lock this young may still be on its way to naming its process.
constexpr qint64 FreshLockMs = 200;
// How long a write waits for another running program to release the lock.
constexpr int LiveHolderWaitMs = 1000;
constexpr int LockPollMs = 20;

bool processRunning(qint64 pid)
{
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

// -1 for a lock too young to judge, else the holder's process id or 0.
qint64 lockOwner()
{
    const QFileInfo file(LockFile);
    if (!file.exists())
        return 0;
    QLockFile lock(LockFile);
    qint64 pid = 0;
    QString host;
    QString application;
    if (lock.getLockInfo(&pid, &host, &application) && pid != QCoreApplication::applicationPid()) {
        if (!host.isEmpty() && host != QSysInfo::machineHostName())
            return pid; // another machine's process cannot be asked
        if (processRunning(pid))
            return pid;
    } else if (pid == 0 && file.lastModified().msecsTo(QDateTime::currentDateTime()) < FreshLockMs) {
        return -1;
    }
    lock.removeStaleLockFile();
    return 0;
}

// False when another running program keeps the lock longer than a write may wait.
bool waitForLock()
{
    QElapsedTimer waited;
    waited.start();
    while (lockOwner() != 0) {
        if (waited.elapsed() > LiveHolderWaitMs)
            return false;
        QThread::msleep(LockPollMs);
    }
    return true;
}
} // namespace

qint64 iniLockHolder()
{
    return std::max<qint64>(0, lockOwner());
}

bool iniFileTooLarge()
{
    return QFileInfo(SettingsFile).size() > MaxSettingsFileSize;
}

QString iniValue(const QString &key)
{
    if (iniFileTooLarge())
        return DefaultValue;
    QSettings settings(SettingsFile, QSettings::IniFormat);
    return settings.value(key, DefaultValue).toString();
}

bool setIniValue(const QString &key, const QString &value)
{
    if (iniFileTooLarge() || !waitForLock())
        return false;
    QSettings settings(SettingsFile, QSettings::IniFormat);
    settings.setValue(key, value);
    settings.sync();
    // A parse error of the old content masks whether the new one was written; reading
    // the key back tells.
    if (settings.status() == QSettings::FormatError)
        return iniValue(key) == value;
    return settings.status() == QSettings::NoError;
}

bool iniFileDamaged()
{
    if (iniFileTooLarge())
        return true;
    QSettings settings(SettingsFile, QSettings::IniFormat);
    settings.allKeys(); // the file is parsed on first access
    return settings.status() == QSettings::FormatError;
}
