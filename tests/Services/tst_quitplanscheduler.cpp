#include "quitplanscheduler.h"

#include "appidentity.h"
#include "appprocesscontrol.h"
#include "embeddedprocessfamily.h"
#include "fake/fakenotifications.h"
#include "fake/fakeprocesstable.h"
#include "fake/fakerunningapps.h"
#include "fake/fakesleepwake.h"
#include "fake/virtualclock.h"
#include "notifier.h"
#include "scheduletesting.h"

#include <QTest>

#include <memory>

using namespace ScheduleTesting;

namespace {

const QString browserPath = u"/opt/Host.app/Contents/Browser.app"_qs;
const QString bodyEnd = u"即将按时退出，请保存正在编辑的内容"_qs;
// Monday 2026-03-02.
const Instant monday1700 = instant(u"2026-03-02T17:00:00Z"_qs);

// One log of everything that reaches the user, stamped with the virtual time: warnings, quit and hide requests,
// kills, and the calls to the owner.
struct Log
{
    const VirtualClock &clock;
    QStringList lines;
    void add(const QString &what)
    {
        lines.append(Instants::toDateTime(clock.now()).toString(u"HH:mm:ss"_qs) + u' ' + what);
    }
};

class LoggingNotifications : public FakeNotifications
{
public:
    explicit LoggingNotifications(Log &log) : m_log(log) {}
    void post(const QString &identifier, const QString &title, const QString &body) override
    {
        m_log.add(title + u" | "_qs + body);
        FakeNotifications::post(identifier, title, body);
    }

private:
    Log &m_log;
};

class LoggingRunningApps : public FakeRunningApps
{
public:
    explicit LoggingRunningApps(Log &log) : m_log(log) {}
    void terminate(const RunningApp &app) override
    {
        m_log.add(u"terminate %1 %2"_qs.arg(app.bundleID).arg(app.pid));
        FakeRunningApps::terminate(app);
    }
    void hide(const RunningApp &app) override
    {
        m_log.add(u"hide %1 %2"_qs.arg(app.bundleID).arg(app.pid));
        FakeRunningApps::hide(app);
    }

private:
    Log &m_log;
};

class LoggingProcessTable : public FakeProcessTable
{
public:
    explicit LoggingProcessTable(Log &log) : m_log(log) {}
    void kill(qint64 pid, const QString &expectedExecutable) override
    {
        m_log.add(u"kill %1"_qs.arg(pid));
        FakeProcessTable::kill(pid, expectedExecutable);
    }

private:
    Log &m_log;
};

// The desktop at Monday 17:00 UTC: an editor with two instances, a game, an app without a name, the program
// itself, and an embedded browser with two processes; the group "g-study" lists the game, the editor and an app
// that is not running.
struct Desk
{
    VirtualClock clock{monday1700};
    Log log{clock, {}};
    LoggingNotifications center{log};
    Notifier notifier{center};
    LoggingRunningApps running{log};
    LoggingProcessTable table{log};
    FakeSleepWake power;
    EmbeddedProcessFamily family{table};
    EmbeddedAppRegistry registry{
        {
            {u"com.host.browser"_qs, u"浏览器"_qs, browserPath, u"com.host"_qs, {}},
            {u"com.host.idle"_qs, u"小程序"_qs, u"/opt/Host.app/Contents/Idle.app"_qs, u"com.host"_qs, {}},
        },
        [](const QString &) { return true; }};
    AppProcessControl control{running, family, registry};
    QList<QuitPlanSnapshot> plans;
    QHash<QString, QStringList> groups{{u"g-study"_qs, {u"org.game"_qs, u"org.editor"_qs, u"org.absent"_qs}}};
    QByteArray zone = "UTC";
    std::unique_ptr<QuitPlanScheduler> scheduler;

