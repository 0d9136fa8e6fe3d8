#include "fake/virtualclock.h"
#include "linux/logindsleepwake.h"
#include "linux/suspenddetector.h"
#include "privatebus.h"

#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

// logind as far as sleep goes: delay inhibitors handed out as pipe ends (released when every copy is closed), and
// PrepareForSleep sent on the test's command.
class FakeLogin1 : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    ~FakeLogin1() override
    {
        for (const int fd : std::as_const(m_readEnds))
            ::close(fd);
    }
    QList<QStringList> inhibitCalls;
    // When set, the machine starts going to sleep before the next inhibitor is handed out.
    QDBusConnection *sleepBeforeAnswering = nullptr;

    [[nodiscard]] bool released(int index) const
    {
        pollfd p{m_readEnds.value(index, -1), POLLIN, 0};
        return ::poll(&p, 1, 0) == 1 && (p.revents & POLLHUP);
    }
    static void sendPrepareForSleep(QDBusConnection &connection, bool sleeping)
    {
        auto signal = QDBusMessage::createSignal(u"/org/freedesktop/login1"_qs, u"org.freedesktop.login1.Manager"_qs,
                                                 u"PrepareForSleep"_qs);
        signal << sleeping;
        connection.send(signal);
    }

public Q_SLOTS:
    QDBusUnixFileDescriptor Inhibit(const QString &what, const QString &who, const QString &why, const QString &mode)
    {
        inhibitCalls.append({what, who, why, mode});
        if (sleepBeforeAnswering)
            sendPrepareForSleep(*sleepBeforeAnswering, true);
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return {};
        m_readEnds.append(fds[0]);
        QDBusUnixFileDescriptor out(fds[1]); // a copy of its own
        ::close(fds[1]);
        return out;
    }

private:
    QList<int> m_readEnds;
};

// Sleep and wake from a fake logind on the test's own bus, and from the suspend detector on injected clock readings.
class TestLogindSleepWake : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void detectorRule_data();
    void detectorRule();
    void machineClocksReadInOrder();
    void logindInhibitsUntilWillSleepIsHandled();
    void anInhibitorThatComesWhileAsleepIsLetGo();
    void withoutLogindTheDetectorStandsIn();
    void withoutASystemBusTheDetectorRuns();

private:
    // Readings of the virtual clock; `asleep` is how long BOOTTIME ran on without MONOTONIC.
    struct Readings
    {
        VirtualClock *clock = nullptr;
        Duration asleep{0};
        SuspendDetector::Reading operator()() const
        {
            const Duration mono = clock->monotonicNow().time_since_epoch();
            return {mono + asleep, mono, clock->now()};
        }
    };
};

void TestLogindSleepWake::detectorRule_data()
{
    QTest::addColumn<qint64>("bootStep");    // seconds BOOTTIME moved since the last tick
    QTest::addColumn<qint64>("monoStep");    // seconds MONOTONIC moved
    QTest::addColumn<qint64>("wallStep");    // seconds the wall clock moved
    QTest::addColumn<qint64>("asleep");      // -1: no suspend seen
    const Duration threshold = SuspendDetector::defaultThreshold;
    const qint64 t = std::chrono::duration_cast<std::chrono::seconds>(threshold).count();
    QTest::newRow("an ordinary tick") << qint64(5) << qint64(5) << qint64(5) << qint64(-1);
    QTest::newRow("a late tick while awake") << qint64(40) << qint64(40) << qint64(40) << qint64(-1);
    QTest::newRow("the wall clock set back an hour") << qint64(5) << qint64(5) << qint64(-3600) << qint64(-1);
    QTest::newRow("the wall clock set forward a day") << qint64(5) << qint64(5) << qint64(86400) << qint64(-1);
    QTest::newRow("a gap just short of the threshold") << qint64(5 + t - 1) << qint64(5) << qint64(5 + t - 1)
                                                       << qint64(-1);
    QTest::newRow("a gap of exactly the threshold") << qint64(5 + t) << qint64(5) << qint64(5 + t) << t;
    QTest::newRow("an hour asleep") << qint64(3605) << qint64(5) << qint64(3605) << qint64(3600);
    QTest::newRow("asleep while the wall clock was set back") << qint64(605) << qint64(5) << qint64(-100)
                                                              << qint64(600);
}

