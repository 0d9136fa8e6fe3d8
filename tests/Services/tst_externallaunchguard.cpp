#include "externallaunchguard.h"

#include "appidentity.h"
#include "appprocesscontrol.h"
#include "embeddedprocessfamily.h"
#include "fake/fakeprocesstable.h"
#include "fake/fakerunningapps.h"
#include "fake/fakesleepwake.h"
#include "fake/virtualclock.h"
#include "scheduletesting.h"

#include <QTest>

#include <memory>

namespace {

const QString videoID = u"org.example.Video"_qs;
const QString musicID = u"org.example.Music"_qs;
const QString browserID = u"org.example.Chat.Browser"_qs;

using ScheduleTesting::eveningRule;

// A guard over fake running apps, with an embedded app in the registry (installed or not makes no difference here)
// and a blocked set that the test sets or that follows the evening window (21:00 to 22:00 UTC).
struct Rig
{
    VirtualClock clock;
    FakeSleepWake power;
    FakeRunningApps apps;
    EmbeddedAppRegistry registry{
        {EmbeddedApp{browserID, u"内置浏览器"_qs, u"/opt/chat/browser"_qs, u"org.example.Chat"_qs, {}}},
        [](const QString &) { return true; },
    };
    FakeProcessTable processes;
    EmbeddedProcessFamily family{processes};
    AppProcessControl control{apps, family, registry};
    QSet<QString> blocked;
    QStringList eveningBlocked; // blocked from 21:00 to 22:00
    QList<RestrictionRuleSnapshot> rules;
    QStringList prompts;
    std::unique_ptr<ExternalLaunchGuard> guard;

    QSet<QString> blockedAt(Instant t) const
    {
        auto out = blocked;
        const auto sinceMidnight = t - std::chrono::floor<std::chrono::days>(t);
        if (sinceMidnight >= 21h && sinceMidnight < 22h) {
            for (const auto &id : eveningBlocked)
                out.insert(id);
        }
        return out;
    }

    void start()
    {
        guard = std::make_unique<ExternalLaunchGuard>(
            clock, clock, apps, power, control, apps, registry, [this] { return rules; },
            [this](Instant t) { return blockedAt(t); }, [this](const QString &id) { prompts.append(id); },
            [] { return ScheduleCalendar(QTimeZone::utc()); });
    }

    [[nodiscard]] QStringList takeRequests()
    {
        const auto out = apps.requests();
        apps.clearRequests();
        return out;
    }

    Instant today(std::chrono::minutes sinceMidnight) const
    {
        return Instant{std::chrono::floor<std::chrono::days>(clock.now())} + sinceMidnight;
    }

    QDateTime nextDeadline() const
    {
        const auto d = clock.nextWallDeadline();
        return d ? Instants::toDateTime(*d) : QDateTime();
    }
};

const QStringList nothing;

} // namespace

class TestExternalLaunchGuard : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void launchAndActivation_data();
    void launchAndActivation();
    void promptThrottle_data();
    void promptThrottle();
    void runningBlockedAppsQuitAtStart();
    void windowStart_data();
    void windowStart();
    void asleepAcrossWindowStart();
    void armedStart_data();
    void armedStart();
    void unsetPromptStillHides();
    void teardownStopsEverything();
    void aNewWindowIsHiddenLikeAnActivation();
    void whereHidingCannotHoldTheAppIsQuit_data();
    void whereHidingCannotHoldTheAppIsQuit();
    void aGuardToldToWaitSweepsOnlyWhenAsked();
};

void TestExternalLaunchGuard::launchAndActivation_data()
{
    QTest::addColumn<bool>("activation");
    QTest::addColumn<QString>("bundleID");
    QTest::addColumn<bool>("secondInstance");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<QStringList>("prompts");

    const QStringList hidden{u"hide org.example.Video 2000"_qs};
    const QStringList prompted{videoID};
    QTest::newRow("blocked app launched") << false << videoID << false << hidden << prompted;
    QTest::newRow("blocked app activated") << true << videoID << false << hidden << prompted;
    QTest::newRow("every instance hidden, one prompt")
        << true << videoID << true << QStringList{u"hide org.example.Video 2000"_qs, u"hide org.example.Video 2001"_qs}
        << prompted;
    QTest::newRow("app that is not blocked") << false << musicID << false << nothing << nothing;
    QTest::newRow("the program itself, blocked") << false << AppIdentity::bundleID() << false << nothing << nothing;
    QTest::newRow("embedded app, blocked") << true << browserID << false << nothing << nothing;
    QTest::newRow("no identifier") << false << QString() << false << nothing << nothing;
}

