#include "embeddedappguard.h"

#include "appidentity.h"
#include "embeddedprocessfamily.h"
#include "fake/fakeprocesstable.h"
#include "fake/fakerunningapps.h"
#include "fake/fakesleepwake.h"
#include "fake/fakewindowlist.h"
#include "fake/virtualclock.h"
#include "scheduletesting.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(WindowInfo)

namespace {

const QString browserID = u"org.example.Chat.Browser"_qs;
const QString hostID = u"org.example.Chat"_qs;
constexpr qint64 hostPID = 400;

// A process table that also remembers every pid it was asked to kill, refused or not.
class RecordingProcessTable : public FakeProcessTable
{
public:
    void kill(qint64 pid, const QString &expectedExecutable) override
    {
        attempts.append(pid);
        FakeProcessTable::kill(pid, expectedExecutable);
    }
    QList<qint64> attempts;
};

WindowInfo window(qint64 id, qint64 owner, int width, int height, bool onscreen = true)
{
    return WindowInfo{id, owner, onscreen, width, height};
}

using ScheduleTesting::eveningRule;

// Everything a guard stands on: a host app with its embedded browser installed in a temporary folder, the fakes,
// and a blocked set that the test sets or that follows the evening window (21:00 to 22:00 UTC).
struct Rig
{
    QTemporaryDir root;
    VirtualClock clock;
    FakeSleepWake power;
    FakeRunningApps apps;
    RecordingProcessTable processes;
    EmbeddedProcessFamily processFamily{processes};
    FakeWindowList windows;
    QString bundlePath = root.path() + u"/opt/chat/browser"_qs;
    QString hostExecutable = root.path() + u"/opt/chat/chat"_qs;
    EmbeddedAppRegistry registry{
        {EmbeddedApp{browserID, u"内置浏览器"_qs, bundlePath, hostID, {}}},
        &EmbeddedAppRegistry::fileExists,
    };
    QSet<QString> blocked;
    bool followsEveningWindow = false;
    QList<RestrictionRuleSnapshot> rules;
    std::unique_ptr<EmbeddedAppGuard> guard;

    explicit Rig(bool installed = true)
    {
        if (installed)
            QDir().mkpath(bundlePath);
    }

    QString inside(const QString &rest = u"bin/browser"_qs) const { return bundlePath + u'/' + rest; }

    QSet<QString> blockedAt(Instant t) const
    {
        auto out = blocked;
        const auto sinceMidnight = t - std::chrono::floor<std::chrono::days>(t);
        if (followsEveningWindow && sinceMidnight >= 21h && sinceMidnight < 22h)
            out.insert(browserID);
        return out;
    }

    void start()
    {
        guard = std::make_unique<EmbeddedAppGuard>(
            clock, clock, apps, power, processFamily, apps, windows, registry, [this] { return rules; },
            [this](Instant t) { return blockedAt(t); },
            [] { return ScheduleCalendar(QTimeZone::utc()); });
    }

    // The browser's two processes, and a sibling bundle whose path merely begins with the browser's.
    void addFamily()
    {
        processes.addProcess(501, inside());
        processes.addProcess(502, inside(u"lib/renderer"_qs));
        processes.addProcess(503, bundlePath + u"2/bin/browser"_qs);
    }

    void runHost() { apps.launch(hostID, u"Chat"_qs, hostPID, hostExecutable); }

    [[nodiscard]] QList<qint64> takeKilled()
    {
        const auto out = processes.killed();
        processes.clearKilled();
        return out;
    }

    Instant today(std::chrono::minutes sinceMidnight) const
    {
        return Instant{std::chrono::floor<std::chrono::days>(clock.now())} + sinceMidnight;
    }

    // The armed wall deadline, invalid when there is none.
    QDateTime nextDeadline() const
    {
        const auto d = clock.nextWallDeadline();
        return d ? Instants::toDateTime(*d) : QDateTime();
    }
};

const QList<qint64> family{501, 502};
const QList<qint64> none;

} // namespace

