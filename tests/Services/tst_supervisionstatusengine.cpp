#include "scheduletesting.h"
#include "supervisionstatusengine.h"

#include <QTest>

using namespace ScheduleTesting;

// Asia/Shanghai; the rows ask on Wednesday 2026-03-04.
namespace {
const QString noon = QStringLiteral("2026-03-04T12:00:00+08:00");

QString describe(const SupervisionStatus &status)
{
    QString text = QString::number(status.activeCount);
    if (status.nextEvent) {
        text += status.nextEvent->kind == SupervisionStatus::NextEventKind::quit ? u", quit " : u", restriction ";
        text += show(status.nextEvent->date);
    }
    return text;
}

QString expect(int count, const QString &kind = {}, const QString &date = {})
{
    SupervisionStatus status;
    status.activeCount = count;
    if (!kind.isEmpty()) {
        status.nextEvent = SupervisionStatus::NextEvent{
            kind == u"quit" ? SupervisionStatus::NextEventKind::quit : SupervisionStatus::NextEventKind::restriction,
            instant(date)};
    }
    return describe(status);
}

RestrictionRuleSnapshot mornings() { return weeklyRule(hm(9, 0), hm(11, 0), everyDay); }
} // namespace

class TestSupervisionStatusEngine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void status_data();
    void status();
};

void TestSupervisionStatusEngine::status_data()
{
    QTest::addColumn<QList<RestrictionRuleSnapshot>>("rules");
    QTest::addColumn<QList<QuitPlanSnapshot>>("plans");
    QTest::addColumn<QString>("at");
    QTest::addColumn<QString>("expected");

    using Rules = QList<RestrictionRuleSnapshot>;
    using Plans = QList<QuitPlanSnapshot>;
    const QString tomorrowNoon = QStringLiteral("2026-03-05T12:00:00+08:00");
    const auto evenings = weeklyRule(hm(18, 0), hm(19, 0), everyDay);

    QTest::newRow("nothing at all") << Rules{} << Plans{} << noon << expect(0);
    QTest::newRow("switched off rule, plan paused until tomorrow")
        << Rules{switchedOff(mornings())} << Plans{pausedUntil(appsPlan(hm(18, 0), everyDay), tomorrowNoon)} << noon
        << expect(0, "quit", "2026-03-05T18:00:00+08:00");
    QTest::newRow("paused plan without weekdays gives no event")
        << Rules{switchedOff(mornings())} << Plans{pausedUntil(appsPlan(hm(18, 0), {}), tomorrowNoon)} << noon << expect(0);
    QTest::newRow("one-off that ended an hour ago")
        << Rules{onceRule(noon, hm(9, 0), hm(11, 0))} << Plans{} << noon << expect(0);
    QTest::newRow("one-off tomorrow counts now and comes next")
        << Rules{onceRule(tomorrowNoon, hm(9, 0), hm(11, 0))} << Plans{} << noon << expect(1, "restriction", "2026-03-05T09:00:00+08:00");
    QTest::newRow("one-off in progress counts, no next event")
        << Rules{onceRule(noon, hm(11, 0), hm(13, 0))} << Plans{} << noon << expect(1);
    QTest::newRow("weekly rules without weekdays or length count, no event")
        << Rules{weeklyRule(hm(9, 0), hm(11, 0), {}), weeklyRule(600, 600, everyDay)} << Plans{} << noon << expect(2);
    QTest::newRow("a window in progress comes next at its next start")
        << Rules{mornings()} << Plans{} << "2026-03-04T10:00:00+08:00" << expect(1, "restriction", "2026-03-05T09:00:00+08:00");
    QTest::newRow("equal instants: the restriction wins")
        << Rules{evenings} << Plans{appsPlan(hm(18, 0), everyDay)} << noon << expect(2, "restriction", "2026-03-04T18:00:00+08:00");
    QTest::newRow("a quit one minute earlier comes first")
        << Rules{evenings} << Plans{appsPlan(hm(17, 59), everyDay)} << noon << expect(2, "quit", "2026-03-04T17:59:00+08:00");
    QTest::newRow("a plan's block window is no restriction event")
        << Rules{} << Plans{blockingFor(appsPlan(hm(17, 0), everyDay), 120)} << "2026-03-04T17:30:00+08:00"
        << expect(1, "quit", "2026-03-05T17:00:00+08:00");
    QTest::newRow("paused rule not counted, starts after its pause")
        << Rules{pausedUntil(mornings(), QStringLiteral("2026-03-06T00:00:00+08:00"))} << Plans{} << noon
        << expect(0, "restriction", "2026-03-06T09:00:00+08:00");
    QTest::newRow("a pause ending now counts")
        << Rules{pausedUntil(mornings(), noon)} << Plans{pausedUntil(appsPlan(hm(18, 0), everyDay), noon)} << noon
        << expect(2, "quit", "2026-03-04T18:00:00+08:00");
    QTest::newRow("group and app rules both count and start")
        << Rules{groupRule(evenings, QStringLiteral("group-games")), mornings()} << Plans{switchedOff(appsPlan(hm(13, 0), everyDay))} << noon
        << expect(2, "restriction", "2026-03-04T18:00:00+08:00");
}

void TestSupervisionStatusEngine::status()
{
    QFETCH(QList<RestrictionRuleSnapshot>, rules);
    QFETCH(QList<QuitPlanSnapshot>, plans);
    QFETCH(QString, at);
    QFETCH(QString, expected);
    QCOMPARE(describe(SupervisionStatusEngine::status(instant(at), rules, plans, calendar("Asia/Shanghai"))), expected);
}

QTEST_GUILESS_MAIN(TestSupervisionStatusEngine)
#include "tst_supervisionstatusengine.moc"
