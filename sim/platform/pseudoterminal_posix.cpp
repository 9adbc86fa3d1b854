#include "pseudoterminal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace Koru {
namespace {

// Output beyond this stays unsent while nobody reads the port, as a device's USB buffer
// would overflow: later bytes are dropped.
constexpr qint64 MaxPending = 256 * 1024;

bool setFlag(int fd, int getCommand, int setCommand, int flag)
{
    const int flags = fcntl(fd, getCommand);
    return flags >= 0 && fcntl(fd, setCommand, flags | flag) == 0;
}

QByteArray readLink(const QByteArray &path)
{
    char target[256];
    const ssize_t length = ::readlink(path.constData(), target, sizeof target);
    return length < 0 ? QByteArray() : QByteArray(target, int(length));
}

} // namespace

PseudoTerminal::PseudoTerminal(QObject *parent) : QObject(parent) {}

PseudoTerminal::~PseudoTerminal()
{
    close();
}

bool PseudoTerminal::open()
{
    close();
    if (!createMaster() || !holdSlaveRaw() || !updateLink()) {
        const QString reason = error;
        close();
        error = reason;
        return false;
    }
    readNotifier = new QSocketNotifier(masterFd, QSocketNotifier::Read, this);
    connect(readNotifier, &QSocketNotifier::activated, this, &PseudoTerminal::readAvailable);
    writeNotifier = new QSocketNotifier(masterFd, QSocketNotifier::Write, this);
    writeNotifier->setEnabled(false);
    connect(writeNotifier, &QSocketNotifier::activated, this, &PseudoTerminal::flush);
    error.clear();
    return true;
}

bool PseudoTerminal::createMaster()
{
    masterFd = posix_openpt(O_RDWR | O_NOCTTY);
    if (masterFd < 0)
        return fail(QStringLiteral("posix_openpt"));
    if (!setFlag(masterFd, F_GETFL, F_SETFL, O_NONBLOCK) || !setFlag(masterFd, F_GETFD, F_SETFD, FD_CLOEXEC))
        return fail(QStringLiteral("fcntl"));
    if (grantpt(masterFd) != 0 || unlockpt(masterFd) != 0)
        return fail(QStringLiteral("grantpt/unlockpt"));
    char name[128];
    if (ptsname_r(masterFd, name, sizeof name) != 0)
        return fail(QStringLiteral("ptsname_r"));
    slave = QFile::decodeName(name);
    return true;
}

bool PseudoTerminal::holdSlaveRaw()
{
    // Raw from the start, so nothing is echoed or translated before the client sets the
    // line up itself.
    slaveFd = ::open(QFile::encodeName(slave).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveFd < 0)
        return fail(QStringLiteral("open %1").arg(slave));
    termios settings{};
    if (tcgetattr(slaveFd, &settings) != 0)
        return fail(QStringLiteral("tcgetattr"));
    cfmakeraw(&settings);
    cfsetispeed(&settings, B115200);
    cfsetospeed(&settings, B115200);
    if (tcsetattr(slaveFd, TCSANOW, &settings) != 0)
        return fail(QStringLiteral("tcsetattr"));
    return true;
}

bool PseudoTerminal::updateLink()
{
    if (link.isEmpty())
        return true;
    const QFileInfo info(link);
    if (info.exists() && !info.isSymLink()) {
        errno = EEXIST;
        return fail(link);
    }
    if (!QDir().mkpath(info.absolutePath()))
        return fail(QStringLiteral("mkdir %1").arg(info.absolutePath()));
    // A fresh link renamed over the old one re-points it without a moment of absence.
    const QByteArray target = QFile::encodeName(slave);
    const QByteArray path = QFile::encodeName(link);
    const QByteArray fresh = path + ".new";
    ::unlink(fresh.constData());
    if (::symlink(target.constData(), fresh.constData()) != 0)
        return fail(QStringLiteral("symlink %1").arg(link));
    if (::rename(fresh.constData(), path.constData()) != 0) {
        const int reason = errno;
        ::unlink(fresh.constData());
        errno = reason;
        return fail(QStringLiteral("rename %1").arg(link));
    }
    return true;
}

void PseudoTerminal::removeLink()
{
    // Only a link that still points at this terminal's slave is ours to remove.
    const QByteArray path = QFile::encodeName(link);
    if (!link.isEmpty() && !slave.isEmpty() && readLink(path) == QFile::encodeName(slave))
        ::unlink(path.constData());
}

bool PseudoTerminal::fail(const QString &what)
{
    error = QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

void PseudoTerminal::close()
{
    removeLink();
    closeDescriptors();
}

void PseudoTerminal::hangUp()
{
    closeDescriptors();
}

void PseudoTerminal::closeDescriptors()
{
    for (QSocketNotifier *notifier : {readNotifier, writeNotifier}) {
        if (notifier) {
            // Deleted later: close() may run inside a slot reached from the notifier.
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    }
    readNotifier = nullptr;
    writeNotifier = nullptr;
    for (int *fd : {&masterFd, &slaveFd}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    slave.clear();
    queue.clear();
    pending = 0;
}

void PseudoTerminal::readAvailable()
{
    char buffer[4096];
    QByteArray bytes;
    for (;;) {
        const ssize_t count = ::read(masterFd, buffer, sizeof buffer);
        if (count > 0)
            bytes.append(buffer, int(count));
        else if (count < 0 && errno == EINTR)
            continue;
        else
            break;
    }
    if (!bytes.isEmpty())
        emit received(bytes);
}

void PseudoTerminal::write(const QByteArray &bytes)
{
    if (!isOpen() || bytes.isEmpty() || pending + bytes.size() > MaxPending)
        return;
    queue.push_back(bytes);
    pending += bytes.size();
    flush();
}

void PseudoTerminal::flush()
{
    while (!queue.empty()) {
        QByteArray &front = queue.front();
        const ssize_t count = ::write(masterFd, front.constData(), size_t(front.size()));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            queue.clear();
            pending = 0;
            break;
        }
        if (count < 0)
            break;
        pending -= count;
        if (count < front.size()) {
            front.remove(0, int(count));
            break;
        }
        queue.pop_front();
    }
    if (writeNotifier)
        writeNotifier->setEnabled(!queue.empty());
}

} // namespace Koru
