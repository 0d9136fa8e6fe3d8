#include "appstatefixture.h"
#include "../Services/scheduletesting.h"
#include "../support/applists.h"

#include "adhocblock.h"
#include "appgroup.h"
#include "quitplan.h"
#include "quitplanscheduler.h"
#include "embeddedappguard.h"
#include "restrictionrule.h"
#include "supervisionimporter.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

using ScheduleTesting::show;

// The state object keeping supervision moving in time: the status refresh and block boundaries, the block-start and
// override-end warnings, overrides and their expiry, the outside-launch prompt, the block after a focus session,
// the activity and wake hooks and the notification guide. On the virtual clock, in one fixed zone (UTC+8, no
// daylight saving), on Monday 2026-03-02.
class TestAppStateSupervision : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void blockStartWarning_data();
    void blockStartWarning();
    void blockStartWarningCountsWhatEndsBeforeTheStart();
    void planBlockGetsItsOwnWarning();
    void overrideWarnings_data();
    void overrideWarnings();
    void lateOverrideWarning_data();
    void lateOverrideWarning();
    void overrideEndingInsideItsWindow();
    void overrideEndingOutsideAnyBlock();
    void loanGoesWithItsCause_data();
    void loanGoesWithItsCause();
    void sessionsStayPausedWhileAnOverrideRemains();
    void embeddedOverrideEndRestartsTheSweep();
    void boundaryTimer_data();
    void boundaryTimer();
    void expiryBlock();
    void expiryBlockOfEmbeddedAppStartsTheSweep();
    void hooks_data();
    void hooks();
    void promptBlockedLaunch_data();
    void promptBlockedLaunch();
    void notificationGuide_data();
    void notificationGuide();
    void timersGoWithTheState();
};

namespace {

const QString x = u"org.example.x"_qs;
const QString y = u"org.example.y"_qs;
const QString embeddedID = u"com.tencent.flue.WeChatAppEx"_qs;
const QString embeddedPath = u"/Applications/WeChat.app/Contents/MacOS/WeChatAppEx.app"_qs;
const QString overrideKey = u"blockOverrideUntilMap"_qs;
const QString loanKey = u"pausedLoanUntilMap"_qs;
const QString warningTitle = u"还有 15 秒"_qs;
const QString blockBodyEnd = u"即将进入禁启时段，请保存正在编辑的内容"_qs;
const QString graceBodyEnd = u"的忽略时限即将结束，限制恢复后将被退出，请保存正在编辑的内容"_qs;

// "21:59:45" or "20:00:00.2" on the test's Monday, local time.
Instant at(const QString &time)
{
    return ScheduleTesting::instant(u"2026-03-02T"_qs + time + u"+08:00"_qs);
}

constexpr int hm(int hour, int minute)
{
    return hour * 60 + minute;
}

RestrictionRule *addRule(AppState &state, const QString &bundleID, int startMinute, int endMinute)
{
    StoreContext &context = state.container().mainContext();
    RestrictionRule *rule = context.insert(std::make_unique<RestrictionRule>(
        RestrictionTarget::app, bundleID, startMinute, endMinute, QList<int>{1, 2, 3, 4, 5, 6, 7}, true,
        std::nullopt));
    std::ignore = context.save();
    return rule;
}

void addAdHocBlock(AppState &state, const QString &bundleID, Instant until)
{
    StoreContext &context = state.container().mainContext();
    context.insert(std::make_unique<AdHocBlock>(bundleID, until));
    std::ignore = context.save();
}

QStringList bodies(const FakeNotifications &notifications)
{
    QStringList list;
    for (const auto &post : notifications.posts()) {
        if (post.title != warningTitle)
            list.append(u"wrong title: "_qs + post.title);
        list.append(post.body);
    }
    return list;
}

std::optional<Instant> storedUntil(const Preferences &preferences, const QString &key, const QString &bundleID)
{
    const auto map = preferences.numberMap(key).value_or(QHash<QString, double>());
    if (!map.contains(bundleID))
        return std::nullopt;
    return Instants::fromSecondsSince1970(map.value(bundleID));
}

FocusSession session(const QString &bundleID, Instant deadline, std::optional<int> blockMinutes = std::nullopt)
{
    FocusSession s;
    s.bundleID = bundleID;
    s.appName = bundleID;
    s.deadline = deadline;
    s.blockMinutes = blockMinutes;
    return s;
}

// A process of the embedded app with a window big enough for the guard's sweep.
void runEmbeddedWithWindow(AppStateFixture &f, qint64 pid)
{
    f.processes.addProcess(pid, embeddedPath + u"/Contents/MacOS/WeChatAppEx"_qs);
    f.windows.addWindow(WindowInfo{pid * 10, pid, true, 400, 300});
}

} // namespace

