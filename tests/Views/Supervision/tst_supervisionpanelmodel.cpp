#include "../App/appstatefixture.h"
#include "../Services/scheduletesting.h"
#include "../support/applists.h"
#include "../support/recordingrearm.h"

#include "adhocblock.h"
#include "apppickermodel.h"
#include "appgroup.h"
#include "quitplan.h"
#include "restrictionrule.h"
#include "schedulecalendar.h"
#include "supervisionpanelmodel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

// The supervision panel's rules over the state object on fakes: the appear step, the turn-off card and its answers,
// the close cards, Escape and Return, the row texts, the linked blocks and the launch tab's counts and selections.
// On the virtual clock in Asia/Shanghai, from Monday 2026-03-02.
class TestSupervisionPanelModel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void appear();
    void purge();
    void switchOff_data();
    void switchOff();
    void switchOn();
    void pauseEnds_data();
    void pauseEnds();
    void closeCards();
    void escapeAndReturn();
    void planTitles();
    void ruleTexts();
    void linkedItems_data();
    void linkedItems();
    void linkedOrderAndTick();
    void launchTab();
    void focusPicker();
    void searchPagePicker();
    void restrictList_data();
    void restrictList();
    void rowsUpdateInPlace();
    void editorHooks();
    void factoryOwnsItsModel();
};

namespace {

using ScheduleTesting::instant;

const QString a = u"org.example.a"_qs;
const QString b = u"org.example.b"_qs;
const QString c = u"org.example.c"_qs;
const QString d = u"org.example.d"_qs;
const QString gone = u"org.example.gone"_qs;

Instant at(const QString &dayTime)
{
    return instant(u"2026-03-"_qs + dayTime + u"+08:00"_qs);
}

constexpr int hm(int hour, int minute)
{
    return hour * 60 + minute;
}

struct Panel
{
    AppStateFixture f;
    RecordingRearm rearm;
    AppState *state = nullptr;
    std::unique_ptr<SupervisionPanelModel> model;

    explicit Panel(const QString &now = u"02T12:00:00"_qs)
    {
        f.clock.setWallTime(at(now));
        state = &f.start();
        f.finishScan({AppLists::app(a, u"微信读书"_qs), AppLists::app(b, u"哔哩哔哩"_qs),
                      AppLists::app(c, u"小红书"_qs), AppLists::app(d, u"抖音"_qs)});
        model = std::make_unique<SupervisionPanelModel>(*state, rearm);
    }
    StoreContext &context() { return state->container().mainContext(); }
    RestrictionRule *rule(const QString &target, int start, int end, std::optional<Instant> once = std::nullopt)
    {
        RestrictionRule *r = context().insert(std::make_unique<RestrictionRule>(
            RestrictionTarget::app, target, start, end, QList<int>{1, 2, 3, 4, 5, 6, 7}, true, once));
        std::ignore = context().save();
        return r;
    }
    QuitPlan *plan(QStringList ids, int quit, QuitPlanBlockMode mode, int minutes, int until)
    {
        QuitPlan *p = context().insert(std::make_unique<QuitPlan>(QuitPlanTarget::apps, QString(), std::move(ids),
                                                                  quit, QList<int>{1, 2, 3, 4, 5, 6, 7}, mode,
                                                                  minutes, until, true));
        std::ignore = context().save();
        return p;
    }
    void watch(RestrictionRule *r)
    {
        rearm.watch = [this, r] {
            return u"enabled=%1 paused=%2 unsaved=%3"_qs.arg(int(r->isEnabled()))
                .arg(r->pausedUntil() ? ScheduleTesting::show(r->pausedUntil()) : u"-"_qs)
                .arg(int(context().hasChanges()));
        };
    }
};

const QStringList guards{u"refresh"_qs, u"sweepRunningBlocked"_qs, u"scheduleNextWindowSweep"_qs};

} // namespace