    explicit Desk(QList<QuitPlanSnapshot> initialPlans = {})
        : plans(std::move(initialPlans))
    {
        running.launch(u"org.editor"_qs, u"编辑器"_qs, 301);
        running.launch(u"org.editor"_qs, u"编辑器"_qs, 302);
        running.launch(u"org.game"_qs, u"游戏"_qs, 303);
        running.launch(u"org.noname"_qs, QString(), 304);
        running.launch(AppIdentity::bundleID(), u"Tarnwick"_qs, 305);
        table.addProcess(401, browserPath + u"/Contents/MacOS/browser"_qs);
        table.addProcess(402, browserPath + u"/Contents/Helpers/gpu"_qs);
        table.addProcess(403, u"/opt/Host.app/Contents/MacOS/host"_qs);
    }

    void start()
    {
        const QuitPlanScheduler::Seams seams{
            .clock = clock,
            .timers = clock,
            .sleepWake = power,
            .runningApps = running,
            .embeddedApps = registry,
            .processFamily = family,
            .processControl = control,
            .notifier = notifier,
        };
        scheduler = std::make_unique<QuitPlanScheduler>(
            seams, [this] { return plans; }, [this] { return groups; }, [this] { return calendar(zone); });
        scheduler->onFired = [this] { log.add(u"fired"_qs); };
    }

    QString nextDeadline() const { return show(clock.nextWallDeadline()); }
};

QString warning(const QString &at, const QString &names)
{
    return at + u" 还有 15 秒 | "_qs + names + bodyEnd;
}

QuitPlanSnapshot at1800(QStringList apps) { return appsPlan(hm(18, 0), everyDay, std::move(apps)); }

} // namespace

class TestQuitPlanScheduler : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void targetsInFirstSeenOrder_data();
    void targetsInFirstSeenOrder();
    void staleness_data();
    void staleness();
    void warningAndQuit_data();
    void warningAndQuit();
    void planSwitchedOnLate_data();
    void planSwitchedOnLate();
    void lateTimers_data();
    void lateTimers();
    void sleepAcrossTwoQuits_data();
    void sleepAcrossTwoQuits();
    void shortSleepAcrossAQuitActsOnce_data();
    void shortSleepAcrossAQuitActsOnce();
    void wakeExactlyAtAQuitReplaysIt();
    void ownerDropsTheSchedulerWhenTold_data();
    void ownerDropsTheSchedulerWhenTold();
    void atMost64MissedQuitsAreReplayed();
    void rescheduleAfterPlanEdits();
    void calendarComesFromTheProvider_data();
    void calendarComesFromTheProvider();
};

void TestQuitPlanScheduler::targetsInFirstSeenOrder_data()
{
    QTest::addColumn<QList<QuitPlanSnapshot>>("due");
    QTest::addColumn<QStringList>("targets");
    const QHash<QString, QStringList> groups{{u"g"_qs, {u"c"_qs, u"a"_qs, u"d"_qs}}};
    QTest::newRow("apps in their stored order") << QList{at1800({u"b"_qs, u"a"_qs})} << QStringList{u"b"_qs, u"a"_qs};
    QTest::newRow("repeats keep their first place")
        << QList{at1800({u"b"_qs, u"a"_qs, u"b"_qs}), at1800({u"a"_qs, u"c"_qs})}
        << QStringList{u"b"_qs, u"a"_qs, u"c"_qs};
    QTest::newRow("group members in member order, after the plans before them")
        << QList{at1800({u"a"_qs}), groupPlan(hm(18, 0), everyDay, u"g"_qs)}
        << QStringList{u"a"_qs, u"c"_qs, u"d"_qs};
    QTest::newRow("a deleted group has no members") << QList{groupPlan(hm(18, 0), everyDay, u"gone"_qs)}
                                                    << QStringList{};
    QTest::newRow("no plans") << QList<QuitPlanSnapshot>{} << QStringList{};
}

void TestQuitPlanScheduler::targetsInFirstSeenOrder()
{
    QFETCH(QList<QuitPlanSnapshot>, due);
    QFETCH(QStringList, targets);
    const QHash<QString, QStringList> groups{{u"g"_qs, {u"c"_qs, u"a"_qs, u"d"_qs}}};
    QCOMPARE(QuitPlanScheduler::targets(due, groups), targets);
}