// A window at 22:00 with the app running: one warning at 21:59:45, and none when it would come too late, when no
// warning time is left, or when the rules changed meanwhile.
void TestAppStateSupervision::blockStartWarning_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("on time") << u"advance 21:59:44.9 | check none | advance 21:59:45 | check posted"_qs
                             << QStringList{u"X"_qs + blockBodyEnd};
    QTest::newRow("two running apps by identifier")
        << u"run y Why | advance 21:59:45"_qs << QStringList{u"X、Why"_qs + blockBodyEnd};
    // The boundary still refreshes: X is blocked from the start on.
    QTest::newRow("asleep through it") << u"sleep 22:03 | fire | blocked"_qs << QStringList{};
    QTest::newRow("woken a minute after the start: the start is no longer next")
        << u"sleep 22:01 | fire"_qs << QStringList{};
    QTest::newRow("rules changed meanwhile") << u"advance 21:50 | move 22:30 | advance 22:00"_qs << QStringList{};
    QTest::newRow("rules changed, then refreshed")
        << u"advance 21:50 | move 22:30 | refresh | advance 22:29:44 | check none | advance 22:29:45"_qs
        << QStringList{u"X"_qs + blockBodyEnd};
    QTest::newRow("a window 10 s ahead gets none") << u"set 21:59:50 | refresh | advance 22:00:30"_qs
                                                   << QStringList{};
    QTest::newRow("not running: nothing to name") << u"quit x | advance 22:00"_qs << QStringList{};
}

void TestAppStateSupervision::blockStartWarning()
{
    QFETCH(QString, script);
    QFETCH(QStringList, expected);
    AppStateFixture f;
    f.clock.setWallTime(at(u"21:00:00"_qs));
    AppState &state = f.start();
    const RunningApp runningX = f.runningApps.launch(x, u"X"_qs);
    RestrictionRule *rule = addRule(state, x, hm(22, 0), hm(23, 0));
    addRule(state, y, hm(22, 0), hm(23, 0));
    state.refreshSupervisionStatus();

    for (const QString &step : script.split(u'|')) {
        const QStringList words = step.simplified().split(u' ');
        const QString &verb = words[0];
        if (verb == u"advance")
            f.clock.advanceTo(at(words[1]));
        else if (verb == u"sleep")
            f.clock.sleepUntil(at(words[1]));
        else if (verb == u"set")
            f.clock.setWallTime(at(words[1]));
        else if (verb == u"fire")
            f.clock.fireDue();
        else if (verb == u"refresh")
            state.refreshSupervisionStatus();
        else if (verb == u"run")
            f.runningApps.launch(words[1] == u"y" ? y : x, words[2]);
        else if (verb == u"quit")
            f.runningApps.quit(runningX);
        else if (verb == u"move") {
            const QTime start = QTime::fromString(words[1], u"HH:mm"_qs);
            rule->setStartMinute(hm(start.hour(), start.minute()));
            rule->setEndMinute(hm(start.hour() + 1, start.minute()));
            std::ignore = state.container().mainContext().save();
        } else if (verb == u"blocked") {
            QVERIFY(state.blockedBundleIDCache().contains(x));
        } else if (verb == u"check") {
            QCOMPARE(f.notifications.posts().size(), words[1] == u"none" ? 0 : 1);
        } else {
            QFAIL(qPrintable(u"unknown step "_qs + step));
        }
    }
    QCOMPARE(bodies(f.notifications), expected);
}

// What ends within the 15 s before the start counts as over for the warning, and is still there until its end.
void TestAppStateSupervision::blockStartWarningCountsWhatEndsBeforeTheStart()
{
    AppStateFixture f;
    f.clock.setWallTime(at(u"21:00:00"_qs));
    AppState &state = f.start();
    f.finishScan({AppLists::app(x, u"X"_qs), AppLists::app(y, u"Y"_qs)});
    f.runningApps.launch(x, u"X"_qs);
    f.runningApps.launch(y, u"Y"_qs);
    addAdHocBlock(state, x, at(u"21:59:55"_qs));
    addRule(state, y, hm(22, 0), hm(23, 0));
    // Y's override ends before the window starts: it does not keep Y out of the warning.
    state.ignoreBlockedApp(y, u"Y"_qs, at(u"21:59:55"_qs));
    state.refreshSupervisionStatus();

    f.clock.advanceTo(at(u"21:59:45"_qs));
    QStringList blockWarnings = bodies(f.notifications).filter(blockBodyEnd);
    QCOMPARE(blockWarnings, QStringList{u"Y"_qs + blockBodyEnd});

    f.clock.advanceTo(at(u"21:59:50"_qs));
    QCOMPARE(state.container().mainContext().fetch<AdHocBlock>().size(), 1);
    QVERIFY(state.blockedBundleIDs(f.clock.now()).contains(x));
    QVERIFY(storedUntil(f.preferences, overrideKey, y).has_value());
}

