#pragma once

#include <QtGlobal>

namespace Koru {

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

// The clock of one waiting step, in milliseconds of the host's clock: when its command is
// repeated, when the device's presence is tested and when it gives up. An answer that
// arrives at the give-up time itself still counts, so the step gives up only after it.
class StepWait
{
public:
    // The step's command has just been sent.
    void begin(const UpgradeStepTimes &stepTimes, qint64 now);

    bool givenUp(qint64 now) const { return now - began >= times.giveUpMs; }
    // True once per repetition that is due; the command counts as sent again.
    bool takeResend(qint64 now);
    // True once per presence test that is due.
    bool takePresenceTest(qint64 now);
    // When something is due next.
    qint64 nextDue() const;

private:
    UpgradeStepTimes times;
    qint64 began = 0;
    qint64 sent = 0;
    qint64 tested = 0;
};

} // namespace Koru
