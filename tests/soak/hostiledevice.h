#pragma once

#include "framereassembler.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

namespace Koru {
class SimulatorHost;
}

// A broken or hostile device beside the simulated ones: it puts frames nobody asked for on
// the simulator's port, and counts what the window writes meanwhile. It lives on the
// simulator's thread; the test reaches it through blocking queued calls.
class HostileDevice : public QObject
{
public:
    using FrameMaker = std::function<QByteArray(int number)>;

    // Frames of one kind the window sends periodically, and how many make one burst.
    struct Poll
    {
        uint8_t set = 0;
        uint8_t id = 0;
        uint8_t target = 0;
        int framesPerBurst = 1;
    };

    struct Counts
    {
        qint64 framesSent = 0;    // by this device
        qint64 framesWritten = 0; // by the window
        qint64 pollFrames = 0;
        qint64 lastPollMs = -1; // since the start
        qint64 cameraSets = 0;
        qint64 elapsedMs = 0;
    };

    explicit HostileDevice(Koru::SimulatorHost *host);

    // Sends maker's frames one after another: framesPerSecond of them, or with 0 as fast as
    // the pseudo-terminal takes them.
    void start(FrameMaker maker, int framesPerSecond, Poll poll);
    Counts stop();

private:
    void sendMore();
    void count(const QByteArray &written);

    Koru::SimulatorHost *host;
    QTimer sendTimer{this};
    QElapsedTimer clock;
    FrameMaker nextFrame;
    int rate = 0;
    Poll watchedPoll;
    Counts counts;
    Koru::FrameReassembler writes;
};