class TestEmbeddedAppGuard : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void killOnEvent_data();
    void killOnEvent();
    void throttle_data();
    void throttle();
    void sweepStartsAndStops();
    void sweepThresholds_data();
    void sweepThresholds();
    void hostBaseline();
    void healingAfterTheBlock_data();
    void healingAfterTheBlock();
    void windowStart_data();
    void windowStart();
    void groupRuleArmsNoWindowStart();
    void wakeRefreshes();
    void ownProcessNeverSignalled();
    void idleWithoutInstalledApp();
    void teardownStopsEverything();
};

void TestEmbeddedAppGuard::killOnEvent_data()
{
    QTest::addColumn<bool>("activation");
    QTest::addColumn<QString>("bundleID");
    QTest::addColumn<QString>("executable"); // "inside", "bundle", "sibling", "host" or empty
    QTest::addColumn<bool>("blocked");
    QTest::addColumn<QList<qint64>>("killed");

    QTest::newRow("launched by its identifier while blocked") << false << browserID << "" << true << family;
    QTest::newRow("activated by its identifier while blocked") << true << browserID << "" << true << family;
    QTest::newRow("no identifier, executable inside its bundle") << false << "" << "inside" << true << family;
    QTest::newRow("no identifier, executable is the bundle itself") << true << "" << "bundle" << true << family;
    QTest::newRow("unknown identifier, executable inside") << false << "org.example.Other" << "inside" << true
                                                           << family;
    QTest::newRow("folder that merely begins with the bundle path") << false << "" << "sibling" << true << none;
    QTest::newRow("its host launched") << false << hostID << "host" << true << none;
    QTest::newRow("launched while not blocked") << false << browserID << "inside" << false << none;
    QTest::newRow("activated while not blocked, by path") << true << "" << "inside" << false << none;
    QTest::newRow("neither identifier nor executable") << false << "" << "" << true << none;
}

void TestEmbeddedAppGuard::killOnEvent()
{
    QFETCH(bool, activation);
    QFETCH(QString, bundleID);
    QFETCH(QString, executable);
    QFETCH(bool, blocked);
    QFETCH(QList<qint64>, killed);

    Rig rig;
    rig.start();
    rig.addFamily();
    if (blocked)
        rig.blocked = {browserID};

    QString path;
    if (executable == u"inside")
        path = rig.inside();
    else if (executable == u"bundle")
        path = rig.bundlePath;
    else if (executable == u"sibling")
        path = rig.bundlePath + u"2/bin/browser"_qs;
    else if (executable == u"host")
        path = rig.hostExecutable;

    if (activation)
        rig.apps.activate(RunningApp{501, bundleID, {}, path, u"501"_qs});
    else
        rig.apps.launch(bundleID, {}, 501, path);
    QCOMPARE(rig.takeKilled(), killed);
}

void TestEmbeddedAppGuard::throttle_data()
{
    QTest::addColumn<QString>("first"); // "event" or "refresh"
    QTest::addColumn<bool>("firstFindsProcesses");
    QTest::addColumn<int>("gapMs");
    QTest::addColumn<bool>("wallClockSetBack");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("secondKills");

    QTest::newRow("event again after 1.9 s") << "event" << true << 1900 << false << "event" << false;
    QTest::newRow("event again after 2.0 s") << "event" << true << 2000 << false << "event" << true;
    QTest::newRow("event after 2.0 s, wall clock set back an hour") << "event" << true << 2000 << true << "event"
                                                                    << true;
    QTest::newRow("refresh 1.9 s after an event kill") << "event" << true << 1900 << false << "refresh" << false;
    QTest::newRow("event 1.9 s after a refresh kill") << "refresh" << true << 1900 << false << "event" << false;
    QTest::newRow("refresh after 2.0 s, wall clock set back an hour") << "refresh" << true << 2000 << true
                                                                      << "refresh" << true;
    QTest::newRow("an event that found nothing starts the throttle") << "event" << false << 1000 << false
                                                                     << "event" << false;
    QTest::newRow("a refresh that found nothing does not") << "refresh" << false << 1000 << false << "event"
                                                           << true;
}

