#pragma once

#include <functional>

class AppState;

// What a writer of supervision data calls once it has saved: writers of rules re-arm the launch guards (the
// embedded-app guard refreshes, then the external-launch guard quits running blocked apps and schedules its next
// sweep), writers of plans reschedule the quit timers. The program's hooks forward to the state object's services;
// tests hand in hooks that record.
struct SupervisionWriteHooks
{
    std::function<void()> rearmGuards;
    std::function<void()> reschedulePlans;

    // The hooks that call the state object's guards and quit scheduler; the state outlives them.
    [[nodiscard]] static SupervisionWriteHooks forState(AppState &state);
};