void TestSupervisionPanelModel::appear()
{
    Panel p;
    p.state->supervisionInitialTab = SupervisionTab::restrict;
    p.model->appear();
    QCOMPARE(p.model->tabRaw(), u"restrict"_qs);
    QCOMPARE(p.state->supervisionInitialTab, SupervisionTab::launch);
    QVERIFY(p.rearm.calls.isEmpty());
    QVERIFY(!p.context().hasChanges());

    // Plans without apps or without a group, as a rules file may bring them, stay and are listed; only rules
    // without a target go.
    QuitPlan *noApps = p.plan({}, hm(22, 0), QuitPlanBlockMode::none, 0, 0);
    QuitPlan *withApps = p.plan({a}, hm(22, 0), QuitPlanBlockMode::none, 0, 0);
    QuitPlan *noGroup = p.context().insert(std::make_unique<QuitPlan>(
        QuitPlanTarget::group, QString(), QStringList(), hm(23, 0), QList<int>{2}, QuitPlanBlockMode::none, 0, 0,
        true));
    std::ignore = p.context().save();
    SupervisionPanelModel again(*p.state, p.rearm);
    again.appear();
    QCOMPARE(again.tabRaw(), u"launch"_qs);
    QCOMPARE(p.context().fetch<QuitPlan>(), (QList<QuitPlan *>{noApps, withApps, noGroup}));
    QCOMPARE(again.planTitle(*noApps), u"（未选择应用）"_qs);
    QVERIFY(!p.context().hasChanges());
    QVERIFY(p.rearm.calls.isEmpty());
}

void TestSupervisionPanelModel::purge()
{
    Panel p(u"03T12:00:00"_qs);
    RestrictionRule *live = p.rule(a, hm(23, 0), hm(7, 0));
    p.rule(QString(), hm(23, 0), hm(7, 0));
    p.rule(b, hm(9, 0), hm(10, 0), at(u"02T00:00:00"_qs)); // yesterday's one-off
    RestrictionRule *today = p.rule(c, hm(13, 0), hm(14, 0), at(u"03T00:00:00"_qs));
    p.model->appear();
    QCOMPARE(p.context().fetch<RestrictionRule>(), (QList<RestrictionRule *>{live, today}));
    QVERIFY(!p.context().hasChanges());
    QCOMPARE(p.rearm.take(), guards);
    p.model->purgeStaleRules();
    QVERIFY(p.rearm.calls.isEmpty());
}

void TestSupervisionPanelModel::switchOff_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("paused");
    QTest::newRow("pause once") << int(SupervisionPanelModel::DisableChoice::pauseOnce) << true
                                << u"2026-03-02T23:00:00.000Z"_qs;
    QTest::newRow("always") << int(SupervisionPanelModel::DisableChoice::always) << false << u"none"_qs;
    QTest::newRow("cancel") << int(SupervisionPanelModel::DisableChoice::cancel) << true << u"none"_qs;
}

void TestSupervisionPanelModel::switchOff()
{
    QFETCH(int, choice);
    QFETCH(bool, enabled);
    QFETCH(QString, paused);
    Panel p(u"02T22:00:00"_qs);
    RestrictionRule *r = p.rule(a, hm(23, 0), hm(7, 0));
    p.watch(r);
    p.model->rebuildRows();
    QCOMPARE(p.model->ruleRows()->rows().at(0).switchOn, true);
    p.model->ruleSwitchClicked(0);
    QVERIFY(p.model->hasDisableRequest());
    QVERIFY(p.model->canPauseOnce());
    // Re-armed at once, while the rule is still unchanged.
    QCOMPARE(p.rearm.take(), (QStringList{u"refresh [enabled=1 paused=- unsaved=0]"_qs,
                                          u"sweepRunningBlocked [enabled=1 paused=- unsaved=0]"_qs,
                                          u"scheduleNextWindowSweep [enabled=1 paused=- unsaved=0]"_qs}));
    const int before = p.model->toggleRefresh();
    p.model->resolveDisable(SupervisionPanelModel::DisableChoice(choice));
    QCOMPARE(r->isEnabled(), enabled);
    QCOMPARE(ScheduleTesting::show(r->pausedUntil()), paused);
    QVERIFY(!p.context().hasChanges());
    QCOMPARE(p.model->toggleRefresh(), before + 1);
    QVERIFY(!p.model->hasDisableRequest());
    QVERIFY(p.rearm.calls.isEmpty());
    // The switch shows the stored state again (on after a cancel).
    QCOMPARE(p.model->ruleRows()->rows().at(0).switchOn, enabled && paused == u"none");
}

void TestSupervisionPanelModel::switchOn()
{
    Panel p(u"02T22:00:00"_qs);
    RestrictionRule *r = p.rule(a, hm(23, 0), hm(7, 0));
    r->setIsEnabled(false);
    r->setPausedUntil(at(u"03T07:00:00"_qs));
    std::ignore = p.context().save();
    p.watch(r);
    p.model->rebuildRows();
    p.model->ruleSwitchClicked(0);
    QVERIFY(!p.model->hasDisableRequest());
    const QString state = u" [enabled=1 paused=- unsaved=0]"_qs;
    QCOMPARE(p.rearm.take(), (QStringList{guards[0] + state, guards[1] + state, guards[2] + state}));
}