void TestEmbeddedAppGuard::throttle()
{
    QFETCH(QString, first);
    QFETCH(bool, firstFindsProcesses);
    QFETCH(int, gapMs);
    QFETCH(bool, wallClockSetBack);
    QFETCH(QString, second);
    QFETCH(bool, secondKills);

    Rig rig;
    rig.blocked = {browserID};
    rig.start(); // nothing runs yet, so this refresh kills nothing and starts no throttle
    const RunningApp browser{501, browserID, {}, {}, u"501"_qs};
    auto act = [&](const QString &how) {
        if (how == u"event")
            rig.apps.activate(browser);
        else
            rig.guard->refresh();
    };

    if (firstFindsProcesses)
        rig.addFamily();
    act(first);
    QCOMPARE(rig.takeKilled(), firstFindsProcesses ? family : none);

    rig.clock.advanceBy(std::chrono::milliseconds(gapMs));
    if (wallClockSetBack)
        rig.clock.setWallTime(rig.clock.now() - 1h);
    rig.addFamily();
    act(second);
    QCOMPARE(rig.takeKilled(), secondKills ? family : none);
}

void TestEmbeddedAppGuard::sweepStartsAndStops()
{
    Rig rig;
    rig.start();
    QCOMPARE(rig.clock.pendingTimerCount(), 0); // nothing blocked: no sweep

    rig.blocked = {browserID};
    rig.guard->updateSweepTimer();
    QCOMPARE(rig.clock.pendingTimerCount(), 1);

    rig.addFamily();
    rig.windows.setWindows({window(10, 501, 800, 600)});
    rig.clock.advanceBy(1900ms);
    QCOMPARE(rig.takeKilled(), none); // the first sweep comes 2 s after the start
    rig.clock.advanceBy(100ms);
    QCOMPARE(rig.takeKilled(), family);

    rig.addFamily();
    rig.clock.advanceBy(2s); // repeats, without throttle
    QCOMPARE(rig.takeKilled(), family);

    rig.blocked = {};
    rig.clock.advanceBy(2s); // finds nothing blocked and stops
    QCOMPARE(rig.clock.pendingTimerCount(), 0);
    rig.processes.clearKilled();
    rig.addFamily();
    rig.clock.advanceBy(10s);
    QCOMPARE(rig.takeKilled(), none);
}

void TestEmbeddedAppGuard::sweepThresholds_data()
{
    QTest::addColumn<WindowInfo>("shown");
    QTest::addColumn<bool>("kills");

    QTest::newRow("family window 99 x 100") << window(20, 501, 99, 100) << false;
    QTest::newRow("family window 100 x 99") << window(20, 501, 100, 99) << false;
    QTest::newRow("family window 100 x 100") << window(20, 502, 100, 100) << true;
    QTest::newRow("family window 80 x 600") << window(20, 501, 80, 600) << false;
    QTest::newRow("family window off screen") << window(20, 501, 800, 600, false) << false;
    QTest::newRow("window of the sibling bundle") << window(20, 503, 800, 600) << false;
    QTest::newRow("new host window 200 x 199") << window(20, hostPID, 200, 199) << false;
    QTest::newRow("new host window 199 x 200") << window(20, hostPID, 199, 200) << false;
    QTest::newRow("new host window 200 x 200") << window(20, hostPID, 200, 200) << true;
    QTest::newRow("new host window off screen") << window(20, hostPID, 800, 600, false) << false;
}

void TestEmbeddedAppGuard::sweepThresholds()
{
    QFETCH(WindowInfo, shown);
    QFETCH(bool, kills);

    Rig rig;
    rig.runHost();
    rig.blocked = {browserID};
    rig.start(); // the sweep starts with an empty host baseline
    rig.addFamily();
    rig.windows.setWindows({shown});
    rig.clock.advanceBy(2s);
    QCOMPARE(rig.takeKilled(), kills ? family : none);
}

