#include "blockevaluation.h"

#include "../Services/scheduletesting.h"

#include <QTest>

using namespace ScheduleTesting;
using BlockEvaluation::AdHocEntry;
using BlockEvaluation::Inputs;

Q_DECLARE_METATYPE(BlockEvaluation::Inputs)

namespace {

const QString editor = u"com.example.editor"_qs;
const QString game = u"com.example.game"_qs;
const QString video = u"com.example.video"_qs;
const QString chat = u"com.example.chat"_qs;
const QString entertainment = u"9A1C6E2E-3F0B-4C1D-9E8F-0A1B2C3D4E5F"_qs;

// Every row is on Monday 2 March 2026 in Shanghai (no clock changes), at 21:30 unless it says otherwise.
const QString at2130 = u"2026-03-02T21:30:00+08:00"_qs;

ScheduleCalendar shanghai()
{
    return calendar("Asia/Shanghai");
}

// A small builder, so that a row reads as the situation it sets up.
struct Situation
{
    Inputs in;
    QString at = at2130;

    Situation &rule(RestrictionRuleSnapshot r)
    {
        in.rules.append(std::move(r));
        return *this;
    }
    // The plan's block windows, as the rule list for the row's instant has them.
    Situation &plan(const QuitPlanSnapshot &p)
    {
        in.rules.append(QuitPlanEngine::blockRuleSnapshots({p}, instant(at)));
        return *this;
    }
    Situation &group(const QString &key, const QStringList &members)
    {
        in.groupMembers.insert(key, members);
        return *this;
    }
    Situation &adHoc(const QString &app, const QString &until)
    {
        in.adHocBlocks.append({app, instant(until)});
        return *this;
    }
    Situation &overrideUntil(const QString &app, const QString &until)
    {
        in.overrides.insert(app, instant(until));
        return *this;
    }
    Situation &loan(const QString &app, const QString &until)
    {
        in.loans.insert(app, instant(until));
        return *this;
    }
    Situation &when(const QString &t)
    {
        at = t;
        return *this;
    }
};

RestrictionRuleSnapshot evening(const QString &app = editor)
{
    return weeklyRule(hm(21, 0), hm(22, 0), everyDay, app);
}

RestrictionRuleSnapshot until23(const QString &app = editor)
{
    return weeklyRule(hm(21, 0), hm(23, 0), everyDay, app);
}

// A plan that quits the game at 21:00 and blocks it for an hour.
QuitPlanSnapshot gameNight()
{
    return blockingFor(appsPlan(hm(21, 0), everyDay, {game}), 60);
}

QStringList sorted(const QSet<QString> &set)
{
    QStringList list(set.cbegin(), set.cend());
    list.sort();
    return list;
}

// Texts with visible seams, so that the rows see what was asked of them; the real texts are the state's tests'.
BlockEvaluation::SummaryTexts markedTexts()
{
    return {
        [](const std::optional<Instant> &onceDate, const std::set<int> &weekdays) {
            if (onceDate)
                return u"once "_qs + show(onceDate);
            QStringList days;
            for (int d : weekdays)
                days.append(QString::number(d));
            return u"days "_qs + days.join(u',');
        },
        [](Instant t) { return Instants::toDateTime(t).toOffsetFromUtc(8 * 3600).toString(u"HH:mm"_qs); },
    };
}

} // namespace

Q_DECLARE_METATYPE(Situation)

