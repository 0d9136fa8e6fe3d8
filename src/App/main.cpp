// The program: makes the Linux side of every seam, applies the appearance, runs the state object's start-up and
// shows the launcher window. The one place that wires the program together.

#include "appactivation.h"
#include "appcontextmenumodel.h"
#include "linux/appentries.h"
#include "appidentity.h"
#include "appprocesscontrol.h"
#include "appscanner.h"
#include "appstate.h"
#include "caretblink.h"
#include "datalocation.h"
#include "linux/dbusnotifications.h"
#include "desktopentryindex.h"
#include "linux/desktopentrylookup.h"
#include "desktopentryreader.h"
#include "linux/desktopicontheme.h"
#include "embeddedapp.h"
#include "embeddedprocessfamily.h"
#include "floatingtimerpanelcontroller.h"
#include "floatingtoastcontroller.h"
#include "floatingwindowloader.h"
#include "linux/gnomefavouritesdockpinning.h"
#include "linux/guiappactivation.h"
#include "iconcache.h"
#include "linux/installstamp.h"
#include "firstgridscreenshot.h"
#include "jsonfilepreferences.h"
#include "launchpromptmodels.h"
#include "linux/linuxappinstances.h"
#include "linux/linuxappopener.h"
#include "linux/linuxfileviewer.h"
#include "linux/linuxclipboard.h"
#include "linux/linuxfolderwatcher.h"
#include "linux/linuxprocesstable.h"
#include "linux/linuxrunningapps.h"
#include "linux/linuxsystemsettings.h"
#include "linux/linuxtimerservice.h"
#include "linux/linuxworkspaceevents.h"
#include "linux/logindsleepwake.h"
#include "linux/processtablewatch.h"
#include "notifier.h"
#include "portablebundlereader.h"
#include "portableiconsource.h"
#include "qttranslations.h"
#include "linux/singleinstance.h"
#include "startupreport.h"
#include "mainviewcontroller.h"
#include "linux/systemclock.h"
#include "tarnwickapp.h"
#include "linux/terminationsignals.h"
#include "theme.h"
#include "timerpanelwindow.h"
#include "threadpoolexecutor.h"
#include "viewsetup.h"
#include "workspaceterminator.h"
#include "linux/x11composewarmup.h"
#include "linux/x11floatingwindowsetup.h"
#include "linux/x11windowlist.h"
#include "linux/xcbdisplay.h"
#include "linux/xdgenvironment.h"

#include <QDir>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QIcon>
#include <QLocale>
#include <QProcessEnvironment>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QScreen>
#include <QStandardPaths>
#include <QStyleHints>
#include <QThreadPool>
#include <QtQml/qqmlextensionplugin.h>

#include <cstdio>
#include <functional>
#include <string_view>
#include <utility>
#include <unistd.h>

Q_IMPORT_QML_PLUGIN(Tarnwick_AppPlugin)
Q_IMPORT_QML_PLUGIN(Tarnwick_ViewModelsPlugin)
Q_IMPORT_QML_PLUGIN(Tarnwick_ViewsPlugin)

namespace {

const QUrl mainWindowUrl(QStringLiteral("qrc:/Tarnwick/Views/Window/MainWindow.qml"));
const QUrl toastWindowUrl(QStringLiteral("qrc:/Tarnwick/Views/Window/ToastWindow.qml"));
const QUrl storeErrorWindowUrl(QStringLiteral("qrc:/Tarnwick/Views/Window/StoreErrorWindow.qml"));

// Only a display a person looks at gets the error window; offscreen and minimal platforms get the line alone.
bool onRealDisplay()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"));
}

int reportStoreFailure(StoreOpenError error, const QString &path, QGuiApplication &app)
{
    const QString message = storeOpenErrorMessage(error, path);
    std::fprintf(stderr, "tarnwick: %s\n", qPrintable(message));
    if (!onRealDisplay())
        return 1;
    QQmlApplicationEngine engine;
    ViewSetup::prepareEngine(engine, nullptr);
    engine.setInitialProperties({{QStringLiteral("message"), message}});
    engine.load(storeErrorWindowUrl);
    if (engine.rootObjects().isEmpty())
        return 1;
    app.setQuitOnLastWindowClosed(true);
    app.exec();
    return 1;
}

