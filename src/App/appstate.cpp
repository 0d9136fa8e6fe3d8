#include "appstate.h"

#include "appactivation.h"
#include "applauncher.h"
#include "appscanner.h"
#include "clock.h"
#include "datalocation.h"
#include "embeddedappguard.h"
#include "externallaunchguard.h"
#include "floatingtoastcontroller.h"
#include "focussessionmanager.h"
#include "focussessionstore.h"
#include "iconcache.h"
#include "iconscale.h"
#include "notifier.h"
#include "persistencecontroller.h"
#include "preferences.h"
#include "quitplanscheduler.h"
#include "sleepwake.h"

#include <QDir>
#include <QMetaObject>

namespace {

const QString layoutModeKey = QStringLiteral("gridLayoutMode");
const QString preferredColumnsKey = QStringLiteral("gridPreferredColumns");
const QString preferredRowsKey = QStringLiteral("gridPreferredRows");
const QString iconScaleKey = QStringLiteral("gridIconScale");
const QString noteAutoCopyKey = QStringLiteral("noteAutoCopyToClipboard");

constexpr Duration permissionRecheckDelay = 1500ms;

} // namespace

AppState::AppState(Seams seams)
    : m_seams(std::move(seams)), m_deepLinks(m_seams.preferences)
{
}

AppState::~AppState()
{
    // The services that call back into the state go first, while every member they might reach still stands.
    m_externalLaunchGuard.reset();
    m_embeddedGuard.reset();
    m_quitScheduler.reset();
    m_timerPanel.reset();
    m_toast.reset();
    m_sessionManager.reset();
}

template <class T, class Signal>
void AppState::assign(T &field, const T &value, Signal signal)
{
    const bool differs = !(field == value);
    field = value;
    if (differs)
        Q_EMIT(this->*signal)();
    announceChange();
}

