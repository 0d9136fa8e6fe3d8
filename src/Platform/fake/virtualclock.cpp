#include "fake/virtualclock.h"

#include <QtGlobal>

VirtualClock::VirtualClock(Instant wallStart)
    : m_wall(wallStart)
{
}

Instant VirtualClock::defaultStart()
{
    return Instant{std::chrono::sys_days{std::chrono::year{2026} / 3 / 2}} + 12h;
}

TimerHandle VirtualClock::startAt(Instant wallDeadline, Callback callback)
{
    const auto id = m_queue->add({TimerQueue::Kind::Wall, wallDeadline.time_since_epoch().count(), 0,
                                  std::move(callback)});
    return TimerHandle(m_queue, id);
}

TimerHandle VirtualClock::startAfter(Duration delay, Callback callback)
{
    const auto id = m_queue->add({TimerQueue::Kind::Monotonic, (m_mono + std::max(delay, Duration{0}))
                                                                   .time_since_epoch()
                                                                   .count(),
                                  0, std::move(callback)});
    return TimerHandle(m_queue, id);
}

TimerHandle VirtualClock::startRepeating(Duration interval, Callback callback)
{
    Q_ASSERT(interval > Duration{0});
    const auto id = m_queue->add({TimerQueue::Kind::Monotonic, (m_mono + interval).time_since_epoch().count(),
                                  interval.count(), std::move(callback)});
    return TimerHandle(m_queue, id);
}

// Fires the earliest timer whose deadline lies within `budget` of now (wall and monotonic time advance together),
// moving both clocks to it first. Returns false when none falls within the budget.
bool VirtualClock::fireNextWithin(Duration budget, Duration &used)
{
    const auto wall = m_queue->earliestOf(TimerQueue::Kind::Wall);
    const auto mono = m_queue->earliestOf(TimerQueue::Kind::Monotonic);
    std::optional<Duration> wallWait, monoWait;
    if (wall)
        wallWait = std::max(Duration{wall->deadline - m_wall.time_since_epoch().count()}, Duration{0});
    if (mono)
        monoWait = std::max(Duration{mono->deadline - m_mono.time_since_epoch().count()}, Duration{0});

    TimerQueue::Kind kind;
    Duration wait;
    if (wallWait && (!monoWait || *wallWait < *monoWait || (*wallWait == *monoWait && wall->id < mono->id))) {
        kind = TimerQueue::Kind::Wall;
        wait = *wallWait;
    } else if (monoWait) {
        kind = TimerQueue::Kind::Monotonic;
        wait = *monoWait;
    } else {
        return false;
    }
    if (used + wait > budget)
        return false;
    used += wait;
    m_wall += wait;
    m_mono += wait;
    const auto now = kind == TimerQueue::Kind::Wall ? m_wall.time_since_epoch().count()
                                                    : m_mono.time_since_epoch().count();
    if (auto callback = m_queue->takeDue(kind, now))
        (*callback)();
    return true;
}

void VirtualClock::advanceBy(Duration d)
{
    Q_ASSERT(d >= Duration{0});
    Duration used{0};
    while (fireNextWithin(d, used)) {
    }
    m_wall += d - used;
    m_mono += d - used;
}

void VirtualClock::advanceTo(Instant wall)
{
    Q_ASSERT(wall >= m_wall);
    advanceBy(wall - m_wall);
}

void VirtualClock::setWallTime(Instant wall)
{
    m_wall = wall;
}

void VirtualClock::fireDue()
{
    advanceBy(Duration{0});
}

int VirtualClock::pendingTimerCount() const
{
    return m_queue->size();
}

std::optional<Instant> VirtualClock::nextWallDeadline() const
{
    if (auto e = m_queue->earliest(TimerQueue::Kind::Wall))
        return Instant{Duration{*e}};
    return std::nullopt;
}