void TestExternalLaunchGuard::launchAndActivation()
{
    QFETCH(bool, activation);
    QFETCH(QString, bundleID);
    QFETCH(bool, secondInstance);
    QFETCH(QStringList, requests);
    QFETCH(QStringList, prompts);

    Rig rig;
    rig.start();
    RunningApp app;
    if (activation || secondInstance) {
        app = rig.apps.launch(bundleID, {}, 2000);
        if (secondInstance)
            rig.apps.launch(bundleID, {}, 2001);
    }
    rig.blocked = {videoID, AppIdentity::bundleID(), browserID, QString()};
    if (activation)
        rig.apps.activate(app);
    else
        rig.apps.launch(bundleID, {}, 2000);
    QCOMPARE(rig.takeRequests(), requests);
    QCOMPARE(rig.prompts, prompts);
}

void TestExternalLaunchGuard::promptThrottle_data()
{
    QTest::addColumn<int>("gapMs");
    QTest::addColumn<int>("wallClockShiftMinutes");
    QTest::addColumn<bool>("promptedAgain");

    QTest::newRow("activated again after 1.5 s") << 1500 << 0 << false;
    QTest::newRow("activated again after 1.9 s") << 1900 << 0 << false;
    QTest::newRow("activated again after 2.0 s") << 2000 << 0 << true;
    QTest::newRow("after 2.0 s with the wall clock set back an hour") << 2000 << -60 << true;
    QTest::newRow("after 1.9 s with the wall clock set forward an hour") << 1900 << 60 << false;
}

void TestExternalLaunchGuard::promptThrottle()
{
    QFETCH(int, gapMs);
    QFETCH(int, wallClockShiftMinutes);
    QFETCH(bool, promptedAgain);

    Rig rig;
    rig.blocked = {videoID};
    rig.start();
    const auto app = rig.apps.launch(videoID, {}, 2000); // opened from the file manager
    QCOMPARE(rig.prompts, QStringList{videoID});

    rig.clock.advanceBy(std::chrono::milliseconds(gapMs));
    rig.clock.setWallTime(rig.clock.now() + std::chrono::minutes(wallClockShiftMinutes));
    rig.apps.activate(app);
    // Hidden every time; prompted only outside the throttle.
    QCOMPARE(rig.takeRequests(), (QStringList{u"hide org.example.Video 2000"_qs, u"hide org.example.Video 2000"_qs}));
    QCOMPARE(rig.prompts.size(), promptedAgain ? 2 : 1);
}

void TestExternalLaunchGuard::runningBlockedAppsQuitAtStart()
{
    Rig rig;
    rig.apps.launch(videoID, {}, 2000);
    rig.apps.launch(videoID, {}, 2001);
    rig.apps.launch(musicID, {}, 3000);
    rig.apps.launch(AppIdentity::bundleID(), {}, AppIdentity::processID());
    rig.apps.launch(browserID, {}, 4000);
    // Blocked but not running, the program itself, and the embedded app: none of them acted on.
    rig.blocked = {videoID, u"org.example.Notes"_qs, AppIdentity::bundleID(), browserID};
    rig.start();
    QCOMPARE(rig.takeRequests(), (QStringList{u"terminate org.example.Video 2000"_qs,
                                              u"terminate org.example.Video 2001"_qs,
                                              u"hide org.example.Video 2000"_qs, u"hide org.example.Video 2001"_qs}));
    QCOMPARE(rig.prompts, nothing);

    rig.guard->sweepRunningBlocked(); // after a change of rules: again, no throttle
    QCOMPARE(rig.takeRequests().size(), 4);
    QCOMPARE(rig.prompts, nothing);
}

void TestExternalLaunchGuard::windowStart_data()
{
    QTest::addColumn<RestrictionTarget>("kind");
    QTest::addColumn<int>("lateSeconds");
    QTest::addColumn<bool>("swept");

    QTest::newRow("app rule, on time") << RestrictionTarget::app << 0 << true;
    QTest::newRow("group rule, on time") << RestrictionTarget::group << 0 << true;
    QTest::newRow("app rule, 119 s late") << RestrictionTarget::app << 119 << true;
    QTest::newRow("app rule, 120 s late") << RestrictionTarget::app << 120 << false;
}

void TestExternalLaunchGuard::windowStart()
{
    QFETCH(RestrictionTarget, kind);
    QFETCH(int, lateSeconds);
    QFETCH(bool, swept);

    Rig rig;
    rig.rules = {eveningRule(kind, kind == RestrictionTarget::app ? videoID : u"group-video"_qs)};
    rig.eveningBlocked = {videoID};
    rig.apps.launch(videoID, {}, 2000);
    rig.start();
    QCOMPARE(rig.takeRequests(), nothing);
    QCOMPARE(rig.nextDeadline(), Instants::toDateTime(rig.today(21h)));

    if (lateSeconds == 0) {
        rig.clock.advanceTo(rig.today(21h));
    } else {
        rig.clock.sleepUntil(rig.today(21h) + std::chrono::seconds(lateSeconds));
        rig.clock.fireDue();
    }
    const QStringList quitAndHidden{u"terminate org.example.Video 2000"_qs, u"hide org.example.Video 2000"_qs};
    QCOMPARE(rig.takeRequests(), swept ? quitAndHidden : nothing);
    QCOMPARE(rig.prompts, nothing);
    QCOMPARE(rig.nextDeadline(), Instants::toDateTime(rig.today(21h) + 24h));
}

