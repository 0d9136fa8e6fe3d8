#pragma once

#include "instant.h"

#include <QList>
#include <QString>

#include <optional>

class ScheduleCalendar;

// The texts of weekday sets, one-off dates, times of day and pause ends that the supervision panel, the blocked-app
// prompt and the timer panel show. Each takes the calendar to use (callers pass the user's); pure. Any thread.
namespace ScheduleText {

// Days are 1 (Sunday) to 7 (Saturday); other numbers are left out. "每天" for all seven, "周一～周五" for exactly
// Monday to Friday, else the days in ascending order (repeats kept), each as "周" and its character, joined by a
// blank; nothing for no days.
[[nodiscard]] QString weekdays(const QList<int> &days);
// "单次 3月5日" for a one-off date (the days are then ignored), else weekdays(days).
[[nodiscard]] QString repeatSummary(const std::optional<Instant> &onceDate, const QList<int> &days,
                                    const ScheduleCalendar &calendar);
// "07:05".
[[nodiscard]] QString time(Instant t, const ScheduleCalendar &calendar);
// "已暂停至 07:05" today, "已暂停至明日 07:05" tomorrow, else "已暂停至 3月5日 07:05"; today is the day of `now`.
[[nodiscard]] QString paused(Instant until, const ScheduleCalendar &calendar, Instant now);

} // namespace ScheduleText