// A timed quit at 22:00 with a block after it: the block's window starts at the quit, so its start is warned of
// besides the scheduler's own warning of the quit.
void TestAppStateSupervision::planBlockGetsItsOwnWarning()
{
    AppStateFixture f;
    f.clock.setWallTime(at(u"21:00:00"_qs));
    AppState &state = f.start();
    f.runningApps.launch(x, u"X"_qs);
    StoreContext &context = state.container().mainContext();
    context.insert(std::make_unique<QuitPlan>(QuitPlanTarget::apps, QString(), QStringList{x}, hm(22, 0),
                                              QList<int>{1, 2, 3, 4, 5, 6, 7}, QuitPlanBlockMode::minutes, 30, 0,
                                              true));
    std::ignore = context.save();
    state.quitScheduler().reschedule();
    state.refreshSupervisionStatus();

    f.clock.advanceTo(at(u"21:59:45"_qs));
    QCOMPARE(f.notifications.posts().size(), 2);
    QCOMPARE(bodies(f.notifications).filter(blockBodyEnd), QStringList{u"X"_qs + blockBodyEnd});
    f.clock.advanceTo(at(u"22:00:00"_qs));
    QVERIFY(state.blockedBundleIDCache().contains(x));
    f.clock.advanceTo(at(u"22:30:00"_qs));
    QVERIFY(!state.blockedBundleIDCache().contains(x));
}

// Each override end gets one warning 15 s before it; ends less than 1 s apart share one.
void TestAppStateSupervision::overrideWarnings_data()
{
    QTest::addColumn<QStringList>("grants"); // "<granted at> <app> <until>"
    QTest::addColumn<QStringList>("warnings"); // "<time> <body>"

    QTest::newRow("two ends within a second, one after them")
        << QStringList{u"19:50:00 a 20:00:00.2"_qs, u"19:50:00 b 20:00:00.9"_qs, u"19:50:00 c 20:00:02"_qs,
                       u"19:59:50 d 20:00:00"_qs}
        << QStringList{u"19:59:45.200 A、B"_qs, u"19:59:47.000 C"_qs};
    QTest::newRow("ten seconds after another")
        << QStringList{u"19:50:00 a 20:00:00"_qs, u"19:50:00 b 20:00:10"_qs}
        << QStringList{u"19:59:45.000 A"_qs, u"19:59:55.000 B"_qs};
    QTest::newRow("granted with ten seconds left") << QStringList{u"19:59:50 a 20:00:00"_qs} << QStringList{};
    QTest::newRow("granted again for later: warned at the new end")
        << QStringList{u"19:50:00 a 20:00:00"_qs, u"19:59:50 a 20:05:00"_qs}
        << QStringList{u"19:59:45.000 A"_qs, u"20:04:45.000 A"_qs};
    QTest::newRow("granted again before its warning: warned once")
        << QStringList{u"19:50:00 a 20:00:00"_qs, u"19:55:00 a 20:00:30"_qs}
        << QStringList{u"20:00:15.000 A"_qs};
    QTest::newRow("an unknown app by its identifier")
        << QStringList{u"19:50:00 org.unknown 20:00:00"_qs} << QStringList{u"19:59:45.000 org.unknown"_qs};
}

void TestAppStateSupervision::overrideWarnings()
{
    QFETCH(QStringList, grants);
    QFETCH(QStringList, warnings);
    AppStateFixture f;
    f.clock.setWallTime(at(u"19:40:00"_qs));
    AppState &state = f.start();
    f.finishScan({AppLists::app(u"a"_qs, u"A"_qs), AppLists::app(u"b"_qs, u"B"_qs), AppLists::app(u"c"_qs, u"C"_qs),
                  AppLists::app(u"d"_qs, u"D"_qs)});

    QStringList seen;
    const auto record = [&] {
        const auto &posts = f.notifications.posts();
        for (qsizetype i = seen.size(); i < posts.size(); ++i) {
            QVERIFY(posts[i].title == warningTitle);
            QVERIFY2(posts[i].body.endsWith(graceBodyEnd), qPrintable(posts[i].body));
            seen.append(Instants::toDateTime(f.clock.now()).toOffsetFromUtc(8 * 3600).toString(u"HH:mm:ss.zzz"_qs)
                        + u' ' + posts[i].body.chopped(graceBodyEnd.size()));
        }
    };
    // Step the clock in 100 ms so that each warning is seen at the moment it comes.
    const auto runTo = [&](Instant end) {
        while (f.clock.now() < end) {
            f.clock.advanceBy(std::min<Duration>(100ms, end - f.clock.now()));
            record();
        }
    };
    for (const QString &grant : grants) {
        const QStringList words = grant.split(u' ');
        runTo(at(words[0]));
        state.ignoreBlockedApp(words[1], QString(), at(words[2]));
    }
    runTo(at(u"20:06:00"_qs));
    QCOMPARE(seen, warnings);
}

