// The supervision panel with 200 rules, 200 timed-quit plans (half of them with a block window in force) and 20
// ad-hoc blocks, over a state on fakes with 200 apps:
//  - opening: from the state object asking for the panel on the restriction-rules tab to the first frame that shows
//    it, in a 1030 × 763 window on the offscreen platform with the software scene graph, warm (the files are
//    compiled after the first round). Goal ≤ 50 ms.
//  - the 30-second tick: linkedItems(at:) over the 200 plans, alone and with the rows rebuilt. Goal ≤ 2 ms.

#include "appstatefixture.h"
#include "applists.h"
#include "adhocblock.h"
#include "quitplan.h"
#include "restrictionrule.h"
#include "supervisionpanelmodel.h"
#include "supervisionrearm.h"
#include "viewbench.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QTimeZone>
#include <QQuickItem>


namespace {

const QByteArray hostPage = R"(
import QtQuick
import Tarnwick.App
import Tarnwick.Views
Item {
    id: host
    required property AppState state
    anchors.fill: parent
    SheetHost {
        id: sheet
        shown: host.state.showSupervision
        content: SupervisionPanel {
            state: host.state
            onDone: sheet.close()
        }
    }
}
)";

struct NoRearm final : SupervisionRearm
{
    void refreshEmbeddedGuard() override {}
    void sweepRunningBlocked() override {}
    void scheduleNextWindowSweep() override {}
    void rescheduleQuitPlans() override {}
    void refreshSupervisionStatus() override {}
};

// Monday 2026-03-02 23:30 in Shanghai, the zone the program runs in here.
Instant evening()
{
    return Instants::fromSecondsSince1970(double(
        QDateTime(QDate(2026, 3, 2), QTime(23, 30), QTimeZone(8 * 3600)).toSecsSinceEpoch()));
}

QString appID(int i)
{
    return u"org.example.app%1"_qs.arg(i, 3, 10, QChar(u'0'));
}

// 200 apps, 200 rules on them, 200 plans (the even ones quit at 23:00 with a block until 07:00, in force at the
// fixture's 23:30; the odd ones at 08:00 with a 30-minute block, not in force) and 20 ad-hoc blocks.
void fill(AppStateFixture &f, int n = 200)
{
    QList<AppInfo> apps;
    for (int i = 0; i < 200; ++i)
        apps.append(AppLists::app(appID(i), (i % 2 ? u"应用 "_qs : u"App "_qs) + QString::number(i)));
    f.finishScan(apps);
    StoreContext &store = f.state->container().mainContext();
    const QList<int> everyDay{1, 2, 3, 4, 5, 6, 7};
    for (int i = 0; i < n; ++i) {
        store.insert(std::make_unique<RestrictionRule>(RestrictionTarget::app, appID(i), (i * 7) % 1440,
                                                       (i * 7 + 90) % 1440, everyDay, i % 5 != 0, std::nullopt));
        const bool inForce = i % 2 == 0;
        store.insert(std::make_unique<QuitPlan>(
            QuitPlanTarget::apps, QString(), QStringList{appID(i), appID((i + 1) % 200), appID((i + 2) % 200)},
            inForce ? 23 * 60 : 8 * 60, everyDay, inForce ? QuitPlanBlockMode::until : QuitPlanBlockMode::minutes,
            30, 7 * 60, true));
    }
    for (int i = 0; i < n / 10; ++i)
        store.insert(std::make_unique<AdHocBlock>(appID(i * 10), f.clock.now() + std::chrono::minutes(10 + i)));
    std::ignore = store.save();
}

void BM_OpenOnRestrictionTab(benchmark::State &bench)
{
    AppStateFixture f;
    f.clock.setWallTime(evening());
    AppState &state = f.start();
    fill(f, int(bench.range(0)));

    ViewBench::HostWindow host;
    if (!host.show(&f.iconCache, hostPage, u"PanelHost.qml"_qs, {{u"state"_qs, QVariant::fromValue(&state)}},
                   QSize(1030, 763))) {
        bench.SkipWithError("the host page did not load");
        return;
    }

    for (auto _ : bench) {
        QElapsedTimer timer;
        timer.start();
        state.supervisionInitialTab = SupervisionTab::restrict;
        state.setShowSupervision(true);
        host.nextFrame();
        bench.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        state.setShowSupervision(false);
        host.nextFrame();
        // The closed panel goes as the program's event loop would let it go.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
BENCHMARK(BM_OpenOnRestrictionTab)->Arg(200)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond)->MinWarmUpTime(0.5);

struct TickFixture
{
    AppStateFixture f;
    NoRearm rearm;
    std::unique_ptr<SupervisionPanelModel> model;
    TickFixture()
    {
        f.clock.setWallTime(evening());
        f.start();
        fill(f);
        model = std::make_unique<SupervisionPanelModel>(*f.state, rearm);
    }
};

void BM_LinkedItemsTick(benchmark::State &bench)
{
    TickFixture t;
    const Instant now = t.f.clock.now();
    qsizetype items = 0;
    for (auto _ : bench) {
        const QList<SupervisionPanelModel::LinkedItem> linked = t.model->linkedItems(now);
        items = linked.size();
        benchmark::DoNotOptimize(linked);
    }
    bench.counters["items"] = double(items);
}
BENCHMARK(BM_LinkedItemsTick)->Unit(benchmark::kMillisecond);

// The model alone: made, then its appear step, as each opening does.
void BM_ModelOpen(benchmark::State &bench)
{
    TickFixture t;
    for (auto _ : bench) {
        SupervisionPanelModel model(*t.f.state, t.rearm);
        t.f.state->supervisionInitialTab = SupervisionTab::restrict;
        model.appear();
        benchmark::DoNotOptimize(model.ruleRows()->count());
    }
}
BENCHMARK(BM_ModelOpen)->Unit(benchmark::kMillisecond);

void BM_LinkedRowsRebuild(benchmark::State &bench)
{
    TickFixture t;
    for (auto _ : bench)
        t.model->rebuildLinked();
    bench.counters["rows"] = double(t.model->linkedRows()->count());
}
BENCHMARK(BM_LinkedRowsRebuild)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("TZ", "Asia/Shanghai");
    return ViewBench::run(argc, argv);
}
