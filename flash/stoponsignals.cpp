#include "stoponsignals.h"

#include "commandlinetool.h"
#include "devicelink.h"
#include "options.h"
#include "output.h"
#include "stopsignals.h"
#include "upgradesession.h"

#include <unistd.h>

using namespace Koru;

void stopOnSignals(DeviceLink &link, Output &output)
{
    handleStopSignals(
        &link,
        [&link, &output] {
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
        },
        SignalRepeat::Once);
}
