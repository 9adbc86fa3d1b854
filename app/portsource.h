#pragma once

#include "commandline.h"

#include <QCoreApplication>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <utility>

class PortEnumerator;
namespace Koru {
class SimulatorThread;
}

// Where the window looks for the controller: the system's ports, plus the path of
// --device, or a simulated controller served on its own thread for --demo.
class PortSource
{
    Q_DECLARE_TR_FUNCTIONS(PortSource)

public:
    PortSource();
    ~PortSource();

    bool start(const CommandLine &options);
    QString errorText() const { return error; }

    // The enumerator for the window's device link (null: the link takes the system's own).
    PortEnumerator *takeEnumerator() { return std::exchange(enumerator, nullptr); }

private:
    bool startSimulator();

    QTemporaryDir linkDir;
    std::unique_ptr<Koru::SimulatorThread> simulator;
    QString devicePath;
    PortEnumerator *enumerator = nullptr;
    QString error;
};
