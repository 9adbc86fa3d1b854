// koru-flash: writes a firmware or configuration file into one device behind the remote
// controller's serial port, with the same upgrade procedure as KORU Assistant, or lists the
// devices that answer.

#include "commandlinetool.h"
#include "devicelink.h"
#include "devicelist.h"
#include "options.h"
#include "output.h"
#include "stoponsignals.h"
#include "upgradesession.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>

#include <optional>

using namespace Koru;

namespace {

// How long a controller that restarts into its boot loader may take to come back.
constexpr int RestartWithinMs = 25000;

int exitCodeOf(UpgradeOutcome outcome)
{
    switch (outcome) {
    case UpgradeOutcome::Succeeded:
        return ExitSuccess;
    case UpgradeOutcome::FileError:
    case UpgradeOutcome::NotCarriable:
        return ExitFileError;
    case UpgradeOutcome::NoAnswer:
    case UpgradeOutcome::TimedOut:
        return ExitNoAnswer;
    case UpgradeOutcome::Restarting:
    case UpgradeOutcome::SendFailed:
    case UpgradeOutcome::DeviceLost:
        return ExitDeviceLost;
    case UpgradeOutcome::Stopped:
        return ExitStopped;
    case UpgradeOutcome::Busy:
    case UpgradeOutcome::Refused:
    case UpgradeOutcome::NoPacketSize:
        break;
    }
    return ExitRefused;
}

int writeFile(DeviceLink &link, const Request &request, Output &output)
{
    UpgradeSession &upgrade = link.upgrade();
    UpgradeTimings timings;
    timings.start.giveUpMs = request.answerTimeoutMs;
    timings.restart.giveUpMs = request.answerTimeoutMs;
    upgrade.setTimings(timings);
    QString ending;
    QObject::connect(&upgrade, &UpgradeSession::progress, &upgrade, [&output](int, int maximum, int value) {
        output.progress(maximum > 0 ? value * 100 / maximum : 0);
    });
    QObject::connect(&upgrade, &UpgradeSession::message, &upgrade,
                     [&output, &ending](int, const QString &text, bool ends) {
                         if (ends)
                             ending = text;
                         else
                             output.line(text);
                     });
    // The controller's restart does not end the run: finished() tells how the resumed one ended.
    upgrade.setRestartWait(RestartWithinMs);
    QObject::connect(&upgrade, &UpgradeSession::restarting, &upgrade, [&output] {
        output.line(FlashText::tr("The remote controller is restarting into its boot loader"));
    });
    std::optional<UpgradeOutcome> finished;
    QEventLoop untilFinished;
    QObject::connect(&upgrade, &UpgradeSession::finished, &untilFinished, [&](int, UpgradeOutcome outcome) {
        finished = outcome;
        untilFinished.quit();
    });
    stopOnSignals(link, output);

    upgrade.start(request.file, request.target, 0);
    if (!finished)
        untilFinished.exec();
    const UpgradeOutcome outcome = finished.value_or(UpgradeOutcome::Stopped);
    switch (outcome) {
    case UpgradeOutcome::Succeeded:
        output.line(ending);
        break;
    case UpgradeOutcome::NoAnswer:
        output.problem(FlashText::tr("device %1 did not answer; `koru-flash --list` shows the devices that do")
                           .arg(hexId(request.target)));
        break;
    case UpgradeOutcome::Stopped:
        output.problem(FlashText::tr("stopped before the end: the device did not receive the whole file"));
        break;
    case UpgradeOutcome::Restarting:
    case UpgradeOutcome::SendFailed:
    case UpgradeOutcome::DeviceLost:
        output.problem(FlashText::tr("the link to the device was lost"));
        break;
    default:
        output.problem(ending.isEmpty() ? FlashText::tr("the upgrade failed") : ending);
        break;
    }
    return exitCodeOf(outcome);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const CommandLineTool tool(QStringLiteral("koru-flash"));
    const Parsed parsed = parseCommandLine(QCoreApplication::arguments(), tool.portOption);
    if (!parsed.request)
        return parsed.exitCode;
    const Request &request = *parsed.request;
    Output output;

    // Nothing is sent for a file that cannot be read.
    if (!request.list) {
        QFile file(request.file);
        if (!file.open(QIODevice::ReadOnly)) {
            output.problem(FlashText::tr("cannot read %1: %2").arg(request.file, file.errorString()));
            return ExitFileError;
        }
    }
    // Opening the port asks every device for its identity and version.
    const std::unique_ptr<DeviceLink> link = tool.openLink(request.port);
    if (!link)
        return ExitNoDevice;
    const int exitCode = request.list ? listDevices(*link, request.json, output) : writeFile(*link, request, output);
    // Every frame leaves, the reset that ends an upgrade included, whatever the outcome.
    CommandLineTool::flush(*link);
    return exitCode;
}
