#include "portsource.h"

#include "portenumerator.h"
#include "simulatorthread.h"

#include <QDir>

PortSource::PortSource() = default;

PortSource::~PortSource()
{
    delete enumerator;
}

bool PortSource::start(const CommandLine &options)
{
    devicePath = options.devicePath;
    if (options.demo && !startSimulator())
        return false;
    if (!devicePath.isEmpty())
        enumerator = new FixedPathEnumerator(new SystemPortEnumerator, devicePath);
    return true;
}

bool PortSource::startSimulator()
{
    if (!linkDir.isValid()) {
        error = tr("Cannot create a folder for the simulated port: %1").arg(linkDir.errorString());
        return false;
    }
    const QString link = QDir(linkDir.path()).filePath(QStringLiteral("ttyKORU0"));
    simulator = std::make_unique<Koru::SimulatorThread>();
    if (!simulator->start(link)) {
        error = tr("Cannot start the simulated controller: %1").arg(simulator->errorString());
        return false;
    }
    devicePath = link;
    return true;
}