// A warning is dropped only when it comes 120 s or more after the end it warns of.
void TestAppStateSupervision::lateOverrideWarning_data()
{
    QTest::addColumn<QString>("wake");
    QTest::addColumn<int>("posts");
    QTest::newRow("woken 60 s after the end") << u"20:01:00"_qs << 1;
    QTest::newRow("woken 119 s after the end") << u"20:01:59"_qs << 1;
    QTest::newRow("woken 120 s after the end") << u"20:02:00"_qs << 0;
    QTest::newRow("woken 150 s after the end") << u"20:02:30"_qs << 0;
}

void TestAppStateSupervision::lateOverrideWarning()
{
    QFETCH(QString, wake);
    QFETCH(int, posts);
    AppStateFixture f;
    f.clock.setWallTime(at(u"19:50:00"_qs));
    AppState &state = f.start();
    state.ignoreBlockedApp(x, QString(), at(u"20:00:00"_qs));
    f.clock.sleepUntil(at(wake));
    f.clock.fireDue();
    QCOMPARE(f.notifications.posts().size(), posts);
    // The expiry acts however late.
    QVERIFY(state.graceOverrides().isEmpty());
}

// X is blocked 19:00–21:00; at 20:00 an override to 20:01 leaves a loan to 21:01. At 20:01 X is quit and hidden and
// its sessions resume; the loan keeps X blocked past the window until 21:01.
void TestAppStateSupervision::overrideEndingInsideItsWindow()
{
    AppStateFixture f;
    f.clock.setWallTime(at(u"20:00:00"_qs));
    AppState &state = f.start();
    f.finishScan({AppLists::app(x, u"X"_qs)});
    const RunningApp running = f.runningApps.launch(x, u"X"_qs);
    addRule(state, x, hm(19, 0), hm(21, 0));
    state.refreshSupervisionStatus();
    QVERIFY(state.blockedBundleIDCache().contains(x));
    const FocusSession focus = session(x, at(u"20:30:00"_qs));
    state.sessionManager().begin(focus);
    f.runningApps.clearRequests();

    state.ignoreBlockedApp(x, u"ignored name"_qs, at(u"20:01:00"_qs));
    QCOMPARE(show(storedUntil(f.preferences, overrideKey, x)), show(at(u"20:01:00"_qs)));
    // From the effective end, which the override just stored does not hide.
    QCOMPARE(show(storedUntil(f.preferences, loanKey, x)), show(at(u"21:01:00"_qs)));
    QVERIFY(state.sessionManager().isPaused(focus.id));
    QCOMPARE(f.timerPanelsMade, 1);
    QCOMPARE(state.graceOverrides(),
             (QList<AppState::GraceOverride>{{x, u"X"_qs, at(u"20:01:00"_qs)}}));
    QVERIFY(!state.blockedBundleIDCache().contains(x));

    f.clock.advanceTo(at(u"20:00:59.9"_qs));
    QCOMPARE(f.runningApps.requests(), QStringList());
    f.clock.advanceTo(at(u"20:01:00"_qs));
    QCOMPARE(f.runningApps.requests(), (QStringList{u"terminate %1 %2"_qs.arg(x).arg(running.pid),
                                                    u"hide %1 %2"_qs.arg(x).arg(running.pid)}));
    QVERIFY(!state.sessionManager().isPaused(focus.id));
    QVERIFY(state.graceOverrides().isEmpty());
    QVERIFY(!storedUntil(f.preferences, overrideKey, x));
    QVERIFY(state.blockedBundleIDCache().contains(x));

    f.clock.advanceTo(at(u"21:00:00"_qs));
    QVERIFY(state.blockedBundleIDCache().contains(x));
    f.clock.advanceTo(at(u"21:00:59.9"_qs));
    QVERIFY(state.blockedBundleIDCache().contains(x));
    QSignalSpy changed(&state, &AppState::changed);
    f.clock.advanceTo(at(u"21:01:00"_qs));
    QVERIFY(!state.blockedBundleIDCache().contains(x));
    QVERIFY(!changed.isEmpty());
}

// An override of an app whose block has no known end (here: none left when it was granted) stores no loan; at its
// end the app is not blocked, so it stays open and its sessions resume.
void TestAppStateSupervision::overrideEndingOutsideAnyBlock()
{
    AppStateFixture f;
    f.clock.setWallTime(at(u"20:00:00"_qs));
    AppState &state = f.start();
    f.runningApps.launch(x, u"X"_qs);
    f.preferences.setNumberMap(loanKey, {{y, Instants::secondsSince1970(at(u"23:00:00"_qs))}});
    const FocusSession focus = session(x, at(u"20:30:00"_qs));
    state.sessionManager().begin(focus);

    state.ignoreBlockedApp(x, QString(), at(u"20:01:00"_qs));
    QVERIFY(storedUntil(f.preferences, overrideKey, x).has_value());
    QCOMPARE(f.preferences.numberMap(loanKey)->keys(), QStringList{y});
    QVERIFY(state.sessionManager().isPaused(focus.id));

    f.clock.advanceTo(at(u"20:01:00"_qs));
    QCOMPARE(f.runningApps.requests(), QStringList());
    QVERIFY(!state.sessionManager().isPaused(focus.id));
    QVERIFY(state.graceOverrides().isEmpty());
}

