#include "quitplanengine.h"
#include "scheduletesting.h"

#include <QTest>

#include <climits>

using namespace ScheduleTesting;

// Asia/Shanghai carries the worked examples; 2026-03-02 is a Monday, 2026-03-06 a Friday.
namespace {
const QByteArray shanghai("Asia/Shanghai");
const QByteArray newYork("America/New_York");
const QByteArray berlin("Europe/Berlin");
const QByteArray lordHowe("Australia/Lord_Howe");

QuitPlanSnapshot fridayLate() { return blockingFor(appsPlan(hm(23, 30), {6}), 60); }

QString describe(const RestrictionRuleSnapshot &rule)
{
    QStringList days;
    for (const int d : rule.weekdays)
        days << QString::number(d);
    QString text = QStringLiteral("%1 %2 %3-%4 [%5]")
                       .arg(rule.targetKind == RestrictionTarget::app ? u"app" : u"group", rule.targetID)
                       .arg(rule.startMinute)
                       .arg(rule.endMinute)
                       .arg(days.join(u' '));
    if (!rule.isEnabled)
        text += QStringLiteral(" off");
    if (rule.pausedUntil)
        text += QStringLiteral(" paused");
    if (rule.onceDate)
        text += QStringLiteral(" once");
    return text;
}
} // namespace

class TestQuitPlanEngine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void nextFireDate_data();
    void nextFireDate();
    void duePlans_data();
    void duePlans();
    void everyFireIsDue_data();
    void everyFireIsDue();
    void blockRuleSnapshots_data();
    void blockRuleSnapshots();
    void activeBlockWindow_data();
    void activeBlockWindow();
};

void TestQuitPlanEngine::nextFireDate_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QList<QuitPlanSnapshot>>("plans");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("expected");

    const auto weekdayMornings = appsPlan(hm(8, 0), mondayToFriday);
    QTest::newRow("paused until monday's quit fires tuesday") << shanghai << QList{pausedUntil(weekdayMornings, QStringLiteral("2026-03-09T08:00:00+08:00"))} << "2026-03-08T12:00:00+08:00" << "2026-03-10T08:00:00+08:00";
    QTest::newRow("a pause already over plays no part") << shanghai << QList{pausedUntil(weekdayMornings, QStringLiteral("2026-03-01T08:00:00+08:00"))} << "2026-03-04T07:00:00+08:00" << "2026-03-04T08:00:00+08:00";
    QTest::newRow("exactly at a quit, the next one") << shanghai << QList{weekdayMornings} << "2026-03-06T08:00:00+08:00" << "2026-03-09T08:00:00+08:00";
    QTest::newRow("the earliest of several plans") << shanghai << QList{weekdayMornings, groupPlan(hm(18, 0), everyDay, QStringLiteral("group-games"))} << "2026-03-07T09:00:00+08:00" << "2026-03-07T18:00:00+08:00";
    QTest::newRow("targets are not consulted") << shanghai << QList{appsPlan(hm(8, 0), {4}, {}), groupPlan(hm(7, 0), {4}, QString())} << "2026-03-03T12:00:00+08:00" << "2026-03-04T07:00:00+08:00";
    QTest::newRow("switched off and no weekdays give none") << shanghai << QList{switchedOff(weekdayMornings), appsPlan(hm(8, 0), {})} << "2026-03-04T07:00:00+08:00" << "";
    QTest::newRow("quit minute out of range gives none") << shanghai << QList{appsPlan(1440, everyDay), appsPlan(-1, everyDay), appsPlan(INT_MIN, everyDay)} << "2026-03-04T07:00:00+08:00" << "";
    QTest::newRow("new york quit in the gap fires at its end") << newYork << QList{appsPlan(hm(2, 30), {1})} << "2026-03-07T12:00:00-05:00" << "2026-03-08T03:00:00-04:00";
    QTest::newRow("new york fold quits once a night") << newYork << QList{appsPlan(hm(1, 30), everyDay)} << "2026-11-01T01:30:00-04:00" << "2026-11-02T01:30:00-05:00";
    QTest::newRow("berlin fold quits once a night") << berlin << QList{appsPlan(hm(2, 30), everyDay)} << "2026-10-25T02:30:00+02:00" << "2026-10-26T02:30:00+01:00";
    QTest::newRow("lord howe quit in the half hour gap") << lordHowe << QList{appsPlan(hm(2, 0), {1})} << "2026-10-03T12:00:00+10:30" << "2026-10-04T02:30:00+11:00";
}

