#include "demolink.h"

#include "portenumerator.h"
#include "simulatorhost.h"

#include <QDir>
#include <QMetaObject>

DemoLink::~DemoLink()
{
    simulatorThread.quit(); // the host is deleted as the thread finishes
    simulatorThread.wait();
    delete enumerator;
}

bool DemoLink::start(const CommandLine &options)
{
    devicePath = options.devicePath;
    if (options.demo && !startSimulator())
        return false;
    if (!devicePath.isEmpty())
        enumerator = new FixedPathEnumerator(new SystemPortEnumerator, devicePath);
    return true;
}

bool DemoLink::startSimulator()
{
    if (!linkDir.isValid()) {
        error = QStringLiteral("Cannot create a folder for the simulated port: %1").arg(linkDir.errorString());
        return false;
    }
    host = new Koru::SimulatorHost;
    host->moveToThread(&simulatorThread);
    QObject::connect(&simulatorThread, &QThread::finished, host, &QObject::deleteLater);
    simulatorThread.start();

    const QString link = QDir(linkDir.path()).filePath(QStringLiteral("ttyKORU0"));
    bool started = false;
    QMetaObject::invokeMethod(
        host, [this, link] { return host->start(link); }, Qt::BlockingQueuedConnection, &started);
    if (!started) {
        error = QStringLiteral("Cannot start the simulated controller.");
        return false;
    }
    devicePath = link;
    return true;
}