// An expired override whose app has a live entry again (written after the list was built) keeps its sessions
// paused; the app is not quit, since the live entry lifts its block.
// X is blocked 22:11–22:15; at 22:12 the rest of the window is skipped, which leaves a loan to 22:18. At 22:13 the
// rule (or what stands beside it) changes: the loan goes when no enabled rule or plan targets X any more.
void TestAppStateSupervision::loanGoesWithItsCause_data()
{
    QTest::addColumn<QString>("beside"); // what else stands on X before the change
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("kept");
    QTest::newRow("turned off") << QString() << u"off"_qs << false;
    QTest::newRow("paused to the end of the window") << QString() << u"pause"_qs << false;
    QTest::newRow("deleted") << QString() << u"delete"_qs << false;
    QTest::newRow("replaced by an import") << QString() << u"import"_qs << false;
    QTest::newRow("another rule still targets X") << u"rule"_qs << u"delete"_qs << true;
    QTest::newRow("a group rule still covers X") << u"group rule"_qs << u"off"_qs << true;
    QTest::newRow("a plan that blocks still targets X") << u"blocking plan"_qs << u"delete"_qs << true;
    QTest::newRow("a plan that blocks nothing") << u"plain plan"_qs << u"delete"_qs << false;
    QTest::newRow("a live ad-hoc block still stands") << u"ad-hoc"_qs << u"off"_qs << true;
    QTest::newRow("only another app's rule changes") << QString() << u"other off"_qs << true;
}

void TestAppStateSupervision::loanGoesWithItsCause()
{
    QFETCH(QString, beside);
    QFETCH(QString, change);
    QFETCH(bool, kept);
    AppStateFixture f;
    f.clock.setWallTime(at(u"22:12:00"_qs));
    AppState &state = f.start();
    f.finishScan({AppLists::app(x, u"X"_qs), AppLists::app(y, u"Y"_qs)});
    StoreContext &context = state.container().mainContext();
    RestrictionRule *rule = addRule(state, x, hm(22, 11), hm(22, 15));
    RestrictionRule *other = addRule(state, y, hm(22, 11), hm(22, 15));
    if (beside == u"rule")
        addRule(state, x, hm(8, 0), hm(9, 0));
    if (beside == u"group rule") {
        auto *group = context.insert(std::make_unique<AppGroup>(u"娱乐"_qs, 0, QStringList{y, x}));
        context.insert(std::make_unique<RestrictionRule>(RestrictionTarget::group, group->refID(), hm(8, 0),
                                                         hm(9, 0), QList<int>{1, 2, 3, 4, 5, 6, 7}, true,
                                                         std::nullopt));
    }
    if (beside.endsWith(u"plan"_qs)) {
        context.insert(std::make_unique<QuitPlan>(
            QuitPlanTarget::apps, QString(), QStringList{x}, hm(8, 0), QList<int>{1, 2, 3, 4, 5, 6, 7},
            beside == u"blocking plan" ? QuitPlanBlockMode::minutes : QuitPlanBlockMode::none, 30, 0, true));
    }
    std::ignore = context.save();
    if (beside == u"ad-hoc")
        addAdHocBlock(state, x, at(u"22:15:30"_qs)); // the window still ends first

    state.ignoreBlockedApp(x, QString(), at(u"22:15:00"_qs));
    QCOMPARE(show(storedUntil(f.preferences, loanKey, x)), show(at(u"22:18:00"_qs)));

    f.clock.advanceTo(at(u"22:13:00"_qs));
    if (change == u"off") {
        rule->setIsEnabled(false);
    } else if (change == u"pause") {
        rule->setPausedUntil(at(u"22:15:00"_qs));
    } else if (change == u"delete") {
        context.remove(rule);
    } else if (change == u"import") {
        QCOMPARE(SupervisionImporter::apply(SupervisionExport{}, context, f.preferences),
                 SupervisionApplyResult::applied);
    } else {
        other->setIsEnabled(false);
    }
    std::ignore = context.save();
    // The change alone lets the loan go, before anything evaluates the blocks.
    QCoreApplication::processEvents();
    QCOMPARE(show(storedUntil(f.preferences, loanKey, x)), show(kept ? std::optional(at(u"22:18:00"_qs))
                                                                      : std::nullopt));

    f.clock.advanceTo(at(u"22:16:00"_qs));
    QCOMPARE(state.blockedBundleIDs(f.clock.now()).contains(x), kept);
    QCOMPARE(state.blockedBundleIDCache().contains(x), kept);
    f.clock.advanceTo(at(u"22:18:00"_qs));
    QVERIFY(!state.blockedBundleIDs(f.clock.now()).contains(x));
}