void TestQuitPlanScheduler::staleness_data()
{
    QTest::addColumn<Duration>("late");
    QTest::addColumn<bool>("stale");
    QTest::newRow("on time") << Duration(0s) << false;
    QTest::newRow("119 seconds late") << Duration(119s) << false;
    QTest::newRow("just under 120 seconds") << Duration(120s - 1us) << false;
    QTest::newRow("120 seconds late") << Duration(120s) << true;
    QTest::newRow("a day late") << Duration(24h) << true;
    QTest::newRow("early") << Duration(-5s) << false;
}

void TestQuitPlanScheduler::staleness()
{
    QFETCH(Duration, late);
    QFETCH(bool, stale);
    QCOMPARE(QuitPlanScheduler::isStale(monday1700 + late, monday1700), stale);
}

void TestQuitPlanScheduler::warningAndQuit_data()
{
    QTest::addColumn<QList<QuitPlanSnapshot>>("plans");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("a block follows: warning, quit, hide, owner told")
        << QList{blockingFor(at1800({u"org.editor"_qs}), 30)}
        << QStringList{warning(u"17:59:45"_qs, u"编辑器"_qs), u"18:00:00 terminate org.editor 301"_qs,
                       u"18:00:00 terminate org.editor 302"_qs, u"18:00:00 hide org.editor 301"_qs,
                       u"18:00:00 hide org.editor 302"_qs, u"18:00:00 fired"_qs};
    QTest::newRow("no block: quit only")
        << QList{at1800({u"org.game"_qs})}
        << QStringList{warning(u"17:59:45"_qs, u"游戏"_qs), u"18:00:00 terminate org.game 303"_qs,
                       u"18:00:00 fired"_qs};
    QTest::newRow("a block until a time of day also hides")
        << QList{blockingUntil(at1800({u"org.game"_qs}), hm(20, 0))}
        << QStringList{warning(u"17:59:45"_qs, u"游戏"_qs), u"18:00:00 terminate org.game 303"_qs,
                       u"18:00:00 hide org.game 303"_qs, u"18:00:00 fired"_qs};
    QTest::newRow("two plans sharing targets: one warning, one pass, hide only what a block follows")
        << QList{at1800({u"org.noname"_qs, u"org.game"_qs}),
                 blockingFor(groupPlan(hm(18, 0), everyDay, u"g-study"_qs), 10)}
        << QStringList{warning(u"17:59:45"_qs, u"org.noname、游戏、编辑器"_qs),
                       u"18:00:00 terminate org.noname 304"_qs,
                       u"18:00:00 terminate org.game 303"_qs,
                       u"18:00:00 hide org.game 303"_qs,
                       u"18:00:00 terminate org.editor 301"_qs,
                       u"18:00:00 terminate org.editor 302"_qs,
                       u"18:00:00 hide org.editor 301"_qs,
                       u"18:00:00 hide org.editor 302"_qs,
                       u"18:00:00 fired"_qs};
    QTest::newRow("embedded app: named by its display name, killed, never asked or hidden")
        << QList{blockingFor(at1800({u"com.host.browser"_qs}), 30)}
        << QStringList{warning(u"17:59:45"_qs, u"浏览器"_qs), u"18:00:00 kill 401"_qs, u"18:00:00 kill 402"_qs,
                       u"18:00:00 fired"_qs};
    QTest::newRow("nothing of it runs: no warning, no quit, owner still told")
        << QList{at1800({u"org.absent"_qs, u"com.host.idle"_qs})} << QStringList{u"18:00:00 fired"_qs};
    QTest::newRow("deleted group: no targets, owner still told")
        << QList{blockingFor(groupPlan(hm(18, 0), everyDay, u"g-gone"_qs), 10)}
        << QStringList{u"18:00:00 fired"_qs};
    QTest::newRow("the program itself in a plan: never named, quit or hidden")
        << QList{blockingFor(at1800({AppIdentity::bundleID(), u"org.game"_qs}), 10)}
        << QStringList{warning(u"17:59:45"_qs, u"游戏"_qs), u"18:00:00 terminate org.game 303"_qs,
                       u"18:00:00 hide org.game 303"_qs, u"18:00:00 fired"_qs};
    QTest::newRow("only the program itself: owner told, nothing else")
        << QList{blockingFor(at1800({AppIdentity::bundleID()}), 10)} << QStringList{u"18:00:00 fired"_qs};
    QTest::newRow("switched off: nothing") << QList{switchedOff(at1800({u"org.game"_qs}))} << QStringList{};
    QTest::newRow("another weekday: nothing today")
        << QList{appsPlan(hm(18, 0), {3}, {u"org.game"_qs})} << QStringList{};
}

