#include "quitplanengine.h"

#include <cstdint>

namespace {

constexpr std::int64_t kMinutesPerDay = 1440;

bool validMinute(std::int64_t minute)
{
    return minute >= 0 && minute < kMinutesPerDay;
}

bool pausedAt(const QuitPlanSnapshot &plan, Instant t)
{
    return plan.pausedUntil && t < *plan.pausedUntil;
}

// The minute of day at which the block after the quit ends; none when the plan leaves no block window or its
// numbers are out of range.
std::optional<int> blockEndMinute(const QuitPlanSnapshot &plan)
{
    if (!validMinute(plan.quitMinute))
        return std::nullopt;
    switch (plan.blockMode) {
    case QuitPlanBlockMode::none:
        return std::nullopt;
    case QuitPlanBlockMode::minutes:
        if (plan.blockMinutes < 0)
            return std::nullopt;
        return int((std::int64_t(plan.quitMinute) + plan.blockMinutes) % kMinutesPerDay);
    case QuitPlanBlockMode::until:
        if (!validMinute(plan.blockUntilMinute))
            return std::nullopt;
        return plan.blockUntilMinute;
    }
    return std::nullopt;
}

RestrictionRuleSnapshot blockRule(const QuitPlanSnapshot &plan, int endMinute, RestrictionTarget kind,
                                  const QString &targetID)
{
    RestrictionRuleSnapshot rule;
    rule.targetKind = kind;
    rule.targetID = targetID;
    rule.startMinute = plan.quitMinute;
    rule.endMinute = endMinute;
    rule.weekdays = plan.weekdays;
    rule.isEnabled = true;
    return rule;
}

} // namespace

namespace QuitPlanEngine {

std::optional<Instant> nextFireDate(Instant after, const QList<QuitPlanSnapshot> &plans,
                                    const ScheduleCalendar &calendar)
{
    std::optional<Instant> earliest;
    for (const auto &plan : plans) {
        if (!plan.isEnabled || !validMinute(plan.quitMinute))
            continue;
        const Instant from = plan.pausedUntil && *plan.pausedUntil > after ? *plan.pausedUntil : after;
        for (const int weekday : plan.weekdays) {
            const auto candidate = calendar.nextMatching(from, weekday, plan.quitMinute / 60, plan.quitMinute % 60);
            if (candidate && (!earliest || *candidate < *earliest))
                earliest = candidate;
        }
    }
    return earliest;
}

QList<QuitPlanSnapshot> duePlans(Instant at, const QList<QuitPlanSnapshot> &plans, const ScheduleCalendar &calendar)
{
    const auto now = calendar.components(at);
    const auto today = calendar.localDay(at);
    // A quit minute that a clock change skips fires at the end of the gap (that is where nextFireDate puts it), so
    // a plan is also due when its quit, resolved on its day, falls in the minute of `at`. The day before counts for
    // a gap across midnight.
    const auto resolvedIntoThisMinute = [&](const QuitPlanSnapshot &plan) {
        for (const auto day : {today, today - std::chrono::days{1}}) {
            if (!plan.weekdays.contains(ScheduleCalendar::weekdayOf(day)))
                continue;
            const auto fire = calendar.timeOn(day, plan.quitMinute / 60, plan.quitMinute % 60);
            if (!fire || calendar.localDay(*fire) != today)
                continue;
            const auto fireAt = calendar.components(*fire);
            if (fireAt.minuteOfDay() == now.minuteOfDay() && *fire <= at)
                return true;
        }
        return false;
    };

    QList<QuitPlanSnapshot> due;
    for (const auto &plan : plans) {
        if (!plan.isEnabled || pausedAt(plan, at) || !validMinute(plan.quitMinute))
            continue;
        const bool byMinute = plan.weekdays.contains(now.weekday) && plan.quitMinute == now.minuteOfDay();
        if (byMinute || resolvedIntoThisMinute(plan))
            due.append(plan);
    }
    return due;
}

QList<RestrictionRuleSnapshot> blockRuleSnapshots(const QList<QuitPlanSnapshot> &plans, Instant at)
{
    QList<RestrictionRuleSnapshot> rules;
    for (const auto &plan : plans) {
        if (!plan.isEnabled || pausedAt(plan, at))
            continue;
        const auto endMinute = blockEndMinute(plan);
        if (!endMinute)
            continue;
        if (plan.targetKind == QuitPlanTarget::apps) {
            for (const auto &bundleID : plan.bundleIDs)
                rules.append(blockRule(plan, *endMinute, RestrictionTarget::app, bundleID));
        } else {
            rules.append(blockRule(plan, *endMinute, RestrictionTarget::group, plan.groupID));
        }
    }
    return rules;
}

std::optional<Instant> activeBlockWindow(const QuitPlanSnapshot &plan, Instant at, const ScheduleCalendar &calendar)
{
    if (!plan.isEnabled || pausedAt(plan, at))
        return std::nullopt;
    const auto endMinute = blockEndMinute(plan);
    if (!endMinute || *endMinute == plan.quitMinute)
        return std::nullopt;
    const auto rule = blockRule(plan, *endMinute, RestrictionTarget::app, QString());
    if (!RestrictionEngine::isBlocked(at, rule, calendar))
        return std::nullopt;
    return RestrictionEngine::currentOrNextWindowEnd(rule, at, calendar);
}

} // namespace QuitPlanEngine