void TestAppStateSupervision::sessionsStayPausedWhileAnOverrideRemains()
{
    AppStateFixture f;
    f.clock.setWallTime(at(u"20:00:00"_qs));
    AppState &state = f.start();
    f.runningApps.launch(x, u"X"_qs);
    addRule(state, x, hm(19, 0), hm(21, 0));
    const FocusSession focus = session(x, at(u"20:30:00"_qs));
    state.sessionManager().begin(focus);
    state.ignoreBlockedApp(x, QString(), at(u"20:01:00"_qs));
    f.runningApps.clearRequests();

    f.clock.advanceTo(at(u"20:00:30"_qs));
    auto overrides = *f.preferences.numberMap(overrideKey);
    overrides.insert(x, Instants::secondsSince1970(at(u"20:10:00"_qs)));
    f.preferences.setNumberMap(overrideKey, overrides);

    f.clock.advanceTo(at(u"20:01:00"_qs));
    QVERIFY(state.sessionManager().isPaused(focus.id));
    QCOMPARE(f.runningApps.requests(), QStringList());
    QCOMPARE(state.graceOverrides(), (QList<AppState::GraceOverride>{{x, x, at(u"20:10:00"_qs)}}));
}

// The embedded app is not quit at its override's end: the guard's sweep, started again, kills it once it shows a
// window.
void TestAppStateSupervision::embeddedOverrideEndRestartsTheSweep()
{
    AppStateFixture f;
    f.existingPaths.append(embeddedPath);
    f.clock.setWallTime(at(u"20:00:00"_qs));
    AppState &state = f.start();
    addRule(state, embeddedID, hm(19, 0), hm(21, 0));
    state.embeddedGuard().refresh();
    state.refreshSupervisionStatus();

    state.ignoreBlockedApp(embeddedID, QString(), at(u"20:01:00"_qs));
    QCOMPARE(state.graceOverrides().first().appName, u"微信内置浏览器"_qs);
    // Opened during the override.
    runEmbeddedWithWindow(f, 4242);

    f.clock.advanceTo(at(u"20:01:00"_qs));
    QCOMPARE(f.processes.killed(), QList<qint64>());
    QCOMPARE(f.runningApps.requests(), QStringList());
    f.clock.advanceTo(at(u"20:01:02"_qs));
    QCOMPARE(f.processes.killed(), QList<qint64>{4242});
}

// The boundary timer wakes at the next rule boundary, ad-hoc end or loan end, whichever comes first, and refreshes.
void TestAppStateSupervision::boundaryTimer_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("boundary");
    QTest::addColumn<bool>("blockedAfter");
    QTest::newRow("a rule window starts") << u"rule"_qs << u"21:00:00"_qs << true;
    QTest::newRow("an ad-hoc block ends") << u"adhoc"_qs << u"20:30:00"_qs << false;
    QTest::newRow("a loan ends") << u"loan"_qs << u"20:45:00"_qs << false;
}

void TestAppStateSupervision::boundaryTimer()
{
    QFETCH(QString, kind);
    QFETCH(QString, boundary);
    QFETCH(bool, blockedAfter);
    AppStateFixture f;
    f.clock.setWallTime(at(u"20:00:00"_qs));
    AppState &state = f.start();
    // A later rule, so that the boundary of the row comes first.
    addRule(state, y, hm(23, 0), hm(23, 30));
    if (kind == u"rule")
        addRule(state, x, hm(21, 0), hm(22, 0));
    else if (kind == u"adhoc")
        addAdHocBlock(state, x, at(boundary));
    else
        f.preferences.setNumberMap(loanKey, {{x, Instants::secondsSince1970(at(boundary))}});
    state.refreshSupervisionStatus();
    QCOMPARE(state.blockedBundleIDCache().contains(x), !blockedAfter);

    const Instant moment = at(boundary);
    f.clock.advanceTo(moment - 1ms);
    QCOMPARE(state.blockedBundleIDCache().contains(x), !blockedAfter);
    QSignalSpy changed(&state, &AppState::changed);
    QSignalSpy status(&state, &AppState::supervisionStatusChanged);
    f.clock.advanceTo(moment);
    QCOMPARE(state.blockedBundleIDCache().contains(x), blockedAfter);
    QVERIFY(!changed.isEmpty());
    if (kind == u"rule") // the status's next event moves on
        QCOMPARE(status.size(), 1);
}