void TestEmbeddedAppGuard::hostBaseline()
{
    Rig rig;
    rig.runHost();
    rig.windows.setWindows({window(1, hostPID, 1200, 800), window(2, hostPID, 600, 400)});
    rig.blocked = {browserID};
    rig.start();
    rig.addFamily();

    rig.clock.advanceBy(6s);
    QCOMPARE(rig.takeKilled(), none); // windows it had at the start never count

    rig.windows.addWindow(window(3, hostPID, 800, 600));
    rig.clock.advanceBy(2s);
    QCOMPARE(rig.takeKilled(), family);
    rig.addFamily();
    rig.clock.advanceBy(2s);
    QCOMPARE(rig.takeKilled(), family); // the baseline stays while the new window is open

    rig.windows.setWindows({window(1, hostPID, 1200, 800), window(2, hostPID, 600, 400)});
    rig.addFamily();
    rig.clock.advanceBy(2s);
    QCOMPARE(rig.takeKilled(), none);

    rig.windows.setWindows({window(1, hostPID, 1200, 800)});
    rig.clock.advanceBy(2s);
    QCOMPARE(rig.takeKilled(), none); // a closed window leaves the baseline...
    rig.windows.addWindow(window(2, hostPID, 600, 400));
    rig.clock.advanceBy(2s);
    QCOMPARE(rig.takeKilled(), family); // ...so its return is a new window
}

void TestEmbeddedAppGuard::healingAfterTheBlock_data()
{
    QTest::addColumn<QList<WindowInfo>>("shown");
    QTest::addColumn<QList<qint64>>("healKills");

    QTest::newRow("windowless remains are killed") << QList<WindowInfo>{} << QList<qint64>{601};
    QTest::newRow("a window of 99 x 100 does not save them") << QList<WindowInfo>{window(30, 601, 99, 100)}
                                                             << QList<qint64>{601};
    QTest::newRow("a window of 100 x 100 keeps them") << QList<WindowInfo>{window(30, 601, 100, 100)} << none;
}

void TestEmbeddedAppGuard::healingAfterTheBlock()
{
    QFETCH(QList<WindowInfo>, shown);
    QFETCH(QList<qint64>, healKills);

    Rig rig;
    rig.start();
    rig.blocked = {browserID};
    rig.addFamily();
    rig.apps.activate(RunningApp{501, browserID, {}, {}, u"501"_qs});
    QCOMPARE(rig.takeKilled(), family);

    rig.blocked = {};
    rig.processes.addProcess(601, rig.inside(u"lib/gpu"_qs));
    rig.windows.setWindows(shown);
    rig.guard->updateSweepTimer();
    QCOMPARE(rig.takeKilled(), healKills);

    rig.processes.addProcess(602, rig.inside(u"lib/gpu"_qs));
    rig.guard->updateSweepTimer();
    QCOMPARE(rig.takeKilled(), none); // healed once: no longer the guard's business
}

void TestEmbeddedAppGuard::windowStart_data()
{
    QTest::addColumn<int>("lateSeconds");
    QTest::addColumn<bool>("killedOneSecondBefore");
    QTest::addColumn<bool>("kills");

    QTest::newRow("on time") << 0 << false << true;
    QTest::newRow("on time, just after an event kill") << 0 << true << true;
    QTest::newRow("119 s late") << 119 << false << true;
    QTest::newRow("120 s late") << 120 << false << false;
}

void TestEmbeddedAppGuard::windowStart()
{
    QFETCH(int, lateSeconds);
    QFETCH(bool, killedOneSecondBefore);
    QFETCH(bool, kills);

    Rig rig;
    rig.followsEveningWindow = true;
    rig.rules = {eveningRule(RestrictionTarget::app, browserID)};
    rig.addFamily();
    rig.start();
    QCOMPARE(rig.takeKilled(), none);
    QCOMPARE(rig.nextDeadline(), Instants::toDateTime(rig.today(21h)));

    if (killedOneSecondBefore) {
        rig.clock.advanceTo(rig.today(21h) - 1s);
        rig.blocked = {browserID};
        rig.apps.activate(RunningApp{501, browserID, {}, {}, u"501"_qs});
        QCOMPARE(rig.takeKilled(), family);
        rig.blocked = {};
        rig.addFamily();
    }
    if (lateSeconds == 0) {
        rig.clock.advanceTo(rig.today(21h));
    } else {
        rig.clock.sleepUntil(rig.today(21h) + std::chrono::seconds(lateSeconds));
        rig.clock.fireDue();
    }
    QCOMPARE(rig.takeKilled(), kills ? family : none);
    // Re-armed for tomorrow, and the sweep runs either way.
    QCOMPARE(rig.nextDeadline(), Instants::toDateTime(rig.today(21h) + 24h));
    QCOMPARE(rig.clock.pendingTimerCount(), 2);

    rig.addFamily();
    rig.clock.advanceTo(rig.today(22h) + 2s);
    QCOMPARE(rig.clock.pendingTimerCount(), 1); // after the window the sweep heals and stops
    // Healing kills the windowless remains of what the guard killed; what it never touched stays.
    QCOMPARE(rig.takeKilled(), kills ? family : none);
}