void TestLogindSleepWake::detectorRule()
{
    QFETCH(qint64, bootStep);
    QFETCH(qint64, monoStep);
    QFETCH(qint64, wallStep);
    QFETCH(qint64, asleep);
    SuspendDetector detector;
    const Instant wall0 = VirtualClock::defaultStart();
    const SuspendDetector::Reading first{Duration(1000s), Duration(900s), wall0};
    QVERIFY(!detector.observe(first).has_value());
    const SuspendDetector::Reading second{first.boottime + std::chrono::seconds(bootStep),
                                          first.monotonic + std::chrono::seconds(monoStep),
                                          wall0 + std::chrono::seconds(wallStep)};
    const auto suspend = detector.observe(second);
    QCOMPARE(suspend.has_value(), asleep >= 0);
    if (suspend) {
        QCOMPARE(suspend->sleptAt, wall0);
        QCOMPARE(suspend->wokeAt, second.wall);
        QCOMPARE(suspend->asleep, Duration(std::chrono::seconds(asleep)));
    }
    // The next ordinary tick sees no second suspend.
    const SuspendDetector::Reading third{second.boottime + 5s, second.monotonic + 5s, second.wall + 5s};
    QVERIFY(!detector.observe(third).has_value());
}

void TestLogindSleepWake::machineClocksReadInOrder()
{
    const auto r = SuspendDetector::readClocks(VirtualClock::defaultStart());
    QVERIFY(r.monotonic > Duration(0));
    QVERIFY(r.boottime >= r.monotonic);
}

void TestLogindSleepWake::logindInhibitsUntilWillSleepIsHandled()
{
    PrivateBus bus;
    QVERIFY(bus.isRunning());
    auto server = bus.connect(u"logind"_qs);
    FakeLogin1 logind;
    QVERIFY(server.registerObject(u"/org/freedesktop/login1"_qs, &logind, QDBusConnection::ExportAllSlots));
    QVERIFY(server.registerService(u"org.freedesktop.login1"_qs));

    VirtualClock clock;
    Readings readings{&clock};
    LogindSleepWake sleepWake(clock, clock, bus.connect(u"client"_qs), std::ref(readings));
    QTRY_VERIFY_WITH_TIMEOUT(sleepWake.holdsInhibitor(), 5000);
    QCOMPARE(sleepWake.mode(), LogindSleepWake::Mode::logind);
    QCOMPARE(logind.inhibitCalls.size(), 1);
    const QStringList call = logind.inhibitCalls.first();
    QCOMPARE(call.at(0), u"sleep"_qs);
    QCOMPARE(call.at(1), u"Tarnwick"_qs);
    QVERIFY(!call.at(2).isEmpty());
    QCOMPARE(call.at(3), u"delay"_qs);
    QVERIFY(!logind.released(0));

    QStringList events;
    bool heldWhileHandled = false;
    connect(&sleepWake, &SleepWake::willSleep, this, [&](Instant at) {
        heldWhileHandled = !logind.released(0);
        events.append(u"sleep %1"_qs.arg(Instants::secondsSince1970(at)));
    });
    connect(&sleepWake, &SleepWake::didWake, this,
            [&](Instant at) { events.append(u"wake %1"_qs.arg(Instants::secondsSince1970(at))); });

    const Instant asleepAt = clock.now();
    FakeLogin1::sendPrepareForSleep(server, true);
    QTRY_COMPARE_WITH_TIMEOUT(events.size(), 1, 5000);
    QVERIFY(heldWhileHandled);
    QTRY_VERIFY_WITH_TIMEOUT(logind.released(0), 5000);
    QVERIFY(!sleepWake.holdsInhibitor());

    clock.sleepUntil(asleepAt + 2h);
    readings.asleep += 2h;
    FakeLogin1::sendPrepareForSleep(server, false);
    QTRY_COMPARE_WITH_TIMEOUT(events.size(), 2, 5000);
    QCOMPARE(events, (QStringList{u"sleep %1"_qs.arg(Instants::secondsSince1970(asleepAt)),
                                  u"wake %1"_qs.arg(Instants::secondsSince1970(asleepAt + 2h))}));
    QTRY_VERIFY_WITH_TIMEOUT(sleepWake.holdsInhibitor(), 5000);
    QCOMPARE(logind.inhibitCalls.size(), 2);

    // With logind in charge the detector is silent, or each sleep would come twice.
    clock.advanceBy(30s);
    QCOMPARE(events.size(), 2);
}