void TestQuitPlanScheduler::warningAndQuit()
{
    QFETCH(QList<QuitPlanSnapshot>, plans);
    QFETCH(QStringList, log);
    Desk d(plans);
    d.start();
    d.clock.advanceTo(instant(u"2026-03-02T18:00:30Z"_qs));
    QCOMPARE(d.log.lines, log);
}

void TestQuitPlanScheduler::planSwitchedOnLate_data()
{
    QTest::addColumn<QString>("switchedOnAt");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("16 seconds before: the warning still comes")
        << u"17:59:44"_qs
        << QStringList{warning(u"17:59:45"_qs, u"游戏"_qs), u"18:00:00 terminate org.game 303"_qs,
                       u"18:00:00 fired"_qs};
    QTest::newRow("exactly 15 seconds before: no warning")
        << u"17:59:45"_qs << QStringList{u"18:00:00 terminate org.game 303"_qs, u"18:00:00 fired"_qs};
    QTest::newRow("10 seconds before: no warning, the quit on time")
        << u"17:59:50"_qs << QStringList{u"18:00:00 terminate org.game 303"_qs, u"18:00:00 fired"_qs};
}

void TestQuitPlanScheduler::planSwitchedOnLate()
{
    QFETCH(QString, switchedOnAt);
    QFETCH(QStringList, log);
    Desk d;
    d.start();
    QCOMPARE(d.clock.pendingTimerCount(), 0); // no plans, no timers
    d.clock.advanceTo(instant(u"2026-03-02T"_qs + switchedOnAt + u"Z"_qs));
    d.plans = {at1800({u"org.game"_qs})};
    d.scheduler->reschedule();
    d.clock.advanceTo(instant(u"2026-03-02T18:00:30Z"_qs));
    QCOMPARE(d.log.lines, log);
    QCOMPARE(d.nextDeadline(), u"2026-03-03T17:59:45.000Z"_qs); // the next day's warning
}

void TestQuitPlanScheduler::lateTimers_data()
{
    QTest::addColumn<Duration>("late");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("nextDeadline");
    // The wall clock jumps without a sleep (the main thread stalled); both timers come late together.
    QTest::newRow("warning a second before the quit is still posted")
        << Duration(-1s) << QStringList{warning(u"17:59:59"_qs, u"游戏"_qs)} << u"2026-03-02T18:00:00.000Z"_qs;
    QTest::newRow("warning at the quit instant posts nothing, the quit acts")
        << Duration(0s) << QStringList{u"18:00:00 terminate org.game 303"_qs, u"18:00:00 fired"_qs}
        << u"2026-03-03T17:59:45.000Z"_qs;
    QTest::newRow("119 seconds late: the quit acts, the warning stays silent")
        << Duration(119s) << QStringList{u"18:01:59 terminate org.game 303"_qs, u"18:01:59 fired"_qs}
        << u"2026-03-03T17:59:45.000Z"_qs;
    QTest::newRow("120 seconds late: stale, only the next quit is armed")
        << Duration(120s) << QStringList{} << u"2026-03-03T17:59:45.000Z"_qs;
    QTest::newRow("3 minutes late: stale") << Duration(3min) << QStringList{} << u"2026-03-03T17:59:45.000Z"_qs;
}