void TestSupervisionPanelModel::pauseEnds_data()
{
    QTest::addColumn<QString>("now");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("once");
    QTest::addColumn<QString>("pauseUntil");
    QTest::newRow("daily, before the window") << u"02T22:00:00"_qs << hm(23, 0) << hm(7, 0) << QString()
                                              << u"2026-03-02T23:00:00.000Z"_qs;
    QTest::newRow("daily, inside after midnight") << u"03T01:00:00"_qs << hm(23, 0) << hm(7, 0) << QString()
                                                  << u"2026-03-02T23:00:00.000Z"_qs;
    QTest::newRow("one-off already passed") << u"03T12:00:00"_qs << hm(9, 0) << hm(10, 0) << u"02T00:00:00"_qs
                                            << u"none"_qs;
    QTest::newRow("start equals end") << u"02T12:00:00"_qs << hm(9, 0) << hm(9, 0) << QString() << u"none"_qs;
}

void TestSupervisionPanelModel::pauseEnds()
{
    QFETCH(QString, now);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, once);
    QFETCH(QString, pauseUntil);
    Panel p(now);
    RestrictionRule *r = p.rule(a, start, end, once.isEmpty() ? std::nullopt : std::optional(at(once)));
    p.model->setRule(*r, false);
    QVERIFY(p.model->hasDisableRequest());
    QCOMPARE(ScheduleTesting::show(p.model->disableRequest()->pauseUntil), pauseUntil);
    QCOMPARE(p.model->canPauseOnce(), pauseUntil != u"none");
    // Pause once without an end changes nothing but still saves and closes.
    p.model->resolveDisable(SupervisionPanelModel::DisableChoice::pauseOnce);
    QCOMPARE(ScheduleTesting::show(r->pausedUntil()), pauseUntil);
    QVERIFY(r->isEnabled());
}

void TestSupervisionPanelModel::closeCards()
{
    Panel p(u"02T23:10:00"_qs);
    p.f.preferences.setString(u"blockedSlogan"_qs, u"专注当下"_qs);
    QuitPlan *plan = p.plan({a}, hm(23, 0), QuitPlanBlockMode::minutes, 30, 0);
    AdHocBlock *named = p.context().insert(std::make_unique<AdHocBlock>(b, at(u"02T23:50:00"_qs)));
    AdHocBlock *unnamed = p.context().insert(std::make_unique<AdHocBlock>(gone, at(u"02T23:40:00"_qs)));
    std::ignore = p.context().save();

    using T = SupervisionPanelModel::CloseTarget;
    T planTarget{T::Kind::plan, plan, nullptr, {}, {}};
    T namedTarget{T::Kind::adhoc, nullptr, named, {}, {}};
    T unnamedTarget{T::Kind::adhoc, nullptr, unnamed, {}, {}};
    T sessionTarget{T::Kind::session, nullptr, nullptr, QUuid::createUuid(), u"写周报"_qs};
    auto card = [&](const T &t) {
        const auto k = p.model->closeCard(t);
        return QStringList{k.slogan, k.title, k.message, k.confirmTitle};
    };
    QCOMPARE(card(planTarget), (QStringList{u"专注当下"_qs, u"关闭并删除这条计划？"_qs,
                                            u"删除后，该定时退出与其联动禁启一并失效。"_qs, u"关闭并删除"_qs}));
    QCOMPARE(card(namedTarget), (QStringList{u"专注当下"_qs, u"关闭这条临时禁启？"_qs,
                                             u"「哔哩哔哩」将立即恢复可用。"_qs, u"关闭并解除"_qs}));
    QCOMPARE(card(unnamedTarget).at(2), u"「org.example.gone」将立即恢复可用。"_qs);
    QCOMPARE(card(sessionTarget), (QStringList{u"专注当下"_qs, u"关闭并删除这条定时退出？"_qs,
                                               u"「写周报」将不再被自动退出，本次倒计时结束。"_qs, u"关闭并删除"_qs}));

    p.rearm.watch = [&] { return u"unsaved=%1"_qs.arg(int(p.context().hasChanges())); };
    int refresh = p.model->toggleRefresh();
    p.model->setCloseTarget(planTarget);
    p.model->confirmClose();
    QVERIFY(!p.model->hasCloseTarget());
    QVERIFY(p.context().fetch<QuitPlan>().isEmpty());
    QCOMPARE(p.rearm.take(), (QStringList{u"reschedule [unsaved=0]"_qs, u"refresh [unsaved=0]"_qs,
                                          u"sweepRunningBlocked [unsaved=0]"_qs,
                                          u"scheduleNextWindowSweep [unsaved=0]"_qs}));
    QCOMPARE(p.model->toggleRefresh(), refresh + 1);

    p.model->setCloseTarget(namedTarget);
    p.model->confirmClose();
    QCOMPARE(p.context().fetch<AdHocBlock>(), QList<AdHocBlock *>{unnamed});
    QVERIFY(!p.context().hasChanges());
    QVERIFY(p.rearm.calls.isEmpty());
    QCOMPARE(p.model->toggleRefresh(), refresh + 2);

    p.model->setCloseTarget(sessionTarget);
    p.model->confirmClose();
    QVERIFY(!p.model->hasCloseTarget());
    QCOMPARE(p.model->toggleRefresh(), refresh + 2);
}

