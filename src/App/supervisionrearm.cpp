#include "supervisionrearm.h"

#include "appstate.h"
#include "embeddedappguard.h"
#include "externallaunchguard.h"
#include "quitplanscheduler.h"

void AppStateSupervisionRearm::refreshEmbeddedGuard()
{
    m_state.embeddedGuard().refresh();
}

void AppStateSupervisionRearm::sweepRunningBlocked()
{
    m_state.externalLaunchGuard().sweepRunningBlocked();
}

void AppStateSupervisionRearm::scheduleNextWindowSweep()
{
    m_state.externalLaunchGuard().scheduleNextWindowSweep();
}

void AppStateSupervisionRearm::rescheduleQuitPlans()
{
    m_state.quitScheduler().reschedule();
}

void AppStateSupervisionRearm::refreshSupervisionStatus()
{
    m_state.refreshSupervisionStatus();
}
