#pragma once

#include "clock.h"
#include "timerservice.h"

#include <memory>

// A clock and timer service for tests: time stands still until the test moves it. advanceBy() moves wall and
// monotonic time together and fires the timers that fall due on the way, in deadline order, each at its own instant
// (a callback may arm new timers, which fire within the same advance when due). setWallTime() and sleepUntil() move
// the wall clock alone and fire nothing; fireDue() then fires what is overdue. Arming never fires synchronously.
class VirtualClock : public Clock, public TimerService
{
public:
    explicit VirtualClock(Instant wallStart = defaultStart());

    [[nodiscard]] Instant now() const override { return m_wall; }
    [[nodiscard]] MonotonicInstant monotonicNow() const override { return m_mono; }

    [[nodiscard]] TimerHandle startAt(Instant wallDeadline, Callback callback) override;
    [[nodiscard]] TimerHandle startAfter(Duration delay, Callback callback) override;
    [[nodiscard]] TimerHandle startRepeating(Duration interval, Callback callback) override;

    void advanceBy(Duration d);
    void advanceTo(Instant wall); // must not lie in the past
    // The wall clock is set (forward or back); monotonic time does not move, nothing fires.
    void setWallTime(Instant wall);
    // A suspend: the wall clock runs on while monotonic time stands still; nothing fires until fireDue().
    void sleepUntil(Instant wall) { setWallTime(wall); }
    // Fires every timer that is due now, in deadline order.
    void fireDue();

    [[nodiscard]] int pendingTimerCount() const;
    [[nodiscard]] std::optional<Instant> nextWallDeadline() const;

    // 2026-03-02 12:00:00 UTC, a Monday.
    static Instant defaultStart();

private:
    std::shared_ptr<TimerQueue> m_queue = std::make_shared<TimerQueue>();
    Instant m_wall;
    MonotonicInstant m_mono{Duration{1'000'000'000'000LL}};

    bool fireNextWithin(Duration budget, Duration &used);
};
