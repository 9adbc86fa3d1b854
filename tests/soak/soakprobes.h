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

// Chooses the file in the device's row of the shown upgrade page and starts the upgrade as
// a user does; the click returns when the transfer has ended. A transfer still running
// after limitMs is stopped. The row is closed afterwards to free the lock. Returns what
// went wrong, or nothing.
QString upgradeThroughRow(QWidget *window, uint8_t deviceId, const QString &file, int limitMs);

// The image the simulated device last completed.
QByteArray completedImage(Koru::SimulatorThread &simulator, uint8_t deviceId);
