#include "appstatefixture.h"

#include "../Services/scheduletesting.h"
#include "adhocblock.h"
#include "appgroup.h"
#include "quitplan.h"
#include "restrictionrule.h"
#include "scheduletext.h"

#include <QJsonObject>
#include <QTest>
#include <QTimeZone>

using namespace ScheduleTesting;

// The state object's block evaluation over the store and the preferences: what it reads, what it cleans up and
// when, and the texts of the reasons. The deciding rules have their own tables (tst_blockevaluation); these tests
// run in Shanghai (TZ is set for this test), on Monday 2 March 2026.
namespace {

const QString editor = u"com.example.editor"_qs;
const QString game = u"com.example.game"_qs;
const QString chat = u"com.example.chat"_qs;
const QString overrideKey = u"blockOverrideUntilMap"_qs;
const QString loanKey = u"pausedLoanUntilMap"_qs;
const QList<int> allDays{1, 2, 3, 4, 5, 6, 7};

double seconds(const QString &iso)
{
    return Instants::secondsSince1970(instant(iso));
}

QStringList sorted(const QSet<QString> &set)
{
    QStringList list(set.cbegin(), set.cend());
    list.sort();
    return list;
}

// A started state whose clock reads `now`.
struct Evaluation
{
    AppStateFixture f;
    AppState *state = nullptr;

    explicit Evaluation(const QString &now = u"2026-03-02T21:30:00+08:00"_qs)
    {
        f.clock.setWallTime(instant(now));
        state = &f.start();
    }
    StoreContext &store() { return state->container().mainContext(); }
    Instant now() const { return f.clock.now(); }

    RestrictionRule *rule(const QString &target, int start, int end, QList<int> days = allDays,
                          RestrictionTarget kind = RestrictionTarget::app, std::optional<Instant> onceDate = {})
    {
        auto *r = store().insert(
            std::make_unique<RestrictionRule>(kind, target, start, end, std::move(days), true, onceDate));
        std::ignore = store().save();
        return r;
    }
    AdHocBlock *adHoc(const QString &app, const QString &until)
    {
        auto *b = store().insert(std::make_unique<AdHocBlock>(app, instant(until)));
        std::ignore = store().save();
        return b;
    }
    AppGroup *group(const QStringList &members)
    {
        auto *g = store().insert(std::make_unique<AppGroup>(u"娱乐"_qs, 0, members));
        std::ignore = store().save();
        return g;
    }
    QList<QString> adHocApps() const
    {
        QStringList apps;
        for (const AdHocBlock *b : state->container().mainContext().fetch<AdHocBlock>())
            apps.append(b->bundleID());
        return apps;
    }
};

void setMaps(Evaluation &e, const QHash<QString, double> &overrides, const QHash<QString, double> &loans)
{
    e.f.preferences.setNumberMap(overrideKey, overrides);
    e.f.preferences.setNumberMap(loanKey, loans);
}

} // namespace

