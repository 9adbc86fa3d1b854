#pragma once

#include "deviceport.h"
#include "image.h"
#include "portsources.h"
#include "unitresult.h"
#include "upgradeengine.h"

#include <QObject>
#include <QTimer>

#include <memory>

namespace Koru {
class DeviceLink;
struct DecodedResponse;
}

// What every unit of one koru-flash run gets.
struct UnitJob
{
    PortSources sources;
    FirmwareImage image;
    uint8_t target = 0;
    int answerTimeoutMs = 0;
};

// One controller's upgrade, from opening its port to the device's answers after its reset.
// Runs on signals and timers; a controller that restarts into its boot loader is waited for
// on its own USB serial number.
class UnitRun : public QObject
{
    Q_OBJECT

public:
    // The unit is a controller the sources list.
    UnitRun(const UnitJob &job, const PortInfo &unit, QObject *parent = nullptr);
    ~UnitRun() override;

public slots:
    void begin();
    // Ctrl-C: a transfer stops after the packet on its way, leaving the device in its boot
    // loader; before or between transfers the run ends at once.
    void stop();

signals:
    void progress(int percent);
    void notice(const QString &text);
    void finished(const UnitResult &result);

private:
    void onOpenFailed(DevicePort::OpenError error);
    void onAnswer(const Koru::DecodedResponse &response);
    void onUpgradeFinished(Koru::UpgradeOutcome outcome);
    void askVersionsAfter();
    void complete(const Verdict &verdict);

    const UnitJob &job;
    const PortInfo unit;
    UnitResult result;
    std::unique_ptr<Koru::DeviceLink> link;
    QString ending;
    bool upgraded = false;
    bool completed = false;
    int versionAsks = 0;
    QTimer restartWait{this}; // children, so that they move to the unit's thread along with it
    QTimer versionWait{this};
    qint64 startedMs = 0;
};
