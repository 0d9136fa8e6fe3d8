// The supervision panel opened on its timed-quit tab with 200 plans (apps and groups, some with blocks, some paused)
// and 20 running focus sessions: from the panel's creation to its first frame, in a 520 × 500 window on the
// offscreen platform with the software scene graph, warm (the view's files are compiled after the first round).
// The goal is 50 ms.

#include "appgroup.h"
#include "appstatefixture.h"
#include "applists.h"
#include "focussessionmanager.h"
#include "quitplan.h"
#include "supervisiontab.h"
#include "viewbench.h"

#include <QElapsedTimer>
#include <QQuickItem>


namespace {

const QByteArray hostPage = R"(
import QtQuick
import Tarnwick.App
import Tarnwick.Views
Item {
    id: host
    required property AppState state
    property bool shown: false
    anchors.fill: parent
    Loader {
        objectName: "panelLoader"
        active: host.shown
        sourceComponent: SupervisionPanel { state: host.state }
    }
}
)";

void fill(AppStateFixture &f, AppState &state)
{
    QList<AppInfo> apps;
    for (int i = 0; i < 60; ++i)
        apps.append(AppLists::app(u"org.example.app"_qs + QString::number(i), u"应用 "_qs + QString::number(i)));
    f.finishScan(apps);
    StoreContext &store = state.container().mainContext();
    QStringList groupRefs;
    for (int g = 0; g < 8; ++g) {
        auto *group = store.insert(std::make_unique<AppGroup>(u"分组 "_qs + QString::number(g), g,
                                                              QStringList{apps[g].bundleID, apps[g + 8].bundleID}));
        groupRefs.append(group->refID());
    }
    for (int i = 0; i < 200; ++i) {
        const bool group = i % 4 == 0;
        const QStringList ids = group ? QStringList()
                                      : QStringList{apps[i % 60].bundleID, apps[(i + 7) % 60].bundleID,
                                                    apps[(i + 13) % 60].bundleID};
        auto *plan = store.insert(std::make_unique<QuitPlan>(
            group ? QuitPlanTarget::group : QuitPlanTarget::apps, group ? groupRefs[i % 8] : QString(), ids,
            (i * 37) % 1440, i % 3 == 0 ? QList<int>{2, 3, 4, 5, 6} : QList<int>{1, 2, 3, 4, 5, 6, 7},
            QuitPlanBlockMode(i % 3), 30 + i % 90, (i * 53) % 1440, i % 5 != 0));
        if (i % 7 == 0)
            plan->setPausedUntil(f.clock.now() + std::chrono::hours{3});
    }
    std::ignore = store.save();
    for (int s = 0; s < 20; ++s) {
        FocusSession session;
        session.bundleID = apps[s].bundleID;
        session.appName = apps[s].name;
        if (s % 2 == 0)
            session.taskNote = u"专注任务 "_qs + QString::number(s);
        session.deadline = f.clock.now() + std::chrono::minutes{10 + s};
        if (s % 3 == 0)
            session.blockMinutes = 30;
        state.sessionManager().begin(session);
    }
}

void BM_QuitTabFirstFrame(benchmark::State &bench)
{
    AppStateFixture f;
    AppState &state = f.start();
    fill(f, state);

    ViewBench::HostWindow host;
    if (!host.show(&f.iconCache, hostPage, u"PanelHost.qml"_qs, {{u"state"_qs, QVariant::fromValue(&state)}},
                   QSize(520, 500))) {
        bench.SkipWithError("the host page did not load");
        return;
    }
    QQuickItem *item = host.item;

    for (auto _ : bench) {
        state.supervisionInitialTab = SupervisionTab::quit;
        QElapsedTimer timer;
        timer.start();
        item->setProperty("shown", true);
        host.nextFrame();
        bench.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        item->setProperty("shown", false);
        host.nextFrame();
    }
}
BENCHMARK(BM_QuitTabFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->MinWarmUpTime(0.5);

} // namespace

int main(int argc, char **argv)
{
    return ViewBench::run(argc, argv);
}