void TestExternalLaunchGuard::asleepAcrossWindowStart()
{
    Rig rig;
    rig.rules = {eveningRule(RestrictionTarget::app, videoID)};
    rig.eveningBlocked = {videoID};
    rig.apps.launch(videoID, {}, 2000);
    rig.start();

    rig.clock.sleepUntil(rig.today(21h) + 10min);
    rig.clock.fireDue();
    QCOMPARE(rig.takeRequests(), nothing); // the late check does nothing itself
    rig.power.sendDidWake(rig.clock.now());
    QCOMPARE(rig.takeRequests(),
             (QStringList{u"terminate org.example.Video 2000"_qs, u"hide org.example.Video 2000"_qs}));
    QCOMPARE(rig.nextDeadline(), Instants::toDateTime(rig.today(21h) + 24h));
    QCOMPARE(rig.clock.pendingTimerCount(), 1);
}

void TestExternalLaunchGuard::armedStart_data()
{
    QTest::addColumn<bool>("hasRule");
    QTest::addColumn<int>("pausedUntilMinute"); // -1: not paused
    QTest::addColumn<int>("expectedDayOffset");  // -1: no timer

    QTest::newRow("no rules: no timer") << false << -1 << -1;
    QTest::newRow("rule today at 21:00") << true << -1 << 0;
    QTest::newRow("paused until 21:30: tomorrow's start") << true << 21 * 60 + 30 << 1;
}

void TestExternalLaunchGuard::armedStart()
{
    QFETCH(bool, hasRule);
    QFETCH(int, pausedUntilMinute);
    QFETCH(int, expectedDayOffset);

    Rig rig;
    if (hasRule) {
        auto rule = eveningRule(RestrictionTarget::app, videoID);
        if (pausedUntilMinute >= 0)
            rule.pausedUntil = rig.today(std::chrono::minutes(pausedUntilMinute));
        rig.rules = {rule};
    }
    rig.start();
    QCOMPARE(rig.nextDeadline(), expectedDayOffset < 0
                                     ? QDateTime()
                                     : Instants::toDateTime(rig.today(21h) + expectedDayOffset * 24h));

    // A blocked app that runs when a pause ends is not swept by the timer, and launches are handled without rules.
    rig.apps.launch(videoID, {}, 2000);
    rig.apps.clearRequests();
    rig.blocked = {videoID};
    rig.clock.advanceTo(rig.today(21h + 31min));
    const QStringList quitAndHidden{u"terminate org.example.Video 2000"_qs, u"hide org.example.Video 2000"_qs};
    QCOMPARE(rig.takeRequests(), expectedDayOffset == 0 ? quitAndHidden : nothing);
    rig.apps.launch(videoID, {}, 2001);
    QCOMPARE(rig.takeRequests(),
             (QStringList{u"hide org.example.Video 2000"_qs, u"hide org.example.Video 2001"_qs}));
    QCOMPARE(rig.prompts, QStringList{videoID});
}

void TestExternalLaunchGuard::unsetPromptStillHides()
{
    VirtualClock clock;
    FakeSleepWake power;
    FakeRunningApps apps;
    EmbeddedAppRegistry registry({}, {});
    FakeProcessTable processes;
    EmbeddedProcessFamily family(processes);
    AppProcessControl control(apps, family, registry);
    ExternalLaunchGuard unset(clock, clock, apps, power, control, apps, registry, {}, {}, {},
                              [] { return ScheduleCalendar(QTimeZone::utc()); });
    apps.launch(videoID, {}, 2000);
    QCOMPARE(apps.requests(), nothing); // no blocked provider: nothing is blocked

    ExternalLaunchGuard noPrompt(clock, clock, apps, power, control, apps, registry, {},
                                 [](Instant) { return QSet<QString>{videoID}; }, {},
                                 [] { return ScheduleCalendar(QTimeZone::utc()); });
    apps.clearRequests();
    apps.launch(videoID, {}, 2001);
    QCOMPARE(apps.requests(), (QStringList{u"hide org.example.Video 2000"_qs, u"hide org.example.Video 2001"_qs}));
}

