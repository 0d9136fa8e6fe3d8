#pragma once

#include "instant.h"
#include "quitplanengine.h"
#include "restrictionengine.h"
#include "schedulecalendar.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <set>

class AppGroup;
class QuitPlan;
class RestrictionRule;

// Which apps may not be opened at an instant, until when, and why: the deciding part of the state object's block
// evaluation. Everything here works on plain inputs (rule snapshots, group members, ad-hoc blocks, the override and
// loan maps) and fetches, deletes and writes nothing; the state object adds the reads and the clean-up. Pure
// functions; any thread.
//
// An override, a loan or an ad-hoc block is live at t when its end is later than t; at its end it is over.
namespace BlockEvaluation {

// Group key (AppGroup::refID()) to the members in the group's order.
using GroupMemberMap = QHash<QString, QStringList>;
// Bundle identifier to the end of an override or a loan.
using UntilMap = QHash<QString, Instant>;

struct AdHocEntry
{
    QString bundleID;
    Instant until{};

    friend bool operator==(const AdHocEntry &, const AdHocEntry &) = default;
};

struct Inputs
{
    // The rule list for the instant: the restriction rules in store order, then the plan blocks (ruleList()).
    QList<RestrictionRuleSnapshot> rules;
    GroupMemberMap groupMembers;
    QList<AdHocEntry> adHocBlocks; // in store order
    UntilMap overrides;
    UntilMap loans;
};

// One reason why an app is blocked: its line on the blocked-app prompt, its end, and whether the rules can be opened
// for it (rule and plan-block windows; ad-hoc blocks cannot).
struct Summary
{
    QString text;
    Instant end{};
    bool viewable = false;

    friend bool operator==(const Summary &, const Summary &) = default;
};

// The texts a summary borrows: a rule's repeat ("周一～周五", "单次 3月5日") and a time of day ("07:30").
struct SummaryTexts
{
    std::function<QString(const std::optional<Instant> &onceDate, const std::set<int> &weekdays)> repeat;
    std::function<QString(Instant)> timeOfDay;
};

[[nodiscard]] inline bool isLive(Instant end, Instant at)
{
    return end > at;
}

// Copies of the stored rows. Raw kinds go through the records' typed accessors.
[[nodiscard]] RestrictionRuleSnapshot snapshot(const RestrictionRule &rule);
[[nodiscard]] QuitPlanSnapshot snapshot(const QuitPlan &plan);
// `groups` in ascending sortIndex; a later group with an equal key replaces an earlier one.
[[nodiscard]] GroupMemberMap groupMemberMap(const QList<AppGroup *> &groups);
// The restriction rules, then the block windows that the plans leave behind at `at`, as weekly rules.
[[nodiscard]] QList<RestrictionRuleSnapshot> ruleList(const QList<RestrictionRuleSnapshot> &rules,
                                                      const QList<QuitPlanSnapshot> &plans, Instant at);

// The apps that an enabled rule or a blocking plan targets, leaving out those paused at `at`: what a loan may
// stand on. Schedules play no part: a rule outside its window, or a one-off rule whose day is over, still targets
// its apps; a plan that leaves no block behind targets none.
[[nodiscard]] QSet<QString> targetedBundleIDs(const QList<RestrictionRuleSnapshot> &rules,
                                              const QList<QuitPlanSnapshot> &plans,
                                              const GroupMemberMap &groupMembers, Instant at);

// An app rule covers its target; a group rule covers the members of its group, none when the group is gone.
[[nodiscard]] bool covers(const RestrictionRuleSnapshot &rule, const QString &bundleID,
                          const GroupMemberMap &groupMembers);

// The apps blocked at `at`: those of the rules in force and of live ad-hoc blocks, less those with a live override,
// plus those with a live loan and no live override.
[[nodiscard]] QSet<QString> blockedBundleIDs(const Inputs &in, Instant at, const ScheduleCalendar &calendar);
// The earliest end among the windows in force that cover the app and its live ad-hoc blocks; none without any.
[[nodiscard]] std::optional<Instant> rawBlockEnd(const Inputs &in, const QString &bundleID, Instant at,
                                                 const ScheduleCalendar &calendar);
// The raw end pushed back to a live loan that ends later.
[[nodiscard]] std::optional<Instant> effectiveBlockEnd(const Inputs &in, const QString &bundleID, Instant at,
                                                       const ScheduleCalendar &calendar);
// None while the app has a live override, else the effective end.
[[nodiscard]] std::optional<Instant> blockedEndTime(const Inputs &in, const QString &bundleID, Instant at,
                                                    const ScheduleCalendar &calendar);
// The end that skips the whole current block: the latest end among the windows in force that cover the app and its
// live ad-hoc blocks; without any, the blocked end time, else a day after `at`.
[[nodiscard]] Instant ignoreSessionEnd(const Inputs &in, const QString &bundleID, Instant at,
                                       const ScheduleCalendar &calendar);
// One summary per covering window in force (with an end) and per live ad-hoc block, earliest end first.
// Overrides and loans play no part.
[[nodiscard]] QList<Summary> activeBlockSummaries(const Inputs &in, const QString &bundleID, Instant at,
                                                  const ScheduleCalendar &calendar, const SummaryTexts &texts);
// The live ad-hoc blocks at `at`, earliest end first (stable).
[[nodiscard]] QList<AdHocEntry> activeAdHocBlocks(const QList<AdHocEntry> &blocks, Instant at);

// The stored form of the override and loan maps: seconds since 1970. A value that no Instant can hold is left out
// on reading, like a value that is not a number.
[[nodiscard]] UntilMap untilMapFromSeconds(const QHash<QString, double> &stored);
[[nodiscard]] QHash<QString, double> secondsFromUntilMap(const UntilMap &map);
// Drops the entries that are over at `now`; true when one was dropped.
bool dropExpired(UntilMap &map, Instant now);

// "HH:MM" of a minute of the day.
[[nodiscard]] QString minuteText(int minuteOfDay);

} // namespace BlockEvaluation
