// The state object's two busiest answers over a started state (fakes, virtual clock, store in memory): the blocked
// set with 50 rules, 20 timed-quit plans, 20 groups and 100 live ad-hoc blocks, and the grid's list of 5,000 apps
// (1,000 of them with records, installed in batches) plain, with a group of 200 selected, and with a search text.
// The deciding core of the blocked set is timed apart, so that the cost of reading the rows shows.

#include "../tests/App/appstatefixture.h"

#include "adhocblock.h"
#include "appgroup.h"
#include "appmeta.h"
#include "blockevaluation.h"
#include "quitplan.h"
#include "restrictionrule.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

// A fixed sequence, so that every run sees the same data.
class Dice
{
public:
    int roll(int sides)
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return int(m_state % quint64(sides));
    }

private:
    quint64 m_state = 88172645463325252ULL;
};

QString appID(int i)
{
    return u"org.example.app%1"_qs.arg(i);
}

// Chinese names on every third app, built from a few syllable pairs; Latin names otherwise.
QString appName(int i, Dice &dice)
{
    static const QStringList han{u"微信"_qs, u"音乐"_qs, u"视频"_qs, u"地图"_qs, u"相机"_qs, u"日历"_qs,
                                 u"笔记"_qs, u"会议"_qs, u"游戏"_qs, u"翻译"_qs, u"阅读"_qs, u"助手"_qs};
    static const QStringList latin{u"Studio"_qs, u"Player"_qs, u"Notes"_qs, u"Sync"_qs, u"Reader"_qs,
                                   u"Desk"_qs,   u"Cloud"_qs,  u"Mail"_qs,  u"Draw"_qs, u"Terminal"_qs};
    if (i % 3 == 0)
        return han[dice.roll(int(han.size()))] + han[dice.roll(int(han.size()))];
    return latin[dice.roll(int(latin.size()))] + u' ' + latin[dice.roll(int(latin.size()))] + u' '
           + QString::number(i);
}

// One started state, made on first use and kept for every benchmark of the run.
struct Catalogue
{
    AppStateFixture f;
    AppState *state = nullptr;
    StoreID group;

    Catalogue()
    {
        state = &f.start();
        StoreContext &store = state->container().mainContext();
        Dice dice;

        QList<AppInfo> apps;
        for (int i = 0; i < 5000; ++i) {
            AppInfo app;
            app.bundleID = appID(i);
            app.name = appName(i, dice);
            app.url = QUrl::fromLocalFile(u"/usr/share/applications/"_qs + app.bundleID + u".desktop"_qs);
            // Installed in batches: about five apps share each install time, as after a system update.
            f.bundles.setCreationDate(app.path(), Instants::fromSecondsSince1970(1.6e9 + 86400.0 * dice.roll(1000)));
            apps.append(app);
        }
        f.finishScan(apps);

        for (int i = 0; i < 5000; i += 5) {
            AppMeta *meta = store.fetchOrCreateMeta(appID(i));
            meta->setIsPinned(dice.roll(20) == 0);
            meta->setIsHidden(dice.roll(25) == 0);
            if (dice.roll(3) == 0)
                meta->setSortIndex(dice.roll(2000));
            if (dice.roll(10) == 0)
                meta->setAliasName(u"我的"_qs + QString::number(i));
        }

        // 20 groups of 10; the first holds 200 members for the group view.
        QStringList groupIDs;
        for (int g = 0; g < 20; ++g) {
            QStringList members;
            for (int m = 0; m < (g == 0 ? 200 : 10); ++m)
                members.append(appID(dice.roll(5000)));
            AppGroup *row = store.insert(std::make_unique<AppGroup>(u"组%1"_qs.arg(g), g, members));
            groupIDs.append(row->refID());
            if (g == 0)
                group = row->storeID();
        }

        // 50 rules: app and group targets, weekly (some past midnight) and one-off.
        const Instant now = f.clock.now();
        for (int r = 0; r < 50; ++r) {
            const bool onGroup = r % 4 == 0;
            const int start = dice.roll(1440);
            const int end = r % 5 == 0 ? (start + 1440 - 60) % 1440 : (start + 30 + dice.roll(300)) % 1440;
            const auto once = r % 7 == 0 ? std::optional(now + std::chrono::days{dice.roll(3)}) : std::nullopt;
            store.insert(std::make_unique<RestrictionRule>(
                onGroup ? RestrictionTarget::group : RestrictionTarget::app,
                onGroup ? groupIDs[dice.roll(20)] : appID(dice.roll(5000)), start, end,
                QList<int>{1, 2, 3, 4, 5, 6, 7}.mid(dice.roll(3)), true, once));
        }
        // 20 plans: half on groups, most leaving a block behind.
        for (int p = 0; p < 20; ++p) {
            const bool onGroup = p % 2 == 0;
            QStringList targets;
            for (int k = 0; k < 3; ++k)
                targets.append(appID(dice.roll(5000)));
            store.insert(std::make_unique<QuitPlan>(
                onGroup ? QuitPlanTarget::group : QuitPlanTarget::apps, onGroup ? groupIDs[dice.roll(20)] : QString(),
                onGroup ? QStringList{} : targets, dice.roll(1440), QList<int>{1, 2, 3, 4, 5, 6, 7},
                QuitPlanBlockMode(dice.roll(3)), 30 + dice.roll(120), dice.roll(1440), true));
        }
        // 100 live ad-hoc blocks.
        for (int b = 0; b < 100; ++b)
            store.insert(std::make_unique<AdHocBlock>(appID(dice.roll(5000)), now + std::chrono::minutes{1 + b}));
        std::ignore = store.save();
        state->refreshSortMeta();
    }
};

