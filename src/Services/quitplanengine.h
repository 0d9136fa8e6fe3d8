#pragma once

#include "instant.h"
#include "restrictionengine.h"
#include "schedulecalendar.h"
#include "supervisionkinds.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <set>

// A plain copy of one timed-quit plan: the input of every plan evaluation.
struct QuitPlanSnapshot
{
    QuitPlanTarget targetKind = QuitPlanTarget::group;
    QString groupID;       // the group's refID (group plans)
    QStringList bundleIDs; // the apps (app plans), in stored order
    int quitMinute = 0;
    std::set<int> weekdays;
    QuitPlanBlockMode blockMode = QuitPlanBlockMode::none;
    int blockMinutes = 0;
    int blockUntilMinute = 0;
    bool isEnabled = true;
    std::optional<Instant> pausedUntil;

    friend bool operator==(const QuitPlanSnapshot &, const QuitPlanSnapshot &) = default;
};

// When timed quits fire and which blocks they leave behind. Pure functions of the instant, the plans and the
// calendar; any thread.
namespace QuitPlanEngine {

[[nodiscard]] std::optional<Instant> nextFireDate(Instant after, const QList<QuitPlanSnapshot> &plans,
                                                  const ScheduleCalendar &calendar);
// The plans that fire at the instant's minute, in input order; on a day whose clock change skips a plan's quit
// minute, that plan fires in the minute the clock jumps to, where nextFireDate puts it.
[[nodiscard]] QList<QuitPlanSnapshot> duePlans(Instant at, const QList<QuitPlanSnapshot> &plans,
                                               const ScheduleCalendar &calendar);
[[nodiscard]] QList<RestrictionRuleSnapshot> blockRuleSnapshots(const QList<QuitPlanSnapshot> &plans, Instant at);
[[nodiscard]] std::optional<Instant> activeBlockWindow(const QuitPlanSnapshot &plan, Instant at,
                                                       const ScheduleCalendar &calendar);

} // namespace QuitPlanEngine
