#pragma once

#include "simulatorhost.h"

#include <QObject>
#include <QString>
#include <QThread>

namespace Koru {

// Runs a SimulatorHost on a thread of its own with its own event loop, so the devices
// keep answering while the caller's thread blocks or waits in nested loops.
class SimulatorThread : public QObject
{
    Q_OBJECT

public:
    explicit SimulatorThread(const SimulatorOptions &options = {}, QObject *parent = nullptr);
    ~SimulatorThread() override;

    // Starts the thread and opens the port there; returns once the port is ready.
    bool start(const QString &stablePath = {});
    void stop();
    bool isRunning() const { return thread.isRunning(); }
    QString errorString() const { return error; }

    // Asks the simulator thread and waits for the answer.
    QString portPath() const;

    // Queued into the simulator thread; they return at once.
    void setOptions(const SimulatorOptions &options);
    void vanish();
    void reappear();

    // Lives on the simulator thread: use it only through queued invocations and
    // connections (its signals may be connected from anywhere).
    SimulatorHost *host() const { return hostObject; }

private:
    template<typename Function>
    void post(Function function) const;

    SimulatorOptions latestOptions;
    QThread thread;
    SimulatorHost *hostObject = nullptr;
    QString error;
};

} // namespace Koru
