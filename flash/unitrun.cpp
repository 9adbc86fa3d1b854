#include "unitrun.h"

#include "devicelink.h"
#include "deviceport.h"
#include "options.h"
#include "output.h"
#include "portproblem.h"
#include "protocolids.h"
#include "upgradesession.h"

#include <QDateTime>

using namespace Koru;

namespace {
// How long a controller that restarts into its boot loader may take to come back.
constexpr int RestartWithinMs = 25000;
// After the reset the device is asked for its versions this often, this many times.
constexpr int VersionAskMs = 500;
constexpr int VersionAsks = 4;
// How long the frames still in the port's buffer may take to leave.
constexpr int FlushWithinMs = 2000;
} // namespace

UnitRun::UnitRun(const UnitJob &job, const PortInfo &unit, QObject *parent)
    : QObject(parent), job(job), unit(unit)
{
    result.usbSerial = unit.serialNumber;
    result.target = job.target;
    result.imagePath = job.image.path;
    result.imageSize = job.image.bytes.size();
    result.imageSha256 = job.image.sha256;
    restartWait.setSingleShot(true);
    restartWait.setInterval(RestartWithinMs);
    connect(&restartWait, &QTimer::timeout, this, [this] {
        link->upgrade().clearFlag();
        complete(verdictOf(UpgradeOutcome::DeviceLost, this->job.target, {}));
    });
    versionWait.setInterval(VersionAskMs);
    connect(&versionWait, &QTimer::timeout, this, &UnitRun::askVersionsAfter);
}

UnitRun::~UnitRun() = default;

void UnitRun::begin()
{
    result.startedUtc = QDateTime::currentDateTimeUtc();
    startedMs = QDateTime::currentMSecsSinceEpoch();
    link = std::make_unique<DeviceLink>(new SerialDevicePort, new UnitEnumerator(job.sources.create(), unit));
    connect(link.get(), &DeviceLink::openFailed, this, &UnitRun::onOpenFailed);
    connect(link.get(), &DeviceLink::responseReceived, this, &UnitRun::onAnswer);
    UpgradeSession &upgrade = link->upgrade();
    UpgradeTimings timings;
    timings.start.giveUpMs = job.answerTimeoutMs;
    timings.restart.giveUpMs = job.answerTimeoutMs;
    upgrade.setTimings(timings);
    connect(&upgrade, &UpgradeSession::progress, this, [this](int, int maximum, int value) {
        emit progress(maximum > 0 ? value * 100 / maximum : 0);
    });
    connect(&upgrade, &UpgradeSession::message, this, [this](int, const TextKey &text, bool ends) {
        if (ends)
            ending = text.text();
        else
            emit notice(text.text());
    });
    connect(&upgrade, &UpgradeSession::finished, this,
            [this](int, UpgradeOutcome outcome) { onUpgradeFinished(outcome); });

    link->start();
    if (completed)
        return;
    result.port = link->portName();
    if (!link->isOpen()) {
        complete({ExitNoDevice, QStringLiteral("no-device"),
                  FlashText::tr("no remote controller found; name its port with --device PATH")});
        return;
    }
    upgrade.start(job.image.bytes, job.target, 0);
}

void UnitRun::onOpenFailed(DevicePort::OpenError error)
{
    const PortProblem problem = PortProblem::of(link->devicePortName(), error);
    complete({ExitNoDevice, problem.key, problem.message});
}

// The target's identity and version, before the upgrade and again after its reset.
void UnitRun::onAnswer(const DecodedResponse &response)
{
    if (response.source != job.target)
        return;
    DeviceInfo &device = upgraded ? result.after : result.before;
    if (takeDeviceAnswer(response, link->state(), &device) && upgraded && !result.after.firmwareVersion.isEmpty()
        && !result.after.serialNumber.isEmpty())
        complete(verdictOf(UpgradeOutcome::Succeeded, job.target, ending));
}

void UnitRun::onUpgradeFinished(UpgradeOutcome outcome)
{
    if (outcome == UpgradeOutcome::Restarting) {
        // The resumed run, on this unit's port when it comes back, ends the wait.
        emit notice(FlashText::tr("The remote controller is restarting into its boot loader"));
        restartWait.start();
        return;
    }
    restartWait.stop();
    if (outcome != UpgradeOutcome::Succeeded) {
        complete(verdictOf(outcome, job.target, ending));
        return;
    }
    emit progress(100);
    upgraded = true;
    askVersionsAfter();
    versionWait.start();
}

void UnitRun::askVersionsAfter()
{
    if (versionAsks++ == VersionAsks) {
        complete(verdictOf(UpgradeOutcome::Succeeded, job.target, ending));
        return;
    }
    link->send(CommonSet, CMD_ID_UID, job.target);
    link->send(CommonSet, CMD_ID_VERSION, job.target);
}

void UnitRun::stop()
{
    if (link && !completed && link->upgrade().isRunning() && link->upgrade().isFlagSet()) {
        emit notice(FlashText::tr("stopping after the current packet"));
        link->upgrade().requestStop();
        return;
    }
    // An upgrade step still waiting for its answer keeps this thread until its time-out;
    // the port closes now, so that its lock goes even when the program ends before that.
    if (link)
        link->close();
    complete(verdictOf(UpgradeOutcome::Stopped, job.target, {}));
}

void UnitRun::complete(const Verdict &verdict)
{
    if (completed)
        return;
    completed = true;
    restartWait.stop();
    versionWait.stop();
    result.verdict = verdict;
    result.durationMs = QDateTime::currentMSecsSinceEpoch() - startedMs;
    // Every frame leaves, the reset that ends an upgrade included; the port closes with the
    // link when the unit's thread ends.
    if (link)
        link->flush(FlushWithinMs);
    emit finished(result);
}
