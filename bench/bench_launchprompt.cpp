// The blocked-launch prompt's appearance: from the state object's prompt being set to the first frame that shows the
// card, in a 1030 × 763 window on the offscreen platform with the software scene graph, warm (the view's files are
// compiled and the icon is cached after the first round). The goal is one 16 ms frame.

#include "appstatefixture.h"
#include "applists.h"
#include "fake/fakeclipboard.h"
#include "fake/fakesystemsettings.h"
#include "launchpromptmodels.h"
#include "restrictionrule.h"
#include "viewbench.h"

#include <QElapsedTimer>

#include <QQuickItem>

namespace {

const QByteArray hostPage = R"(
import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views
Item {
    id: host
    required property AppState state
    required property LaunchPromptModels models
    anchors.fill: parent
    Loader {
        objectName: "promptLoader"
        anchors.fill: parent
        active: host.state.hasBlockedPrompt
        sourceComponent: BlockedPromptView { models: host.models }
    }
}
)";

void BM_PromptFirstFrame(benchmark::State &bench)
{
    AppStateFixture f;
    AppState &state = f.start();
    const AppInfo game = AppLists::app(u"com.example.game"_qs, u"Game"_qs);
    f.finishScan({game});
    StoreContext &store = state.container().mainContext();
    store.insert(std::make_unique<RestrictionRule>(RestrictionTarget::app, game.bundleID, 0, 1439,
                                                   QList<int>{1, 2, 3, 4, 5, 6, 7}, true, std::nullopt));
    std::ignore = store.save();
    FakeClipboard clipboard;
    FakeSystemSettings settings;
    LaunchPromptModels models(state, clipboard, settings);

    ViewBench::HostWindow host;
    const QVariantMap properties{{u"state"_qs, QVariant::fromValue(&state)}, {u"models"_qs, QVariant::fromValue(&models)}};
    if (!host.show(&f.iconCache, hostPage, u"PromptHost.qml"_qs, properties, QSize(1030, 763))) {
        bench.SkipWithError("the host page did not load");
        return;
    }

    const AppState::BlockedPromptInfo prompt{game, f.clock.now() + std::chrono::hours{2}};
    for (auto _ : bench) {
        QElapsedTimer timer;
        timer.start();
        state.setBlockedPrompt(prompt);
        host.nextFrame();
        bench.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        state.setBlockedPrompt(std::nullopt);
        host.nextFrame();
        f.iconExecutor.runAll();
    }
}
BENCHMARK(BM_PromptFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->MinWarmUpTime(0.5);

} // namespace

int main(int argc, char **argv)
{
    return ViewBench::run(argc, argv);
}