void TestExternalLaunchGuard::teardownStopsEverything()
{
    Rig rig;
    rig.rules = {eveningRule(RestrictionTarget::app, videoID)};
    rig.eveningBlocked = {videoID};
    rig.blocked = {musicID};
    rig.start();
    QCOMPARE(rig.clock.pendingTimerCount(), 1);

    rig.guard.reset();
    QCOMPARE(rig.clock.pendingTimerCount(), 0);
    rig.apps.launch(musicID, {}, 3000);
    rig.apps.launch(videoID, {}, 2000);
    rig.power.sendDidWake(rig.clock.now());
    rig.clock.advanceTo(rig.today(21h) + 1min);
    QCOMPARE(rig.takeRequests(), nothing);
    QCOMPARE(rig.prompts, nothing);
}

void TestExternalLaunchGuard::aNewWindowIsHiddenLikeAnActivation()
{
    Rig rig;
    rig.start();
    const auto app = rig.apps.launch(videoID, {}, 2000);
    rig.blocked = {videoID};
    // The window of an app that was blocked after it started: hidden and prompted, then only hidden within 2 s.
    Q_EMIT rig.apps.didOpenWindow(app);
    QCOMPARE(rig.takeRequests(), QStringList{u"hide org.example.Video 2000"_qs});
    QCOMPARE(rig.prompts, QStringList{videoID});
    rig.clock.advanceBy(500ms);
    Q_EMIT rig.apps.didOpenWindow(app);
    QCOMPARE(rig.takeRequests(), QStringList{u"hide org.example.Video 2000"_qs});
    QCOMPARE(rig.prompts.size(), 1);
    // Windows of apps that are not blocked stay.
    const auto music = rig.apps.launch(musicID, {}, 3000);
    Q_EMIT rig.apps.didOpenWindow(music);
    QCOMPARE(rig.takeRequests(), nothing);
}

void TestExternalLaunchGuard::whereHidingCannotHoldTheAppIsQuit_data()
{
    QTest::addColumn<bool>("canHide");
    QTest::addColumn<bool>("windowless");
    QTest::addColumn<bool>("liftedWithinTheSecond");
    QTest::addColumn<QStringList>("atOnce");
    QTest::addColumn<QStringList>("afterASecond");

    const QStringList hide{u"hide org.example.Video 2000"_qs};
    const QStringList quit{u"terminate org.example.Video 2000"_qs};
    QTest::newRow("no window system to hide it") << false << false << false << quit << nothing;
    QTest::newRow("no window found within a second") << true << true << false << hide << quit;
    QTest::newRow("its window found") << true << false << false << hide << nothing;
    QTest::newRow("windowless, but let through from the prompt") << true << true << true << hide << nothing;
}

void TestExternalLaunchGuard::whereHidingCannotHoldTheAppIsQuit()
{
    QFETCH(bool, canHide);
    QFETCH(bool, windowless);
    QFETCH(bool, liftedWithinTheSecond);
    QFETCH(QStringList, atOnce);
    QFETCH(QStringList, afterASecond);

    Rig rig;
    rig.blocked = {videoID};
    rig.apps.setCanHide(canHide);
    if (windowless)
        rig.apps.setWindowless(2000);
    rig.start();
    rig.apps.launch(videoID, {}, 2000);
    QCOMPARE(rig.takeRequests(), atOnce);
    QCOMPARE(rig.prompts, QStringList{videoID}); // the prompt comes either way
    if (liftedWithinTheSecond)
        rig.blocked.clear();
    rig.clock.advanceBy(999ms);
    QCOMPARE(rig.takeRequests(), nothing);
    rig.clock.advanceBy(1ms);
    QCOMPARE(rig.takeRequests(), afterASecond);

    // An instance that ended before the second is over is not looked for.
    const auto second = rig.apps.launch(videoID, {}, 2001);
    rig.apps.setWindowless(2001);
    rig.apps.quit(second);
    rig.apps.clearRequests();
    rig.clock.advanceBy(2s);
    QCOMPARE(rig.takeRequests(), nothing);
}

void TestExternalLaunchGuard::aGuardToldToWaitSweepsOnlyWhenAsked()
{
    Rig rig;
    rig.blocked = {videoID};
    rig.apps.launch(videoID, {}, 2000);
    rig.apps.clearRequests();
    ExternalLaunchGuard guard(
        rig.clock, rig.clock, rig.apps, rig.power, rig.control, rig.apps, rig.registry, {},
        [&rig](Instant t) { return rig.blockedAt(t); }, {}, [] { return ScheduleCalendar(QTimeZone::utc()); }, false);
    QCOMPARE(rig.takeRequests(), nothing);
    guard.sweepRunningBlocked();
    QCOMPARE(rig.takeRequests(),
             (QStringList{u"terminate org.example.Video 2000"_qs, u"hide org.example.Video 2000"_qs}));
}

QTEST_GUILESS_MAIN(TestExternalLaunchGuard)
#include "tst_externallaunchguard.moc"
