#pragma once

#include "instant.h"
#include "quitplanengine.h"

#include <optional>

class QuitPlan;
class ScheduleCalendar;

// How long a plan is paused when the user pauses it once: past its next quit and the block that quit leaves
// behind, and no further. Pure; any thread.
namespace PlanPause {

// The length in minutes of the block window the engine opens at a quit of this plan: (end − quit) mod a day, so
// always under a day; 0 when the plan leaves no block (no mode, an end equal to the quit, a negative or invalid
// length).
[[nodiscard]] int blockWindowMinutes(const QuitPlanSnapshot &plan);

// The end of a pause-once that starts now: the plan's next quit after `now` (any current pause ignored) plus its
// block window, or plus one minute when the window is empty, so the pause covers the quit itself and not the next
// day's. None when the plan has no next quit (no weekdays); there is then nothing to pause.
[[nodiscard]] std::optional<Instant> pauseEnd(QuitPlanSnapshot plan, Instant now, const ScheduleCalendar &calendar);

// The snapshot of a stored plan that engine calls take.
[[nodiscard]] QuitPlanSnapshot snapshot(const QuitPlan &plan);

} // namespace PlanPause