void TestQuitPlanEngine::nextFireDate()
{
    QFETCH(QByteArray, zone);
    QFETCH(QList<QuitPlanSnapshot>, plans);
    QFETCH(QString, after);
    QFETCH(QString, expected);
    QCOMPARE(show(QuitPlanEngine::nextFireDate(instant(after), plans, calendar(zone))), show(maybeInstant(expected)));
}

void TestQuitPlanEngine::duePlans_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QList<QuitPlanSnapshot>>("plans");
    QTest::addColumn<QString>("at");
    QTest::addColumn<QList<int>>("due"); // indices into plans

    const auto six = appsPlan(hm(18, 0), {4}, {QStringLiteral("com.example.game")});
    const auto sixToo = groupPlan(hm(18, 0), {4}, QStringLiteral("group-games"));
    const QList<QuitPlanSnapshot> evening{six, appsPlan(hm(17, 0), {4}), sixToo};
    QTest::newRow("all plans of the minute, in input order") << shanghai << evening << "2026-03-04T18:00:00+08:00" << QList<int>{0, 2};
    QTest::newRow("the last second of the minute") << shanghai << evening << "2026-03-04T18:00:59.999+08:00" << QList<int>{0, 2};
    QTest::newRow("the next minute") << shanghai << evening << "2026-03-04T18:01:00+08:00" << QList<int>{};
    QTest::newRow("the minute before") << shanghai << evening << "2026-03-04T17:59:59+08:00" << QList<int>{};
    QTest::newRow("another weekday") << shanghai << evening << "2026-03-05T18:00:00+08:00" << QList<int>{};
    QTest::newRow("paused and switched off are not due") << shanghai << QList{pausedUntil(six, QStringLiteral("2026-03-04T18:00:30+08:00")), switchedOff(six)} << "2026-03-04T18:00:10+08:00" << QList<int>{};
    QTest::newRow("due again at the pause end") << shanghai << QList{pausedUntil(six, QStringLiteral("2026-03-04T18:00:30+08:00"))} << "2026-03-04T18:00:30+08:00" << QList<int>{0};
    QTest::newRow("quit minute out of range") << shanghai << QList{appsPlan(1440 + hm(18, 0), {4})} << "2026-03-04T18:00:00+08:00" << QList<int>{};

    const QList<QuitPlanSnapshot> gapNight{appsPlan(hm(2, 30), {1}), appsPlan(hm(3, 0), {1}), appsPlan(hm(2, 30), {2})};
    QTest::newRow("new york skipped quit is due at the gap end") << newYork << gapNight << "2026-03-08T03:00:00-04:00" << QList<int>{0, 1};
    QTest::newRow("new york skipped quit, late in that minute") << newYork << gapNight << "2026-03-08T03:00:45-04:00" << QList<int>{0, 1};
    QTest::newRow("new york skipped quit, the minute after") << newYork << gapNight << "2026-03-08T03:01:00-04:00" << QList<int>{};
    QTest::newRow("new york a week later, no gap") << newYork << gapNight << "2026-03-15T03:00:00-04:00" << QList<int>{1};
    QTest::newRow("new york repeated minute matches by the wall") << newYork << QList{appsPlan(hm(1, 30), {1})} << "2026-11-01T01:30:00-05:00" << QList<int>{0};
    QTest::newRow("lord howe skipped quit") << lordHowe << QList{appsPlan(hm(2, 10), {1}), appsPlan(hm(2, 10), {7})} << "2026-10-04T02:30:00+11:00" << QList<int>{0};
    QTest::newRow("berlin skipped quit") << berlin << QList{appsPlan(hm(2, 59), {1})} << "2026-03-29T03:00:00+02:00" << QList<int>{0};
}