class TestAppStateBlocking : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(QTimeZone::systemTimeZoneId(), QByteArray("Asia/Shanghai"));
    }

    void snapshotsFromRows()
    {
        Evaluation e;
        auto *odd = e.rule(u"g1"_qs, hm(21, 0), hm(22, 0), {3, 1, 3});
        odd->setTargetKindRaw(5);
        odd->setPausedUntil(instant(u"2026-03-03T08:00:00+08:00"_qs));
        e.rule(u"g2"_qs, hm(1, 0), hm(2, 0), {}, RestrictionTarget::group, instant(u"2026-03-05T00:00:00+08:00"_qs));
        auto *plan = e.store().insert(std::make_unique<QuitPlan>(QuitPlanTarget::apps, QString(),
                                                                 QStringList{game, chat, game}, hm(23, 0),
                                                                 QList<int>{7, 1}, QuitPlanBlockMode::until, 5,
                                                                 hm(7, 30), true));
        plan->setTargetKindRaw(7);
        plan->setBlockModeRaw(9);

        const auto rules = e.state->restrictionRuleSnapshots();
        QCOMPARE(rules.size(), 2);
        QCOMPARE(rules[0].targetKind, RestrictionTarget::app); // an odd raw kind is an app
        QCOMPARE(rules[0].targetID, u"g1"_qs);
        QCOMPARE(rules[0].weekdays, (std::set<int>{1, 3}));
        QCOMPARE(show(rules[0].pausedUntil), show(instant(u"2026-03-03T08:00:00+08:00"_qs)));
        QCOMPARE(rules[1].targetKind, RestrictionTarget::group);
        QCOMPARE(show(rules[1].onceDate), show(instant(u"2026-03-05T00:00:00+08:00"_qs)));

        const auto plans = e.state->quitPlanSnapshots();
        QCOMPARE(plans.size(), 1);
        QCOMPARE(plans[0].targetKind, QuitPlanTarget::apps);
        QCOMPARE(plans[0].bundleIDs, (QStringList{game, chat, game}));
        QCOMPARE(plans[0].blockMode, QuitPlanBlockMode::none);
        QCOMPARE(plans[0].blockUntilMinute, hm(7, 30));
        QCOMPARE(plans[0].weekdays, (std::set<int>{1, 7}));
    }

    void groupsAreKeyedByTheirReference()
    {
        Evaluation e;
        AppGroup *stable = e.group({editor});
        AppGroup *old = e.group({chat});
        old->setStableID(std::nullopt); // a group from before stable identifiers
        e.rule(stable->refID(), hm(21, 0), hm(22, 0), allDays, RestrictionTarget::group);
        e.rule(old->storeID().text(), hm(21, 0), hm(22, 0), allDays, RestrictionTarget::group);
        e.rule(u"x-tarnwick://AppGroup/p99"_qs, hm(21, 0), hm(22, 0), allDays, RestrictionTarget::group);
        QCOMPARE(sorted(e.state->blockedBundleIDs(e.now())), (QStringList{chat, editor}));

        // A group plan's block covers the group's members.
        AppGroup *players = e.group({game});
        e.store().insert(std::make_unique<QuitPlan>(QuitPlanTarget::group, players->refID(), QStringList{},
                                                    hm(21, 0), allDays, QuitPlanBlockMode::minutes, 90, 0, true));
        QCOMPARE(sorted(e.state->blockedBundleIDs(e.now())), (QStringList{chat, editor, game}));
        QCOMPARE(show(e.state->blockedEndTime(game, e.now())), show(instant(u"2026-03-02T22:30:00+08:00"_qs)));

        // Of two groups with one key, the later in sortIndex order counts.
        AppGroup *twin = e.group({u"com.example.video"_qs});
        twin->setStableID(stable->stableID());
        twin->setSortIndex(-1);
        QVERIFY(e.state->blockedBundleIDs(e.now()).contains(editor));
        twin->setSortIndex(1);
        QVERIFY(!e.state->blockedBundleIDs(e.now()).contains(editor));
        QVERIFY(e.state->blockedBundleIDs(e.now()).contains(u"com.example.video"_qs));
    }

    // Entries that end exactly now are over: they block or lift nothing, and the clean-up takes them away.
    void endingNowIsOver()
    {
        Evaluation e;
        e.rule(editor, hm(21, 0), hm(22, 0));
        e.adHoc(chat, u"2026-03-02T21:30:00+08:00"_qs);
        e.adHoc(chat, u"2026-03-02T21:30:00.001+08:00"_qs);
        setMaps(e, {{editor, seconds(u"2026-03-02T21:30:00+08:00"_qs)}},
                  {{game, seconds(u"2026-03-02T21:30:00+08:00"_qs)}});

        QCOMPARE(sorted(e.state->blockedBundleIDs(e.now())), (QStringList{chat, editor}));
        QCOMPARE(e.adHocApps(), QStringList{chat}); // the row ending now is gone
        QVERIFY(!e.store().hasChanges());           // and saved
        QCOMPARE(e.f.preferences.value(overrideKey).toObject(), QJsonObject());
        QCOMPARE(e.f.preferences.value(loanKey).toObject(), QJsonObject());
    }

    void overrideLiftsEveryKindOfBlock()
    {
        Evaluation e;
        e.rule(editor, hm(21, 0), hm(22, 0));
        e.store().insert(std::make_unique<QuitPlan>(QuitPlanTarget::apps, QString(), QStringList{game}, hm(21, 0),
                                                    allDays, QuitPlanBlockMode::minutes, 60, 0, true));
        e.adHoc(chat, u"2026-03-02T23:00:00+08:00"_qs);
        const double later = seconds(u"2026-03-02T21:45:00+08:00"_qs);
        QCOMPARE(sorted(e.state->blockedBundleIDs(e.now())), (QStringList{chat, editor, game}));
        setMaps(e, {{editor, later}, {game, later}, {chat, later}}, {});
        QCOMPARE(sorted(e.state->blockedBundleIDs(e.now())), QStringList{});
        for (const QString &app : {editor, game, chat})
            QCOMPARE(show(e.state->blockedEndTime(app, e.now())), show(std::nullopt));
        // Still stored: the override and the ad-hoc block run on.
        QCOMPARE(e.f.preferences.numberMap(overrideKey)->size(), 3);
        QCOMPARE(e.adHocApps(), QStringList{chat});
    }

    void twoCoveringRules()
    {
        Evaluation e;
        e.rule(editor, hm(21, 0), hm(23, 0));
        e.rule(editor, hm(21, 0), hm(22, 0));
        const Instant t = e.now();
        QCOMPARE(show(e.state->blockedEndTime(editor, t)), show(instant(u"2026-03-02T22:00:00+08:00"_qs)));
        QCOMPARE(show(e.state->ignoreSessionEnd(editor, t)), show(instant(u"2026-03-02T23:00:00+08:00"_qs)));
        const auto summaries = e.state->activeBlockSummaries(editor, t);
        QCOMPARE(summaries.size(), 2);
        QCOMPARE(summaries[0].text, u"21:00–22:00 · 每天"_qs);
        QCOMPARE(summaries[1].text, u"21:00–23:00 · 每天"_qs);
    }

    void blockedByNothing()
    {
        Evaluation e;
        QCOMPARE(show(e.state->blockedEndTime(editor, e.now())), show(std::nullopt));
        QCOMPARE(show(e.state->ignoreSessionEnd(editor, e.now())), show(e.now() + 24h));
        QVERIFY(e.state->activeBlockSummaries(editor, e.now()).isEmpty());
    }

    void loans_data()
    {
        QTest::addColumn<bool>("rule");       // 21:00–22:00 on the editor
        QTest::addColumn<QString>("loan");    // empty: none
        QTest::addColumn<QString>("override"); // empty: none
        QTest::addColumn<bool>("blocked");
        QTest::addColumn<QString>("end"); // blockedEndTime; empty: none

        QTest::newRow("live loan without a raw end blocks until the loan")
            << false << "2026-03-02T22:40:00+08:00" << "" << true << "2026-03-02T22:40:00+08:00";
        QTest::newRow("live loan beyond the rule's end")
            << true << "2026-03-02T22:40:00+08:00" << "" << true << "2026-03-02T22:40:00+08:00";
        QTest::newRow("live loan before the rule's end")
            << true << "2026-03-02T21:50:00+08:00" << "" << true << "2026-03-02T22:00:00+08:00";
        QTest::newRow("live loan under a live override")
            << false << "2026-03-02T22:40:00+08:00" << "2026-03-02T21:40:00+08:00" << false << "";
        QTest::newRow("loan ending now") << false << "2026-03-02T21:30:00+08:00" << "" << false << "";
    }
    void loans()
    {
        QFETCH(bool, rule);
        QFETCH(QString, loan);
        QFETCH(QString, override);
        QFETCH(bool, blocked);
        QFETCH(QString, end);
        Evaluation e;
        if (rule)
            e.rule(editor, hm(21, 0), hm(22, 0));
        QHash<QString, double> overrides, loans;
        if (!loan.isEmpty())
            loans.insert(editor, seconds(loan));
        if (!override.isEmpty())
            overrides.insert(editor, seconds(override));
        setMaps(e, overrides, loans);
        QCOMPARE(show(e.state->blockedEndTime(editor, e.now())), show(maybeInstant(end)));
        QCOMPARE(e.state->blockedBundleIDs(e.now()).contains(editor), blocked);
        // A loan is no reason of its own.
        QCOMPARE(e.state->activeBlockSummaries(editor, e.now()).size(), rule ? 1 : 0);
    }

    // A value that is not a number is skipped; it stays stored until the map is written for another reason.
    void wrongTypedMapValues()
    {
        Evaluation e;
        const double live = seconds(u"2026-03-02T22:00:00+08:00"_qs);
        const double over = seconds(u"2026-03-02T21:00:00+08:00"_qs);
        e.f.preferences.setValue(overrideKey, QJsonObject{{editor, u"soon"_qs}, {game, live}});
        e.f.preferences.setValue(loanKey, QJsonObject{{editor, true}, {chat, live}});
        const int writes = e.f.preferences.writeCount();

        e.rule(editor, hm(21, 0), hm(22, 0));
        e.rule(game, hm(21, 0), hm(22, 0));
        QCOMPARE(sorted(e.state->blockedBundleIDs(e.now())), (QStringList{chat, editor}));
        QCOMPARE(e.f.preferences.writeCount(), writes); // nothing expired: nothing written
        QCOMPARE(e.f.preferences.value(overrideKey).toObject().size(), 2);

        e.f.preferences.setValue(overrideKey, QJsonObject{{editor, u"soon"_qs}, {game, live}, {chat, over}});
        e.f.preferences.setValue(loanKey, QJsonObject{{editor, true}, {chat, live}, {game, over}});
        std::ignore = e.state->blockedBundleIDs(e.now());
        QCOMPARE(e.f.preferences.value(overrideKey).toObject(), (QJsonObject{{game, live}}));
        QCOMPARE(e.f.preferences.value(loanKey).toObject(), (QJsonObject{{chat, live}}));
    }

    // The block-start warning evaluates 15 s ahead: what ends before then counts as over at that instant, but
    // nothing that still runs now is deleted or dropped.
    void evaluationAheadDeletesNothing()
    {
        Evaluation e;
        const Instant now = e.now();
        const double in5s = Instants::secondsSince1970(now + 5s);
        e.adHoc(chat, u"2026-03-02T21:30:05+08:00"_qs);
        setMaps(e, {{editor, in5s}}, {{game, in5s}});
        e.rule(editor, hm(21, 0), hm(22, 0));
        const int writes = e.f.preferences.writeCount();

        QCOMPARE(sorted(e.state->blockedBundleIDs(now + 15s)), QStringList{editor});
        QCOMPARE(e.adHocApps(), QStringList{chat});
        QCOMPARE(e.f.preferences.writeCount(), writes);

        QCOMPARE(sorted(e.state->blockedBundleIDs(now + 4s)), (QStringList{chat, game}));
        QCOMPARE(e.adHocApps(), QStringList{chat});

        // A look into the past decides by the rows as they stand, then cleans up by the clock.
        e.f.clock.setWallTime(now + 6s);
        QCOMPARE(sorted(e.state->blockedBundleIDs(now)), (QStringList{chat, game}));
        QVERIFY(e.adHocApps().isEmpty());
        QCOMPARE(e.f.preferences.value(overrideKey).toObject(), QJsonObject());
        QCOMPARE(e.f.preferences.value(loanKey).toObject(), QJsonObject());
    }

    void summaryTexts()
    {
        Evaluation e(u"2026-03-05T23:00:00+08:00"_qs); // a Thursday
        e.rule(editor, hm(22, 30), hm(7, 0), {2, 3, 4, 5, 6});
        e.rule(editor, hm(22, 5), hm(23, 59), {}, RestrictionTarget::app, instant(u"2026-03-05T09:00:00+08:00"_qs));
        e.store().insert(std::make_unique<QuitPlan>(QuitPlanTarget::apps, QString(), QStringList{editor}, hm(22, 0),
                                                    QList<int>{5, 6}, QuitPlanBlockMode::until, 0, hm(23, 15), true));
        e.adHoc(editor, u"2026-03-05T23:15:00+08:00"_qs);
        e.adHoc(editor, u"2026-03-05T23:05:30+08:00"_qs);

        QStringList texts;
        QList<bool> viewable;
        for (const auto &s : e.state->activeBlockSummaries(editor, e.now())) {
            texts.append(s.text);
            viewable.append(s.viewable);
        }
        QCOMPARE(texts, (QStringList{u"临时禁启 · 至 23:05"_qs, u"22:00–23:15 · 周四 周五"_qs,
                                     u"临时禁启 · 至 23:15"_qs, u"22:05–23:59 · 单次 3月5日"_qs,
                                     u"22:30–07:00 · 周一～周五"_qs}));
        QCOMPARE(viewable, (QList<bool>{false, true, false, true, true}));
    }

    void activeAdHocBlocksDeleteNothing()
    {
        Evaluation e;
        e.adHoc(chat, u"2026-03-02T23:00:00+08:00"_qs);
        e.adHoc(game, u"2026-03-02T21:00:00+08:00"_qs);
        e.adHoc(editor, u"2026-03-02T22:00:00+08:00"_qs);
        QStringList live;
        for (const AdHocBlock *b : e.state->activeAdHocBlocks(e.now()))
            live.append(b->bundleID());
        QCOMPARE(live, (QStringList{editor, chat}));
        QCOMPARE(e.adHocApps(), (QStringList{chat, game, editor}));
    }

    void purgeExpiredOnceRules()
    {
        Evaluation e;
        const auto once = [&](const QString &day, int start, int end) {
            return e.rule(editor, start, end, {}, RestrictionTarget::app, instant(day));
        };
        once(u"2026-03-02T00:00:00+08:00"_qs, hm(21, 0), hm(22, 0));          // today, running
        once(u"2026-03-02T00:00:00+08:00"_qs, hm(20, 0), hm(21, 30));         // today, ended now
        once(u"2026-03-01T00:00:00+08:00"_qs, hm(23, 0), hm(1, 0));           // yesterday, past midnight, over
        once(u"2026-03-03T00:00:00+08:00"_qs, hm(9, 0), hm(10, 0));           // tomorrow
        once(u"2026-03-03T00:00:00+08:00"_qs, hm(9, 0), hm(9, 0));            // an empty window: over at once
        e.rule(game, hm(1, 0), hm(2, 0));                                     // weekly

        // Nothing expired: no save (a pending change stays pending).
        Evaluation quiet;
        quiet.rule(editor, hm(9, 0), hm(10, 0), {}, RestrictionTarget::app, instant(u"2026-03-03T00:00:00+08:00"_qs));
        quiet.store().fetchOrCreateMeta(chat);
        quiet.state->purgeExpiredOnceRules();
        QVERIFY(quiet.store().hasChanges());

        e.store().fetchOrCreateMeta(chat);
        e.state->purgeExpiredOnceRules();
        QVERIFY(!e.store().hasChanges());
        QStringList left;
        for (const auto &rule : e.state->restrictionRuleSnapshots()) {
            const QList<int> days(rule.weekdays.begin(), rule.weekdays.end());
            left.append(ScheduleText::repeatSummary(rule.onceDate, days, ScheduleCalendar::system()) + u' '
                        + QString::number(rule.startMinute) + u'-' + QString::number(rule.endMinute));
        }
        QCOMPARE(left, (QStringList{u"单次 3月2日 1260-1320"_qs, u"单次 3月3日 540-600"_qs, u"每天 60-120"_qs}));
    }
};

QTEST_MAIN(TestAppStateBlocking)
#include "tst_appstate_blocking.moc"
