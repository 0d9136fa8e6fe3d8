#pragma once

#include "quitplanengine.h"
#include "restrictionengine.h"
#include "schedulecalendar.h"
#include "supervisionstatus.h"

#include <QList>

// Computes the status summary from the rule and plan snapshots. A pure function; any thread.
namespace SupervisionStatusEngine {

[[nodiscard]] SupervisionStatus status(Instant at, const QList<RestrictionRuleSnapshot> &rules,
                                       const QList<QuitPlanSnapshot> &plans, const ScheduleCalendar &calendar);

} // namespace SupervisionStatusEngine
