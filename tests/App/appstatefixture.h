#pragma once

#include "appactivation.h"
#include "appprocesscontrol.h"
#include "appscanner.h"
#include "appstate.h"
#include "appterminating.h"
#include "embeddedapp.h"
#include "embeddedprocessfamily.h"
#include "fake/fakeappactivation.h"
#include "fake/fakeappdirectorysearch.h"
#include "fake/fakeappopener.h"
#include "fake/fakebundlereader.h"
#include "fake/fakedockpinning.h"
#include "fake/fakefolderwatcher.h"
#include "fake/fakeiconsource.h"
#include "fake/fakenotifications.h"
#include "fake/fakeprocesstable.h"
#include "fake/fakerunningapps.h"
#include "fake/fakesleepwake.h"
#include "fake/fakewindowlist.h"
#include "floatingtoastcontroller.h"
#include "focussessionmanager.h"
#include "iconcache.h"
#include "fake/manualexecutor.h"
#include "fake/memorypreferences.h"
#include "notifier.h"
#include "persistencecontroller.h"
#include "storecontainer.h"
#include "fake/virtualclock.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <tuple>

// An AppState over the fakes, the virtual clock and a store in memory (or in a temporary folder, for tests that
// fill the store before the start). Change the public members before start(); then drive the fakes and the clock.
//
//     AppStateFixture f;
//     f.preferences.setInteger(u"gridPreferredColumns"_qs, 13);
//     AppState &state = f.start();
//     f.finishScan({AppLists::app(u"org.example.a"_qs, u"A"_qs)});
struct AppStateFixture
{
    // The session manager's terminator: records instead of quitting.
    struct RecordingTerminator : AppTerminating
    {
        QStringList terminated;
        void terminate(const QString &bundleID) override { terminated.append(bundleID); }
    };

    VirtualClock clock;
    // The clock the state reads; the virtual clock unless a test puts another in front of it (the timers stay on
    // the virtual clock).
    Clock *readings = &clock;
    MemoryPreferences preferences;
    FakeNotifications notifications;
    Notifier notifier{notifications};
    FakeSleepWake sleepWake;
    FakeRunningApps runningApps; // the workspace events too
    FakeProcessTable processes;
    EmbeddedProcessFamily processFamily{processes};
    FakeWindowList windows;
    // No embedded app is installed unless a test lists its path here.
    QStringList existingPaths;
    EmbeddedAppRegistry embeddedApps{EmbeddedAppRegistry::builtIn(),
                                     [this](const QString &path) { return existingPaths.contains(path); }};
    AppProcessControl processControl{runningApps, processFamily, embeddedApps};
    RecordingTerminator terminator;
    FakeAppOpener opener;
    FakeDockPinning dock;
    ManualExecutor dockExecutor;
    FakeAppDirectorySearch search;
    FakeBundleReader bundles;
    FakeFolderWatcher folderWatcher;
    ManualExecutor scanExecutor;
    FakeAppActivation activation;
    FakeIconSource iconSource;
    ManualExecutor iconExecutor;
    IconCache iconCache{iconSource, iconExecutor};
    QTemporaryDir dataDir;
    QString installStamp = QStringLiteral("1234|1767225600");
    bool storeInMemory = true;

    // Timer panels made through the factory.
    int timerPanelsMade = 0;

    std::unique_ptr<AppState> state;

    [[nodiscard]] AppState::Seams seams()
    {
        return AppState::Seams{
            *readings,
            clock,
            preferences,
            notifier,
            sleepWake,
            runningApps,
            runningApps,
            windows,
            processFamily,
            processControl,
            terminator,
            embeddedApps,
            opener,
            dock,
            dockExecutor,
            search,
            bundles,
            folderWatcher,
            scanExecutor,
            {},
            activation,
            iconCache,
            [this] { return installStamp; },
            [this](FocusSessionManager &, AppState &) {
                ++timerPanelsMade;
                return std::make_unique<QObject>();
            },
            [this] { return std::make_unique<FloatingToastController>(clock); },
            dataDir.path(),
            storeInMemory,
        };
    }

    // Runs the start-up; a test that expects it to succeed checks `state`.
    AppState &start()
    {
        AppState::CreateResult result = AppState::create(seams());
        state = std::move(result.state);
        return *state;
    }

    // The data folder of this fixture ("<temp>/Tarnwick"), where the session file and a store on disk live.
    [[nodiscard]] QString dataFolder() const { return dataDir.path() + QStringLiteral("/Tarnwick"); }

    // Fills the store on disk before the start (sets storeInMemory to false).
    void seedStore(const std::function<void(StoreContext &)> &fill)
    {
        storeInMemory = false;
        ContainerResult opened = PersistenceController::makeContainer(
            false, [this] { return clock.now(); }, dataDir.path());
        if (!opened.container)
            return;
        fill(opened.container->mainContext());
        std::ignore = opened.container->mainContext().save();
    }

    // The scanner's first scan finds these apps (each a desktop entry at its url's path).
    void finishScan(const QList<AppInfo> &apps)
    {
        QList<AppDirectorySearch::Hit> hits;
        for (const AppInfo &app : apps) {
            bundles.addBundle(Bundle{app.path(), app.bundleID, {}, {}});
            hits.append({app.path(), app.name});
        }
        search.setResults(hits);
        search.finishGathering();
        scanExecutor.runAll();
    }
};