AppState::CreateResult AppState::create(Seams seams)
{
    std::unique_ptr<AppState> state(new AppState(std::move(seams)));
    AppState &s = *state;
    const Seams &z = s.m_seams;
    QPointer<AppState> weak(&s);

    // 1. The scanner, not started.
    s.m_scanner = std::make_unique<AppScanner>(z.appSearch, z.bundleReader, z.folderWatcher, z.timers, z.scanExecutor,
                                               z.scanScopes);
    // 2. The session file's store; it touches no file yet.
    const QString dataFolder = z.dataBaseFolder ? DataLocation::dataFolderIn(*z.dataBaseFolder)
                                                : DataLocation::dataFolder();
    s.m_sessionStore = std::make_unique<FocusSessionStore>(dataFolder);

    // 4. The store; without it the program cannot run.
    Clock &clock = z.clock;
    ContainerResult opened = PersistenceController::makeContainer(
        z.storeInMemory, [&clock] { return clock.now(); }, z.dataBaseFolder);
    const QString storeFile = z.storeInMemory
        ? QString()
        : QDir(dataFolder).filePath(PersistenceController::storeFileName.toString());
    if (!opened.container) {
        const StoreOpenError error = opened.error.value_or(StoreOpenError::cannotOpen);
        return {nullptr, error, error == StoreOpenError::folderUnavailable ? dataFolder : storeFile};
    }
    s.m_container = std::move(opened.container);

    // 5. Before anything else reads the store.
    PersistenceController::migrateGroupReferencesToStableID(s.m_container->mainContext());

    // 6.
    s.m_launcher = std::make_unique<AppLauncher>(s.m_container->mainContext(), z.opener, s.m_deepLinks, z.clock);

    // 7. Read, never written back here.
    const Preferences &prefs = z.preferences;
    s.m_layoutMode = prefs.stringValue(layoutModeKey).value_or(QString()) == QLatin1String("vertical")
        ? GridLayoutMode::Vertical
        : GridLayoutMode::Horizontal;
    const qint64 columns = prefs.integerValue(preferredColumnsKey).value_or(0);
    s.m_gridPreferredColumns = columns >= 5 && columns <= 12 ? int(columns) : 7;
    const qint64 rows = prefs.integerValue(preferredRowsKey).value_or(0);
    s.m_gridPreferredRows = rows >= 2 && rows <= 8 ? int(rows) : 4;
    s.m_gridIconScale = IconScale::stored(prefs);

    // 8. Each change of the list reaches the views at once; the warm-up runs a turn later. The overrides listed
    // before the first scan published are named by their identifiers until then.
    QObject::connect(s.m_scanner.get(), &AppScanner::appsChanged, &s, [weak] {
        if (!weak)
            return;
        weak->renameGraceOverrides();
        weak->announceChange();
        QMetaObject::invokeMethod(
            weak.data(),
            [weak] {
                if (!weak)
                    return;
                QList<AppInfo> shown;
                for (const AppInfo &app : weak->targetableApps()) {
                    const auto meta = weak->m_sortMeta.constFind(app.bundleID);
                    if (meta == weak->m_sortMeta.cend() || !meta->isHidden)
                        shown.append(app);
                }
                weak->m_seams.iconCache.warmup(shown);
            },
            Qt::QueuedConnection);
    });

    // 9. The manager loads the stored sessions and arms their timers.
    FocusSessionManager &manager = s.sessionManager();
    QObject::connect(&manager, &FocusSessionManager::sessionsChanged, &s, &AppState::announceChange);
    QObject::connect(&manager, &FocusSessionManager::pausedRemainingChanged, &s, &AppState::announceChange);

    // 10. After the start-up has returned.
    QMetaObject::invokeMethod(
        &s,
        [weak] {
            if (weak)
                weak->askNotificationPermission();
        },
        Qt::QueuedConnection);

    // 11.-13.
    s.m_scanner->start();
    s.syncMissingApps();
    s.purgeExpiredOnceRules();

    // 14. No change notice: nothing has been shown yet.
    s.m_sortMeta = s.metaSnapshots();
    for (auto it = s.m_sortMeta.cbegin(); it != s.m_sortMeta.cend(); ++it) {
        if (it->isPinned)
            s.m_pinnedBundleIDs.insert(it.key());
    }
    // The loans of an earlier run that a rule or plan still stands behind go with it from now on.
    const QSet<QString> loanTargets = s.loanTargets(z.clock.now());
    for (const QString &app : s.pausedLoanMap().keys()) {
        if (loanTargets.contains(app))
            s.m_ruleLoanApps.insert(app);
    }
    s.m_blockedBundleIDCache = s.blockedBundleIDs(z.clock.now());
    QObject::connect(&s.m_container->mainContext(), &StoreContext::changed, &s, &AppState::supervisionRecordsChanged);

    // 15., 16.
    QObject::connect(&z.activation, &AppActivation::resignedActive, &s, &AppState::refreshSortMetaSoon);
    QObject::connect(&z.activation, &AppActivation::becameActive, &s, &AppState::applicationDidBecomeActive);

    // 17.-19. The engines see the state only through these, which hold it weakly.
    const QuitPlanScheduler::Seams schedulerSeams{z.clock,           z.timers,         z.sleepWake, z.runningApps,
                                                  z.embeddedApps,    z.processFamily,  z.processControl,
                                                  z.notifier};
    s.m_quitScheduler = std::make_unique<QuitPlanScheduler>(
        schedulerSeams, [weak] { return weak ? weak->quitPlanSnapshots() : QList<QuitPlanSnapshot>(); },
        [weak] { return weak ? weak->groupMemberMap() : QHash<QString, QStringList>(); });
    s.m_quitScheduler->onFired = [weak] {
        if (weak)
            weak->refreshSupervisionStatus();
    };
    const auto rules = [weak] { return weak ? weak->restrictionRuleSnapshots() : QList<RestrictionRuleSnapshot>(); };
    const auto blocked = [weak](Instant at) { return weak ? weak->blockedBundleIDs(at) : QSet<QString>(); };
    s.m_embeddedGuard = std::make_unique<EmbeddedAppGuard>(z.clock, z.timers, z.workspace, z.sleepWake,
                                                           z.processFamily, z.runningApps, z.windowList,
                                                           z.embeddedApps, rules, blocked);
    // Its sweep quits the blocked apps that run: it waits until they are known as apps.
    const bool runningAppsKnown = !z.whenRunningAppsKnown;
    s.m_externalLaunchGuard = std::make_unique<ExternalLaunchGuard>(
        z.clock, z.timers, z.workspace, z.sleepWake, z.processControl, z.runningApps, z.embeddedApps, rules, blocked,
        [weak](const QString &bundleID) {
            if (weak)
                weak->promptBlockedLaunch(bundleID);
        },
        &ScheduleCalendar::system, runningAppsKnown);
    if (!runningAppsKnown) {
        z.whenRunningAppsKnown([weak] {
            if (!weak)
                return;
            weak->externalLaunchGuard().sweepRunningBlocked();
            weak->externalLaunchGuard().scheduleNextWindowSweep();
        });
    }

    // 20.
    manager.onExpiryBlock = [weak](const QString &bundleID, int minutes) {
        if (weak)
            weak->expiryBlock(bundleID, minutes);
    };

    // 21., 22.
    s.refreshSupervisionStatus();
    QObject::connect(&z.sleepWake, &SleepWake::didWake, &s, [weak](Instant) {
        QMetaObject::invokeMethod(
            weak.data(),
            [weak] {
                if (weak)
                    weak->systemDidWake();
            },
            Qt::QueuedConnection);
    });

    // 23. Overrides of an earlier run that are still live are shown and timed again. Their apps' sessions were
    // paused only in the memory of that run, so they are paused again here: else a session could quit an app
    // during its override.
    s.rebuildGraceOverrides();
    s.scheduleGraceExpiry();
    for (const GraceOverride &grace : std::as_const(s.m_graceOverrides))
        manager.pauseSessions(grace.bundleID);

    // 24. The panel shows the overrides and also the sessions restored at 9.
    if (!s.m_graceOverrides.isEmpty() || !manager.sessions().isEmpty())
        s.timerPanel();

    return {std::move(state), std::nullopt, storeFile};
}

