#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

class QWidget;
namespace Koru {
class SimulatorThread;
}

// What the soak runs measure and drive, shared by the load run and the device attacks.

// Resident memory of this process (VmRSS) in KiB; -1 when it cannot be read.
qint64 residentKiB();

QByteArray pseudoRandomImage(quint32 seed, int size);

struct RowUpgrade
{
    QString problem; // the run did not end, or was stopped at the limit; empty otherwise
    QString message; // what the row showed at the end
    qint64 elapsedMs = 0;
};

// Chooses the file in the device's row of the shown upgrade page and starts the upgrade as
// a user does; the click returns when the transfer has ended. A transfer still running
// after limitMs is stopped. The row is closed afterwards to free the lock.
RowUpgrade upgradeInRow(QWidget *window, uint8_t deviceId, const QString &file, int limitMs);
// The same, for a run that must succeed: returns what went wrong, or nothing.
QString upgradeThroughRow(QWidget *window, uint8_t deviceId, const QString &file, int limitMs);
// The row's message for a confirmed upgrade, in the language in force.
QString upgradeSucceededText();

// The image the simulated device last completed.
QByteArray completedImage(Koru::SimulatorThread &simulator, uint8_t deviceId);