void TestSupervisionPanelModel::escapeAndReturn()
{
    Panel p(u"02T22:00:00"_qs);
    RestrictionRule *r = p.rule(a, hm(23, 0), hm(7, 0));
    QuitPlan *plan = p.plan({a}, hm(23, 0), QuitPlanBlockMode::minutes, 30, 0);
    QSignalSpy dismissed(p.model.get(), &SupervisionPanelModel::dismissRequested);
    using T = SupervisionPanelModel::CloseTarget;

    p.model->setCloseTarget(T{T::Kind::plan, plan, nullptr, {}, {}});
    p.model->setRule(*r, false);
    const int refresh = p.model->toggleRefresh();
    p.model->escape();
    QVERIFY(!p.model->hasDisableRequest());
    QVERIFY(p.model->hasCloseTarget());
    QCOMPARE(p.model->toggleRefresh(), refresh);
    p.model->escape();
    QVERIFY(!p.model->hasCloseTarget());
    QCOMPARE(dismissed.count(), 0);
    p.model->escape();
    QCOMPARE(dismissed.count(), 1);

    // Return: the card's prominent button, never "完成"; nothing on a card without "只关闭单次".
    p.model->setRule(*r, false);
    p.model->returnPressed();
    QCOMPARE(ScheduleTesting::show(r->pausedUntil()), u"2026-03-02T23:00:00.000Z"_qs);
    RestrictionRule *flat = p.rule(b, hm(9, 0), hm(9, 0));
    p.model->setRule(*flat, false);
    p.model->returnPressed();
    QVERIFY(p.model->hasDisableRequest());
    QVERIFY(flat->isEnabled());
    QCOMPARE(dismissed.count(), 1);
    p.model->escape();
    p.model->returnPressed();
    QCOMPARE(dismissed.count(), 2);
}

void TestSupervisionPanelModel::planTitles()
{
    Panel p;
    AppGroup *group = p.context().insert(std::make_unique<AppGroup>(u"学习"_qs, 0, QStringList{}));
    std::ignore = p.context().save();
    auto title = [&](QuitPlanTarget kind, const QString &groupID, const QStringList &ids) {
        QuitPlan plan(kind, groupID, ids, 0, {}, QuitPlanBlockMode::none, 0, 0, true);
        return p.model->planTitle(plan);
    };
    QCOMPARE(title(QuitPlanTarget::group, group->refID(), {}), u"分组：学习"_qs);
    QCOMPARE(title(QuitPlanTarget::group, u"nope"_qs, {}), u"（分组已删除）"_qs);
    QCOMPARE(title(QuitPlanTarget::apps, {}, {}), u"（未选择应用）"_qs);
    QCOMPARE(title(QuitPlanTarget::apps, {}, {gone}), u"（未选择应用）"_qs);
    QCOMPARE(title(QuitPlanTarget::apps, {}, {a}), u"微信读书"_qs);
    QCOMPARE(title(QuitPlanTarget::apps, {}, {a, gone, b}), u"微信读书、哔哩哔哩"_qs);
    QCOMPARE(title(QuitPlanTarget::apps, {}, {a, b, c}), u"微信读书、哔哩哔哩 等 3 个应用"_qs);
    QCOMPARE(title(QuitPlanTarget::apps, {}, {a, b, c, d, a}), u"微信读书、哔哩哔哩 等 5 个应用"_qs);

    auto badge = [](QuitPlanBlockMode mode, int minutes, int until) {
        QuitPlan plan(QuitPlanTarget::apps, {}, {}, 0, {}, mode, minutes, until, true);
        return SupervisionPanelModel::planBadge(plan).value_or(u"none"_qs);
    };
    QCOMPARE(badge(QuitPlanBlockMode::none, 30, 0), u"none"_qs);
    QCOMPARE(badge(QuitPlanBlockMode::minutes, 30, 0), u"禁启 30 分钟"_qs);
    QCOMPARE(badge(QuitPlanBlockMode::until, 0, hm(7, 5)), u"禁启至 07:05"_qs);

    QCOMPARE(p.model->withPauseSuffix(u"每天 23:00 退出"_qs, at(u"03T07:00:00"_qs)),
             u"每天 23:00 退出 · 已暂停至明日 07:00"_qs);
    QCOMPARE(p.model->withPauseSuffix(u"每天 23:00 退出"_qs, at(u"02T11:00:00"_qs)), u"每天 23:00 退出"_qs);
    const ScheduleCalendar cal = ScheduleCalendar::system();
    QCOMPARE(SupervisionPanelModel::windowEndText(at(u"02T21:30:00"_qs), cal, at(u"02T21:00:00"_qs)), u"21:30"_qs);
    QCOMPARE(SupervisionPanelModel::windowEndText(at(u"03T07:00:00"_qs), cal, at(u"02T23:30:00"_qs)),
             u"次日 07:00"_qs);
}

