#pragma once

#include "frame.h"

#include <QVector>

#include <cstdint>

namespace Koru {

// Behaviour and fault knobs of the simulated devices. Every field can be given at
// construction and changed while the simulator runs.
struct SimulatorOptions
{
    // Check mode of every answer frame.
    CheckMode checkMode = CheckPlain;
    // Answers leave in random pieces of 1 to 7 bytes, about a millisecond apart.
    bool splitOutput = false;
    // A few random bytes (never 0xAA) go out before each frame.
    bool noise = false;
    // Time a device takes to answer a request.
    int processingDelayMs = 0;
    // Every n-th upgrade data packet is stored but not acknowledged; 0 acknowledges all.
    int dropEveryNthAck = 0;
    // Every upgrade data packet is acknowledged three times, then the packet before it once
    // more (a noisy link, a retrying firmware).
    bool repeatAcks = false;
    // The upgrade end is answered first by an acknowledgement of a packet one past the last.
    bool strayAckAtEnd = false;
    // Negative status codes that refuse the upgrade start, every data packet or the end;
    // 0 accepts.
    int8_t refuseStartCode = 0;
    int8_t refuseDataCode = 0;
    int8_t refuseEndCode = 0;
    // Devices run their application and answer the upgrade start with status 2 once, then
    // restart into their boot loader: the remote controller's port goes away and comes
    // back, a module answers nothing until its restart is over.
    bool startInApplication = false;
    // Data bytes per upgrade packet announced by the boot loader (1 to 253).
    int packetSize = 128;
    // Live channel values per second while "rc_pc 1" is in force; 0 sends none.
    int liveValueRateHz = 50;
    // Device ids that answer on the link.
    QVector<uint8_t> deviceIds = {RemoteControllerId, 0x13, 0x1E, ModuleSideId, GimbalCameraId};
    // The calibration status reports the error flag.
    bool calibrationError = false;
    // Time the controller spends on the centre positions after a calibration start.
    int calibrationCentreMs = 1500;
    // Time from the application-mode answer to the restart into the boot loader, and how
    // long the restart takes (the controller's port stays away; a module is silent for
    // both times together).
    int restartDelayMs = 300;
    int restartDowntimeMs = 1000;
    // The controller takes no set command for this channel (1 to 16; 0: it takes all).
    int ignoreSetsOfChannel = 0;
    // The controller never answers a query for this channel (1 to 16; 0: it answers all).
    int silentChannel = 0;
    // Seed for the random pieces and noise; 0 picks a random seed.
    quint32 seed = 0;
};

} // namespace Koru
