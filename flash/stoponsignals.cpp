#include "stoponsignals.h"

#include "commandlinetool.h"
#include "devicelink.h"
#include "options.h"
#include "output.h"
#include "upgradesession.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

using namespace Koru;

namespace {

// SIGINT and SIGTERM reach the event loop through a socket pair, the one thing a signal
// handler may safely touch.
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

void setSignalHandler(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

} // namespace

void stopOnSignals(DeviceLink &link, Output &output)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &link);
    QObject::connect(notifier, &QSocketNotifier::activated, &link, [&link, &output, notifier] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(signalPipe[1], &byte, 1);
        notifier->setEnabled(false);
        setSignalHandler(SIG_DFL);
        UpgradeSession &upgrade = link.upgrade();
        if (upgrade.isRunning() && upgrade.isFlagSet()) {
            output.problem(FlashText::tr("stopping after the current packet; press Ctrl-C again to quit at once"));
            output.freezeProgress();
            upgrade.requestStop();
            return;
        }
        // Inside the upgrade's waits, which cannot be left from here.
        output.problem(FlashText::tr("stopped"));
        CommandLineTool::flush(link);
        ::_exit(ExitStopped);
    });
    setSignalHandler(onSignal);
}