void TestQuitPlanEngine::duePlans()
{
    QFETCH(QByteArray, zone);
    QFETCH(QList<QuitPlanSnapshot>, plans);
    QFETCH(QString, at);
    QFETCH(QList<int>, due);
    QList<QuitPlanSnapshot> expected;
    for (const int i : due)
        expected.append(plans.at(i));
    QVERIFY(QuitPlanEngine::duePlans(instant(at), plans, calendar(zone)) == expected);
}

// Whatever nextFireDate announces, duePlans finds at that instant, including on the days of clock changes.
void TestQuitPlanEngine::everyFireIsDue_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("from");
    QTest::newRow("new york spring") << newYork << "2026-03-07T00:00:00-05:00";
    QTest::newRow("new york autumn") << newYork << "2026-10-31T00:00:00-04:00";
    QTest::newRow("berlin spring") << berlin << "2026-03-28T00:00:00+01:00";
    QTest::newRow("berlin autumn") << berlin << "2026-10-24T00:00:00+02:00";
    QTest::newRow("lord howe spring") << lordHowe << "2026-10-03T00:00:00+10:30";
    QTest::newRow("lord howe autumn") << lordHowe << "2026-04-04T00:00:00+11:00";
}

void TestQuitPlanEngine::everyFireIsDue()
{
    QFETCH(QByteArray, zone);
    QFETCH(QString, from);
    const auto cal = calendar(zone);
    for (int minute = 0; minute < 1440; minute += 5) {
        const QList<QuitPlanSnapshot> plans{appsPlan(minute, everyDay)};
        Instant t = instant(from);
        for (int fire = 0; fire < 3; ++fire) {
            const auto next = QuitPlanEngine::nextFireDate(t, plans, cal);
            QVERIFY(next);
            QVERIFY2(QuitPlanEngine::duePlans(*next, plans, cal).size() == 1, qPrintable(show(next)));
            // One quit a night, even where the night repeats an hour.
            QVERIFY(fire == 0 || *next - t >= std::chrono::hours{22});
            t = *next;
        }
    }
}

void TestQuitPlanEngine::blockRuleSnapshots_data()
{
    QTest::addColumn<QList<QuitPlanSnapshot>>("plans");
    QTest::addColumn<QString>("at");
    QTest::addColumn<QStringList>("rules");

    const QString now = QStringLiteral("2026-03-04T12:00:00+08:00");
    const auto games = groupPlan(hm(23, 30), {6}, QStringLiteral("group-games"));
    QTest::newRow("one rule per app, in order") << QList{blockingFor(appsPlan(hm(23, 30), {6}, {QStringLiteral("b.app"), QStringLiteral("a.app")}), 60)} << now
                                                << QStringList{"app b.app 1410-30 [6]", "app a.app 1410-30 [6]"};
    QTest::newRow("a group plan gives a group rule") << QList{blockingUntil(games, hm(7, 0))} << now << QStringList{"group group-games 1410-420 [6]"};
    QTest::newRow("a length over a day wraps") << QList{blockingFor(games, 1500)} << now << QStringList{"group group-games 1410-30 [6]"};
    QTest::newRow("a whole day leaves an empty window") << QList{blockingFor(games, 1440)} << now << QStringList{"group group-games 1410-1410 [6]"};
    QTest::newRow("the longest length does not overflow") << QList{blockingFor(groupPlan(1439, {1}, QStringLiteral("g")), INT_MAX)} << now << QStringList{"group g 1439-126 [1]"};
    QTest::newRow("no block, switched off and paused are skipped")
        << QList{games, switchedOff(blockingFor(games, 60)), pausedUntil(blockingFor(games, 60), QStringLiteral("2026-03-04T12:00:01+08:00"))} << now << QStringList{};
    QTest::newRow("back at the pause end") << QList{pausedUntil(blockingFor(games, 60), now)} << now << QStringList{"group group-games 1410-30 [6]"};
    QTest::newRow("an app plan without apps leaves nothing") << QList{blockingFor(appsPlan(hm(23, 30), {6}, {}), 60)} << now << QStringList{};
    QTest::newRow("out-of-range numbers give no window")
        << QList{blockingFor(games, -1), blockingUntil(games, 1440), blockingFor(groupPlan(-30, {6}, QStringLiteral("g")), 60)} << now << QStringList{};
}

