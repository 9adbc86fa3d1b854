#include "upgradewait.h"

#include "devicestate.h"
#include "upgradehost.h"

#include <algorithm>

namespace Koru {

StepAnswer awaitStepAnswer(UpgradeHost &host, DeviceState &state, const UpgradeStepTimes &times,
                           const std::function<bool()> &accepted, const std::function<void()> &resend)
{
    int elapsed = 0;
    int sinceSend = 0;
    int sincePresence = 0;
    for (;;) {
        host.receive();
        if (state.upgAckFlag) {
            state.upgAckFlag = false;
            if (accepted())
                return StepAnswer::Accepted;
        } else if (state.upgErrorCode < 0) {
            return StepAnswer::Refused;
        }
        if (elapsed >= times.giveUpMs)
            return StepAnswer::TimedOut;
        if (sinceSend >= times.resendMs) {
            resend();
            sinceSend = 0;
        }
        int next = std::min(times.resendMs - sinceSend, times.giveUpMs - elapsed);
        if (times.presenceMs > 0) {
            if (sincePresence >= times.presenceMs) {
                if (!host.devicePresent())
                    return StepAnswer::DeviceLost;
                sincePresence = 0;
            }
            next = std::min(next, times.presenceMs - sincePresence);
        }
        const int waited = host.wait(std::max(next, 1));
        elapsed += waited;
        sinceSend += waited;
        sincePresence += waited;
    }
}

} // namespace Koru
