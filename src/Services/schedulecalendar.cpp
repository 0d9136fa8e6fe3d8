#include "schedulecalendar.h"

#include <QDateTime>

#include <algorithm>

using namespace std::chrono;

namespace {

// Instants this far from 1970 (about 12,700 years) are outside every calendar search, which keeps the day and
// microsecond arithmetic far from overflow.
constexpr seconds kLimit{400'000'000'000LL};
// No zone's offset reaches two days, so every instant whose wall clock shows a given local time lies within this
// distance of that local time read as UTC.
constexpr seconds kSearchMargin = days{2};
// A weekday recurs within a week; the second week covers days that clock changes skip entirely.
constexpr int kSearchDays = 14;

bool inRange(sys_seconds t)
{
    return t.time_since_epoch() > -kLimit && t.time_since_epoch() < kLimit;
}

bool validTime(int hour, int minute)
{
    return hour >= 0 && hour < 24 && minute >= 0 && minute < 60;
}

QDateTime utcDateTime(sys_seconds t)
{
    return QDateTime::fromSecsSinceEpoch(t.time_since_epoch().count(), Qt::UTC);
}

} // namespace

ScheduleCalendar::ScheduleCalendar(QTimeZone zone)
    : m_zone(zone.isValid() ? std::move(zone) : QTimeZone::utc())
{
}

ScheduleCalendar ScheduleCalendar::system()
{
    return ScheduleCalendar(QTimeZone::systemTimeZone());
}

seconds ScheduleCalendar::offsetAt(sys_seconds t) const
{
    if (!inRange(t))
        return seconds{0};
    return seconds{m_zone.offsetFromUtc(utcDateTime(t))};
}

sys_days ScheduleCalendar::localDay(Instant t) const
{
    const auto utc = floor<seconds>(t);
    return floor<days>(utc + offsetAt(utc));
}

int ScheduleCalendar::weekdayOf(sys_days day)
{
    return int(weekday(day).c_encoding()) + 1;
}

ScheduleCalendar::Components ScheduleCalendar::components(Instant t) const
{
    const auto utc = floor<seconds>(t);
    const auto local = utc + offsetAt(utc);
    const auto day = floor<days>(local);
    const auto sinceMidnight = duration_cast<minutes>(local - day).count();
    return {weekdayOf(day), int(sinceMidnight / 60), int(sinceMidnight % 60)};
}

std::vector<sys_seconds> ScheduleCalendar::readings(sys_days day, int hour, int minute) const
{
    std::vector<sys_seconds> result;
    // The wanted local time, written as if it were UTC.
    const sys_seconds local = day + hours{hour} + minutes{minute};
    if (!inRange(local))
        return result;

    // Split the surrounding span into runs of constant offset. In a run [a, b) with offset o the wall clock shows
    // a + o up to b + o: it reads the time once when a <= local - o < b. Where a run begins with a jump from offset
    // p to o, the wall times [a + p, a + o) never show and the jump instant stands for each of them.
    const sys_seconds windowStart = local - kSearchMargin;
    const sys_seconds windowEnd = local + kSearchMargin;
    struct Run
    {
        sys_seconds start;
        seconds offset;
    };
    std::vector<Run> runs{{windowStart, offsetAt(windowStart)}};
    if (m_zone.hasTransitions()) {
        const auto transitions = m_zone.transitions(utcDateTime(windowStart), utcDateTime(windowEnd));
        for (const auto &transition : transitions) {
            const sys_seconds at{seconds{transition.atUtc.toSecsSinceEpoch()}};
            const seconds offset{transition.offsetFromUtc};
            if (at <= runs.back().start || at >= windowEnd || offset == runs.back().offset)
                continue;
            runs.push_back({at, offset});
        }
    }

    for (std::size_t i = 0; i < runs.size(); ++i) {
        const sys_seconds start = runs[i].start;
        const sys_seconds end = i + 1 < runs.size() ? runs[i + 1].start : windowEnd;
        const seconds offset = runs[i].offset;
        const sys_seconds candidate = local - offset;
        if (candidate >= start && candidate < end) {
            result.push_back(candidate);
        } else if (i > 0 && start + runs[i - 1].offset <= local && local < start + offset) {
            result.push_back(start);
        }
    }
    return result;
}

std::optional<Instant> ScheduleCalendar::timeOn(sys_days day, int hour, int minute) const
{
    if (!validTime(hour, minute))
        return std::nullopt;
    const auto found = readings(day, hour, minute);
    if (found.empty())
        return std::nullopt;
    return Instant{found.front()};
}

std::optional<Instant> ScheduleCalendar::timeOnDayOf(Instant d, int hour, int minute) const
{
    if (!inRange(floor<seconds>(d)))
        return std::nullopt;
    return timeOn(localDay(d), hour, minute);
}

std::optional<Instant> ScheduleCalendar::nextMatching(Instant t, std::optional<int> weekday, int hour,
                                                      int minute) const
{
    if (!validTime(hour, minute) || (weekday && (*weekday < 1 || *weekday > 7)) || !inRange(floor<seconds>(t)))
        return std::nullopt;
    // A time's first occurrence on an earlier local day than t's lies before t, so the walk starts at t's day.
    const sys_days first = localDay(t);
    for (int i = 0; i < kSearchDays; ++i) {
        const sys_days day = first + days{i};
        if (weekday && weekdayOf(day) != *weekday)
            continue;
        const auto found = readings(day, hour, minute);
        if (!found.empty() && Instant{found.front()} > t)
            return Instant{found.front()};
    }
    return std::nullopt;
}

std::optional<Instant> ScheduleCalendar::nextWallClockTime(Instant t, int hour, int minute) const
{
    if (!validTime(hour, minute) || !inRange(floor<seconds>(t)))
        return std::nullopt;
    // The second occurrence of a repeated time can belong to the day before t's local day.
    const sys_days first = localDay(t) - days{1};
    std::optional<Instant> best;
    for (int i = 0; i < kSearchDays && !best; ++i) {
        for (const auto reading : readings(first + days{i}, hour, minute)) {
            if (Instant{reading} > t) {
                best = Instant{reading};
                break;
            }
        }
    }
    return best;
}
