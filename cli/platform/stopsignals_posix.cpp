#include "stopsignals.h"

#include <QObject>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The signal handler writes to the first socket; the event loop reads the second.
int signalSockets[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
}

bool setSignalAction(void (*action)(int))
{
    struct sigaction handling = {};
    handling.sa_handler = action;
    sigemptyset(&handling.sa_mask);
    handling.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &handling, nullptr) == 0 && ::sigaction(SIGTERM, &handling, nullptr) == 0;
}

} // namespace

bool handleStopSignals(QObject *context, std::function<void()> handler, SignalRepeat repeat)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalSockets) != 0)
        return false;
    auto *notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [notifier, handler, repeat] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(signalSockets[1], &byte, 1);
        if (repeat == SignalRepeat::Once) {
            notifier->setEnabled(false);
            setSignalAction(SIG_DFL);
        }
        handler();
    });
    return setSignalAction(onSignal);
}
