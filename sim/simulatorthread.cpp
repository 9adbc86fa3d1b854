#include "simulatorthread.h"

#include <QMetaObject>

namespace Koru {

SimulatorThread::SimulatorThread(const SimulatorOptions &options, QObject *parent)
    : QObject(parent), latestOptions(options)
{
    thread.setObjectName(QStringLiteral("device simulator"));
}

SimulatorThread::~SimulatorThread()
{
    stop();
}

bool SimulatorThread::start(const QString &stablePath)
{
    if (thread.isRunning())
        return false;
    hostObject = new SimulatorHost(latestOptions);
    hostObject->moveToThread(&thread);
    // The host is deleted on its own thread once the event loop there has ended.
    connect(&thread, &QThread::finished, hostObject, &QObject::deleteLater);
    thread.start();

    bool started = false;
    SimulatorHost *host = hostObject;
    QMetaObject::invokeMethod(
        host,
        [this, host, stablePath, &started] {
            started = host->start(stablePath);
            error = host->errorString();
        },
        Qt::BlockingQueuedConnection);
    if (!started)
        stop();
    return started;
}

void SimulatorThread::stop()
{
    if (!thread.isRunning())
        return;
    thread.quit();
    thread.wait();
    hostObject = nullptr;
}

QString SimulatorThread::portPath() const
{
    if (!hostObject)
        return {};
    if (QThread::currentThread() == &thread)
        return hostObject->portPath();
    QString path;
    SimulatorHost *host = hostObject;
    QMetaObject::invokeMethod(
        host, [host, &path] { path = host->portPath(); }, Qt::BlockingQueuedConnection);
    return path;
}

template<typename Function>
void SimulatorThread::post(Function function) const
{
    if (hostObject)
        QMetaObject::invokeMethod(hostObject, function, Qt::QueuedConnection);
}

void SimulatorThread::setOptions(const SimulatorOptions &options)
{
    latestOptions = options; // kept for a restart of the thread
    SimulatorHost *host = hostObject;
    post([host, options] { host->simulator()->setOptions(options); });
}

void SimulatorThread::vanish()
{
    SimulatorHost *host = hostObject;
    post([host] { host->vanish(); });
}

void SimulatorThread::reappear()
{
    SimulatorHost *host = hostObject;
    post([host] { host->reappear(); });
}

} // namespace Koru