void TestLogindSleepWake::anInhibitorThatComesWhileAsleepIsLetGo()
{
    PrivateBus bus;
    QVERIFY(bus.isRunning());
    auto server = bus.connect(u"logind"_qs);
    FakeLogin1 logind;
    logind.sleepBeforeAnswering = &server;
    QVERIFY(server.registerObject(u"/org/freedesktop/login1"_qs, &logind, QDBusConnection::ExportAllSlots));
    QVERIFY(server.registerService(u"org.freedesktop.login1"_qs));

    VirtualClock clock;
    Readings readings{&clock};
    LogindSleepWake sleepWake(clock, clock, bus.connect(u"client"_qs), std::ref(readings));
    int sleeps = 0;
    connect(&sleepWake, &SleepWake::willSleep, this, [&] { ++sleeps; });
    QTRY_VERIFY_WITH_TIMEOUT(!sleepWake.isAskingLogind() && sleeps == 1, 5000);
    QCOMPARE(sleepWake.mode(), LogindSleepWake::Mode::logind);
    // Held now, it would keep the machine awake until logind gives up waiting.
    QVERIFY(!sleepWake.holdsInhibitor());
    QTRY_VERIFY_WITH_TIMEOUT(logind.released(0), 5000);

    logind.sleepBeforeAnswering = nullptr;
    FakeLogin1::sendPrepareForSleep(server, false);
    QTRY_VERIFY_WITH_TIMEOUT(sleepWake.holdsInhibitor(), 5000);
    QCOMPARE(logind.inhibitCalls.size(), 2);
    QVERIFY(!logind.released(1));
}

void TestLogindSleepWake::withoutLogindTheDetectorStandsIn()
{
    PrivateBus bus;
    QVERIFY(bus.isRunning());
    VirtualClock clock;
    Readings readings{&clock};
    LogindSleepWake sleepWake(clock, clock, bus.connect(u"client"_qs), std::ref(readings));
    QTRY_VERIFY_WITH_TIMEOUT(!sleepWake.isAskingLogind(), 5000);
    QCOMPARE(sleepWake.mode(), LogindSleepWake::Mode::detecting);
    QVERIFY(!sleepWake.holdsInhibitor());

    QList<std::pair<QString, Instant>> events;
    connect(&sleepWake, &SleepWake::willSleep, this, [&](Instant at) { events.append({u"sleep"_qs, at}); });
    connect(&sleepWake, &SleepWake::didWake, this, [&](Instant at) { events.append({u"wake"_qs, at}); });
    clock.advanceBy(LogindSleepWake::tickInterval * 3);
    QVERIFY(events.isEmpty());
    const Instant lastTick = clock.now();
    clock.advanceBy(3s); // awake for a while after the last tick, then asleep for ten minutes
    clock.sleepUntil(clock.now() + 10min);
    readings.asleep += 10min;
    clock.advanceBy(2s); // the next tick
    QCOMPARE(events.size(), 2);
    QCOMPARE(events.at(0), std::make_pair(u"sleep"_qs, lastTick));
    QCOMPARE(events.at(1), std::make_pair(u"wake"_qs, clock.now()));
}

void TestLogindSleepWake::withoutASystemBusTheDetectorRuns()
{
    // The tests' system bus address leads nowhere.
    VirtualClock clock;
    Readings readings{&clock};
    LogindSleepWake sleepWake(clock, clock, QDBusConnection::systemBus(), std::ref(readings));
    QCOMPARE(sleepWake.mode(), LogindSleepWake::Mode::detecting);
    QVERIFY(!sleepWake.isAskingLogind());
    int wakes = 0;
    connect(&sleepWake, &SleepWake::didWake, this, [&] { ++wakes; });
    clock.sleepUntil(clock.now() + 1h);
    readings.asleep += 1h;
    clock.advanceBy(LogindSleepWake::tickInterval);
    QCOMPARE(wakes, 1);
}

QTEST_GUILESS_MAIN(TestLogindSleepWake)
#include "tst_logindsleepwake.moc"