void TestSupervisionPanelModel::ruleTexts()
{
    Panel p(u"03T12:00:00"_qs);
    RestrictionRule *daily = p.rule(a, hm(23, 0), hm(7, 0));
    RestrictionRule *once = p.rule(gone, hm(9, 0), hm(10, 0), at(u"05T00:00:00"_qs));
    RestrictionRule *expired = p.rule(b, hm(9, 0), hm(10, 0), at(u"02T00:00:00"_qs));
    RestrictionRule *paused = p.rule(c, hm(23, 0), hm(7, 0));
    paused->setPausedUntil(at(u"04T07:00:00"_qs));
    std::ignore = p.context().save();
    QCOMPARE(p.model->ruleTitle(*daily), u"微信读书"_qs);
    QCOMPARE(p.model->ruleTitle(*once), gone);
    QCOMPARE(p.model->ruleSubtitle(*daily), u"23:00 – 07:00 · 每天"_qs);
    QCOMPARE(p.model->ruleSubtitle(*once), u"09:00 – 10:00 · 单次 3月5日"_qs);
    QCOMPARE(p.model->ruleSubtitle(*expired), u"09:00 – 10:00 · 单次 3月2日 · 已过期"_qs);
    QCOMPARE(p.model->ruleSubtitle(*paused), u"23:00 – 07:00 · 每天 · 已暂停至明日 07:00"_qs);
    QCOMPARE(p.model->ruleSwitchShown(*paused), false);
    p.f.clock.setWallTime(at(u"04T07:00:00"_qs));
    QCOMPARE(p.model->ruleSwitchShown(*paused), true);
}

void TestSupervisionPanelModel::linkedItems_data()
{
    QTest::addColumn<QString>("now");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("until");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("subtitle");
    const int m = int(QuitPlanBlockMode::minutes);
    const int u = int(QuitPlanBlockMode::until);
    QTest::newRow("30 minutes, at 23:10") << u"02T23:10:00"_qs << m << 30 << 0 << QString() << u"本窗口至 23:30"_qs;
    QTest::newRow("until 07:00, at 23:30") << u"02T23:30:00"_qs << u << 0 << hm(7, 0) << QString()
                                           << u"本窗口至 次日 07:00"_qs;
    QTest::newRow("until 07:00, at 01:00") << u"03T01:00:00"_qs << u << 0 << hm(7, 0) << QString()
                                           << u"本窗口至 07:00"_qs;
    QTest::newRow("no block") << u"02T23:10:00"_qs << int(QuitPlanBlockMode::none) << 30 << 0 << QString() << QString();
    QTest::newRow("disabled") << u"02T23:10:00"_qs << m << 30 << 0 << u"off"_qs << QString();
    QTest::newRow("paused") << u"02T23:10:00"_qs << m << 30 << 0 << u"paused"_qs << QString();
    QTest::newRow("until the quit minute") << u"02T23:10:00"_qs << u << 0 << hm(23, 0) << QString() << QString();
    QTest::newRow("a whole day") << u"02T23:10:00"_qs << m << 1440 << 0 << QString() << QString();
}

void TestSupervisionPanelModel::linkedItems()
{
    QFETCH(QString, now);
    QFETCH(int, mode);
    QFETCH(int, minutes);
    QFETCH(int, until);
    QFETCH(QString, change);
    QFETCH(QString, subtitle);
    Panel p(now);
    QuitPlan *plan = p.plan({a, b}, hm(23, 0), QuitPlanBlockMode(mode), minutes, until);
    if (change == u"off")
        plan->setIsEnabled(false);
    if (change == u"paused")
        plan->setPausedUntil(at(u"03T12:00:00"_qs));
    std::ignore = p.context().save();
    const auto items = p.model->linkedItems(p.f.clock.now());
    if (subtitle.isEmpty()) {
        QVERIFY(items.isEmpty());
        return;
    }
    QCOMPARE(items.size(), 1);
    QCOMPARE(items.at(0).title, u"微信读书、哔哩哔哩"_qs);
    QCOMPARE(items.at(0).subtitle, subtitle);
}

