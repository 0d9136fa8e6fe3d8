#pragma once

#include "instant.h"

#include <QTimeZone>

#include <chrono>
#include <optional>
#include <vector>

// The Gregorian calendar in one time zone, as rule and plan evaluation needs it: the weekday and minute of an
// instant, the next instant that matches a weekday and a time of day, and a time of day on the day of an instant.
// Wall times that a clock change skips resolve to the first instant after the gap; repeated wall times resolve to
// their first occurrence (see the member comments for the one exception). Made anew for each computation; a value.
// Any thread. Built over the zone's offsets and transitions, never over QDateTime(date, time, zone), which resolves
// skipped and repeated times inconsistently.
class ScheduleCalendar
{
public:
    explicit ScheduleCalendar(QTimeZone zone);
    // The system's current time zone, read at the call.
    [[nodiscard]] static ScheduleCalendar system();

    struct Components
    {
        int weekday = 1; // 1 Sunday ... 7 Saturday
        int hour = 0;
        int minute = 0;
        [[nodiscard]] int minuteOfDay() const { return hour * 60 + minute; }
    };
    [[nodiscard]] Components components(Instant t) const;

    // The earliest instant strictly after `t` whose local weekday (when given) and time h:n:00 match.
    [[nodiscard]] std::optional<Instant> nextMatching(Instant t, std::optional<int> weekday, int hour,
                                                      int minute) const;
    // The instant at h:n:00 on the local calendar day that contains `d`.
    [[nodiscard]] std::optional<Instant> timeOnDayOf(Instant d, int hour, int minute) const;

    // The exception to first occurrences, for the end of a window in progress: the first instant strictly after
    // `t` at which the wall clock reads h:n:00, in either occurrence of a repeated time, or at which a clock change
    // skips past h:n. An end found this way is never a day late.
    [[nodiscard]] std::optional<Instant> nextWallClockTime(Instant t, int hour, int minute) const;

    // The local calendar day that contains `t`, and the weekday of such a day (1 Sunday ... 7 Saturday).
    [[nodiscard]] std::chrono::sys_days localDay(Instant t) const;
    [[nodiscard]] static int weekdayOf(std::chrono::sys_days day);
    // h:n:00 on a local calendar day, with the same policies as timeOnDayOf.
    [[nodiscard]] std::optional<Instant> timeOn(std::chrono::sys_days day, int hour, int minute) const;

    [[nodiscard]] const QTimeZone &zone() const { return m_zone; }

private:
    // Every instant near `day` at which the wall clock reads h:n:00 or jumps past it, in ascending order. The first
    // is the time's first occurrence, or the end of the gap that skips it.
    [[nodiscard]] std::vector<std::chrono::sys_seconds> readings(std::chrono::sys_days day, int hour,
                                                                 int minute) const;
    [[nodiscard]] std::chrono::seconds offsetAt(std::chrono::sys_seconds t) const;

    QTimeZone m_zone;
};
