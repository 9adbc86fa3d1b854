#pragma once

#include "commandline.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <utility>

class PortEnumerator;
namespace Koru {
class SimulatorThread;
}

// Sets up where the window looks for the controller: the system's ports, plus the path
// of --device, or a simulated controller served on its own thread for --demo.
class DemoLink
{
public:
    DemoLink();
    ~DemoLink();

    bool start(const CommandLine &options);
    QString errorText() const { return error; }

    // The enumerator for the window (null: the window makes the system's own).
    PortEnumerator *takeEnumerator() { return std::exchange(enumerator, nullptr); }

private:
    bool startSimulator();

    QTemporaryDir linkDir;
    std::unique_ptr<Koru::SimulatorThread> simulator;
    QString devicePath;
    PortEnumerator *enumerator = nullptr;
    QString error;
};
