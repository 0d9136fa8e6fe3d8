#include "fake/fakesleepwake.h"
#include "fake/virtualclock.h"

#include <QTest>

#include <vector>

// The virtual clock is what every service test stands on, so its rules are pinned here: order, never early,
// overdue timers after a jump, cancel and re-arm from inside a callback.
class TestVirtualClock : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void firesInDeadlineOrderAcrossBothClocks();
    void neverFiresWhileArmingOrEarly();
    void sleepThenOverdueTimersFireOnceInOrder();
    void wallClockSetBackAndForth();
    void cancelAndRearmInsideCallback();
    void droppedHandleNeverFires();
    void repeatingTimerOnMonotonicTime();
    void debounceOfABurst();
};

void TestVirtualClock::firesInDeadlineOrderAcrossBothClocks()
{
    VirtualClock clock;
    const auto t0 = clock.now();
    std::vector<QString> order;
    auto a = clock.startAt(t0 + 30s, [&] { order.push_back(u"wall 30"_qs); });
    auto b = clock.startAfter(10s, [&] { order.push_back(u"mono 10"_qs); });
    auto c = clock.startAt(t0 + 10s, [&] { order.push_back(u"wall 10"_qs); });
    auto d = clock.startAfter(20s, [&] {
        QCOMPARE(clock.now(), t0 + 20s); // each timer runs at its own instant
        order.push_back(u"mono 20"_qs);
    });
    clock.advanceBy(60s);
    // Equal deadlines keep the order in which they were armed.
    QCOMPARE(order, (std::vector<QString>{u"mono 10"_qs, u"wall 10"_qs, u"mono 20"_qs, u"wall 30"_qs}));
    QCOMPARE(clock.now(), t0 + 60s);
    QCOMPARE(clock.pendingTimerCount(), 0);
}

void TestVirtualClock::neverFiresWhileArmingOrEarly()
{
    VirtualClock clock;
    int fired = 0;
    auto past = clock.startAt(clock.now() - 5s, [&] { ++fired; });
    QCOMPARE(fired, 0); // overdue, yet not from inside startAt
    clock.fireDue();
    QCOMPARE(fired, 1);

    auto soon = clock.startAt(clock.now() + 1s, [&] { ++fired; });
    clock.advanceBy(999ms);
    QCOMPARE(fired, 1);
    clock.advanceBy(1ms);
    QCOMPARE(fired, 2);
}

void TestVirtualClock::sleepThenOverdueTimersFireOnceInOrder()
{
    VirtualClock clock;
    FakeSleepWake power;
    const auto t0 = clock.now();
    const auto mono0 = clock.monotonicNow();
    std::vector<QString> events;
    QObject context;
    connect(&power, &SleepWake::willSleep, &context, [&](Instant at) {
        QCOMPARE(at, t0);
        events.push_back(u"will sleep"_qs);
    });
    connect(&power, &SleepWake::didWake, &context, [&](Instant) { events.push_back(u"did wake"_qs); });
    auto a = clock.startAt(t0 + 1h, [&] { events.push_back(u"18:00"_qs); });
    auto b = clock.startAt(t0 + 2h, [&] { events.push_back(u"19:00"_qs); });
    auto c = clock.startAt(t0 + 3h, [&] { events.push_back(u"20:00"_qs); });

    power.sendWillSleep(t0);
    clock.sleepUntil(t0 + 2h + 30min);
    QVERIFY(events.size() == 1); // nothing fires during the jump
    QCOMPARE(clock.monotonicNow(), mono0); // monotonic time stood still while asleep
    power.sendDidWake(clock.now());
    clock.fireDue();
    QCOMPARE(events, (std::vector<QString>{u"will sleep"_qs, u"did wake"_qs, u"18:00"_qs, u"19:00"_qs}));
    clock.fireDue();
    QCOMPARE(events.size(), size_t(4)); // once only
    clock.advanceBy(30min);
    QCOMPARE(events.back(), u"20:00"_qs);
}

