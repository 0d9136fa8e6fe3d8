#include "supervisionwritehooks.h"

#include "supervisionrearm.h"

#include <memory>

SupervisionWriteHooks SupervisionWriteHooks::forState(AppState &state)
{
    // One way to the state object's guards and scheduler: the same forwarding the panel and the import use.
    auto rearm = std::make_shared<AppStateSupervisionRearm>(state);
    return SupervisionWriteHooks{
        [rearm] { rearm->rearmGuards(); },
        [rearm] { rearm->rescheduleQuitPlans(); },
    };
}