void TestQuitPlanScheduler::lateTimers()
{
    QFETCH(Duration, late);
    QFETCH(QStringList, log);
    QFETCH(QString, nextDeadline);
    Desk d({at1800({u"org.game"_qs})});
    d.start();
    d.clock.setWallTime(instant(u"2026-03-02T18:00:00Z"_qs) + late);
    d.clock.fireDue();
    QCOMPARE(d.log.lines, log);
    QCOMPARE(d.nextDeadline(), nextDeadline);
}

void TestQuitPlanScheduler::sleepAcrossTwoQuits_data()
{
    QTest::addColumn<QString>("order");
    QTest::newRow("the wake comes before the stale timers") << u"wake, timers"_qs;
    QTest::newRow("the stale timers come before the wake") << u"timers, wake"_qs;
    // A suspend detector learns of the sleep only after it; the event still carries when the sleep began.
    QTest::newRow("the sleep is reported on waking, with its instant") << u"sleep reported late"_qs;
}

void TestQuitPlanScheduler::sleepAcrossTwoQuits()
{
    QFETCH(QString, order);
    Desk d({at1800({u"org.game"_qs}), blockingFor(appsPlan(hm(19, 0), everyDay, {u"org.editor"_qs}), 30)});
    d.start();
    const Instant asleepAt = d.clock.now();
    if (order != u"sleep reported late"_qs)
        d.power.sendWillSleep(asleepAt);
    d.clock.sleepUntil(instant(u"2026-03-02T19:30:00Z"_qs));
    if (order == u"wake, timers"_qs) {
        d.power.sendDidWake(d.clock.now());
        d.clock.fireDue();
    } else if (order == u"timers, wake"_qs) {
        d.clock.fireDue();
        d.power.sendDidWake(d.clock.now());
    } else {
        d.power.sendWillSleep(asleepAt);
        d.power.sendDidWake(d.clock.now());
        d.clock.fireDue();
    }
    // Both passes in order, each with the owner told; the warnings are not replayed.
    QCOMPARE(d.log.lines, (QStringList{u"19:30:00 terminate org.game 303"_qs, u"19:30:00 fired"_qs,
                                       u"19:30:00 terminate org.editor 301"_qs,
                                       u"19:30:00 terminate org.editor 302"_qs,
                                       u"19:30:00 hide org.editor 301"_qs, u"19:30:00 hide org.editor 302"_qs,
                                       u"19:30:00 fired"_qs}));
    QCOMPARE(d.nextDeadline(), u"2026-03-03T17:59:45.000Z"_qs);
    QCOMPARE(d.clock.pendingTimerCount(), 2);
}

void TestQuitPlanScheduler::shortSleepAcrossAQuitActsOnce_data()
{
    QTest::addColumn<QString>("order");
    QTest::addColumn<QStringList>("log");
    // Asleep from 17:59:50 to 18:01: the quit timer is late but not stale, and the wake replays the same quit.
    QTest::newRow("the timers come before the wake")
        << u"timers, wake"_qs << QStringList{u"18:01:00 terminate org.game 303"_qs, u"18:01:00 fired"_qs};
    QTest::newRow("the wake comes before the timers")
        << u"wake, timers"_qs << QStringList{u"18:01:00 terminate org.game 303"_qs, u"18:01:00 fired"_qs};
    QTest::newRow("woken at the quit instant, the timer first")
        << u"timers at the quit, wake"_qs << QStringList{u"18:00:00 terminate org.game 303"_qs, u"18:00:00 fired"_qs};
    // The quit ran at 18:00; a suspend detector then dates the sleep from its last tick, 17:59:58.
    QTest::newRow("the sleep is dated from a tick before a quit that already ran")
        << u"quit, then sleep dated earlier"_qs
        << QStringList{warning(u"17:59:45"_qs, u"游戏"_qs), u"18:00:00 terminate org.game 303"_qs,
                       u"18:00:00 fired"_qs};
}

