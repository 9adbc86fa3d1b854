#pragma once

#include "hostiledevice.h"

#include <QString>
#include <QStringList>

class MainWindow;
namespace Koru {
class SimulatorThread;
}

// The soak test's hostile mode: attacks of a broken or malicious device on one window
// attached to the simulator, one after another. Each runs for the given time while the
// figures its limits speak of are taken: the window stays alive, its resident memory grows
// less than 20 MB, kestan.log less than 10 MB, its periodic polls go on and an upgrade run
// meanwhile arrives whole.
class HostileSoak
{
public:
    static constexpr int AttackCount = 8;

    HostileSoak(MainWindow &window, Koru::SimulatorThread &simulator, const QString &directory);

    // What broke a limit, one entry per attack and limit.
    QStringList runAll(int attackMs);

private:
    struct Attack;
    struct Figures;

    QStringList run(const Attack &attack, int attackMs);
    Figures attack(const Attack &attack, int attackMs);
    QString upgradeMeanwhile();
    static void report(const Attack &attack, const Figures &figures);
    static QStringList limitsBroken(const Attack &attack, const Figures &figures);
    template<typename Function>
    void onSimulatorThread(Function function);

    MainWindow &window;
    Koru::SimulatorThread &simulator;
    QString directory;
    HostileDevice *device = nullptr;
    int attacksRun = 0;
};