// A session of X with 5 block minutes expires at 10:00: X is blocked until 10:05 and hidden, and let go at 10:05.
void TestAppStateSupervision::expiryBlock()
{
    AppStateFixture f;
    f.clock.setWallTime(at(u"09:50:00"_qs));
    AppState &state = f.start();
    const RunningApp running = f.runningApps.launch(x, u"X"_qs);
    state.sessionManager().begin(session(x, at(u"10:00:00"_qs), 5));
    f.runningApps.clearRequests();

    QSignalSpy changed(&state, &AppState::changed);
    f.clock.advanceTo(at(u"10:00:00"_qs));
    QCOMPARE(f.terminator.terminated, QStringList{x});
    const auto blocks = state.container().mainContext().fetch<AdHocBlock>();
    QCOMPARE(blocks.size(), 1);
    QCOMPARE(blocks.first()->bundleID(), x);
    QCOMPARE(show(blocks.first()->until()), show(at(u"10:05:00"_qs)));
    QVERIFY(f.runningApps.requests().contains(u"hide %1 %2"_qs.arg(x).arg(running.pid)));
    QVERIFY(state.blockedBundleIDCache().contains(x));
    QVERIFY(!changed.isEmpty());

    f.clock.advanceTo(at(u"10:04:59.9"_qs));
    QVERIFY(state.blockedBundleIDCache().contains(x));
    f.clock.advanceTo(at(u"10:05:00"_qs));
    QVERIFY(!state.blockedBundleIDCache().contains(x));
}

void TestAppStateSupervision::expiryBlockOfEmbeddedAppStartsTheSweep()
{
    AppStateFixture f;
    f.existingPaths.append(embeddedPath);
    f.clock.setWallTime(at(u"09:50:00"_qs));
    AppState &state = f.start();
    runEmbeddedWithWindow(f, 5151);
    state.sessionManager().begin(session(embeddedID, at(u"10:00:00"_qs), 5));

    f.clock.advanceTo(at(u"10:00:00"_qs));
    QVERIFY(state.blockedBundleIDCache().contains(embeddedID));
    QCOMPARE(f.processes.killed(), QList<qint64>());
    f.clock.advanceTo(at(u"10:00:02"_qs));
    QCOMPARE(f.processes.killed(), QList<qint64>{5151});
}

// Becoming active and waking both end the overrides that ran out meanwhile and refresh the status.
void TestAppStateSupervision::hooks_data()
{
    QTest::addColumn<QString>("hook");
    QTest::addColumn<bool>("withOverride");
    QTest::newRow("became active with an override") << u"active"_qs << true;
    QTest::newRow("became active without overrides") << u"active"_qs << false;
    QTest::newRow("woke with an override") << u"wake"_qs << true;
    QTest::newRow("woke without overrides") << u"wake"_qs << false;
}

void TestAppStateSupervision::hooks()
{
    QFETCH(QString, hook);
    QFETCH(bool, withOverride);
    AppStateFixture f;
    f.clock.setWallTime(at(u"20:00:00"_qs));
    AppState &state = f.start();
    const RunningApp running = f.runningApps.launch(x, u"X"_qs);
    addRule(state, x, hm(19, 0), hm(21, 0));
    const FocusSession focus = session(x, at(u"22:00:00"_qs));
    state.sessionManager().begin(focus);
    if (withOverride)
        state.ignoreBlockedApp(x, QString(), at(u"20:01:00"_qs));
    // A rule the last refresh has not seen.
    addRule(state, y, hm(19, 0), hm(21, 0));
    f.runningApps.clearRequests();

    f.clock.sleepUntil(at(u"20:05:00"_qs)); // no timer has fired
    QSignalSpy status(&state, &AppState::supervisionStatusChanged);
    if (hook == u"active") {
        f.activation.setActive(true);
    } else {
        f.sleepWake.sendDidWake(f.clock.now());
        QCoreApplication::processEvents();
    }
    QVERIFY(state.blockedBundleIDCache().contains(y));
    QCOMPARE(status.size(), 1); // one more active rule
    QVERIFY(state.graceOverrides().isEmpty());
    QVERIFY(!state.sessionManager().isPaused(focus.id));
    if (withOverride && hook == u"active") {
        QCOMPARE(f.runningApps.requests(), (QStringList{u"terminate %1 %2"_qs.arg(x).arg(running.pid),
                                                        u"hide %1 %2"_qs.arg(x).arg(running.pid)}));
    }
}

// The external guard's report of a blocked app opened elsewhere: the launcher comes forward with the prompt.
void TestAppStateSupervision::promptBlockedLaunch_data()
{
    QTest::addColumn<QString>("bundleID");
    QTest::addColumn<QString>("runningName"); // "-": reported without a running instance
    QTest::addColumn<bool>("windowShown");
    QTest::addColumn<QString>("promptName"); // empty: no prompt
    QTest::addColumn<QString>("promptPath");
    QTest::newRow("a scanned app") << x << u"X instance"_qs << true << u"X"_qs
                                   << u"/usr/share/applications/org.example.x.desktop"_qs;
    QTest::newRow("a running app that is not scanned") << y << u"Why"_qs << true << u"Why"_qs << u"/"_qs;
    QTest::newRow("running without a name") << y << QString() << true << y << u"/"_qs;
    QTest::newRow("neither scanned nor running") << y << u"-"_qs << true << QString() << QString();
    QTest::newRow("window closed") << x << u"X instance"_qs << false << QString() << QString();
}