void TestQuitPlanScheduler::shortSleepAcrossAQuitActsOnce()
{
    QFETCH(QString, order);
    QFETCH(QStringList, log);
    Desk d({at1800({u"org.game"_qs})});
    d.start();
    if (order == u"quit, then sleep dated earlier"_qs) {
        d.clock.advanceTo(instant(u"2026-03-02T18:00:03Z"_qs));
        d.clock.sleepUntil(instant(u"2026-03-02T18:30:00Z"_qs));
        d.power.sendWillSleep(instant(u"2026-03-02T17:59:58Z"_qs));
        d.power.sendDidWake(d.clock.now());
        d.clock.fireDue();
    } else {
        d.clock.advanceTo(instant(u"2026-03-02T17:59:50Z"_qs));
        d.log.lines.clear(); // the warning came before the sleep
        d.power.sendWillSleep(d.clock.now());
        const bool atQuit = order == u"timers at the quit, wake"_qs;
        d.clock.sleepUntil(instant(atQuit ? u"2026-03-02T18:00:00Z"_qs : u"2026-03-02T18:01:00Z"_qs));
        if (order == u"wake, timers"_qs) {
            d.power.sendDidWake(d.clock.now());
            d.clock.fireDue();
        } else {
            d.clock.fireDue();
            d.power.sendDidWake(d.clock.now());
        }
    }
    QCOMPARE(d.log.lines, log);
    QCOMPARE(d.nextDeadline(), u"2026-03-03T17:59:45.000Z"_qs);

    // The next day's quit is not held back by the one before.
    d.log.lines.clear();
    d.clock.advanceTo(instant(u"2026-03-03T18:00:30Z"_qs));
    QCOMPARE(d.log.lines, (QStringList{warning(u"17:59:45"_qs, u"游戏"_qs), u"18:00:00 terminate org.game 303"_qs,
                                       u"18:00:00 fired"_qs}));
}

void TestQuitPlanScheduler::wakeExactlyAtAQuitReplaysIt()
{
    Desk d({at1800({u"org.game"_qs}), appsPlan(hm(19, 0), everyDay, {u"org.editor"_qs})});
    d.start();
    d.power.sendWillSleep(d.clock.now());
    d.clock.sleepUntil(instant(u"2026-03-02T18:00:00Z"_qs));
    d.power.sendDidWake(d.clock.now());
    QCOMPARE(d.log.lines, (QStringList{u"18:00:00 terminate org.game 303"_qs, u"18:00:00 fired"_qs}));
    d.clock.fireDue(); // the old timers were dropped by the replay's re-arm
    QCOMPARE(d.log.lines.size(), 2);
    QCOMPARE(d.nextDeadline(), u"2026-03-02T18:59:45.000Z"_qs);

    // A wake without a recorded sleep replays nothing; it only re-arms.
    d.clock.sleepUntil(instant(u"2026-03-02T19:10:00Z"_qs));
    d.power.sendDidWake(d.clock.now());
    QCOMPARE(d.log.lines.size(), 2);
    QCOMPARE(d.nextDeadline(), u"2026-03-03T17:59:45.000Z"_qs);
}

void TestQuitPlanScheduler::atMost64MissedQuitsAreReplayed()
{
    Desk d;
    QStringList expected;
    for (int i = 0; i < 65; ++i) {
        const QString app = u"org.app%1"_qs.arg(i, 2, 10, QChar(u'0'));
        const qint64 pid = 600 + i;
        d.running.launch(app, app, pid);
        d.plans.append(appsPlan(hm(18, 0) + i, everyDay, {app}));
        if (i < 64)
            expected << u"20:00:00 terminate %1 %2"_qs.arg(app).arg(pid) << u"20:00:00 fired"_qs;
    }
    d.start();
    d.power.sendWillSleep(d.clock.now());
    d.clock.sleepUntil(instant(u"2026-03-02T20:00:00Z"_qs));
    d.power.sendDidWake(d.clock.now());
    d.clock.fireDue();
    // Quits at 18:00 to 19:03 are replayed in order; the one at 19:04 is dropped.
    QCOMPARE(d.log.lines, expected);
    QVERIFY(d.center.posts().isEmpty());
    QCOMPARE(d.nextDeadline(), u"2026-03-03T17:59:45.000Z"_qs);
}

