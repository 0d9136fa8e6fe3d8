// The floating timer panel at rest: its real window on an X server (run it under xvfb-run, or on a desktop) with
// three lines. One tick is timed as the processor time from the ticker's firing to the new frame on screen (the
// lines re-read, the bindings, the rendering); the idle cost is the process's processor time over 60 seconds of the
// real clock and timers with the panel shown, as a share of one core. Goals: a tick ≤ 1 ms, idle ≤ 0.2 % of a core.
// It draws with the program's own scene graph; QT_QUICK_BACKEND=rhi measures Qt's default (OpenGL) instead.

#include "../tests/App/appstatefixture.h"

#include "floatingtimerpanelcontroller.h"
#include "floatingwindowsetup.h"
#include "linux/linuxtimerservice.h"
#include "linux/systemclock.h"
#include "timerpanelwindow.h"
#include "viewsetup.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QProcessEnvironment>
#include <QQmlEngine>
#include <QScreen>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>

using namespace std::chrono_literals;

namespace {

double processSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The panel over a state on fakes; `clock` and `timers` drive its ticker.
struct ShownPanel
{
    AppStateFixture f;
    std::unique_ptr<AppState> state;
    QQmlEngine engine;
    FloatingWindowSetup setup;
    std::unique_ptr<FloatingTimerPanelController> controller;
    TimerPanelWindow *window = nullptr;

    ShownPanel(Clock &clock, TimerService &timers)
    {
        AppState::Seams s = f.seams();
        AppState::Seams seams{clock,           timers,          s.preferences,  s.notifier,      s.sleepWake,
                              s.workspace,     s.runningApps,   s.windowList,   s.processFamily, s.processControl,
                              s.terminator,    s.embeddedApps,  s.opener,       s.dockPinning,   s.dockExecutor,
                              s.appSearch,     s.bundleReader,  s.folderWatcher, s.scanExecutor, s.scanScopes,
                              s.activation,    s.iconCache,     s.installStamp, {},              s.toastFactory,
                              s.dataBaseFolder, s.storeInMemory};
        state = AppState::create(seams).state;
        ViewSetup::prepareEngine(engine, &f.iconCache);
        controller = std::make_unique<FloatingTimerPanelController>(
            state->sessionManager(), *state,
            [this](FloatingTimerPanelController &c) -> std::unique_ptr<TimerPanelSurface> {
                auto w = TimerPanelWindow::make(engine, c.rows(), setup);
                window = w.get();
                return w;
            },
            [] { return std::optional<QRect>(QGuiApplication::primaryScreen()->availableGeometry()); });
        const Instant now = clock.now();
        for (const auto &[id, name, minutes] : {std::tuple{u"com.netease.163music"_qs, u"网易云音乐"_qs, 25},
                                                std::tuple{u"tv.danmaku.bili"_qs, u"哔哩哔哩"_qs, 48}}) {
            FocusSession session;
            session.bundleID = id;
            session.appName = name;
            session.deadline = now + std::chrono::minutes(minutes);
            state->sessionManager().begin(session);
        }
        state->setGraceOverrides({{u"com.tencent.meeting"_qs, u"腾讯会议"_qs, now + 12min}});
    }

    // Runs the event loop until the window has shown a new frame (or a second has passed).
    bool waitForFrame()
    {
        QEventLoop loop;
        bool swapped = false;
        const auto connection = QObject::connect(window, &QQuickWindow::frameSwapped, &loop, [&] {
            swapped = true;
            loop.quit();
        });
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
        QObject::disconnect(connection);
        return swapped;
    }
};

void BM_Tick(benchmark::State &st)
{
    VirtualClock clock;
    ShownPanel panel(clock, clock);
    if (!panel.window || !panel.controller->isShown() || panel.controller->rows().count() != 3) {
        st.SkipWithError("the panel did not show its three lines");
        return;
    }
    panel.waitForFrame();
    panel.waitForFrame();
    int frames = 0;
    for (auto _ : st) {
        clock.advanceBy(1s); // the ticker fires: lines re-read, rows changed
        frames += panel.waitForFrame() ? 1 : 0;
    }
    st.counters["frames"] = frames;
}
BENCHMARK(BM_Tick)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(120);

void BM_IdleSixtySeconds(benchmark::State &st)
{
    SystemClock clock;
    LinuxTimerService timers(clock);
    ShownPanel panel(clock, timers);
    if (!panel.window || !panel.controller->isShown()) {
        st.SkipWithError("the panel did not show");
        return;
    }
    int frames = 0;
    QObject::connect(panel.window, &QQuickWindow::frameSwapped, panel.window, [&] { ++frames; });
    // Settled first: the window mapped, the icons loaded, the first refit done.
    QEventLoop settle;
    QTimer::singleShot(2000, &settle, &QEventLoop::quit);
    settle.exec();
    frames = 0;
    for (auto _ : st) {
        const double cpuBefore = processSeconds();
        QElapsedTimer wall;
        wall.start();
        QEventLoop loop;
        QTimer::singleShot(60s, &loop, &QEventLoop::quit);
        loop.exec();
        const double cpu = processSeconds() - cpuBefore;
        const double seconds = double(wall.nsecsElapsed()) / 1e9;
        st.counters["cpu_ms"] = cpu * 1e3;
        st.counters["share_of_core_percent"] = 100.0 * cpu / seconds;
        st.counters["frames"] = frames;
    }
}
BENCHMARK(BM_IdleSixtySeconds)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    // The program's scene graph, unless the environment names another (QT_QUICK_BACKEND=rhi for OpenGL).
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    ViewSetup::chooseSceneGraph(env);
    benchmark::Initialize(&argc, argv);
    std::printf("platform: %s, scene graph: %s\n", qPrintable(QGuiApplication::platformName()),
                ViewSetup::softwareSceneGraphChosen(env)
                    ? "software (the program's own choice)"
                    : qPrintable(u"QT_QUICK_BACKEND="_qs + env.value(u"QT_QUICK_BACKEND"_qs)));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