void TestQuitPlanEngine::blockRuleSnapshots()
{
    QFETCH(QList<QuitPlanSnapshot>, plans);
    QFETCH(QString, at);
    QFETCH(QStringList, rules);
    QStringList described;
    for (const auto &rule : QuitPlanEngine::blockRuleSnapshots(plans, instant(at)))
        described << describe(rule);
    QCOMPARE(described, rules);
}

void TestQuitPlanEngine::activeBlockWindow_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QuitPlanSnapshot>("plan");
    QTest::addColumn<QString>("at");
    QTest::addColumn<QString>("expected");

    const QString quarterTo = QStringLiteral("2026-03-06T23:45:00+08:00");
    QTest::newRow("after the quit, before midnight") << shanghai << fridayLate() << quarterTo << "2026-03-07T00:30:00+08:00";
    QTest::newRow("past midnight, the quit day's window") << shanghai << fridayLate() << "2026-03-07T00:10:00+08:00" << "2026-03-07T00:30:00+08:00";
    QTest::newRow("at the end") << shanghai << fridayLate() << "2026-03-07T00:30:00+08:00" << "";
    QTest::newRow("before the quit") << shanghai << fridayLate() << "2026-03-06T23:29:59+08:00" << "";
    QTest::newRow("until a morning minute") << shanghai << blockingUntil(appsPlan(hm(23, 30), {6}), hm(7, 0)) << "2026-03-07T03:00:00+08:00" << "2026-03-07T07:00:00+08:00";
    QTest::newRow("a whole day is no block") << shanghai << blockingFor(appsPlan(hm(23, 30), {6}), 1440) << quarterTo << "";
    QTest::newRow("until the quit minute is no block") << shanghai << blockingUntil(appsPlan(hm(23, 30), {6}), hm(23, 30)) << quarterTo << "";
    QTest::newRow("no block mode") << shanghai << appsPlan(hm(23, 30), {6}) << quarterTo << "";
    QTest::newRow("switched off") << shanghai << switchedOff(fridayLate()) << quarterTo << "";
    QTest::newRow("paused") << shanghai << pausedUntil(fridayLate(), QStringLiteral("2026-03-07T00:00:00+08:00")) << quarterTo << "";
    QTest::newRow("negative length") << shanghai << blockingFor(appsPlan(hm(23, 30), {6}), -60) << quarterTo << "";
    QTest::newRow("new york fold, the second pass") << newYork << blockingFor(appsPlan(hm(0, 30), {1}), 120) << "2026-11-01T01:30:00-05:00" << "2026-11-01T02:30:00-05:00";
    QTest::newRow("new york end in the gap") << newYork << blockingFor(appsPlan(hm(1, 30), {1}), 60) << "2026-03-08T01:45:00-05:00" << "2026-03-08T03:00:00-04:00";
}

void TestQuitPlanEngine::activeBlockWindow()
{
    QFETCH(QByteArray, zone);
    QFETCH(QuitPlanSnapshot, plan);
    QFETCH(QString, at);
    QFETCH(QString, expected);
    QCOMPARE(show(QuitPlanEngine::activeBlockWindow(plan, instant(at), calendar(zone))), show(maybeInstant(expected)));
}

QTEST_GUILESS_MAIN(TestQuitPlanEngine)
#include "tst_quitplanengine.moc"
