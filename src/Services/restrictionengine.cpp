#include "restrictionengine.h"

#include <cstdint>

namespace {

constexpr std::int64_t kMinutesPerDay = 1440;

bool validMinute(int minute)
{
    return minute >= 0 && minute < kMinutesPerDay;
}

bool hasValidWindow(const RestrictionRuleSnapshot &rule)
{
    return validMinute(rule.startMinute) && validMinute(rule.endMinute) && rule.startMinute != rule.endMinute;
}

// The window length in minutes, (e - s) mod 1440 taken positive.
std::int64_t windowMinutes(const RestrictionRuleSnapshot &rule)
{
    const std::int64_t length = (std::int64_t(rule.endMinute) - rule.startMinute) % kMinutesPerDay;
    return length < 0 ? length + kMinutesPerDay : length;
}

bool pausedAt(const RestrictionRuleSnapshot &rule, Instant t)
{
    return rule.pausedUntil && t < *rule.pausedUntil;
}

// Where the searches for a rule's next start begin: at its pause end when that is still to come.
Instant searchFrom(const RestrictionRuleSnapshot &rule, Instant t)
{
    return rule.pausedUntil && *rule.pausedUntil >= t ? *rule.pausedUntil : t;
}

void keepEarliest(std::optional<Instant> &kept, std::optional<Instant> candidate)
{
    if (candidate && (!kept || *candidate < *kept))
        kept = candidate;
}

std::optional<Instant> nextWeeklyStart(const RestrictionRuleSnapshot &rule, Instant from,
                                       const ScheduleCalendar &calendar)
{
    std::optional<Instant> earliest;
    for (const int weekday : rule.weekdays)
        keepEarliest(earliest, calendar.nextMatching(from, weekday, rule.startMinute / 60, rule.startMinute % 60));
    return earliest;
}

// The next start after `from` of a rule that has a window, weekly or one-off.
std::optional<Instant> nextStart(const RestrictionRuleSnapshot &rule, Instant from, const ScheduleCalendar &calendar)
{
    if (rule.onceDate) {
        const auto start = calendar.timeOnDayOf(*rule.onceDate, rule.startMinute / 60, rule.startMinute % 60);
        if (start && *start > from)
            return start;
        return std::nullopt;
    }
    return nextWeeklyStart(rule, from, calendar);
}

} // namespace

namespace RestrictionEngine {

bool isBlocked(Instant at, const RestrictionRuleSnapshot &rule, const ScheduleCalendar &calendar)
{
    if (!rule.isEnabled || pausedAt(rule, at))
        return false;
    if (rule.onceDate) {
        const auto window = onceWindow(rule, calendar);
        return window && window->first <= at && at < window->second;
    }
    if (!validMinute(rule.startMinute) || !validMinute(rule.endMinute))
        return false;
    const auto now = calendar.components(at);
    const int minute = now.minuteOfDay();
    const int s = rule.startMinute;
    const int e = rule.endMinute;
    if (e >= s)
        return s <= minute && minute < e && rule.weekdays.contains(now.weekday);
    if (minute >= s && rule.weekdays.contains(now.weekday))
        return true;
    // The morning part belongs to the window that started the day before.
    const int previousWeekday = now.weekday == 1 ? 7 : now.weekday - 1;
    return minute < e && rule.weekdays.contains(previousWeekday);
}

std::optional<std::pair<Instant, Instant>> onceWindow(const RestrictionRuleSnapshot &rule,
                                                      const ScheduleCalendar &calendar)
{
    if (!rule.onceDate || !hasValidWindow(rule))
        return std::nullopt;
    const auto start = calendar.timeOnDayOf(*rule.onceDate, rule.startMinute / 60, rule.startMinute % 60);
    if (!start)
        return std::nullopt;
    // A fixed length, not a wall-clock end: a one-off window across a clock change lasts as long as it says.
    return std::pair{*start, *start + std::chrono::minutes{windowMinutes(rule)}};
}

bool isOnceExpired(Instant at, const RestrictionRuleSnapshot &rule, const ScheduleCalendar &calendar)
{
    if (!rule.onceDate)
        return false;
    const auto window = onceWindow(rule, calendar);
    return !window || at >= window->second;
}

std::optional<Instant> currentOrNextWindowEnd(const RestrictionRuleSnapshot &rule, Instant after,
                                              const ScheduleCalendar &calendar)
{
    if (!hasValidWindow(rule))
        return std::nullopt;
    if (rule.onceDate) {
        const auto window = onceWindow(rule, calendar);
        if (window && after < window->second)
            return window->second;
        return std::nullopt;
    }
    if (rule.weekdays.empty())
        return std::nullopt;
    const int endHour = rule.endMinute / 60;
    const int endMinute = rule.endMinute % 60;
    if (isBlocked(after, rule, calendar))
        return calendar.nextWallClockTime(after, endHour, endMinute);
    const auto start = nextWeeklyStart(rule, after, calendar);
    if (!start)
        return std::nullopt;
    // The wall-clock end, the moment isBlocked lets go, rather than start plus the length, which is off by the
    // shift on a day with a clock change. Searching from just before the start keeps a window within the day that a
    // clock change swallows whole (start and end in one gap) empty instead of a day long; a window past midnight
    // ends on a later day even when both its minutes fall in that gap, so its search starts at the start itself.
    const bool pastMidnight = rule.endMinute < rule.startMinute;
    return calendar.nextWallClockTime(pastMidnight ? *start : *start - Duration{1}, endHour, endMinute);
}

std::optional<Instant> nextBlockStart(Instant after, const QList<RestrictionRuleSnapshot> &rules,
                                      const std::optional<QString> &bundleID, const ScheduleCalendar &calendar)
{
    std::optional<Instant> earliest;
    for (const auto &rule : rules) {
        if (!rule.isEnabled || (!rule.onceDate && rule.weekdays.empty()) || !hasValidWindow(rule))
            continue;
        if (bundleID && (rule.targetKind != RestrictionTarget::app || rule.targetID != *bundleID))
            continue;
        keepEarliest(earliest, nextStart(rule, searchFrom(rule, after), calendar));
    }
    return earliest;
}

std::optional<Instant> nextBlockBoundary(Instant after, const QList<RestrictionRuleSnapshot> &rules,
                                         const ScheduleCalendar &calendar)
{
    std::optional<Instant> earliest;
    for (const auto &rule : rules) {
        if (!rule.isEnabled || !hasValidWindow(rule))
            continue;
        if (isBlocked(after, rule, calendar))
            keepEarliest(earliest, currentOrNextWindowEnd(rule, after, calendar));
        else
            keepEarliest(earliest, nextStart(rule, searchFrom(rule, after), calendar));
    }
    return earliest;
}

} // namespace RestrictionEngine
