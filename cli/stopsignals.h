#pragma once

#include <functional>

class QObject;

// How often the handler given to handleStopSignals() runs.
enum class SignalRepeat {
    Every, // for each SIGINT and SIGTERM
    Once,  // for the first; the next one ends the program the default way
};

// Runs handler in the event loop, with context as its receiver, when SIGINT or SIGTERM
// arrives. The signals reach the loop through a socket pair, the one thing a signal handler
// may safely touch. False when they cannot be watched. Meant for one call per program.
bool handleStopSignals(QObject *context, std::function<void()> handler, SignalRepeat repeat);