QStringList iconBaseFolders(const QProcessEnvironment &env)
{
    QStringList folders{QDir::homePath() + QStringLiteral("/.icons")};
    const QString dataHome = env.value(QStringLiteral("XDG_DATA_HOME"), QDir::homePath() + QStringLiteral("/.local/share"));
    folders.append(dataHome + QStringLiteral("/icons"));
    const QString dataDirs = env.value(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral("/usr/local/share:/usr/share"));
    for (const QString &dir : dataDirs.split(u':', Qt::SkipEmptyParts))
        folders.append(dir + QStringLiteral("/icons"));
    folders.append(QStringLiteral("/usr/share/pixmaps"));
    return folders;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && std::string_view(argv[argc - 1]) == "--screenshot") {
        std::fprintf(stderr, "tarnwick: --screenshot needs a file name\n");
        return 2;
    }
    // One program per user: the lock is taken before the store opens; a later start shows the running one's window.
    // A later start asks before it loads the display's plugin, connects to the X server or reads a font.
    const QString dataFolder = DataLocation::dataFolder();
    QDir().mkpath(dataFolder);
    const QString socketPath =
        QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/tarnwick.socket");
    SingleInstance instance(dataFolder + QStringLiteral("/Tarnwick.lock"), socketPath);
    if (instance.claim() == SingleInstance::Claim::another) {
        const QCoreApplication asking(argc, argv);
        std::ignore = SingleInstance::askToShow(socketPath, std::chrono::seconds(10));
        return 0;
    }

    QGuiApplication app(argc, argv);
    // Before the first window, the error window included.
    ViewSetup::chooseSceneGraph(QProcessEnvironment::systemEnvironment());
    QGuiApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QGuiApplication::setDesktopFileName(AppIdentity::bundleID());
    // Qt's file dialogs speak the program's language.
    std::ignore = QtTranslations::install(app);
    // Closing the launcher window leaves supervision running.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    const QStringList arguments = QGuiApplication::arguments();
    const qsizetype screenshotOption = arguments.indexOf(QStringLiteral("--screenshot"));
    const QString screenshotPath = screenshotOption >= 0 ? arguments.value(screenshotOption + 1) : QString();

    // SIGTERM and SIGINT end the program at once, and normally.
    TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &TerminationSignals::received, &app, [] { QGuiApplication::exit(0); });

    // fontconfig's set-up and the font list take tens of milliseconds; they are made here on a worker while the
    // store opens and the window's QML loads, instead of on this thread at the window's first text.
    QThreadPool::globalInstance()->start([] {
        const QFontMetricsF metrics(QGuiApplication::font());
        std::ignore = metrics.horizontalAdvance(QStringLiteral("Notes 全部应用"));
    });

    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QStringList roots = XdgEnvironment::applicationRoots(env);
    const QStringList desktops = XdgEnvironment::currentDesktops(env);
    const QStringList languages = QLocale::system().uiLanguages();

    JsonFilePreferences preferences;
    Theme::applyAppAppearance(preferences);

    SystemClock clock;
    LinuxTimerService timers(clock);
    // The caret holds still a while after the last input, so an idle window draws nothing.
    CaretBlink caretBlink(
        QGuiApplication::styleHints()->cursorFlashTime(),
        [](int ms) { QGuiApplication::styleHints()->setCursorFlashTime(ms); }, timers);
    app.installEventFilter(&caretBlink);
    DBusNotifications notifications;
    Notifier notifier(notifications);
    LogindSleepWake sleepWake(clock, timers);
    XcbDisplay display;
    LinuxAppInstances instances({}, QStringLiteral("/proc"), qint64(::getpid()));
    LinuxProcessTable processTable;
    // Under Wayland the X server sees only the programs that run on it, so no window can be counted on to hide.
    X11WindowList windowList(&display, X11WindowList::Options{
        !XdgEnvironment::isWaylandSession(env), [&instances](const QString &instanceName, const QString &className) {
            return instances.processForWindowClass(instanceName, className);
        }});
    LinuxRunningApps runningApps(instances, processTable, &windowList);
    // The process table's counters are looked at on a thread of their own, so that an idle machine leaves this one
    // asleep.
    ProcessTableWatch tableWatch(QStringLiteral("/proc"), LinuxWorkspaceEvents::scanInterval);
    LinuxWorkspaceEvents workspace(instances, timers, &display, &tableWatch);
    EmbeddedProcessFamily processFamily(processTable);
    const EmbeddedAppRegistry embeddedApps;
    AppProcessControl processControl(runningApps, processFamily, embeddedApps);
    WorkspaceTerminator terminator(processControl);
    // Opening an app that runs with a window on screen brings that window forward.
    LinuxAppOpener opener(LinuxAppOpener::Options{
        {}, {}, {}, [&runningApps](const QString &appPath) { return runningApps.activateWindowOfEntry(appPath); }});
    GnomeFavouritesDockPinning dock(desktops, &GnomeFavouritesDockPinning::runProcess);
    LinuxFolderWatcher folderWatcher;
    const PortableBundleReader bundleReader(DesktopEntryReader::Options{
        roots, desktops, [env](const QString &program) { return XdgEnvironment::programExists(program, env); }});
    // The desktop's icon theme with the themes it inherits, then hicolor.
    const QString iconTheme = DesktopIconTheme::choose(
        DesktopIconTheme::gather(env, desktops, &display, &DesktopIconTheme::runProcess, QIcon::themeName()));
    const PortableIconSource iconSource(PortableIconSource::Options{iconBaseFolders(env), iconTheme, {}});
    GuiAppActivation activation;
    X11FloatingWindowSetup floatingSetup;
    QQmlApplicationEngine engine;

    // Executors last: their destruction waits for running work, which may touch everything above.
    ThreadPoolExecutor dockExecutor(1);
    ThreadPoolExecutor scanExecutor(2);
    ThreadPoolExecutor iconExecutor(2);
    std::ignore = IconCache::setUpShared(iconSource, iconExecutor);
    ViewSetup::prepareEngine(engine, &IconCache::shared());
    // The engine's loader thread reads the window's QML and its imports meanwhile; the window made later finds it.
    auto preloadedWindow = std::make_unique<QQmlComponent>(&engine, mainWindowUrl, QQmlComponent::Asynchronous);
    DesktopEntryIndex search(folderWatcher, timers, scanExecutor, languages);

    std::function<void()> runningAppsKnown; // once the first entries have mapped the running processes
    AppState::Seams seams{
        clock,
        timers,
        preferences,
        notifier,
        sleepWake,
        workspace,
        runningApps,
        windowList,
        processFamily,
        processControl,
        terminator,
        embeddedApps,
        opener,
        dock,
        dockExecutor,
        search,
        bundleReader,
        folderWatcher,
        scanExecutor,
        roots,
        activation,
        IconCache::shared(),
        [] { return InstallStamp::ofRunningProgram(); },
        [&engine, &floatingSetup](FocusSessionManager &manager, AppState &state) -> std::unique_ptr<QObject> {
            return std::make_unique<FloatingTimerPanelController>(
                manager, state,
                [&engine, &floatingSetup](FloatingTimerPanelController &controller)
                    -> std::unique_ptr<TimerPanelSurface> {
                    return TimerPanelWindow::make(engine, controller.rows(), floatingSetup);
                },
                []() -> std::optional<QRect> {
                    if (QScreen *screen = QGuiApplication::primaryScreen())
                        return screen->availableGeometry();
                    return std::nullopt;
                });
        },
        [&timers, &engine, &floatingSetup] {
            auto toast = std::make_unique<FloatingToastController>(
                timers,
                [&engine, &floatingSetup](FloatingToastController &controller) -> std::unique_ptr<QObject> {
                    return FloatingWindowLoader::load(engine, toastWindowUrl,
                                                      {{QStringLiteral("controller"),
                                                        QVariant::fromValue(&controller)}},
                                                      floatingSetup, true);
                },
                []() -> std::optional<QRect> {
                    if (QScreen *screen = QGuiApplication::primaryScreen())
                        return screen->availableGeometry();
                    return std::nullopt;
                });
            return toast;
        },
        std::nullopt,
        false,
        [&runningAppsKnown](std::function<void()> known) { runningAppsKnown = std::move(known); },
    };

    AppState::CreateResult created = AppState::create(seams);
    if (!created.state)
        return reportStoreFailure(*created.error, created.storeFilePath, app);
    AppState &state = *created.state;

    // Processes map to apps through the entries of the scanned apps: read them after every publish, off this thread.
    QObject::connect(&state.scanner(), &AppScanner::appsChanged, &state, [&] {
        const QList<AppInfo> apps = state.scanner().apps();
        scanExecutor.run<DesktopEntryLookup>(
            &state, [apps] { return DesktopEntryLookup(AppEntries::read(apps)); },
            [&instances, &runningAppsKnown](DesktopEntryLookup lookup) {
                instances.setEntries(std::move(lookup));
                if (auto known = std::exchange(runningAppsKnown, {}))
                    known();
            });
    });

    // The tiles' right-click menu for both grids, made before the window that binds to it; "在文件管理器中显示" goes to the
    // desktop's file manager.
    LinuxFileViewer fileViewer;
    AppContextMenuModel contextMenu(state, state.container().mainContext(),
                                    [&fileViewer](const QList<QUrl> &items) { fileViewer.revealItems(items); });
    // The launch prompts' seams, declared before the entry so that they outlive its window.
    LinuxClipboard clipboard;
    LinuxSystemSettings systemSettings;
    state.systemSettings = &systemSettings; // the settings sheet's "打开通知"; the window goes first
    TarnwickApp tarnwick(state, engine, mainWindowUrl, [] { QGuiApplication::exit(0); });
    // A child of the entry, so that it outlives the window that binds to it.
    auto *viewFactory = new MainViewFactory(
        MainViewController::Services{state, activation, timers, clock, &IconCache::shared(), {},
                                     [&tarnwick] { tarnwick.delegate().requestQuit(); }, &contextMenu},
        &tarnwick);
    auto *prompts = new LaunchPromptModels(state, clipboard, systemSettings, &tarnwick);
    tarnwick.setWindowProperties({{QStringLiteral("state"), QVariant::fromValue(&state)},
                                  {QStringLiteral("factory"), QVariant::fromValue(viewFactory)},
                                  {QStringLiteral("prompts"), QVariant::fromValue(prompts)}});
    QObject::connect(&tarnwick, &TarnwickApp::mainWindowMade, &activation, &GuiAppActivation::setMainWindow);
    // The first keystroke does not wait for the compose table.
    QObject::connect(&tarnwick, &TarnwickApp::mainWindowMade, &tarnwick,
                     [](QQuickWindow *window) { X11ComposeWarmUp::warmUp(*window); });

    // --screenshot FILE: a picture of the first grid once its first page's icons show, then the program ends.
    std::unique_ptr<FirstGridScreenshot> screenshot;
    if (!screenshotPath.isEmpty()) {
        screenshot = std::make_unique<FirstGridScreenshot>(state, IconCache::shared(), screenshotPath);
        QObject::connect(&tarnwick, &TarnwickApp::mainWindowMade, screenshot.get(), &FirstGridScreenshot::watch);
        QObject::connect(screenshot.get(), &FirstGridScreenshot::finished, &app, [](bool ok, const QString &message) {
            std::fprintf(ok ? stdout : stderr, "%s\n", qPrintable(message));
            std::fflush(stdout);
            QGuiApplication::exit(ok ? 0 : 1);
        });
    }
    // --report-start: a line on stdout at the frames a person waits for, for the start-up benchmark.
    std::unique_ptr<StartupReport> report;
    if (arguments.contains(QStringLiteral("--report-start"))) {
        report = std::make_unique<StartupReport>(state);
        QObject::connect(&tarnwick, &TarnwickApp::mainWindowMade, report.get(), &StartupReport::watch);
    }
    const bool shown = tarnwick.showMainWindow();
    preloadedWindow.reset();
    if (!shown) {
        std::fprintf(stderr, "tarnwick: %s\n", qPrintable(tarnwick.windowError()));
        return 1;
    }

    QObject::connect(&instance, &SingleInstance::showRequested, &tarnwick, [&tarnwick] { tarnwick.showMainWindow(); });
    std::ignore = instance.listen();

    return app.exec();
}
