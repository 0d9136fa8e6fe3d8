#include "supervisionwritehooks.h"

#include "appstate.h"
#include "embeddedappguard.h"
#include "externallaunchguard.h"
#include "quitplanscheduler.h"

SupervisionWriteHooks SupervisionWriteHooks::forState(AppState &state)
{
    return SupervisionWriteHooks{
        [&state] {
            state.embeddedGuard().refresh();
            state.externalLaunchGuard().sweepRunningBlocked();
            state.externalLaunchGuard().scheduleNextWindowSweep();
        },
        [&state] { state.quitScheduler().reschedule(); },
    };
}