void TestEmbeddedAppGuard::groupRuleArmsNoWindowStart()
{
    Rig rig;
    rig.followsEveningWindow = true; // the group's rule blocks the browser from 21:00
    rig.rules = {eveningRule(RestrictionTarget::group, u"group-chat"_qs)};
    rig.addFamily();
    rig.start();
    QCOMPARE(rig.nextDeadline(), QDateTime());

    rig.clock.advanceTo(rig.today(21h) + 10s);
    QCOMPARE(rig.takeKilled(), none);
    QCOMPARE(rig.clock.pendingTimerCount(), 0);

    rig.apps.activate(RunningApp{501, browserID, {}, {}, u"501"_qs});
    QCOMPARE(rig.takeKilled(), family);
    rig.guard->refresh();
    QCOMPARE(rig.clock.pendingTimerCount(), 1); // the refresh starts the sweep
}

void TestEmbeddedAppGuard::wakeRefreshes()
{
    Rig rig;
    rig.rules = {eveningRule(RestrictionTarget::app, browserID)};
    rig.start();
    rig.addFamily();
    rig.blocked = {browserID};
    rig.clock.sleepUntil(rig.today(20h));
    rig.power.sendDidWake(rig.clock.now());
    QCOMPARE(rig.takeKilled(), family);
    QCOMPARE(rig.clock.pendingTimerCount(), 2); // window start and sweep
    QCOMPARE(rig.nextDeadline(), Instants::toDateTime(rig.today(21h)));
}

void TestEmbeddedAppGuard::ownProcessNeverSignalled()
{
    Rig rig;
    rig.processes.addProcess(AppIdentity::processID(), rig.inside(u"bin/tarnwick"_qs));
    rig.processes.addProcess(501, rig.inside());
    rig.blocked = {browserID};
    rig.start();
    QCOMPARE(rig.processes.attempts, QList<qint64>{501});
    rig.processes.attempts.clear();
    rig.guard->updateSweepTimer();
    rig.windows.setWindows({window(40, AppIdentity::processID(), 800, 600)});
    rig.clock.advanceBy(10s); // its window is no family window either
    QCOMPARE(rig.processes.attempts, none);
}

void TestEmbeddedAppGuard::idleWithoutInstalledApp()
{
    Rig rig(false);
    rig.rules = {eveningRule(RestrictionTarget::app, browserID)};
    rig.blocked = {browserID};
    rig.addFamily();
    rig.start();
    QCOMPARE(rig.clock.pendingTimerCount(), 0); // no window-start check, no sweep

    rig.apps.launch(u"org.example.Video"_qs, {}, 700, rig.root.path() + u"/opt/video/video"_qs);
    rig.apps.activate(RunningApp{501, {}, {}, rig.inside(), u"501"_qs});
    rig.clock.advanceBy(10s);
    QCOMPARE(rig.takeKilled(), none);
}

void TestEmbeddedAppGuard::teardownStopsEverything()
{
    Rig rig;
    rig.rules = {eveningRule(RestrictionTarget::app, browserID)};
    rig.blocked = {browserID};
    rig.start();
    QCOMPARE(rig.clock.pendingTimerCount(), 2);

    rig.guard.reset();
    QCOMPARE(rig.clock.pendingTimerCount(), 0);
    rig.addFamily();
    rig.apps.activate(RunningApp{501, browserID, {}, {}, u"501"_qs});
    rig.power.sendDidWake(rig.clock.now());
    rig.clock.advanceTo(rig.today(21h) + 1min);
    QCOMPARE(rig.takeKilled(), none);
}

QTEST_GUILESS_MAIN(TestEmbeddedAppGuard)
#include "tst_embeddedappguard.moc"