class TestBlockEvaluation : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void blockedSet_data()
    {
        QTest::addColumn<Situation>("situation");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("nothing stored") << Situation{} << QStringList{};
        QTest::newRow("app rule in force") << Situation{}.rule(evening()) << QStringList{editor};
        QTest::newRow("app rule before its window")
            << Situation{}.rule(evening()).when(u"2026-03-02T20:59:59+08:00"_qs) << QStringList{};
        QTest::newRow("app rule at its end is over")
            << Situation{}.rule(evening()).when(u"2026-03-02T22:00:00+08:00"_qs) << QStringList{};
        QTest::newRow("group rule blocks its members")
            << Situation{}.rule(groupRule(evening(), entertainment)).group(entertainment, {video, chat})
            << QStringList{chat, video};
        QTest::newRow("group rule of a vanished group blocks nothing")
            << Situation{}.rule(groupRule(evening(), entertainment)).group(u"other"_qs, {video}) << QStringList{};
        QTest::newRow("plan block covers its apps") << Situation{}.plan(gameNight()) << QStringList{game};
        QTest::newRow("group plan block covers the group's members")
            << Situation{}.plan(blockingFor(groupPlan(hm(21, 0), everyDay, entertainment), 60))
                   .group(entertainment, {video})
            << QStringList{video};
        QTest::newRow("live ad-hoc block")
            << Situation{}.adHoc(chat, u"2026-03-02T21:30:01+08:00"_qs) << QStringList{chat};
        QTest::newRow("ad-hoc block ending exactly now is over")
            << Situation{}.adHoc(chat, at2130) << QStringList{};
        QTest::newRow("override lifts a rule block")
            << Situation{}.rule(evening()).overrideUntil(editor, u"2026-03-02T21:31:00+08:00"_qs) << QStringList{};
        QTest::newRow("override lifts a plan block")
            << Situation{}.plan(gameNight()).overrideUntil(game, u"2026-03-02T21:31:00+08:00"_qs) << QStringList{};
        QTest::newRow("override lifts an ad-hoc block")
            << Situation{}
                   .adHoc(chat, u"2026-03-02T23:00:00+08:00"_qs)
                   .overrideUntil(chat, u"2026-03-02T21:31:00+08:00"_qs)
            << QStringList{};
        QTest::newRow("override lifts a group member alone")
            << Situation{}.rule(groupRule(evening(), entertainment)).group(entertainment, {video, chat})
                   .overrideUntil(video, u"2026-03-02T21:31:00+08:00"_qs)
            << QStringList{chat};
        QTest::newRow("override ending exactly now lifts nothing")
            << Situation{}.rule(evening()).overrideUntil(editor, at2130) << QStringList{editor};
        QTest::newRow("live loan without an override blocks")
            << Situation{}.loan(editor, u"2026-03-02T22:10:00+08:00"_qs) << QStringList{editor};
        QTest::newRow("live loan under a live override does not block")
            << Situation{}
                   .loan(editor, u"2026-03-02T22:10:00+08:00"_qs)
                   .overrideUntil(editor, u"2026-03-02T21:40:00+08:00"_qs)
            << QStringList{};
        QTest::newRow("live loan once its override is over blocks")
            << Situation{}.loan(editor, u"2026-03-02T22:10:00+08:00"_qs).overrideUntil(editor, at2130)
            << QStringList{editor};
        QTest::newRow("loan ending exactly now is over")
            << Situation{}.loan(editor, at2130) << QStringList{};
    }
    void blockedSet()
    {
        QFETCH(Situation, situation);
        QFETCH(QStringList, expected);
        QCOMPARE(sorted(BlockEvaluation::blockedBundleIDs(situation.in, instant(situation.at), shanghai())), expected);
    }

    void ends_data()
    {
        QTest::addColumn<Situation>("situation");
        QTest::addColumn<QString>("app");
        QTest::addColumn<QString>("raw"); // empty: none
        QTest::addColumn<QString>("effective");
        QTest::addColumn<QString>("blockedEnd");
        QTest::addColumn<QString>("ignoreEnd");

        const QString at22 = u"2026-03-02T22:00:00+08:00"_qs;
        const QString at23 = u"2026-03-02T23:00:00+08:00"_qs;
        const QString dayLater = u"2026-03-03T21:30:00+08:00"_qs;
        const QString loanEnd = u"2026-03-02T22:40:00+08:00"_qs;

        QTest::newRow("blocked by nothing") << Situation{} << editor << "" << "" << "" << dayLater;
        QTest::newRow("two covering rules: raw gives the earlier, the pause the later")
            << Situation{}.rule(until23()).rule(evening()) << editor << at22 << at22 << at22 << at23;
        QTest::newRow("an ad-hoc block ending first gives the raw end")
            << Situation{}.rule(evening()).adHoc(editor, u"2026-03-02T21:45:00+08:00"_qs)
            << editor << "2026-03-02T21:45:00+08:00" << "2026-03-02T21:45:00+08:00" << "2026-03-02T21:45:00+08:00"
            << at22;
        QTest::newRow("an ad-hoc block ending exactly now is no candidate")
            << Situation{}.rule(evening()).adHoc(editor, at2130) << editor << at22 << at22 << at22 << at22;
        QTest::newRow("another app's blocks are no candidates")
            << Situation{}.rule(evening(game)).adHoc(chat, at23) << editor << "" << "" << "" << dayLater;
        QTest::newRow("group rule through its members")
            << Situation{}.rule(groupRule(evening(), entertainment)).group(entertainment, {editor})
            << editor << at22 << at22 << at22 << at22;
        QTest::newRow("vanished group gives no end")
            << Situation{}.rule(groupRule(evening(), entertainment)) << editor << "" << "" << "" << dayLater;
        QTest::newRow("overnight window ends next morning")
            << Situation{}.rule(weeklyRule(hm(22, 30), hm(7, 0), mondayToFriday)).when(at23)
            << editor << "2026-03-03T07:00:00+08:00" << "2026-03-03T07:00:00+08:00" << "2026-03-03T07:00:00+08:00"
            << "2026-03-03T07:00:00+08:00";
        QTest::newRow("plan block ends with its minutes")
            << Situation{}.plan(gameNight()) << game << at22 << at22 << at22 << at22;
        QTest::newRow("live loan without a raw end")
            << Situation{}.loan(editor, loanEnd) << editor << "" << loanEnd << loanEnd << loanEnd;
        QTest::newRow("live loan later than the raw end")
            << Situation{}.rule(evening()).loan(editor, loanEnd) << editor << at22 << loanEnd << loanEnd << at22;
        QTest::newRow("live loan earlier than the raw end")
            << Situation{}.rule(evening()).loan(editor, u"2026-03-02T21:50:00+08:00"_qs) << editor << at22 << at22
            << at22 << at22;
        QTest::newRow("loan ending exactly now is ignored")
            << Situation{}.rule(evening()).loan(editor, at2130) << editor << at22 << at22 << at22 << at22;
        QTest::newRow("live override: no end to show, the pause still skips the window")
            << Situation{}.rule(evening()).overrideUntil(editor, u"2026-03-02T21:40:00+08:00"_qs)
            << editor << at22 << at22 << "" << at22;
        QTest::newRow("live override and a loan alone: a day")
            << Situation{}.loan(editor, loanEnd).overrideUntil(editor, u"2026-03-02T21:40:00+08:00"_qs)
            << editor << "" << loanEnd << "" << dayLater;
    }
    void ends()
    {
        QFETCH(Situation, situation);
        QFETCH(QString, app);
        QFETCH(QString, raw);
        QFETCH(QString, effective);
        QFETCH(QString, blockedEnd);
        QFETCH(QString, ignoreEnd);
        const Instant t = instant(situation.at);
        const auto cal = shanghai();
        const QString &who = app;
        QCOMPARE(show(BlockEvaluation::rawBlockEnd(situation.in, who, t, cal)), show(maybeInstant(raw)));
        QCOMPARE(show(BlockEvaluation::effectiveBlockEnd(situation.in, who, t, cal)), show(maybeInstant(effective)));
        QCOMPARE(show(BlockEvaluation::blockedEndTime(situation.in, who, t, cal)), show(maybeInstant(blockedEnd)));
        QCOMPARE(show(BlockEvaluation::ignoreSessionEnd(situation.in, who, t, cal)), show(instant(ignoreEnd)));
    }

    void summaries_data()
    {
        QTest::addColumn<Situation>("situation");
        QTest::addColumn<QString>("app");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("ends");
        QTest::addColumn<QList<bool>>("viewable");

        QTest::newRow("two covering rules, the earlier end first")
            << Situation{}.rule(until23()).rule(evening()) << editor
            << QStringList{u"21:00–22:00 · days 1,2,3,4,5,6,7"_qs, u"21:00–23:00 · days 1,2,3,4,5,6,7"_qs}
            << QStringList{u"2026-03-02T22:00:00+08:00"_qs, u"2026-03-02T23:00:00+08:00"_qs} << QList<bool>{true, true};
        QTest::newRow("overnight window on weekdays")
            << Situation{}.rule(weeklyRule(hm(22, 30), hm(7, 0), mondayToFriday)).when(u"2026-03-02T23:00:00+08:00"_qs)
            << editor << QStringList{u"22:30–07:00 · days 2,3,4,5,6"_qs}
            << QStringList{u"2026-03-03T07:00:00+08:00"_qs} << QList<bool>{true};
        QTest::newRow("one-off rule hands its date to the repeat text")
            << Situation{}.rule(onceRule(u"2026-03-02T00:00:00+08:00"_qs, hm(21, 5), hm(23, 0))) << editor
            << QStringList{u"21:05–23:00 · once 2026-03-01T16:00:00.000Z"_qs}
            << QStringList{u"2026-03-02T23:00:00+08:00"_qs} << QList<bool>{true};
        QTest::newRow("plan block shows the quit minute and its end minute")
            << Situation{}.plan(gameNight()) << game << QStringList{u"21:00–22:00 · days 1,2,3,4,5,6,7"_qs}
            << QStringList{u"2026-03-02T22:00:00+08:00"_qs} << QList<bool>{true};
        QTest::newRow("a plan that lists the app twice gives two summaries")
            << Situation{}.plan(blockingFor(appsPlan(hm(21, 0), everyDay, {game, game}), 60)) << game
            << QStringList{u"21:00–22:00 · days 1,2,3,4,5,6,7"_qs, u"21:00–22:00 · days 1,2,3,4,5,6,7"_qs}
            << QStringList{u"2026-03-02T22:00:00+08:00"_qs, u"2026-03-02T22:00:00+08:00"_qs}
            << QList<bool>{true, true};
        QTest::newRow("equal ends keep rules, plan blocks, then ad-hoc blocks")
            << Situation{}.adHoc(game, u"2026-03-02T22:00:00+08:00"_qs).plan(gameNight()).rule(evening(game))
            << game
            << QStringList{u"21:00–22:00 · days 1,2,3,4,5,6,7"_qs, u"21:00–22:00 · days 1,2,3,4,5,6,7"_qs,
                           u"临时禁启 · 至 22:00"_qs}
            << QStringList{u"2026-03-02T22:00:00+08:00"_qs, u"2026-03-02T22:00:00+08:00"_qs,
                           u"2026-03-02T22:00:00+08:00"_qs}
            << QList<bool>{true, true, false};
        QTest::newRow("ad-hoc blocks: live ones only, by end")
            << Situation{}.adHoc(chat, u"2026-03-02T23:15:00+08:00"_qs).adHoc(chat, at2130)
                   .adHoc(chat, u"2026-03-02T21:45:00+08:00"_qs).adHoc(video, u"2026-03-02T21:50:00+08:00"_qs)
            << chat << QStringList{u"临时禁启 · 至 21:45"_qs, u"临时禁启 · 至 23:15"_qs}
            << QStringList{u"2026-03-02T21:45:00+08:00"_qs, u"2026-03-02T23:15:00+08:00"_qs}
            << QList<bool>{false, false};
        QTest::newRow("an override or a loan changes no reason")
            << Situation{}.rule(evening()).overrideUntil(editor, u"2026-03-02T21:40:00+08:00"_qs)
                   .loan(editor, u"2026-03-02T23:40:00+08:00"_qs)
            << editor << QStringList{u"21:00–22:00 · days 1,2,3,4,5,6,7"_qs}
            << QStringList{u"2026-03-02T22:00:00+08:00"_qs} << QList<bool>{true};
        QTest::newRow("a loan alone is no reason")
            << Situation{}.loan(editor, u"2026-03-02T23:40:00+08:00"_qs) << editor << QStringList{} << QStringList{}
            << QList<bool>{};
        QTest::newRow("group rule through its members")
            << Situation{}.rule(groupRule(evening(), entertainment)).group(entertainment, {video}) << video
            << QStringList{u"21:00–22:00 · days 1,2,3,4,5,6,7"_qs} << QStringList{u"2026-03-02T22:00:00+08:00"_qs}
            << QList<bool>{true};
        QTest::newRow("a rule not in force is no reason")
            << Situation{}.rule(evening()).when(u"2026-03-02T20:00:00+08:00"_qs) << editor << QStringList{}
            << QStringList{} << QList<bool>{};
    }
    void summaries()
    {
        QFETCH(Situation, situation);
        QFETCH(QString, app);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, ends);
        QFETCH(QList<bool>, viewable);
        const auto result = BlockEvaluation::activeBlockSummaries(situation.in, app, instant(situation.at), shanghai(),
                                                                  markedTexts());
        QStringList gotTexts, gotEnds;
        QList<bool> gotViewable;
        for (const auto &s : result) {
            gotTexts.append(s.text);
            gotEnds.append(show(s.end));
            gotViewable.append(s.viewable);
        }
        QStringList expectedEnds;
        for (const QString &e : ends)
            expectedEnds.append(show(instant(e)));
        QCOMPARE(gotTexts, texts);
        QCOMPARE(gotEnds, expectedEnds);
        QCOMPARE(gotViewable, viewable);
    }

    // Far in the future the calendar searches give up: the rule still blocks, but has no end to offer.
    void ruleInForceWithoutAnEnd()
    {
        const Instant t{std::chrono::seconds{399'999'990'000LL}};
        Situation s;
        s.rule(weeklyRule(hm(0, 0), hm(23, 59), everyDay));
        const auto cal = shanghai();
        QVERIFY(!RestrictionEngine::currentOrNextWindowEnd(s.in.rules[0], t, cal));
        QCOMPARE(sorted(BlockEvaluation::blockedBundleIDs(s.in, t, cal)), QStringList{editor});
        QCOMPARE(show(BlockEvaluation::rawBlockEnd(s.in, editor, t, cal)), show(std::nullopt));
        QCOMPARE(show(BlockEvaluation::blockedEndTime(s.in, editor, t, cal)), show(std::nullopt));
        QCOMPARE(show(BlockEvaluation::ignoreSessionEnd(s.in, editor, t, cal)), show(t + 24h));
        QVERIFY(BlockEvaluation::activeBlockSummaries(s.in, editor, t, cal, markedTexts()).isEmpty());
    }

    void ruleListPutsPlanBlocksAfterTheRules()
    {
        const Instant t = instant(at2130);
        const auto list = BlockEvaluation::ruleList({evening(), until23()}, {gameNight()}, t);
        QCOMPARE(list.size(), 3);
        QCOMPARE(list[0], evening());
        QCOMPARE(list[1], until23());
        QCOMPARE(list[2].targetID, game);
        QCOMPARE(list[2].startMinute, hm(21, 0));
        QCOMPARE(list[2].endMinute, hm(22, 0));
    }

    void activeAdHocBlocksAreLiveOnesByEnd()
    {
        const QList<AdHocEntry> blocks{{chat, instant(u"2026-03-02T23:00:00+08:00"_qs)},
                                       {video, instant(at2130)},
                                       {game, instant(u"2026-03-02T22:00:00+08:00"_qs)},
                                       {editor, instant(u"2026-03-02T23:00:00+08:00"_qs)}};
        const auto live = BlockEvaluation::activeAdHocBlocks(blocks, instant(at2130));
        QCOMPARE(live, (QList<AdHocEntry>{blocks[2], blocks[0], blocks[3]}));
    }

    void storedMaps_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<bool>("kept");
        QTest::newRow("whole seconds") << 1772458200.0 << true;
        QTest::newRow("fractions") << 1772458200.25 << true;
        QTest::newRow("before 1970") << -86400.0 << true;
        QTest::newRow("beyond any instant") << 1e300 << false;
        QTest::newRow("not a number") << std::nan("") << false;
        QTest::newRow("infinite") << HUGE_VAL << false;
    }
    void storedMaps()
    {
        QFETCH(double, seconds);
        QFETCH(bool, kept);
        const auto map = BlockEvaluation::untilMapFromSeconds({{editor, seconds}, {game, 1.0}});
        QCOMPARE(map.contains(editor), kept);
        QVERIFY(map.contains(game));
        if (kept)
            QCOMPARE(BlockEvaluation::secondsFromUntilMap(map).value(editor), seconds);
    }

    void dropExpiredKeepsLiveEntries()
    {
        const Instant now = instant(at2130);
        BlockEvaluation::UntilMap map{{editor, now}, {game, now + 1us}, {chat, now - 1s}};
        QVERIFY(BlockEvaluation::dropExpired(map, now));
        QCOMPARE(map, (BlockEvaluation::UntilMap{{game, now + 1us}}));
        QVERIFY(!BlockEvaluation::dropExpired(map, now));
        QCOMPARE(map.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestBlockEvaluation)
#include "tst_blockevaluation.moc"