void TestSupervisionPanelModel::linkedOrderAndTick()
{
    Panel p(u"02T23:10:00"_qs);
    QAbstractItemModelTester tester(p.model->linkedRows());
    QCOMPARE(p.model->linkedRows()->count(), 0);
    p.plan({a}, hm(23, 0), QuitPlanBlockMode::minutes, 30, 0);
    p.context().insert(std::make_unique<AdHocBlock>(gone, at(u"02T23:50:00"_qs)));
    p.context().insert(std::make_unique<AdHocBlock>(b, at(u"02T23:40:00"_qs)));
    std::ignore = p.context().save();
    QTRY_COMPARE(p.model->linkedRows()->count(), 3);
    const auto rows = p.model->linkedRows()->rows();
    QCOMPARE(rows.at(0).badge, u"禁启 30 分钟"_qs);
    QCOMPARE((QStringList{rows.at(1).title, rows.at(1).badge, rows.at(1).subtitle}),
             (QStringList{u"哔哩哔哩"_qs, u"临时禁启"_qs, u"至 23:40"_qs}));
    QCOMPARE(rows.at(2).title, gone);
    // The 30-s tick rebuilds the linked blocks.
    p.f.clock.advanceBy(std::chrono::minutes(20) + std::chrono::seconds(30));
    QCOMPARE(p.model->linkedRows()->count(), 2);
    p.f.clock.advanceBy(std::chrono::minutes(20));
    QCOMPARE(p.model->linkedRows()->count(), 0);
}

void TestSupervisionPanelModel::launchTab()
{
    Panel p;
    const QString embedded = u"com.tencent.flue.WeChatAppEx"_qs;
    QCOMPARE(p.model->focusCountText(), u"已勾选 0 个应用"_qs);
    QCOMPARE(p.model->searchPageCountText(), u"已开启 0 个应用"_qs);
    QVERIFY(!p.model->focusControlAppIDs().contains(embedded));
    QCOMPARE(p.model->focusControlAppIDs(), (QStringList{a, b, c, d}));

    p.f.preferences.setStringList(u"focusControlBundleIDs"_qs, {a, u"org.example.stale"_qs});
    QCOMPARE(p.model->focusCountText(), u"已勾选 1 个应用"_qs);
    QVERIFY(p.model->focusSelection().contains(u"org.example.stale"_qs));
    QSet<QString> selection = p.model->focusSelection();
    selection.insert(b);
    p.model->setFocusSelection(selection);
    QCOMPARE(p.model->focusCountText(), u"已勾选 2 个应用"_qs);
    QVERIFY(p.model->focusSelection().contains(u"org.example.stale"_qs));
}

namespace {

int rowOf(const AppPickerModel &picker, const QString &id)
{
    for (int row = 0; row < picker.rowCount(); ++row) {
        if (picker.data(picker.index(row), AppPickerModel::BundleIdRole).toString() == id)
            return row;
    }
    return -1;
}

QStringList shownIDs(const AppPickerModel &picker)
{
    QStringList ids;
    for (int row = 0; row < picker.rowCount(); ++row)
        ids.append(picker.data(picker.index(row), AppPickerModel::BundleIdRole).toString());
    return ids;
}

} // namespace

// The focus picker offers the apps by their shown names, the installed embedded app left out, and writes every click
// at once through the state object, keeping ids it does not offer.
void TestSupervisionPanelModel::focusPicker()
{
    Panel p;
    const QString embedded = u"com.tencent.flue.WeChatAppEx"_qs;
    p.f.existingPaths.append(u"/Applications/WeChat.app/Contents/MacOS/WeChatAppEx.app"_qs);
    QVERIFY(AppLists::idsOf(p.state->targetableApps()).contains(embedded));
    p.state->setAlias(u"阿读"_qs, AppLists::app(a, u"微信读书"_qs));
    p.f.preferences.setStringList(u"focusControlBundleIDs"_qs, {u"org.example.stale"_qs, embedded});
    QObject owner;
    AppPickerModel *picker = p.model->makeFocusPicker(&owner);
    QCOMPARE(picker->parent(), &owner);
    QVERIFY(!shownIDs(*picker).contains(embedded));
    QCOMPARE(shownIDs(*picker).size(), 4);
    QCOMPARE(picker->data(picker->index(rowOf(*picker, a)), AppPickerModel::NameRole).toString(), u"阿读"_qs);

    QSignalSpy launch(p.model.get(), &SupervisionPanelModel::launchChanged);
    picker->toggle(rowOf(*picker, b));
    QVERIFY(!launch.isEmpty());
    QCOMPARE(p.model->focusCountText(), u"已勾选 1 个应用"_qs);
    QVERIFY(picker->data(picker->index(rowOf(*picker, b)), AppPickerModel::CheckedRole).toBool());
    const QStringList stored = p.f.preferences.stringList(u"focusControlBundleIDs"_qs).value_or(QStringList());
    QCOMPARE(QSet<QString>(stored.begin(), stored.end()), (QSet<QString>{u"org.example.stale"_qs, embedded, b}));
}

