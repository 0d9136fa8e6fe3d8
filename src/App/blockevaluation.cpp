#include "blockevaluation.h"

#include "appgroup.h"
#include "quitplan.h"
#include "restrictionrule.h"

#include <algorithm>
#include <cmath>

namespace BlockEvaluation {

namespace {

std::set<int> weekdaySet(const QList<int> &days)
{
    return std::set<int>(days.begin(), days.end());
}

bool hasLiveEntry(const UntilMap &map, const QString &bundleID, Instant at)
{
    const auto it = map.constFind(bundleID);
    return it != map.constEnd() && isLive(*it, at);
}

// Calls `visit(rule, end)` for every rule of the list that is in force at `at` and covers the app, with the end of
// its window (which may be none).
template <class Visit>
void forCoveringRulesInForce(const Inputs &in, const QString &bundleID, Instant at, const ScheduleCalendar &calendar,
                             Visit visit)
{
    for (const auto &rule : in.rules) {
        if (!covers(rule, bundleID, in.groupMembers) || !RestrictionEngine::isBlocked(at, rule, calendar))
            continue;
        visit(rule, RestrictionEngine::currentOrNextWindowEnd(rule, at, calendar));
    }
}

// Whole seconds that an Instant (microseconds in 64 bits) holds with room to spare.
constexpr double kLargestSeconds = 9.0e12;

} // namespace

RestrictionRuleSnapshot snapshot(const RestrictionRule &rule)
{
    RestrictionRuleSnapshot s;
    s.targetKind = rule.targetKind();
    s.targetID = rule.targetID();
    s.startMinute = rule.startMinute();
    s.endMinute = rule.endMinute();
    s.weekdays = weekdaySet(rule.weekdays());
    s.isEnabled = rule.isEnabled();
    s.pausedUntil = rule.pausedUntil();
    s.onceDate = rule.onceDate();
    return s;
}

QuitPlanSnapshot snapshot(const QuitPlan &plan)
{
    QuitPlanSnapshot s;
    s.targetKind = plan.targetKind();
    s.groupID = plan.groupID();
    s.bundleIDs = plan.bundleIDs();
    s.quitMinute = plan.quitMinute();
    s.weekdays = weekdaySet(plan.weekdays());
    s.blockMode = plan.blockMode();
    s.blockMinutes = plan.blockMinutes();
    s.blockUntilMinute = plan.blockUntilMinute();
    s.isEnabled = plan.isEnabled();
    s.pausedUntil = plan.pausedUntil();
    return s;
}

GroupMemberMap groupMemberMap(const QList<AppGroup *> &groups)
{
    GroupMemberMap map;
    map.reserve(groups.size());
    for (const AppGroup *group : groups)
        map.insert(group->refID(), group->bundleIDs());
    return map;
}

QList<RestrictionRuleSnapshot> ruleList(const QList<RestrictionRuleSnapshot> &rules,
                                        const QList<QuitPlanSnapshot> &plans, Instant at)
{
    QList<RestrictionRuleSnapshot> list = rules;
    list.append(QuitPlanEngine::blockRuleSnapshots(plans, at));
    return list;
}

QSet<QString> targetedBundleIDs(const QList<RestrictionRuleSnapshot> &rules, const QList<QuitPlanSnapshot> &plans,
                                const GroupMemberMap &groupMembers, Instant at)
{
    QSet<QString> targeted;
    const auto standsAt = [at](bool enabled, const std::optional<Instant> &pausedUntil) {
        return enabled && !(pausedUntil && *pausedUntil > at);
    };
    const auto addApps = [&targeted](const QStringList &apps) {
        for (const QString &app : apps)
            targeted.insert(app);
    };
    for (const auto &rule : rules) {
        if (!standsAt(rule.isEnabled, rule.pausedUntil))
            continue;
        if (rule.targetKind == RestrictionTarget::app)
            targeted.insert(rule.targetID);
        else
            addApps(groupMembers.value(rule.targetID));
    }
    for (const auto &plan : plans) {
        if (plan.blockMode == QuitPlanBlockMode::none || !standsAt(plan.isEnabled, plan.pausedUntil))
            continue;
        addApps(plan.targetKind == QuitPlanTarget::apps ? plan.bundleIDs : groupMembers.value(plan.groupID));
    }
    return targeted;
}

bool covers(const RestrictionRuleSnapshot &rule, const QString &bundleID, const GroupMemberMap &groupMembers)
{
    if (rule.targetKind == RestrictionTarget::app)
        return rule.targetID == bundleID;
    const auto it = groupMembers.constFind(rule.targetID);
    return it != groupMembers.constEnd() && it->contains(bundleID);
}

QSet<QString> blockedBundleIDs(const Inputs &in, Instant at, const ScheduleCalendar &calendar)
{
    QSet<QString> blocked;
    for (const auto &rule : in.rules) {
        if (!RestrictionEngine::isBlocked(at, rule, calendar))
            continue;
        if (rule.targetKind == RestrictionTarget::app) {
            blocked.insert(rule.targetID);
        } else if (const auto it = in.groupMembers.constFind(rule.targetID); it != in.groupMembers.constEnd()) {
            for (const QString &member : *it)
                blocked.insert(member);
        }
    }
    for (const auto &block : in.adHocBlocks) {
        if (isLive(block.until, at))
            blocked.insert(block.bundleID);
    }
    for (auto it = in.overrides.cbegin(); it != in.overrides.cend(); ++it) {
        if (isLive(it.value(), at))
            blocked.remove(it.key());
    }
    // A loan is the rest of a block that an override postponed: it blocks once the override is over.
    for (auto it = in.loans.cbegin(); it != in.loans.cend(); ++it) {
        if (isLive(it.value(), at) && !hasLiveEntry(in.overrides, it.key(), at))
            blocked.insert(it.key());
    }
    return blocked;
}

std::optional<Instant> rawBlockEnd(const Inputs &in, const QString &bundleID, Instant at,
                                   const ScheduleCalendar &calendar)
{
    std::optional<Instant> best;
    const auto offer = [&best](Instant candidate) {
        if (!best || candidate < *best)
            best = candidate;
    };
    forCoveringRulesInForce(in, bundleID, at, calendar,
                            [&](const RestrictionRuleSnapshot &, std::optional<Instant> end) {
                                if (end)
                                    offer(*end);
                            });
    for (const auto &block : in.adHocBlocks) {
        if (block.bundleID == bundleID && isLive(block.until, at))
            offer(block.until);
    }
    return best;
}

std::optional<Instant> effectiveBlockEnd(const Inputs &in, const QString &bundleID, Instant at,
                                         const ScheduleCalendar &calendar)
{
    const auto raw = rawBlockEnd(in, bundleID, at, calendar);
    const auto loan = in.loans.constFind(bundleID);
    if (loan == in.loans.constEnd() || !isLive(*loan, at))
        return raw;
    if (!raw)
        return *loan;
    return std::max(*raw, *loan);
}

std::optional<Instant> blockedEndTime(const Inputs &in, const QString &bundleID, Instant at,
                                      const ScheduleCalendar &calendar)
{
    if (hasLiveEntry(in.overrides, bundleID, at))
        return std::nullopt;
    return effectiveBlockEnd(in, bundleID, at, calendar);
}

Instant ignoreSessionEnd(const Inputs &in, const QString &bundleID, Instant at, const ScheduleCalendar &calendar)
{
    std::optional<Instant> latest;
    const auto offer = [&latest](Instant candidate) {
        if (!latest || candidate > *latest)
            latest = candidate;
    };
    forCoveringRulesInForce(in, bundleID, at, calendar,
                            [&](const RestrictionRuleSnapshot &, std::optional<Instant> end) {
                                if (end)
                                    offer(*end);
                            });
    for (const auto &block : in.adHocBlocks) {
        if (block.bundleID == bundleID && isLive(block.until, at))
            offer(block.until);
    }
    if (latest)
        return *latest;
    if (const auto end = blockedEndTime(in, bundleID, at, calendar))
        return *end;
    return at + std::chrono::hours{24};
}

QList<Summary> activeBlockSummaries(const Inputs &in, const QString &bundleID, Instant at,
                                    const ScheduleCalendar &calendar, const SummaryTexts &texts)
{
    QList<Summary> summaries;
    forCoveringRulesInForce(in, bundleID, at, calendar,
                            [&](const RestrictionRuleSnapshot &rule, std::optional<Instant> end) {
                                if (!end)
                                    return;
                                QString text = minuteText(rule.startMinute) + u'\u2013' + minuteText(rule.endMinute)
                                               + u" \u00B7 "_qs;
                                if (texts.repeat)
                                    text += texts.repeat(rule.onceDate, rule.weekdays);
                                summaries.append({text, *end, true});
                            });
    for (const auto &block : in.adHocBlocks) {
        if (block.bundleID != bundleID || !isLive(block.until, at))
            continue;
        QString text = u"临时禁启 · 至 "_qs;
        if (texts.timeOfDay)
            text += texts.timeOfDay(block.until);
        summaries.append({text, block.until, false});
    }
    std::stable_sort(summaries.begin(), summaries.end(),
                     [](const Summary &a, const Summary &b) { return a.end < b.end; });
    return summaries;
}

QList<AdHocEntry> activeAdHocBlocks(const QList<AdHocEntry> &blocks, Instant at)
{
    QList<AdHocEntry> live;
    for (const auto &block : blocks) {
        if (isLive(block.until, at))
            live.append(block);
    }
    std::stable_sort(live.begin(), live.end(),
                     [](const AdHocEntry &a, const AdHocEntry &b) { return a.until < b.until; });
    return live;
}

UntilMap untilMapFromSeconds(const QHash<QString, double> &stored)
{
    UntilMap map;
    map.reserve(stored.size());
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        if (std::isfinite(it.value()) && std::fabs(it.value()) <= kLargestSeconds)
            map.insert(it.key(), Instants::fromSecondsSince1970(it.value()));
    }
    return map;
}

QHash<QString, double> secondsFromUntilMap(const UntilMap &map)
{
    QHash<QString, double> stored;
    stored.reserve(map.size());
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        stored.insert(it.key(), Instants::secondsSince1970(it.value()));
    return stored;
}

bool dropExpired(UntilMap &map, Instant now)
{
    bool dropped = false;
    for (auto it = map.begin(); it != map.end();) {
        if (isLive(it.value(), now)) {
            ++it;
        } else {
            it = map.erase(it);
            dropped = true;
        }
    }
    return dropped;
}

QString minuteText(int minuteOfDay)
{
    return QString::asprintf("%02d:%02d", minuteOfDay / 60, minuteOfDay % 60);
}

} // namespace BlockEvaluation
