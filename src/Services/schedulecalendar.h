#pragma once

#include "instant.h"

#include <QTimeZone>

#include <optional>

// The Gregorian calendar in one time zone, as rule and plan evaluation needs it: the weekday and minute of an
// instant, the next instant that matches a weekday and a time of day, and a time of day on the day of an instant.
// Wall times that a clock change skips resolve to the first instant after the gap; repeated wall times resolve to
// their first occurrence (see the member comments for the one exception). Made anew for each computation; a value.
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

    [[nodiscard]] const QTimeZone &zone() const { return m_zone; }

private:
    QTimeZone m_zone;
};