void TestAppStateSupervision::promptBlockedLaunch()
{
    QFETCH(QString, bundleID);
    QFETCH(QString, runningName);
    QFETCH(bool, windowShown);
    QFETCH(QString, promptName);
    QFETCH(QString, promptPath);
    AppStateFixture f;
    f.clock.setWallTime(at(u"20:00:00"_qs));
    AppState &state = f.start();
    f.finishScan({AppLists::app(x, u"X"_qs)});
    addRule(state, x, hm(19, 0), hm(21, 0));
    addRule(state, y, hm(19, 0), hm(21, 30));
    QWindow window;
    window.show();
    state.mainWindow = &window;
    if (!windowShown)
        window.hide();

    if (runningName == u"-")
        f.runningApps.activate(RunningApp{77, bundleID, u"gone"_qs, {}, u"77"_qs});
    else
        f.runningApps.launch(bundleID, runningName);

    if (promptName.isEmpty()) {
        QVERIFY(!state.blockedPrompt());
        QCOMPARE(f.activation.activateCount(), 0);
        return;
    }
    QCOMPARE(f.activation.activateCount(), 1);
    QVERIFY(state.blockedPrompt());
    const AppInfo &app = state.blockedPrompt()->app;
    QCOMPARE(app.bundleID, bundleID);
    QCOMPARE(app.name, promptName);
    QCOMPARE(app.path(), promptPath);
    QVERIFY(!app.installedAt);
    QVERIFY(app.aliases.isEmpty());
    QCOMPARE(show(state.blockedPrompt()->until), show(at(bundleID == x ? u"21:00:00"_qs : u"21:30:00"_qs)));
}

// The guide shows once per installation while notifications stay denied.
void TestAppStateSupervision::notificationGuide_data()
{
    QTest::addColumn<QString>("stamp");
    QTest::addColumn<QString>("stored"); // "-": nothing stored
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("storedAfter");
    QTest::newRow("a new installation") << u"8:1:42|1767225600"_qs << u"-"_qs << true << u"8:1:42|1767225600"_qs;
    QTest::newRow("reinstalled") << u"8:1:43|1767229999"_qs << u"8:1:42|1767225600"_qs << true
                                 << u"8:1:43|1767229999"_qs;
    QTest::newRow("the same copy again") << u"8:1:42|1767225600"_qs << u"8:1:42|1767225600"_qs << false
                                         << u"8:1:42|1767225600"_qs;
    QTest::newRow("no stamp") << QString() << u"-"_qs << false << u"-"_qs;
}

void TestAppStateSupervision::notificationGuide()
{
    QFETCH(QString, stamp);
    QFETCH(QString, stored);
    QFETCH(bool, shown);
    QFETCH(QString, storedAfter);
    AppStateFixture f;
    f.installStamp = stamp;
    if (stored != u"-")
        f.preferences.setString(u"notificationGuideShownInstallStamp"_qs, stored);
    f.notifications.setStatus(NotificationAuthorization::denied);
    AppState &state = f.start();
    QCoreApplication::processEvents();
    f.clock.advanceBy(1500ms);
    QCoreApplication::processEvents();
    QCOMPARE(state.showNotificationGuide(), shown);
    QCOMPARE(f.preferences.stringValue(u"notificationGuideShownInstallStamp"_qs).value_or(u"-"_qs), storedAfter);
}

// The timers belong to the state: once it is gone, none of them fires.
void TestAppStateSupervision::timersGoWithTheState()
{
    AppStateFixture f;
    f.clock.setWallTime(at(u"20:00:00"_qs));
    AppState &state = f.start();
    f.runningApps.launch(x, u"X"_qs);
    f.runningApps.launch(y, u"Y"_qs);
    addRule(state, x, hm(19, 0), hm(21, 0));
    addRule(state, y, hm(20, 30), hm(21, 0));
    state.refreshSupervisionStatus();
    state.ignoreBlockedApp(x, QString(), at(u"20:05:00"_qs));
    f.runningApps.clearRequests();

    f.state.reset();
    f.clock.advanceTo(at(u"21:30:00"_qs));
    QCOMPARE(bodies(f.notifications), QStringList());
    QCOMPARE(f.runningApps.requests(), QStringList());
}

int main(int argc, char *argv[])
{
    // Every schedule here is read in one fixed zone, whatever the machine's.
    qputenv("TZ", "Asia/Shanghai");
    QGuiApplication app(argc, argv);
    TestAppStateSupervision test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_appstate_supervision.moc"