// The search-page picker offers only the installed apps of the launch panel's list; a click switches that app's
// entry alone (every copy when off), and entries of apps not offered stay as they are.
void TestSupervisionPanelModel::searchPagePicker()
{
    const QString bili = u"tv.danmaku.bilibilihd"_qs;
    const QString xhs = u"com.xingin.xhs"_qs;
    const QString aweme = u"com.ss.iphone.ugc.Aweme"_qs;
    AppStateFixture f;
    RecordingRearm rearm;
    AppState &state = f.start();
    f.finishScan({AppLists::app(bili, u"哔哩哔哩HD"_qs), AppLists::app(xhs, u"小红书"_qs),
                  AppLists::app(aweme, u"抖音"_qs), AppLists::app(a, u"微信读书"_qs)});
    f.preferences.setStringList(u"searchPageEnabledBundleIDs"_qs, {xhs, aweme, xhs});
    SupervisionPanelModel model(state, rearm);
    QCOMPARE(model.searchPageConfigurableAppIDs(), (QStringList{bili, xhs}));
    QCOMPARE(model.searchPageCountText(), u"已开启 1 个应用"_qs);

    QObject owner;
    AppPickerModel *picker = model.makeSearchPagePicker(&owner);
    QCOMPARE(shownIDs(*picker), (QStringList{bili, xhs})); // by their names' pinyin
    picker->toggle(rowOf(*picker, xhs));
    QCOMPARE(f.preferences.stringList(u"searchPageEnabledBundleIDs"_qs), std::optional(QStringList{aweme}));
    picker->toggle(rowOf(*picker, bili));
    QCOMPARE(f.preferences.stringList(u"searchPageEnabledBundleIDs"_qs), std::optional(QStringList{aweme, bili}));
    QCOMPARE(model.searchPageCountText(), u"已开启 1 个应用"_qs);
    QVERIFY(rearm.calls.isEmpty());
}

void TestSupervisionPanelModel::restrictList_data()
{
    QTest::addColumn<int>("rules");
    QTest::addColumn<int>("linked");
    QTest::addColumn<QString>("expected"); // kind:source:first/last per row

    QTest::newRow("nothing") << 0 << 0 << QString();
    QTest::newRow("one rule") << 1 << 0 << u"rule:0:FL"_qs;
    QTest::newRow("three rules") << 3 << 0 << u"rule:0:F rule:1: rule:2:L"_qs;
    QTest::newRow("blocks only") << 0 << 2 << u"linkedCaption:-1: linked:0:F linked:1:L"_qs;
    QTest::newRow("both") << 2 << 1 << u"rule:0:F rule:1:L linkedCaption:-1: linked:0:FL"_qs;
}

// The restriction tab's one list: the rules, then the caption and the blocks only when any is in force.
void TestSupervisionPanelModel::restrictList()
{
    QFETCH(int, rules);
    QFETCH(int, linked);
    QFETCH(QString, expected);

    Panel p(u"02T23:10:00"_qs);
    const QStringList ids{a, b, c};
    for (int i = 0; i < rules; ++i)
        p.rule(ids.at(i), hm(9, 0), hm(10, 0));
    for (int i = 0; i < linked; ++i)
        p.context().insert(std::make_unique<AdHocBlock>(ids.at(i), at(u"02T23:40:00"_qs)));
    std::ignore = p.context().save();
    p.model->rebuildRows();

    QStringList shown;
    for (const SupervisionRowsModel::Row &row : p.model->restrictList()->rows()) {
        shown.append(row.kind + u':' + QString::number(row.source) + u':' + (row.first ? u"F"_qs : QString())
                     + (row.last ? u"L"_qs : QString()));
        if (row.kind == u"linkedCaption")
            QCOMPARE(row.title, u"联动禁启"_qs);
    }
    QCOMPARE(shown.join(u' '), expected);
}

