// The blocked-launch prompt's appearance: from the state object's prompt being set to the first frame that shows the
// card, in a 1030 × 763 window on the offscreen platform with the software scene graph, warm (the view's files are
// compiled and the icon is cached after the first round). The goal is one 16 ms frame.

#include "appstatefixture.h"
#include "applists.h"
#include "fake/fakeclipboard.h"
#include "fake/fakesystemsettings.h"
#include "launchpromptmodels.h"
#include "restrictionrule.h"
#include "viewsetup.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>

#include <cstdio>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>

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

// Spins the event loop until the window has shown one more frame.
void waitForFrame(QQuickWindow &window, int &frames)
{
    const int before = frames;
    window.requestUpdate();
    while (frames == before)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

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

    QQmlEngine engine;
    ViewSetup::prepareEngine(engine, &f.iconCache);
    QQuickWindow window;
    window.resize(1030, 763);
    QQmlComponent component(&engine);
    component.setData(hostPage, QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + u"/PromptHost.qml"_qs));
    std::unique_ptr<QObject> root(component.createWithInitialProperties(
        {{u"state"_qs, QVariant::fromValue(&state)}, {u"models"_qs, QVariant::fromValue(&models)}}));
    auto *item = qobject_cast<QQuickItem *>(root.get());
    if (!item) {
        std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
        bench.SkipWithError("the host page did not load");
        return;
    }
    item->setParentItem(window.contentItem());
    int frames = 0;
    QObject::connect(&window, &QQuickWindow::frameSwapped, [&frames] { ++frames; });
    window.show();
    waitForFrame(window, frames);

    const AppState::BlockedPromptInfo prompt{game, f.clock.now() + std::chrono::hours{2}};
    for (auto _ : bench) {
        QElapsedTimer timer;
        timer.start();
        state.setBlockedPrompt(prompt);
        waitForFrame(window, frames);
        bench.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        state.setBlockedPrompt(std::nullopt);
        waitForFrame(window, frames);
        f.iconExecutor.runAll();
    }
}
BENCHMARK(BM_PromptFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->MinWarmUpTime(0.5);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QUICK_BACKEND", "software");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