void TestQuitPlanScheduler::ownerDropsTheSchedulerWhenTold_data()
{
    QTest::addColumn<bool>("replay");
    QTest::newRow("in a quit pass on time") << false;
    QTest::newRow("in the first of two replayed quits") << true;
}

void TestQuitPlanScheduler::ownerDropsTheSchedulerWhenTold()
{
    QFETCH(bool, replay);
    Desk d({at1800({u"org.game"_qs}), appsPlan(hm(19, 0), everyDay, {u"org.editor"_qs})});
    d.start();
    d.scheduler->onFired = [&d, tag = u"fired, and the scheduler dropped"_qs] {
        d.scheduler.reset();
        d.log.add(tag); // the callback itself may still use what it holds
    };
    if (replay) {
        d.power.sendWillSleep(d.clock.now());
        d.clock.sleepUntil(instant(u"2026-03-02T19:30:00Z"_qs));
        d.power.sendDidWake(d.clock.now());
    }
    d.clock.advanceTo(instant(u"2026-03-03T20:00:00Z"_qs));
    QCOMPARE(d.log.lines.filter(u"fired"_qs).size(), 1);
    QVERIFY(!d.scheduler);
    QCOMPARE(d.clock.pendingTimerCount(), 0);
}

void TestQuitPlanScheduler::rescheduleAfterPlanEdits()
{
    Desk d({at1800({u"org.game"_qs})});
    d.start();
    QCOMPARE(d.nextDeadline(), u"2026-03-02T17:59:45.000Z"_qs);

    // Moved to 18:30: nothing at 18:00, the warning and quit at the new time.
    d.clock.advanceTo(instant(u"2026-03-02T17:30:00Z"_qs));
    d.plans = {appsPlan(hm(18, 30), everyDay, {u"org.game"_qs})};
    d.scheduler->reschedule();
    d.clock.advanceTo(instant(u"2026-03-02T18:31:00Z"_qs));
    QCOMPARE(d.log.lines, (QStringList{warning(u"18:29:45"_qs, u"游戏"_qs), u"18:30:00 terminate org.game 303"_qs,
                                       u"18:30:00 fired"_qs}));

    // The armed quit acts on the plans as they are when it fires.
    d.log.lines.clear();
    d.clock.advanceTo(instant(u"2026-03-03T18:29:50Z"_qs));
    d.plans = {appsPlan(hm(18, 30), everyDay, {u"org.editor"_qs})};
    d.clock.advanceTo(instant(u"2026-03-03T18:31:00Z"_qs));
    QCOMPARE(d.log.lines, (QStringList{warning(u"18:29:45"_qs, u"游戏"_qs),
                                       u"18:30:00 terminate org.editor 301"_qs,
                                       u"18:30:00 terminate org.editor 302"_qs, u"18:30:00 fired"_qs}));

    // Switched off: no timers at all.
    d.plans = {switchedOff(d.plans.first())};
    d.scheduler->reschedule();
    QCOMPARE(d.clock.pendingTimerCount(), 0);
    d.clock.advanceBy(48h);
    QCOMPARE(d.log.lines.size(), 4);
}

void TestQuitPlanScheduler::calendarComesFromTheProvider_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("nextDeadline");
    QTest::newRow("UTC") << QByteArray("UTC") << u"2026-03-02T17:59:45.000Z"_qs;
    // 17:00 UTC is already 01:00 on Tuesday in Shanghai; 18:00 there is 10:00 UTC.
    QTest::newRow("Asia/Shanghai") << QByteArray("Asia/Shanghai") << u"2026-03-03T09:59:45.000Z"_qs;
}

void TestQuitPlanScheduler::calendarComesFromTheProvider()
{
    QFETCH(QByteArray, zone);
    QFETCH(QString, nextDeadline);
    Desk d({at1800({u"org.game"_qs})});
    d.zone = zone;
    d.start();
    QCOMPARE(d.nextDeadline(), nextDeadline);
}

QTEST_GUILESS_MAIN(TestQuitPlanScheduler)
#include "tst_quitplanscheduler.moc"