Catalogue &catalogue()
{
    static Catalogue c;
    return c;
}

void BM_BlockedBundleIDs(benchmark::State &s)
{
    Catalogue &c = catalogue();
    const Instant at = c.f.clock.now();
    qsizetype blocked = c.state->blockedBundleIDs(at).size();
    for (auto _ : s) {
        QSet<QString> set = c.state->blockedBundleIDs(at);
        benchmark::DoNotOptimize(set);
    }
    s.counters["blocked"] = double(blocked);
}
BENCHMARK(BM_BlockedBundleIDs)->Unit(benchmark::kMicrosecond);

BlockEvaluation::Inputs pureInputs(Catalogue &c, Instant at)
{
    BlockEvaluation::Inputs in;
    in.rules = BlockEvaluation::ruleList(c.state->restrictionRuleSnapshots(), c.state->quitPlanSnapshots(), at);
    in.groupMembers = BlockEvaluation::groupMemberMap(c.state->groups());
    for (const AdHocBlock *row : c.state->container().mainContext().fetch<AdHocBlock>())
        in.adHocBlocks.append({row->bundleID(), row->until()});
    return in;
}

// The deciding core over inputs read once, with the calendar made once.
void BM_BlockedBundleIDsCore(benchmark::State &s)
{
    Catalogue &c = catalogue();
    const Instant at = c.f.clock.now();
    const BlockEvaluation::Inputs in = pureInputs(c, at);
    const ScheduleCalendar calendar = ScheduleCalendar::system();
    for (auto _ : s) {
        QSet<QString> set = BlockEvaluation::blockedBundleIDs(in, at, calendar);
        benchmark::DoNotOptimize(set);
    }
}
BENCHMARK(BM_BlockedBundleIDsCore)->Unit(benchmark::kMicrosecond);

// The system calendar alone, which every evaluation makes anew.
void BM_SystemCalendar(benchmark::State &s)
{
    for (auto _ : s) {
        ScheduleCalendar calendar = ScheduleCalendar::system();
        benchmark::DoNotOptimize(calendar);
    }
}
BENCHMARK(BM_SystemCalendar)->Unit(benchmark::kMicrosecond);

void visibleApps(benchmark::State &s, bool inGroup, const QString &search)
{
    Catalogue &c = catalogue();
    c.state->setSearchText(search);
    c.state->setSelectedGroupID(inGroup ? std::optional(c.group) : std::nullopt);
    qsizetype shown = c.state->visibleApps().size();
    for (auto _ : s) {
        QList<AppInfo> list = c.state->visibleApps();
        benchmark::DoNotOptimize(list);
    }
    s.counters["shown"] = double(shown);
}

void BM_VisibleAppsPlain(benchmark::State &s)
{
    visibleApps(s, false, QString());
}
void BM_VisibleAppsGroup(benchmark::State &s)
{
    visibleApps(s, true, QString());
}
void BM_VisibleAppsSearchLetter(benchmark::State &s)
{
    visibleApps(s, false, u"s"_qs);
}
void BM_VisibleAppsSearchHan(benchmark::State &s)
{
    visibleApps(s, false, u"音乐"_qs);
}
BENCHMARK(BM_VisibleAppsPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VisibleAppsGroup)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VisibleAppsSearchLetter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VisibleAppsSearchHan)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    // The first search on a thread sets up its ICU services and transliterates every name: timed once, apart.
    Catalogue &c = catalogue();
    c.state->setSearchText(u"s"_qs);
    QElapsedTimer cold;
    cold.start();
    const qsizetype found = c.state->visibleApps().size();
    std::printf("first search (cold): %.2f ms, %lld shown\n", double(cold.nsecsElapsed()) / 1e6,
                static_cast<long long>(found));

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
