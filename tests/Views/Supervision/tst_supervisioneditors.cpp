#include "../App/appstatefixture.h"
#include "../support/applists.h"
#include "../support/recordingrearm.h"
#include "appgroup.h"
#include "daychooser.h"
#include "focussessionmanager.h"
#include "supervisionpanelmodel.h"
#include "timeofdayentry.h"
#include "editorfieldrules.h"
#include "planpause.h"
#include "quitplan.h"
#include "quitplaneditormodel.h"
#include "quittabmodel.h"
#include "restrictionrule.h"
#include "ruleeditormodel.h"
#include "schedulecalendar.h"
#include "storecontext.h"

#include <QSignalSpy>
#include <QTest>

// Runs with TZ=America/New_York: 2026-03-08 skips 02:00–03:00 there.
namespace {

using namespace std::chrono;

const QList<int> kAllDays{1, 2, 3, 4, 5, 6, 7};

Instant utc(int y, int mo, int d, int h, int mi)
{
    return Instant{sys_days{year{y} / mo / d} + hours{h} + minutes{mi}};
}

Instant local(const char *zone, int y, int mo, int d, int h, int mi)
{
    return *ScheduleCalendar(QTimeZone(zone)).timeOn(sys_days{year{y} / mo / d}, h, mi);
}

// The hooks of a test: each call appended by name.
struct Recorder
{
    QStringList calls;
    SupervisionWriteHooks hooks()
    {
        return {[this] { calls.append(u"guards"_qs); }, [this] { calls.append(u"reschedule"_qs); }};
    }
    QStringList take() { return std::exchange(calls, {}); }
};

QuitPlanSnapshot plan(int quit, QuitPlanBlockMode mode, int blockMinutes, int until, std::set<int> days = {1, 2, 3, 4, 5, 6, 7})
{
    QuitPlanSnapshot p;
    p.targetKind = QuitPlanTarget::apps;
    p.bundleIDs = {u"org.example.a"_qs};
    p.quitMinute = quit;
    p.weekdays = std::move(days);
    p.blockMode = mode;
    p.blockMinutes = blockMinutes;
    p.blockUntilMinute = until;
    return p;
}

} // namespace

class TestSupervisionEditors : public QObject
{
    Q_OBJECT

    AppStateFixture *m_f = nullptr;
    Recorder m_rec;

    AppState &start(Instant now = VirtualClock::defaultStart())
    {
        delete m_f;
        m_f = new AppStateFixture;
        m_f->clock.setWallTime(now);
        AppState &state = m_f->start();
        m_f->finishScan({AppLists::app(u"org.example.alpha"_qs, u"Alpha"_qs)});
        m_rec.take();
        return state;
    }
    StoreContext &context() { return m_f->state->container().mainContext(); }
    RestrictionRule *insertRule(RestrictionTarget kind, const QString &target, int start, int end, QList<int> days,
                                bool enabled = true, std::optional<Instant> once = std::nullopt)
    {
        auto *rule = context().insert(std::make_unique<RestrictionRule>(kind, target, start, end, days, enabled, once));
        std::ignore = context().save();
        return rule;
    }
    QuitPlan *insertPlan(QuitPlanTarget kind, const QString &group, const QStringList &apps, QList<int> days,
                         QuitPlanBlockMode mode = QuitPlanBlockMode::none, int blockMinutes = 60, int until = 420)
    {
        auto *p = context().insert(
            std::make_unique<QuitPlan>(kind, group, apps, 1380, days, mode, blockMinutes, until, true));
        std::ignore = context().save();
        return p;
    }

private Q_SLOTS:
    void cleanup()
    {
        delete m_f;
        m_f = nullptr;
    }