FocusSessionManager &AppState::sessionManager()
{
    if (!m_sessionManager) {
        m_sessionManager = std::make_unique<FocusSessionManager>(*m_sessionStore, m_seams.terminator, m_seams.clock,
                                                                 m_seams.timers, m_seams.notifier, m_seams.workspace,
                                                                 m_seams.runningApps, m_seams.sleepWake);
    }
    return *m_sessionManager;
}

QObject &AppState::timerPanel()
{
    if (!m_timerPanel) {
        if (m_seams.timerPanelFactory)
            m_timerPanel = m_seams.timerPanelFactory(sessionManager(), *this);
        if (!m_timerPanel)
            m_timerPanel = std::make_unique<QObject>();
    }
    return *m_timerPanel;
}

FloatingToastController &AppState::toast()
{
    if (!m_toast) {
        if (m_seams.toastFactory)
            m_toast = m_seams.toastFactory();
        if (!m_toast)
            m_toast = std::make_unique<FloatingToastController>(m_seams.timers);
    }
    return *m_toast;
}

void AppState::announceChange()
{
    ++m_revision;
    Q_EMIT changed();
}

// --- Published fields and their observers.

void AppState::setSearchText(const QString &text)
{
    const bool differs = text != m_searchText;
    assign(m_searchText, text, &AppState::searchTextChanged);
    if (!differs)
        return;
    setSelectedAppID(std::nullopt);
    setShowHiddenApps(false);
    if (!text.isEmpty()) {
        setSelectedGroupID(std::nullopt);
        setPagerResetToken(m_pagerResetToken + 1);
    }
}

void AppState::setLayoutMode(GridLayoutMode mode)
{
    assign(m_layoutMode, mode, &AppState::layoutModeChanged);
    m_seams.preferences.setString(layoutModeKey, GridLayoutModes::raw(mode));
}

void AppState::setLayoutModeRaw(const QString &raw)
{
    setLayoutMode(raw == QLatin1String("vertical") ? GridLayoutMode::Vertical : GridLayoutMode::Horizontal);
}

void AppState::setGridPreferredColumns(int columns)
{
    assign(m_gridPreferredColumns, columns, &AppState::gridPreferredColumnsChanged);
    m_seams.preferences.setInteger(preferredColumnsKey, columns);
}

void AppState::setGridPreferredRows(int rows)
{
    assign(m_gridPreferredRows, rows, &AppState::gridPreferredRowsChanged);
    m_seams.preferences.setInteger(preferredRowsKey, rows);
}

void AppState::setGridIconScale(double scale)
{
    assign(m_gridIconScale, scale, &AppState::gridIconScaleChanged);
    m_seams.preferences.setDouble(iconScaleKey, scale);
}

