#include "scheduletext.h"

#include "schedulecalendar.h"

#include <QSet>

#include <algorithm>
#include <chrono>

namespace {

QString dayCharacter(int day)
{
    static const QString characters = QStringLiteral("日一二三四五六");
    return characters.mid(day - 1, 1);
}

QString monthDay(Instant t, const ScheduleCalendar &calendar)
{
    const std::chrono::year_month_day date{calendar.localDay(t)};
    return QStringLiteral("%1月%2日").arg(unsigned(date.month())).arg(unsigned(date.day()));
}

} // namespace

namespace ScheduleText {

QString weekdays(const QList<int> &days)
{
    QList<int> valid;
    for (int day : days) {
        if (day >= 1 && day <= 7)
            valid.append(day);
    }
    const QSet<int> set(valid.cbegin(), valid.cend());
    if (set.size() == 7)
        return QStringLiteral("每天");
    if (set == QSet<int>{2, 3, 4, 5, 6})
        return QStringLiteral("周一～周五");
    std::sort(valid.begin(), valid.end());
    QStringList parts;
    for (int day : std::as_const(valid))
        parts.append(QStringLiteral("周") + dayCharacter(day));
    return parts.join(u' ');
}

QString repeatSummary(const std::optional<Instant> &onceDate, const QList<int> &days,
                      const ScheduleCalendar &calendar)
{
    if (onceDate)
        return QStringLiteral("单次 ") + monthDay(*onceDate, calendar);
    return weekdays(days);
}

QString time(Instant t, const ScheduleCalendar &calendar)
{
    const ScheduleCalendar::Components c = calendar.components(t);
    return QString::asprintf("%02d:%02d", c.hour, c.minute);
}

QString paused(Instant until, const ScheduleCalendar &calendar, Instant now)
{
    const QString t = time(until, calendar);
    const auto day = calendar.localDay(until);
    const auto today = calendar.localDay(now);
    if (day == today)
        return QStringLiteral("已暂停至 ") + t;
    if (day == today + std::chrono::days(1))
        return QStringLiteral("已暂停至明日 ") + t;
    return QStringLiteral("已暂停至 ") + monthDay(until, calendar) + u' ' + t;
}

} // namespace ScheduleText