    // --- The time-of-day field.
    void timeSteps_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("part");
        QTest::addColumn<int>("delta");
        QTest::addColumn<QString>("expected");
        QTest::newRow("hour up") << 9 * 60 + 5 << int(EditorFieldRules::hours) << 1 << u"10:05"_qs;
        QTest::newRow("hour 23 wraps to 0, minutes stay") << 23 * 60 + 59 << int(EditorFieldRules::hours) << 1
                                                          << u"00:59"_qs;
        QTest::newRow("hour 0 down wraps to 23") << 30 << int(EditorFieldRules::hours) << -1 << u"23:30"_qs;
        QTest::newRow("minute 59 wraps to 0, hour stays") << 23 * 60 + 59 << int(EditorFieldRules::minutes) << 1
                                                          << u"23:00"_qs;
        QTest::newRow("minute 0 down wraps to 59") << 7 * 60 << int(EditorFieldRules::minutes) << -1 << u"07:59"_qs;
        QTest::newRow("many wheel notches") << 0 << int(EditorFieldRules::minutes) << 125 << u"00:05"_qs;
    }
    void timeSteps()
    {
        QFETCH(int, value);
        QFETCH(int, part);
        QFETCH(int, delta);
        QFETCH(QString, expected);
        QCOMPARE(EditorFieldRules::formatTime(EditorFieldRules::step(value, part, delta)), expected);
    }

    void timeTyped_data()
    {
        QTest::addColumn<int>("part");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("expected"); // empty: refused
        QTest::newRow("hour") << int(EditorFieldRules::hours) << u"7"_qs << u"07:45"_qs;
        QTest::newRow("hour 23") << int(EditorFieldRules::hours) << u"23"_qs << u"23:45"_qs;
        QTest::newRow("hour 24 refused") << int(EditorFieldRules::hours) << u"24"_qs << QString();
        QTest::newRow("minute 00") << int(EditorFieldRules::minutes) << u"00"_qs << u"22:00"_qs;
        QTest::newRow("minute 60 refused") << int(EditorFieldRules::minutes) << u"60"_qs << QString();
        QTest::newRow("three digits refused") << int(EditorFieldRules::minutes) << u"005"_qs << QString();
        QTest::newRow("sign refused") << int(EditorFieldRules::hours) << u"-1"_qs << QString();
        QTest::newRow("empty refused") << int(EditorFieldRules::hours) << QString() << QString();
    }
    void timeTyped()
    {
        QFETCH(int, part);
        QFETCH(QString, digits);
        QFETCH(QString, expected);
        const auto got = EditorFieldRules::typed(22 * 60 + 45, part, digits);
        QCOMPARE(got ? EditorFieldRules::formatTime(*got) : QString(), expected);
        QCOMPARE(EditorFieldRules::typedOrSame(22 * 60 + 45, part, digits), got.value_or(22 * 60 + 45));
    }

    void dayField()
    {
        QCOMPARE(EditorFieldRules::formatDay(QDate(2026, 3, 2)), u"2026年3月2日"_qs);
        const QDate today(2026, 3, 3);
        QCOMPARE(EditorFieldRules::minimumDay(today, std::nullopt), today);
        QCOMPARE(EditorFieldRules::minimumDay(today, QDate(2026, 3, 2)), QDate(2026, 3, 2));
        QCOMPARE(EditorFieldRules::minimumDay(today, QDate(2026, 3, 9)), today);
        QVERIFY(!EditorFieldRules::isSelectable(QDate(2026, 3, 1), QDate(2026, 3, 2)));
        QVERIFY(EditorFieldRules::isSelectable(QDate(2026, 3, 2), QDate(2026, 3, 2)));
    }

    // --- The pause-once end of a plan.
    void pauseEnd_data()
    {
        QTest::addColumn<QuitPlanSnapshot>("plan");
        QTest::addColumn<std::optional<Instant>>("expected");
        // Now is 2026-03-02 20:00 in Shanghai, a Monday.
        const auto sh = [](int d, int h, int m) { return std::optional(local("Asia/Shanghai", 2026, 3, d, h, m)); };
        using M = QuitPlanBlockMode;
        QTest::newRow("45 minutes after a 22:00 quit") << plan(1320, M::minutes, 45, 0) << sh(2, 22, 45);
        QTest::newRow("until 07:00 after a 23:00 quit ends the next morning") << plan(1380, M::until, 0, 420)
                                                                             << sh(3, 7, 0);
        QTest::newRow("until equal to the quit: one minute, not a day") << plan(1380, M::until, 0, 1380)
                                                                       << sh(2, 23, 1);
        QTest::newRow("a whole day of minutes is an empty window") << plan(1380, M::minutes, 1440, 0)
                                                                   << sh(2, 23, 1);
        QTest::newRow("no block: one minute past the quit") << plan(1320, M::none, 60, 420) << sh(2, 22, 1);
        QTest::newRow("imported 1500 minutes: the engine's 60") << plan(1380, M::minutes, 1500, 0) << sh(3, 0, 0);
        QTest::newRow("negative length leaves no block") << plan(1380, M::minutes, -5, 0) << sh(2, 23, 1);
        QTest::newRow("no weekdays: nothing to pause") << plan(1380, M::minutes, 45, 0, {}) << std::optional<Instant>();
        QuitPlanSnapshot paused = plan(1320, M::minutes, 45, 0);
        paused.pausedUntil = local("Asia/Shanghai", 2026, 3, 5, 0, 0);
        QTest::newRow("a current pause is ignored") << paused << sh(2, 22, 45);
        QTest::newRow("next quit on a later weekday") << plan(480, M::minutes, 30, 0, {4}) << sh(4, 8, 30);
    }
    void pauseEnd()
    {
        QFETCH(QuitPlanSnapshot, plan);
        QFETCH(std::optional<Instant>, expected);
        const Instant now = local("Asia/Shanghai", 2026, 3, 2, 20, 0);
        QCOMPARE(PlanPause::pauseEnd(plan, now, ScheduleCalendar(QTimeZone("Asia/Shanghai"))), expected);
    }

    // --- The rule editor.
    void newRuleOpensEmpty()
    {
        AppState &state = start();
        RuleEditorModel editor(state, m_rec.hooks());
        editor.open(insertRule(RestrictionTarget::app, {}, 1380, 420, kAllDays), true);
        QCOMPARE(editor.kind(), RestrictionTarget::app);
        QCOMPARE(editor.targetID(), QString());
        QVERIFY(!editor.hasSelectedApp());
        QCOMPARE(editor.startMinute(), 1380);
        QCOMPARE(editor.endMinute(), 420);
        QVERIFY(editor.endsNextDay());
        QVERIFY(!editor.isOnce());
        QCOMPARE(editor.weekdays(), kAllDays);
        QVERIFY(!editor.isValid());
        editor.setTargetID(u"org.example.alpha"_qs);
        QVERIFY(editor.isValid());
        QCOMPARE(editor.selectedAppName(), u"Alpha"_qs);
        state.setAlias(u"阿尔法"_qs, *editor.selectedApp());
        QCOMPARE(editor.selectedAppName(), u"阿尔法"_qs);
    }

    void kindSwitchClearsTargetButLoadDoesNot()
    {
        AppState &state = start();
        RuleEditorModel editor(state, m_rec.hooks());
        editor.open(insertRule(RestrictionTarget::group, u"G1"_qs, 540, 1020, {2}), false);
        QCOMPARE(editor.kind(), RestrictionTarget::group);
        QCOMPARE(editor.targetID(), u"G1"_qs);
        editor.chooseKind(rawValue(RestrictionTarget::group)); // the same segment again: no change
        QCOMPARE(editor.targetID(), u"G1"_qs);
        editor.chooseKind(rawValue(RestrictionTarget::app));
        QCOMPARE(editor.targetID(), QString());
        editor.chooseKind(rawValue(RestrictionTarget::group));
        QCOMPARE(editor.targetID(), QString());
        QVERIFY(!editor.isValid());
    }

    void nextDayAndValidity_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<bool>("once");
        QTest::addColumn<QList<int>>("days");
        QTest::addColumn<bool>("nextDay");
        QTest::addColumn<bool>("valid");
        QTest::newRow("09:00–17:00 weekly") << 540 << 1020 << false << QList<int>{2} << false << true;
        QTest::newRow("23:00–07:00") << 1380 << 420 << false << QList<int>{2} << true << true;
        QTest::newRow("equal times show 次日") << 600 << 600 << false << QList<int>{2} << true << true;
        QTest::newRow("weekly without days") << 540 << 1020 << false << QList<int>{} << false << false;
        QTest::newRow("one-off without days") << 540 << 1020 << true << QList<int>{} << false << true;
    }
    void nextDayAndValidity()
    {
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(bool, once);
        QFETCH(QList<int>, days);
        QFETCH(bool, nextDay);
        QFETCH(bool, valid);
        AppState &state = this->start();
        RuleEditorModel editor(state, m_rec.hooks());
        editor.open(insertRule(RestrictionTarget::app, u"org.example.alpha"_qs, 0, 60, kAllDays), false);
        editor.setStartMinute(start);
        editor.setEndMinute(end);
        editor.setIsOnce(once);
        editor.setWeekdays(days);
        QCOMPARE(editor.endsNextDay(), nextDay);
        QCOMPARE(editor.isValid(), valid);
    }

    void saveWritesBackKeepsSwitchAndPause()
    {
        AppState &state = start();
        RuleEditorModel editor(state, m_rec.hooks());
        RestrictionRule *rule = insertRule(RestrictionTarget::app, u"org.example.alpha"_qs, 0, 60, {2}, false);
        const Instant pause = m_f->clock.now() + 3h;
        rule->setPausedUntil(pause);
        std::ignore = context().save();
        editor.open(rule, false);
        editor.chooseKind(rawValue(RestrictionTarget::group));
        editor.setTargetID(u"G2"_qs);
        editor.setStartMinute(1320);
        editor.setEndMinute(360);
        editor.setWeekdays({7, 1, 3, 1});
        editor.save();
        QVERIFY(!editor.isOpen());
        QCOMPARE(rule->targetKindRaw(), 1);
        QCOMPARE(rule->targetID(), u"G2"_qs);
        QCOMPARE(rule->startMinute(), 1320);
        QCOMPARE(rule->endMinute(), 360);
        QCOMPARE(rule->weekdays(), (QList<int>{1, 3, 7}));
        QCOMPARE(rule->onceDate(), std::nullopt);
        QCOMPARE(rule->isEnabled(), false);
        QCOMPARE(rule->pausedUntil(), std::optional(pause));
        QVERIFY(!context().hasChanges());
        QCOMPARE(m_rec.take(), QStringList{u"guards"_qs});
    }

    void saveRefusedWhileInvalid()
    {
        AppState &state = start();
        RuleEditorModel editor(state, m_rec.hooks());
        RestrictionRule *rule = insertRule(RestrictionTarget::app, {}, 1380, 420, kAllDays);
        editor.open(rule, true);
        editor.save();
        QVERIFY(editor.isOpen());
        QCOMPARE(m_rec.take(), QStringList());
    }

    void cancel()
    {
        AppState &state = start();
        RuleEditorModel editor(state, m_rec.hooks());
        editor.open(insertRule(RestrictionTarget::app, {}, 1380, 420, kAllDays), true);
        editor.setTargetID(u"org.example.alpha"_qs);
        editor.cancel();
        QVERIFY(!editor.isOpen());
        QCOMPARE(context().count<RestrictionRule>(), 0);
        QVERIFY(!context().hasChanges());
        QCOMPARE(m_rec.take(), QStringList{u"guards"_qs});

        RestrictionRule *old = insertRule(RestrictionTarget::app, u"org.example.alpha"_qs, 540, 1020, {2});
        editor.open(old, false);
        editor.setStartMinute(0);
        editor.setTargetID(u"x"_qs);
        editor.cancel();
        QCOMPARE(context().count<RestrictionRule>(), 1);
        QCOMPARE(old->startMinute(), 540);
        QCOMPARE(old->targetID(), u"org.example.alpha"_qs);
        QVERIFY(!context().hasChanges());
        QCOMPARE(m_rec.take(), QStringList());
    }

    void danglingTargetsStaySaveable()
    {
        AppState &state = start();
        context().insert(std::make_unique<AppGroup>(u"工作"_qs, 1, QStringList()));
        context().insert(std::make_unique<AppGroup>(u"娱乐"_qs, 0, QStringList()));
        std::ignore = context().save();
        RuleEditorModel editor(state, m_rec.hooks());
        RestrictionRule *rule = insertRule(RestrictionTarget::group, u"deleted-group"_qs, 540, 1020, {2});
        editor.open(rule, false);
        const QVariantList choices = editor.groupChoices();
        QCOMPARE(choices.size(), 3);
        QCOMPARE(choices[0].toMap()[u"text"_qs].toString(), u"请选择分组"_qs);
        QCOMPARE(choices[0].toMap()[u"value"_qs].toString(), QString());
        QCOMPARE(choices[1].toMap()[u"text"_qs].toString(), u"娱乐"_qs);
        QCOMPARE(choices[2].toMap()[u"text"_qs].toString(), u"工作"_qs);
        QVERIFY(editor.isValid());
        editor.save();
        QCOMPARE(rule->targetID(), u"deleted-group"_qs);

        RestrictionRule *appRule = insertRule(RestrictionTarget::app, u"org.example.gone"_qs, 540, 1020, {2});
        editor.open(appRule, false);
        QVERIFY(!editor.hasSelectedApp());
        QVERIFY(editor.isValid());
        editor.save();
        QCOMPARE(appRule->targetID(), u"org.example.gone"_qs);
    }

    void timeInTodaysGapSavesUnmoved()
    {
        // 2026-03-08 in New York skips 02:00–03:00; the editor is opened that morning.
        AppState &state = start(utc(2026, 3, 8, 14, 0));
        RuleEditorModel editor(state, m_rec.hooks());
        RestrictionRule *rule = insertRule(RestrictionTarget::app, u"org.example.alpha"_qs, 150, 180, {1});
        editor.open(rule, false);
        QCOMPARE(editor.startMinute(), 150);
        editor.setWeekdays({1, 2});
        editor.save();
        QCOMPARE(rule->startMinute(), 150);
        QCOMPARE(rule->endMinute(), 180);
    }

    void lastNightsOneOffRuleStays()
    {
        // 01:00 on 3 March in New York; the rule runs from 2 March 23:00 to 07:00.
        const Instant stored = local("America/New_York", 2026, 3, 2, 22, 17);
        AppState &state = start(local("America/New_York", 2026, 3, 3, 1, 0));
        RuleEditorModel editor(state, m_rec.hooks());
        RestrictionRule *rule = insertRule(RestrictionTarget::app, u"org.example.alpha"_qs, 1380, 420, {}, true, stored);
        editor.open(rule, false);
        QVERIFY(editor.isOnce());
        QCOMPARE(editor.onceDay(), QDate(2026, 3, 2));
        QCOMPARE(editor.minimumDay(), QDate(2026, 3, 2));
        editor.setOnceDay(QDate(2026, 3, 1)); // before the minimum: refused
        QCOMPARE(editor.onceDay(), QDate(2026, 3, 2));
        editor.save();
        QCOMPARE(rule->onceDate(), std::optional(stored));

        // A day that changed is saved inside that day; the minimum of a rule without a day is today.
        editor.open(rule, false);
        editor.setOnceDay(QDate(2026, 3, 4));
        editor.save();
        QCOMPARE(rule->onceDate(), std::optional(local("America/New_York", 2026, 3, 4, 12, 0)));
        RestrictionRule *weekly = insertRule(RestrictionTarget::app, u"org.example.alpha"_qs, 0, 60, {2});
        editor.open(weekly, false);
        QCOMPARE(editor.onceDay(), QDate(2026, 3, 3));
        QCOMPARE(editor.minimumDay(), QDate(2026, 3, 3));
        editor.setIsOnce(true);
        editor.save();
        QCOMPARE(weekly->onceDate(), std::optional(local("America/New_York", 2026, 3, 3, 12, 0)));
        QCOMPARE(weekly->weekdays(), QList<int>{2}); // written for a one-off rule too
    }

    // --- The plan editor.
    void newPlanOpensEmpty()
    {
        AppState &state = start();
        QuitTabModel tab(state, m_rec.hooks());
        QuitPlanEditorModel editor(state, m_rec.hooks());
        QuitPlan *plan = tab.addPlan();
        QCOMPARE(m_rec.take(), QStringList());
        QVERIFY(!context().hasChanges());
        editor.open(plan, true);
        QCOMPARE(editor.targetKind(), QuitPlanTarget::apps);
        QCOMPARE(editor.selectedBundleIDs(), QStringList());
        QCOMPARE(editor.quitMinute(), 1380);
        QVERIFY(editor.repeatDaily());
        QVERIFY(!editor.blockOn());
        QVERIFY(!editor.isValid());
        editor.setSelectedBundleIDs({u"org.example.alpha"_qs});
        QVERIFY(editor.isValid());
        editor.setRepeatDaily(false); // "自定义" from a daily plan starts with no day
        QCOMPARE(editor.weekdays(), QList<int>());
        QVERIFY(!editor.isValid());
    }

    void planDaysLoad_data()
    {
        QTest::addColumn<QList<int>>("stored");
        QTest::addColumn<bool>("daily");
        QTest::addColumn<QList<int>>("shown");
        QTest::newRow("all seven in any order") << QList<int>{3, 1, 2, 7, 5, 4, 6} << true << QList<int>{};
        QTest::newRow("six days") << QList<int>{7, 2, 3, 4, 5, 6} << false << QList<int>{2, 3, 4, 5, 6, 7};
        QTest::newRow("seven with a repeat is six") << QList<int>{1, 2, 3, 4, 5, 6, 6} << false
                                                    << QList<int>{1, 2, 3, 4, 5, 6};
    }
    void planDaysLoad()
    {
        QFETCH(QList<int>, stored);
        QFETCH(bool, daily);
        QFETCH(QList<int>, shown);
        AppState &state = start();
        QuitPlanEditorModel editor(state, m_rec.hooks());
        editor.open(insertPlan(QuitPlanTarget::apps, {}, {u"a"_qs}, stored), false);
        QCOMPARE(editor.repeatDaily(), daily);
        QCOMPARE(editor.weekdays(), shown);
    }

    void planSaveWritesOnlyTheShownTarget()
    {
        AppState &state = start();
        QuitPlanEditorModel editor(state, m_rec.hooks());
        QuitPlan *p = insertPlan(QuitPlanTarget::apps, u"G-old"_qs, {u"b"_qs, u"a"_qs}, kAllDays);
        editor.open(p, false);
        QCOMPARE(editor.selectedBundleIDs(), (QStringList{u"a"_qs, u"b"_qs}));
        editor.setTargetKindRaw(rawValue(QuitPlanTarget::group));
        QCOMPARE(editor.groupID(), u"G-old"_qs); // both kinds are loaded
        QVERIFY(editor.isValid());
        editor.setGroupID(u"G1"_qs);
        editor.save();
        QCOMPARE(p->targetKind(), QuitPlanTarget::group);
        QCOMPARE(p->groupID(), u"G1"_qs);
        QCOMPARE(p->bundleIDs(), QStringList());
        QCOMPARE(m_rec.take(), QStringList{u"reschedule"_qs});

        editor.open(p, false);
        editor.setTargetKindRaw(rawValue(QuitPlanTarget::apps));
        QVERIFY(!editor.isValid());
        editor.setSelectedBundleIDs({u"z"_qs, u"c"_qs, u"z"_qs});
        editor.setRepeatDaily(false);
        editor.setWeekdays({6, 2});
        editor.save();
        QCOMPARE(p->groupID(), QString());
        QCOMPARE(p->bundleIDs(), (QStringList{u"c"_qs, u"z"_qs}));
        QCOMPARE(p->weekdays(), (QList<int>{2, 6}));
        QVERIFY(!context().hasChanges());
        QCOMPARE(m_rec.take(), QStringList{u"reschedule"_qs});
    }

    void planBlockSave_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<bool>("byMinutes");
        QTest::addColumn<int>("typed");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("minutes");
        QTest::newRow("off keeps the fields") << false << true << 45 << 0 << 45;
        QTest::newRow("by minutes") << true << true << 45 << 1 << 45;
        QTest::newRow("until") << true << false << 45 << 2 << 45;
        QTest::newRow("typed 0 saves 1") << true << true << 0 << 1 << 1;
        QTest::newRow("typed -5 saves 1") << true << true << -5 << 1 << 1;
        QTest::newRow("typed 5000 saves 1439") << true << true << 5000 << 1 << 1439;
    }
    void planBlockSave()
    {
        QFETCH(bool, on);
        QFETCH(bool, byMinutes);
        QFETCH(int, typed);
        QFETCH(int, mode);
        QFETCH(int, minutes);
        AppState &state = start();
        QuitPlanEditorModel editor(state, m_rec.hooks());
        QuitPlan *p = insertPlan(QuitPlanTarget::apps, {}, {u"a"_qs}, kAllDays, QuitPlanBlockMode::until, 60, 420);
        editor.open(p, false);
        QCOMPARE(editor.blockOn(), true);
        QCOMPARE(editor.blockByMinutes(), false);
        editor.setBlockOn(on);
        editor.setBlockByMinutes(byMinutes);
        editor.setBlockMinutes(typed);
        editor.setBlockUntilMinute(480);
        editor.save();
        QCOMPARE(p->blockModeRaw(), mode);
        QCOMPARE(p->blockMinutes(), minutes);
        QCOMPARE(p->blockUntilMinute(), 480);
    }

    void planUntilNextDay_data()
    {
        QTest::addColumn<int>("quit");
        QTest::addColumn<int>("until");
        QTest::addColumn<bool>("nextDay");
        QTest::newRow("23:00 until 07:00") << 1380 << 420 << true;
        QTest::newRow("08:00 until 09:00") << 480 << 540 << false;
        QTest::newRow("equal") << 480 << 480 << true;
    }
    void planUntilNextDay()
    {
        QFETCH(int, quit);
        QFETCH(int, until);
        QFETCH(bool, nextDay);
        AppState &state = start();
        QuitPlanEditorModel editor(state, m_rec.hooks());
        editor.open(insertPlan(QuitPlanTarget::apps, {}, {u"a"_qs}, kAllDays), false);
        editor.setQuitMinute(quit);
        editor.setBlockUntilMinute(until);
        QCOMPARE(editor.untilNextDay(), nextDay);
    }

    void planSaveKeepsPauseAndCancel()
    {
        AppState &state = start();
        QuitPlanEditorModel editor(state, m_rec.hooks());
        QuitPlan *p = insertPlan(QuitPlanTarget::apps, {}, {u"a"_qs}, kAllDays);
        const Instant pause = m_f->clock.now() + 2h;
        p->setPausedUntil(pause);
        p->setIsEnabled(false);
        std::ignore = context().save();
        editor.open(p, false);
        editor.setQuitMinute(60);
        editor.save();
        QCOMPARE(p->quitMinute(), 60);
        QCOMPARE(p->pausedUntil(), std::optional(pause));
        QCOMPARE(p->isEnabled(), false);
        m_rec.take();

        editor.open(p, false);
        editor.setQuitMinute(120);
        editor.cancel();
        QCOMPARE(p->quitMinute(), 60);
        QCOMPARE(context().count<QuitPlan>(), 1);

        QuitTabModel tab(state, m_rec.hooks());
        editor.open(tab.addPlan(), true);
        QCOMPARE(context().count<QuitPlan>(), 2);
        editor.cancel();
        QCOMPARE(context().count<QuitPlan>(), 1);
        QVERIFY(!context().hasChanges());
        QCOMPARE(m_rec.take(), QStringList());
    }

    // --- The timed-quit tab.
    void planRowTexts()
    {
        AppState &state = start();
        QuitTabModel tab(state, m_rec.hooks());
        QuitPlan *p = tab.addPlan();
        QCOMPARE(QuitTabModel::scheduleLine(*p), u"每天 23:00 退出"_qs);
        p->setWeekdays({6, 2, 3, 4, 5});
        p->setQuitMinute(510);
        QCOMPARE(QuitTabModel::scheduleLine(*p), u"周一～周五 08:30 退出"_qs);
        const Instant now = m_f->clock.now();
        QVERIFY(QuitTabModel::switchIsOn(*p, now));
        p->setPausedUntil(now + 1s);
        QVERIFY(!QuitTabModel::switchIsOn(*p, now));
        QVERIFY(QuitTabModel::switchIsOn(*p, now + 1s));
        p->setIsEnabled(false);
        QVERIFY(!QuitTabModel::switchIsOn(*p, now + 1s));
    }

    void planSwitchesAndDelete()
    {
        AppState &state = start();
        QuitTabModel tab(state, m_rec.hooks());
        QuitPlan *p = insertPlan(QuitPlanTarget::apps, {}, {u"a"_qs}, kAllDays, QuitPlanBlockMode::minutes, 45);
        p->setPausedUntil(m_f->clock.now() + 1h);
        std::ignore = context().save();

        // Turning off changes nothing yet; 20:00 New York's next 23:00 quit ends its pause at 23:45.
        const auto before = PlanPause::snapshot(*p);
        const auto end = tab.beginTurnOff(*p);
        QCOMPARE(end, std::optional(m_f->clock.now() - 7h + 23h + 45min)); // 12:00 UTC is 07:00 in New York
        QCOMPARE(PlanPause::snapshot(*p), before);
        QCOMPARE(m_rec.take(), QStringList{u"reschedule"_qs});

        tab.enablePlan(*p);
        QCOMPARE(p->pausedUntil(), std::nullopt);
        QVERIFY(p->isEnabled());
        QVERIFY(!context().hasChanges());
        QCOMPARE(m_rec.take(), QStringList{u"reschedule"_qs});

        tab.deletePlan(*p);
        QCOMPARE(context().count<QuitPlan>(), 0);
        QVERIFY(!context().hasChanges());
        QCOMPARE(m_rec.take(), QStringList{u"reschedule"_qs});
    }

    void sessionRowTexts_data()
    {
        QTest::addColumn<Duration>("left");
        QTest::addColumn<std::optional<QString>>("note");
        QTest::addColumn<std::optional<int>>("block");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("subtitle");
        QTest::newRow("24:37 with a block") << Duration(24min + 37s) << std::optional<QString>() << std::optional(30)
                                            << u"Alpha"_qs << u"剩余 24:37 · 到点自动退出，后续禁启 30 分钟"_qs;
        QTest::newRow("deadline passed") << Duration(-90s) << std::optional(u"写周报"_qs) << std::optional<int>()
                                         << u"写周报"_qs << u"剩余 00:00 · 到点自动退出"_qs;
        QTest::newRow("75 minutes") << Duration(75min) << std::optional<QString>() << std::optional<int>()
                                    << u"Alpha"_qs << u"剩余 75:00 · 到点自动退出"_qs;
    }
    void sessionRowTexts()
    {
        QFETCH(Duration, left);
        QFETCH(std::optional<QString>, note);
        QFETCH(std::optional<int>, block);
        QFETCH(QString, title);
        QFETCH(QString, subtitle);
        const Instant at = VirtualClock::defaultStart();
        FocusSession s;
        s.bundleID = u"org.example.alpha"_qs;
        s.appName = u"Alpha"_qs;
        s.taskNote = note;
        s.deadline = at + left;
        s.blockMinutes = block;
        const auto rows = QuitTabModel::sessionRows({s}, at);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].id, s.id);
        QCOMPARE(rows[0].title, title);
        QCOMPARE(rows[0].badge, u"运行中"_qs);
        QCOMPARE(rows[0].subtitle, subtitle);
    }

    void sessionRowsFollowManagerAndTick()
    {
        AppState &state = start();
        QuitTabModel tab(state, m_rec.hooks());
        QVERIFY(tab.sessionRows().isEmpty());
        FocusSession s;
        s.bundleID = u"org.example.alpha"_qs;
        s.appName = u"Alpha"_qs;
        s.deadline = m_f->clock.now() + 10min;
        state.sessionManager().begin(s);
        QTRY_COMPARE(tab.sessionRows().size(), 1);
        QCOMPARE(tab.sessionRows()[0].subtitle, u"剩余 10:00 · 到点自动退出"_qs);
        m_f->clock.advanceBy(29s);
        QCOMPARE(tab.sessionRows()[0].subtitle, u"剩余 10:00 · 到点自动退出"_qs);
        m_f->clock.advanceBy(1s);
        QCOMPARE(tab.sessionRows()[0].subtitle, u"剩余 09:30 · 到点自动退出"_qs);
        state.sessionManager().end(s.id);
        QTRY_VERIFY(tab.sessionRows().isEmpty());
    }

    // --- The time field's typing and stepping.
    void timeEntry_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QStringList>("actions"); // "h"/"m" select a part, "+n"/"-n" step, "wN" a wheel delta, else typed
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("part");
        QTest::addColumn<int>("edits");
        QTest::newRow("7 completes the hours and moves on") << 600 << QStringList{u"h"_qs, u"7"_qs} << u"07:00"_qs << 1 << 1;
        QTest::newRow("2 waits, 3 makes 23") << 600 << QStringList{u"h"_qs, u"2"_qs, u"3"_qs} << u"23:00"_qs << 1 << 2;
        QTest::newRow("27 refused keeps 02") << 600 << QStringList{u"h"_qs, u"2"_qs, u"7"_qs} << u"02:00"_qs << 0 << 1;
        QTest::newRow("hours then minutes") << 0 << QStringList{u"h"_qs, u"0"_qs, u"9"_qs, u"3"_qs, u"0"_qs}
                                            << u"09:30"_qs << 1 << 3;
        QTest::newRow("6 completes the minutes") << 0 << QStringList{u"m"_qs, u"6"_qs} << u"00:06"_qs << 1 << 1;
        QTest::newRow("minute 59 then 5 starts again") << 0 << QStringList{u"m"_qs, u"5"_qs, u"9"_qs, u"5"_qs}
                                                       << u"00:05"_qs << 1 << 3;
        QTest::newRow("a letter is refused") << 0 << QStringList{u"h"_qs, u"a"_qs} << u"00:00"_qs << 0 << 0;
        QTest::newRow("no part: a step moves the hours") << 1439 << QStringList{u"+1"_qs} << u"00:59"_qs << 0 << 1;
        QTest::newRow("minutes wrap down") << 60 << QStringList{u"m"_qs, u"-1"_qs} << u"01:59"_qs << 1 << 1;
        QTest::newRow("stepping drops half-typed digits") << 0 << QStringList{u"h"_qs, u"1"_qs, u"+1"_qs, u"5"_qs}
                                                          << u"05:00"_qs << 1 << 3;
        QTest::newRow("wheel notches add up") << 0 << QStringList{u"w60"_qs, u"w60"_qs, u"w60"_qs} << u"01:00"_qs << 0 << 1;
        QTest::newRow("a turned wheel drops the rest") << 0 << QStringList{u"w100"_qs, u"w-20"_qs, u"w100"_qs}
                                                       << u"00:00"_qs << -1 << 0;
        QTest::newRow("unchanged value is no edit") << 0 << QStringList{u"h"_qs, u"0"_qs, u"0"_qs} << u"00:00"_qs << 1 << 0;
    }
    void timeEntry()
    {
        QFETCH(int, start);
        QFETCH(QStringList, actions);
        QFETCH(QString, shown);
        QFETCH(int, part);
        QFETCH(int, edits);
        TimeOfDayEntry entry;
        entry.setValue(start);
        QSignalSpy edited(&entry, &TimeOfDayEntry::valueEdited);
        for (const QString &a : actions) {
            if (a == u"h")
                entry.selectPart(TimeOfDayEntry::hours);
            else if (a == u"m")
                entry.selectPart(TimeOfDayEntry::minutes);
            else if (a.startsWith(u'+') || (a.startsWith(u'-') && a.size() > 1))
                entry.step(a.toInt());
            else if (a.startsWith(u'w'))
                entry.wheel(a.mid(1).toInt());
            else
                std::ignore = entry.typeDigit(a);
        }
        QCOMPARE(entry.text(), shown);
        QCOMPARE(entry.part(), part);
        QCOMPARE(edited.size(), edits);
        if (edits > 0)
            QCOMPARE(edited.last().at(0).toInt(), entry.value());
    }

    void timeEntryPartsAndOwnerValue()
    {
        TimeOfDayEntry entry;
        QSignalSpy edited(&entry, &TimeOfDayEntry::valueEdited);
        entry.setValue(-1); // the owner's value is held to a day
        QCOMPARE(entry.text(), u"23:59"_qs);
        entry.setValue(1440 + 61);
        QCOMPARE(entry.text(), u"01:01"_qs);
        QCOMPARE(edited.size(), 0);
        // Tab order: in at the hours, then the minutes, then out.
        QVERIFY(entry.nextPart());
        QCOMPARE(entry.part(), 0);
        QVERIFY(entry.nextPart());
        QCOMPARE(entry.part(), 1);
        QVERIFY(!entry.nextPart());
        QVERIFY(entry.previousPart());
        QVERIFY(!entry.previousPart());
        entry.leave();
        QCOMPARE(entry.part(), -1);
    }

    // --- The day field's calendar.
    void dayChooser()
    {
        DayChooser chooser;
        QSignalSpy edited(&chooser, &DayChooser::dayEdited);
        chooser.setMinimumDay(QDate(2026, 3, 18));
        chooser.setDay(QDate(2026, 3, 18));
        QCOMPARE(chooser.text(), u"2026年3月18日"_qs);
        chooser.showDaysMonth();
        QCOMPARE(chooser.shownMonthTitle(), u"2026年3月"_qs);
        QCOMPARE(chooser.shownMonthIndex(), 2);
        QVERIFY(!chooser.canShowPreviousMonth());
        chooser.showPreviousMonth();
        QCOMPARE(chooser.shownMonthIndex(), 2);
        // Before the minimum: refused, nothing reported.
        QVERIFY(!chooser.isSelectable(2026, 2, 17));
        QVERIFY(!chooser.choose(2026, 2, 17));
        QVERIFY(chooser.isSelectable(2026, 2, 18));
        QVERIFY(!chooser.choose(2026, 1, 30)); // 30 February is no day
        QCOMPARE(edited.size(), 0);
        // The same day again is accepted but reports nothing.
        QVERIFY(chooser.choose(2026, 2, 18));
        QCOMPARE(edited.size(), 0);
        // Over the year's end and back.
        for (int i = 0; i < 10; ++i)
            chooser.showNextMonth();
        QCOMPARE(chooser.shownMonthTitle(), u"2027年1月"_qs);
        QVERIFY(chooser.choose(2027, 0, 2));
        QCOMPARE(edited.size(), 1);
        QCOMPARE(edited.last().at(0).toDate(), QDate(2027, 1, 2));
        QVERIFY(chooser.isShownDay(2027, 0, 2));
        chooser.showDaysMonth();
        QCOMPARE(chooser.shownMonthTitle(), u"2027年1月"_qs);
        // A stored day before today lowers the minimum (the editor's rule): the old day and month stay reachable.
        chooser.setMinimumDay(QDate(2026, 2, 27));
        chooser.setDay(QDate(2026, 2, 27));
        chooser.showDaysMonth();
        QVERIFY(!chooser.canShowPreviousMonth());
        QVERIFY(chooser.isSelectable(2026, 1, 27));
        QVERIFY(!chooser.isSelectable(2026, 1, 26));
    }

    void ruleEditorDayFieldFollowsTheModel()
    {
        AppState &state = start(utc(2026, 3, 18, 16, 0)); // 12:00 in New York
        RuleEditorModel editor(state, m_rec.hooks());
        RestrictionRule *rule = insertRule(RestrictionTarget::app, u"org.example.alpha"_qs, 600, 660, {});
        editor.open(rule, false);
        DayChooser &chooser = *editor.dayChooser();
        QCOMPARE(chooser.day(), QDate(2026, 3, 18));
        QCOMPARE(chooser.minimumDay(), QDate(2026, 3, 18));
        QVERIFY(chooser.choose(2026, 2, 21));
        QCOMPARE(editor.onceDay(), QDate(2026, 3, 21));
        editor.setIsOnce(true);
        editor.save();
        QCOMPARE(EditorFieldRules::toDate(ScheduleCalendar::system().localDay(*rule->onceDate())), QDate(2026, 3, 21));
    }

    void editorsPickApps()
    {
        AppState &state = start();
        RuleEditorModel rules(state, m_rec.hooks());
        RestrictionRule *rule = insertRule(RestrictionTarget::app, QString(), 600, 660, kAllDays);
        rules.open(rule, true);
        rules.appPicker()->setSearch(u"zzz"_qs);
        rules.setShowAppPicker(true); // a fresh search each time it shows
        QCOMPARE(rules.appPicker()->search(), QString());
        QCOMPARE(rules.appPicker()->count(), 1);
        rules.appPicker()->pick(0);
        QVERIFY(!rules.showAppPicker());
        QCOMPARE(rules.targetID(), u"org.example.alpha"_qs);
        QCOMPARE(rules.selectedAppName(), u"Alpha"_qs);
        QVERIFY(rules.selectedAppIcon().startsWith(u"image://appicon/org.example.alpha"_qs));

        QuitPlanEditorModel plans(state, m_rec.hooks());
        QuitPlan *p = insertPlan(QuitPlanTarget::apps, {}, {u"gone"_qs}, kAllDays);
        plans.open(p, false);
        plans.appPicker()->toggle(0);
        QCOMPARE(plans.selectedBundleIDs(), (QStringList{u"gone"_qs, u"org.example.alpha"_qs}));
        plans.appPicker()->clearShown(); // the uninstalled one is not shown, so it stays
        QCOMPARE(plans.selectedBundleIDs(), QStringList{u"gone"_qs});
    }

    void groupPopUpIndex()
    {
        AppState &state = start();
        auto *a = context().insert(std::make_unique<AppGroup>(u"B"_qs, 1, QStringList()));
        auto *b = context().insert(std::make_unique<AppGroup>(u"A"_qs, 0, QStringList()));
        std::ignore = context().save();
        RuleEditorModel rules(state, m_rec.hooks());
        RestrictionRule *rule = insertRule(RestrictionTarget::group, b->refID(), 600, 660, kAllDays);
        rules.open(rule, false);
        QCOMPARE(rules.groupIndex(), 1); // "请选择分组", A, B
        rules.chooseGroup(2);
        QCOMPARE(rules.targetID(), a->refID());
        rules.chooseGroup(0);
        QCOMPARE(rules.targetID(), QString());
        QCOMPARE(rules.groupIndex(), 0);
        rules.setTargetID(u"gone"_qs);
        QCOMPARE(rules.groupIndex(), -1);
        rules.chooseGroup(7); // no such entry: nothing
        QCOMPARE(rules.targetID(), u"gone"_qs);

        QuitPlanEditorModel plans(state, m_rec.hooks());
        plans.open(insertPlan(QuitPlanTarget::group, u"gone"_qs, {}, kAllDays), false);
        QCOMPARE(plans.groupIndex(), -1);
        plans.chooseGroup(1);
        QCOMPARE(plans.groupID(), b->refID());
    }

    // --- The timed-quit tab with its panel.
    void tabListsPlansAndHandsOverToThePanel()
    {
        AppState &state = start(utc(2026, 3, 18, 16, 0)); // Wednesday 12:00 in New York
        RecordingRearm rearm;
        SupervisionPanelModel panel(state, rearm);
        QuitTabModel tab(state, m_rec.hooks(), &panel);
        QCOMPARE(tab.planRows()->count(), 0);

        // Add: listed at once behind its editor, nothing re-armed.
        tab.addPlanClicked();
        QCOMPARE(tab.planRows()->count(), 1);
        const auto row = tab.planRows()->rows().at(0);
        QCOMPARE(row.title, u"（未选择应用）"_qs);
        QCOMPARE(row.subtitle, u"每天 23:00 退出"_qs);
        QCOMPARE(row.badge, QString());
        QVERIFY(row.switchOn);
        QVERIFY(panel.editingPlan() == tab.shownPlans().at(0));
        QVERIFY(panel.planIsNew());
        QCOMPARE(m_rec.take(), QStringList());
        QCOMPARE(rearm.take(), QStringList());

        // Edit: the same plan, not new.
        QuitPlan *p = tab.shownPlans().at(0);
        p->setBundleIDs({u"org.example.alpha"_qs});
        p->setBlockModeRaw(1);
        p->setBlockMinutes(45);
        p->setQuitMinute(1320);
        std::ignore = context().save();
        QTRY_COMPARE(tab.planRows()->rows().at(0).title, u"Alpha"_qs);
        QCOMPARE(tab.planRows()->rows().at(0).badge, u"禁启 45 分钟"_qs);
        tab.editPlanAt(0);
        QVERIFY(panel.editingPlan() == p);
        QVERIFY(!panel.planIsNew());

        // Switch off: the card's question with the pause end (22:45 tonight), the scheduler at once, the plan as it
        // was; pausing once then shows the switch off and the pause suffix.
        tab.planSwitchClicked(0);
        QVERIFY(panel.hasDisableRequest());
        QCOMPARE(panel.disableRequest()->pauseUntil, std::optional(local("America/New_York", 2026, 3, 18, 22, 45)));
        QVERIFY(p->isEnabled());
        QCOMPARE(p->pausedUntil(), std::nullopt);
        QCOMPARE(m_rec.take(), QStringList{u"reschedule"_qs});
        panel.resolveDisable(SupervisionPanelModel::DisableChoice::pauseOnce);
        QVERIFY(!tab.planRows()->rows().at(0).switchOn);
        QCOMPARE(tab.planRows()->rows().at(0).subtitle, u"每天 22:00 退出 · 已暂停至 22:45"_qs);
        // Switch on: the pause goes, saved, rescheduled.
        tab.planSwitchClicked(0);
        QCOMPARE(p->pausedUntil(), std::nullopt);
        QVERIFY(tab.planRows()->rows().at(0).switchOn);
        QVERIFY(!context().hasChanges());
        QCOMPARE(m_rec.take(), QStringList{u"reschedule"_qs});

        // A session's close button: the panel's close card for that session.
        FocusSession s;
        s.bundleID = u"org.example.alpha"_qs;
        s.appName = u"Alpha"_qs;
        s.taskNote = u"写周报"_qs;
        s.deadline = m_f->clock.now() + 10min;
        state.sessionManager().begin(s);
        QTRY_COMPARE(tab.sessionRows().size(), 1);
        tab.closeSessionAt(0);
        QVERIFY(panel.hasCloseTarget());
        QCOMPARE(panel.closeTarget()->sessionID, s.id);
        QCOMPARE(panel.closeMessage(), u"「写周报」将不再被自动退出，本次倒计时结束。"_qs);

        // Delete: at once, saved, rescheduled; out of the list.
        tab.deletePlanAt(0);
        QCOMPARE(tab.planRows()->count(), 0);
        QCOMPARE(context().count<QuitPlan>(), 0);
        QCOMPARE(m_rec.take(), QStringList{u"reschedule"_qs});
        QCOMPARE(rearm.take(), QStringList());
        // Rows out of range do nothing.
        tab.editPlanAt(3);
        tab.deletePlanAt(-1);
        tab.planSwitchClicked(0);
        QCOMPARE(m_rec.take(), QStringList());
    }

    void pausedSessionKeepsShrinking()
    {
        AppState &state = start();
        QuitTabModel tab(state, m_rec.hooks());
        FocusSession s;
        s.bundleID = u"org.example.alpha"_qs;
        s.appName = u"Alpha"_qs;
        s.deadline = m_f->clock.now() + 10min;
        state.sessionManager().begin(s);
        QTRY_COMPARE(tab.sessionRows().size(), 1);
        // Paused while its app's block is ignored: the floating panel holds its remainder, the list does not.
        state.sessionManager().pauseSessions(s.bundleID);
        QVERIFY(state.sessionManager().isPaused(s.id));
        m_f->clock.advanceBy(60s);
        QCOMPARE(tab.sessionRows()[0].subtitle, u"剩余 09:00 · 到点自动退出"_qs);
        m_f->clock.advanceBy(11min);
        QCOMPARE(tab.sessionRows()[0].subtitle, u"剩余 00:00 · 到点自动退出"_qs);
    }
};

QTEST_MAIN(TestSupervisionEditors)
#include "tst_supervisioneditors.moc"
