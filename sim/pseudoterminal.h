#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <deque>

class QSocketNotifier;

namespace Koru {

// The master side of a pseudo-terminal whose slave side a client opens as a serial port.
// Optionally keeps a symbolic link at a fixed path pointing at the current slave, so the
// client finds the port under one name across close and reopen.
class PseudoTerminal : public QObject
{
    Q_OBJECT

public:
    explicit PseudoTerminal(QObject *parent = nullptr);
    ~PseudoTerminal() override;

    // The link is made or re-pointed by open() and removed by close(). Empty: no link.
    void setLinkPath(const QString &path) { link = path; }
    QString linkPath() const { return link; }

    bool open();
    void close();
    // Hangs the line up as a USB reset or a reboot does: the client's open descriptor reports
    // hang-up, while the link stays and names the old slave until open() re-points it.
    void hangUp();
    bool isOpen() const { return masterFd >= 0; }
    QString slavePath() const { return slave; }
    QString errorString() const { return error; }

    // Writes at once what the terminal takes and keeps the rest for later.
    void write(const QByteArray &bytes);
    qint64 pendingBytes() const { return pending; }

signals:
    void received(const QByteArray &bytes);

private:
    bool createMaster();
    bool holdSlaveRaw();
    bool updateLink();
    void removeLink();
    bool fail(const QString &what);
    void closeDescriptors();
    void readAvailable();
    void flush();

    int masterFd = -1;
    int slaveFd = -1; // kept open so the master never reads EIO while no client is there
    QString slave;
    QString link;
    QString error;
    QSocketNotifier *readNotifier = nullptr;
    QSocketNotifier *writeNotifier = nullptr;
    std::deque<QByteArray> queue;
    qint64 pending = 0;
};

} // namespace Koru
