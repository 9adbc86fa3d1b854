#pragma once

#include <functional>

struct DeviceState;

namespace Koru {

class UpgradeHost;

// Repetition, time-out and presence-test intervals of one waiting step; a presence
// interval of 0 means the step does not test for the device.
struct UpgradeStepTimes
{
    int resendMs = 0;
    int giveUpMs = 0;
    int presenceMs = 0;
};

struct UpgradeTimings
{
    UpgradeStepTimes start{3000, 45000, 5000};
    // A module that answered the start from its application restarts into its boot loader;
    // the start is repeated until the boot loader answers it.
    UpgradeStepTimes restart{500, 45000, 5000};
    UpgradeStepTimes data{120, 30000, 1000};
    UpgradeStepTimes end{1000, 60000, 0};
};

enum class StepAnswer { Accepted, Refused, TimedOut, DeviceLost };

// Polls the host's receive path until the step's answer is accepted, the device refuses,
// the step times out or the device is gone; repeats the command meanwhile. The last poll
// comes at the time-out itself, so an answer that arrives just in time still counts.
StepAnswer awaitStepAnswer(UpgradeHost &host, DeviceState &state, const UpgradeStepTimes &times,
                           const std::function<bool()> &accepted, const std::function<void()> &resend);

} // namespace Koru
