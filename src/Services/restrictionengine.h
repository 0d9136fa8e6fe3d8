#pragma once

#include "instant.h"
#include "schedulecalendar.h"
#include "supervisionkinds.h"

#include <QList>
#include <QString>

#include <optional>
#include <set>
#include <utility>

// A plain copy of one restriction rule: the input of every rule evaluation.
struct RestrictionRuleSnapshot
{
    RestrictionTarget targetKind = RestrictionTarget::app;
    QString targetID;  // a bundle identifier, or a group's refID
    int startMinute = 0;
    int endMinute = 0;
    std::set<int> weekdays; // 1 Sunday ... 7 Saturday; ignored by a one-off rule
    bool isEnabled = true;
    std::optional<Instant> pausedUntil;
    std::optional<Instant> onceDate; // set: a one-off rule on this date's day

    friend bool operator==(const RestrictionRuleSnapshot &, const RestrictionRuleSnapshot &) = default;
};

// When restriction rules are in force. Pure functions of the instant, the rules and the calendar; any thread.
// A window runs from its start minute up to its end minute, past midnight when the end is the smaller, and belongs
// to the day it starts on. Values outside 0-1439 (minutes) or 1-7 (weekdays) never match.
namespace RestrictionEngine {

[[nodiscard]] bool isBlocked(Instant at, const RestrictionRuleSnapshot &rule, const ScheduleCalendar &calendar);
[[nodiscard]] std::optional<std::pair<Instant, Instant>> onceWindow(const RestrictionRuleSnapshot &rule,
                                                                    const ScheduleCalendar &calendar);
[[nodiscard]] bool isOnceExpired(Instant at, const RestrictionRuleSnapshot &rule, const ScheduleCalendar &calendar);
// The end of the window in progress, else of the next one. A weekly window ends where the wall clock reaches its end
// minute (so the end agrees with isBlocked across clock changes); a one-off window lasts its fixed length.
[[nodiscard]] std::optional<Instant> currentOrNextWindowEnd(const RestrictionRuleSnapshot &rule, Instant after,
                                                            const ScheduleCalendar &calendar);
// The earliest window start after `after`; with a bundle identifier, only rules that target that app directly.
[[nodiscard]] std::optional<Instant> nextBlockStart(Instant after, const QList<RestrictionRuleSnapshot> &rules,
                                                    const std::optional<QString> &bundleID,
                                                    const ScheduleCalendar &calendar);
[[nodiscard]] std::optional<Instant> nextBlockBoundary(Instant after, const QList<RestrictionRuleSnapshot> &rules,
                                                       const ScheduleCalendar &calendar);

} // namespace RestrictionEngine
