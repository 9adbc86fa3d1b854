#pragma once

#include <QString>
#include <QStringList>

class MainWindow;
namespace Koru {
class DeviceLink;
class SimulatorThread;
}

// The soak test's faults mode: what real links and real users do to one window attached to
// the simulator. A cable that flaps at 50 Hz for 30 s, 20 hang-ups with the path kept (a USB
// reset), 20 upgrades through the upgrade page against boot loaders that repeat their
// acknowledgements or send a stray one before the end's answer, 60 kills of a program while
// it writes kestan.ini. Limits: the window stays alive, uses less than 10 % of a core after
// each hang-up, its resident memory grows less than 10 MB, every success it reports follows
// a positive answer of the boot loader to the end command and every failure the lack of one,
// and the steady device is polled within 5 s after each fault; a killed writer leaves
// kestan.ini whole and its lock no obstacle to the next write.
class FaultSoak
{
public:
    // window shows the upgrade page for the upgrades.
    FaultSoak(MainWindow &window, Koru::DeviceLink &link, Koru::SimulatorThread &simulator,
              const QString &directory);

    // What broke a limit, one entry per fault and limit.
    QStringList runAll();

private:
    QStringList flapping();
    QStringList hangUps();
    QStringList upgrades();
    QStringList killedSettingsWrites();
    // Milliseconds until the device answered the link's identity poll; -1 after 5 s.
    qint64 waitForPoll();
    template<typename Function>
    void onSimulatorThread(Function function);

    MainWindow &window;
    Koru::DeviceLink &link;
    Koru::SimulatorThread &simulator;
    QString directory;
    int versionAnswers = 0;
    qint64 referenceKiB = -1;
};