void AppState::setSelectedGroupID(const std::optional<StoreID> &id)
{
    assign(m_selectedGroupID, id, &AppState::selectedGroupIDChanged);
    setSelectedAppID(std::nullopt);
    setShowHiddenApps(false);
}

void AppState::setShowHiddenApps(bool show)
{
    assign(m_showHiddenApps, show, &AppState::showHiddenAppsChanged);
    setSelectedAppID(std::nullopt);
}

void AppState::setPendingFocusApp(const std::optional<AppInfo> &app)
{
    assign(m_pendingFocusApp, app, &AppState::pendingFocusAppChanged);
}

void AppState::setBlockedPrompt(const std::optional<BlockedPromptInfo> &prompt)
{
    assign(m_blockedPrompt, prompt, &AppState::blockedPromptChanged);
}

void AppState::setGraceOverrides(const QList<GraceOverride> &overrides)
{
    assign(m_graceOverrides, overrides, &AppState::graceOverridesChanged);
}

void AppState::setSelectedAppID(const std::optional<QString> &bundleID)
{
    assign(m_selectedAppID, bundleID, &AppState::selectedAppIDChanged);
}

void AppState::setShowSupervision(bool show)
{
    assign(m_showSupervision, show, &AppState::showSupervisionChanged);
    if (!show)
        refreshSupervisionStatus();
}

void AppState::setShowQuitConfirm(bool show)
{
    assign(m_showQuitConfirm, show, &AppState::showQuitConfirmChanged);
    if (show)
        m_seams.activation.activate();
}

void AppState::setShowSettings(bool show)
{
    assign(m_showSettings, show, &AppState::showSettingsChanged);
}

void AppState::setShowNotificationGuide(bool show)
{
    assign(m_showNotificationGuide, show, &AppState::showNotificationGuideChanged);
}

void AppState::setShowGroupAddSheet(bool show)
{
    assign(m_showGroupAddSheet, show, &AppState::showGroupAddSheetChanged);
}

void AppState::setSupervisionStatus(const SupervisionStatus &status)
{
    assign(m_supervisionStatus, status, &AppState::supervisionStatusChanged);
}

void AppState::setPagerResetToken(int token)
{
    assign(m_pagerResetToken, token, &AppState::pagerResetTokenChanged);
}

void AppState::setRenameTargetBundleID(const std::optional<QString> &bundleID)
{
    assign(m_renameTargetBundleID, bundleID, &AppState::renameTargetBundleIDChanged);
}

// --- Quit confirmation and preferences.

void AppState::approveQuit()
{
    setShowQuitConfirm(false);
    if (replyToTermination)
        replyToTermination(true);
}

void AppState::cancelQuit()
{
    setShowQuitConfirm(false);
    if (replyToTermination)
        replyToTermination(false);
}

bool AppState::isNoteAutoCopyEnabled() const
{
    return m_seams.preferences.boolValue(noteAutoCopyKey).value_or(true);
}

void AppState::setNoteAutoCopyEnabled(bool enabled)
{
    m_seams.preferences.setBool(noteAutoCopyKey, enabled);
    announceChange();
}

// --- Notification permission: asked once the start-up has returned; a denial that stands after a second look
// offers the guide once per installation.

void AppState::askNotificationPermission()
{
    QPointer<AppState> weak(this);
    m_seams.notifier.authorizationStatus([weak](NotificationAuthorization status) {
        if (!weak)
            return;
        if (status != NotificationAuthorization::notDetermined) {
            if (status == NotificationAuthorization::denied)
                weak->afterPermissionDenied();
            return;
        }
        weak->m_seams.notifier.ensureAuthorization([weak](NotificationAuthorization answered) {
            if (weak && answered == NotificationAuthorization::denied)
                weak->afterPermissionDenied();
        });
    });
}

void AppState::afterPermissionDenied()
{
    QPointer<AppState> weak(this);
    m_permissionRetryTimer = m_seams.timers.startAfter(permissionRecheckDelay, [weak] {
        if (!weak)
            return;
        weak->m_seams.notifier.authorizationStatus([weak](NotificationAuthorization status) {
            if (weak && status == NotificationAuthorization::denied)
                weak->showNotificationGuideOnceIfNewInstall();
        });
    });
}