void TestVirtualClock::wallClockSetBackAndForth()
{
    VirtualClock clock;
    const auto t0 = clock.now();
    int wall = 0, mono = 0;
    auto w = clock.startAt(t0 + 10min, [&] { ++wall; });
    auto m = clock.startAfter(10min, [&] { ++mono; });

    clock.setWallTime(t0 - 1h); // set back: the wall timer now lies 70 minutes ahead
    clock.advanceBy(10min);
    QCOMPARE(mono, 1);
    QCOMPARE(wall, 0);
    clock.advanceBy(59min);
    QCOMPARE(wall, 0);
    clock.advanceBy(1min);
    QCOMPARE(wall, 1);

    auto w2 = clock.startAt(clock.now() + 1h, [&] { ++wall; });
    clock.setWallTime(clock.now() + 2h); // set forward past it
    clock.fireDue();
    QCOMPARE(wall, 2);
}

void TestVirtualClock::cancelAndRearmInsideCallback()
{
    VirtualClock clock;
    const auto t0 = clock.now();
    TimerHandle self;
    TimerHandle other;
    std::vector<Instant> fires;
    std::function<void()> rearm = [&] {
        fires.push_back(clock.now());
        self.cancel(); // its own handle, from inside: harmless
        if (fires.size() < 3)
            self = clock.startAt(clock.now() + 1min, rearm);
        other.cancel();
    };
    self = clock.startAt(t0 + 1min, rearm);
    int otherFired = 0;
    other = clock.startAt(t0 + 90s, [&] { ++otherFired; });
    clock.advanceBy(10min);
    QCOMPARE(fires, (std::vector<Instant>{t0 + 1min, t0 + 2min, t0 + 3min}));
    QCOMPARE(otherFired, 0);
    QVERIFY(!self.isActive());
}

void TestVirtualClock::droppedHandleNeverFires()
{
    VirtualClock clock;
    int fired = 0;
    {
        auto h = clock.startAfter(1s, [&] { ++fired; });
        QVERIFY(h.isActive());
    }
    TimerHandle moved = clock.startAfter(1s, [&] { ++fired; });
    moved = clock.startAfter(2s, [&] { fired += 10; }); // reassigning cancels the first
    clock.advanceBy(5s);
    QCOMPARE(fired, 10);
}

void TestVirtualClock::repeatingTimerOnMonotonicTime()
{
    VirtualClock clock;
    std::vector<MonotonicInstant> ticks;
    const auto m0 = clock.monotonicNow();
    TimerHandle sweep = clock.startRepeating(2s, [&] {
        ticks.push_back(clock.monotonicNow());
        if (ticks.size() == 3)
            sweep.cancel();
    });
    clock.setWallTime(clock.now() - 1h); // a wall jump changes nothing for it
    clock.advanceBy(20s);
    QCOMPARE(ticks, (std::vector<MonotonicInstant>{m0 + 2s, m0 + 4s, m0 + 6s}));
}

void TestVirtualClock::debounceOfABurst()
{
    VirtualClock clock;
    std::vector<MonotonicInstant> runs;
    Debounce debounce(clock, 2s, [&] { runs.push_back(clock.monotonicNow()); });
    const auto m0 = clock.monotonicNow();
    for (int i = 0; i < 10; ++i) {
        debounce.trigger();
        clock.advanceBy(500ms);
    }
    QVERIFY(runs.empty());
    QVERIFY(debounce.isPending());
    clock.advanceBy(10s);
    // The last trigger came at 4.5 s; the one run follows 2 s later.
    QCOMPARE(runs, (std::vector<MonotonicInstant>{m0 + 6500ms}));
    QVERIFY(!debounce.isPending());

    debounce.trigger();
    debounce.cancel();
    clock.advanceBy(10s);
    QCOMPARE(runs.size(), size_t(1));
}

QTEST_GUILESS_MAIN(TestVirtualClock)
#include "tst_virtualclock.moc"