// A rebuild changes rows in place and adds or removes them at the end: no reset, so a list keeps its scroll
// position; rows that stay are reported changed even when equal.
void TestSupervisionPanelModel::rowsUpdateInPlace()
{
    SupervisionRowsModel rows;
    QAbstractItemModelTester tester(&rows);
    QSignalSpy reset(&rows, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&rows, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&rows, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&rows, &QAbstractItemModel::dataChanged);
    QSignalSpy count(&rows, &SupervisionRowsModel::countChanged);
    const auto make = [](const QStringList &titles) {
        QList<SupervisionRowsModel::Row> list;
        for (const QString &title : titles) {
            SupervisionRowsModel::Row row;
            row.title = title;
            list.append(row);
        }
        return list;
    };

    rows.setRows(make({u"一"_qs, u"二"_qs}));
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 0);
    QCOMPARE(inserted.at(0).at(2).toInt(), 1);
    QCOMPARE(changed.size(), 0);
    rows.setRows(make({u"一"_qs, u"二"_qs}));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(count.size(), 1);
    rows.setRows(make({u"三"_qs, u"四"_qs, u"五"_qs}));
    QCOMPARE(inserted.size(), 2);
    QCOMPARE(inserted.at(1).at(1).toInt(), 2);
    QCOMPARE(rows.data(rows.index(0), SupervisionRowsModel::TitleRole).toString(), u"三"_qs);
    rows.setRows(make({u"六"_qs}));
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 1);
    QCOMPARE(removed.at(0).at(2).toInt(), 2);
    QCOMPARE(rows.count(), 1);
    QCOMPARE(rows.data(rows.index(0), SupervisionRowsModel::TitleRole).toString(), u"六"_qs);
    rows.setRows({});
    QCOMPARE(rows.count(), 0);
    QCOMPARE(reset.size(), 0);
    QCOMPARE(count.size(), 4);
}

// The records the editors are presented for: the is-new flag first, then the record; closing hands it back. Nothing
// is re-armed by presenting or closing.
void TestSupervisionPanelModel::editorHooks()
{
    Panel p;
    RestrictionRule *rule = p.rule(a, hm(9, 0), hm(10, 0));
    QSignalSpy editors(p.model.get(), &SupervisionPanelModel::editorsChanged);
    p.rearm.take();

    p.model->addRule();
    QVERIFY(p.model->hasEditingRule());
    QVERIFY(p.model->ruleIsNew());
    QVERIFY(p.model->editingRule()->targetID().isEmpty());
    QVERIFY(!p.context().hasChanges());
    QTRY_COMPARE(p.model->ruleRows()->count(), 1); // the new rule is not listed
    p.model->ruleEditorClosed();
    QVERIFY(!p.model->hasEditingRule());

    p.model->editRuleAt(0);
    QCOMPARE(p.model->editingRule(), rule);
    QVERIFY(!p.model->ruleIsNew());
    p.model->ruleEditorClosed();

    QuitPlan *plan = p.plan({a}, hm(23, 0), QuitPlanBlockMode::none, 0, 0);
    p.model->editPlan(*plan, true);
    QCOMPARE(p.model->editingPlan(), plan);
    QVERIFY(p.model->planIsNew());
    QVERIFY(p.model->hasEditingPlan());
    p.model->planEditorClosed();
    QVERIFY(!p.model->hasEditingPlan());
    QCOMPARE(editors.size(), 6);
    QVERIFY(p.rearm.calls.isEmpty());
}

void TestSupervisionPanelModel::factoryOwnsItsModel()
{
    AppStateFixture f;
    AppState &state = f.start();
    QCOMPARE(SupervisionPanels::create(nullptr, nullptr), nullptr);
    auto owner = std::make_unique<QObject>();
    QPointer<SupervisionPanelModel> model = SupervisionPanels::create(&state, owner.get());
    QVERIFY(model);
    QCOMPARE(model->parent(), owner.get());
    // Its own re-arm reaches the state object's guards: switching a rule on runs them without a fault.
    auto *rule = state.container().mainContext().insert(std::make_unique<RestrictionRule>(
        RestrictionTarget::app, a, 0, 60, QList<int>{1, 2, 3, 4, 5, 6, 7}, false, std::nullopt));
    model->setRule(*rule, true);
    QVERIFY(rule->isEnabled());
    owner.reset();
    QVERIFY(!model);
}

QTEST_MAIN(TestSupervisionPanelModel)
#include "tst_supervisionpanelmodel.moc"
