#include "linux/linuxtimerservice.h"
#include "linux/systemclock.h"

#include <QElapsedTimer>
#include <QTest>

// The real timers, with near deadlines only. Setting the machine's clock is out of bounds for a test, so the path
// taken after a clock change is driven directly.
class TestLinuxTimerService : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void wallTimerNeverFiresEarly();
    void overdueTimerFiresOnceOnTheNextTurn();
    void afterAClockChangeTheSameInstantIsArmedAgain();
    void monotonicTimersAndCancel();
};

void TestLinuxTimerService::wallTimerNeverFiresEarly()
{
    SystemClock clock;
    LinuxTimerService timers(clock);
    QVERIFY(timers.isValid());
    const auto deadline = clock.now() + 150ms;
    std::optional<Instant> firedAt;
    auto h = timers.startAt(deadline, [&] { firedAt = clock.now(); });
    QTRY_VERIFY_WITH_TIMEOUT(firedAt.has_value(), 5000);
    QVERIFY(*firedAt >= deadline);
    QVERIFY(*firedAt < deadline + 2s);
}

void TestLinuxTimerService::overdueTimerFiresOnceOnTheNextTurn()
{
    SystemClock clock;
    LinuxTimerService timers(clock);
    int fired = 0;
    auto h = timers.startAt(clock.now() - 1h, [&] { ++fired; });
    QCOMPARE(fired, 0);
    QTRY_COMPARE_WITH_TIMEOUT(fired, 1, 5000);
    QTest::qWait(50);
    QCOMPARE(fired, 1);
    QVERIFY(!h.isActive());
}

void TestLinuxTimerService::afterAClockChangeTheSameInstantIsArmedAgain()
{
    SystemClock clock;
    LinuxTimerService timers(clock);
    const auto deadline = clock.now() + 1h;
    int fired = 0;
    auto h = timers.startAt(deadline, [&] { ++fired; });
    timers.handleWallExpiry(); // as after a read that failed with ECANCELED
    QCOMPARE(fired, 0);
    const auto armed = timers.armedWallDeadline();
    QVERIFY(armed.has_value());
    QVERIFY(*armed > deadline - 1s && *armed < deadline + 1s);
    h.cancel();
    timers.handleWallExpiry();
    QVERIFY(!timers.armedWallDeadline().has_value());
}

void TestLinuxTimerService::monotonicTimersAndCancel()
{
    SystemClock clock;
    LinuxTimerService timers(clock);
    int ticks = 0, once = 0, cancelled = 0;
    TimerHandle repeating = timers.startRepeating(20ms, [&] {
        if (++ticks == 3)
            repeating.cancel();
    });
    auto single = timers.startAfter(30ms, [&] { ++once; });
    auto dropped = timers.startAfter(10ms, [&] { ++cancelled; });
    dropped.cancel();
    QElapsedTimer elapsed;
    elapsed.start();
    QTRY_COMPARE_WITH_TIMEOUT(ticks, 3, 5000);
    QVERIFY(elapsed.elapsed() >= 55);
    QTRY_COMPARE_WITH_TIMEOUT(once, 1, 5000);
    QTest::qWait(60);
    QCOMPARE(ticks, 3);
    QCOMPARE(cancelled, 0);
}

QTEST_GUILESS_MAIN(TestLinuxTimerService)
#include "tst_linuxtimerservice.moc"
