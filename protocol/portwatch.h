#pragma once

#include <functional>

class QObject;

// Asks the system to tell when serial ports come or go: onNotice runs in the event loop
// after each notice, often several for one change. What it sets up belongs to owner. False
// where the system tells nothing; the caller then compares the port list on a timer.
bool watchPortChanges(QObject *owner, const std::function<void()> &onNotice);
