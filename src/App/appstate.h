#pragma once

#include "appinfo.h"
#include "appmetasnapshot.h"
#include "appsearchdeeplink.h"
#include "gridlayoutmode.h"
#include "instant.h"
#include "quitplanengine.h"
#include "restrictionengine.h"
#include "storecontainer.h"
#include "storeid.h"
#include "supervisionstatus.h"
#include "supervisiontab.h"
#include "supervisiontiming.h"
#include "timerservice.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QWindow>
#include <QtQml/qqmlregistration.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class AdHocBlock;
class AppActivation;
namespace BlockEvaluation {
struct Inputs;
}
class AppDirectorySearch;
class AppGroup;
class AppLauncher;
class AppOpener;
class AppProcessControl;
class AppScanner;
class AppTerminating;
class BackgroundExecutor;
class BundleReader;
class Clock;
class DockPinning;
class EmbeddedAppGuard;
class EmbeddedAppRegistry;
class EmbeddedProcessFamily;
class ExternalLaunchGuard;
class FloatingToastController;
class FocusSessionManager;
class FocusSessionStore;
class FolderWatcher;
class IconCache;
class Notifier;
class Preferences;
class QuitPlanScheduler;
class RunningApps;
class SleepWake;
class SystemSettings;
class WindowList;
class WorkspaceEvents;

// The one state object of the program: it owns the catalogue and supervision services for the whole run, keeps the
// user's grid preferences, publishes what the views share, hands the engines providers and callbacks that hold it
// weakly, and carries the launch road and the quit confirmation. Made by create(), which runs the start-up; owned by
// main.cpp (or a test) and handed to every view. Main thread only.
//
// Every set of a published field emits changed(), also when the value stays; its own NOTIFY signal only on a real
// change. Observers run after the value is stored, on every set (searchText's only on a real change). Members that
// change what no published field shows emit changed() themselves; views call announceChange(). Fields whose type
// QML cannot hold (optional values, records) are published to C++ through their getters and signals; QML reads the
// plain forms and view models the rest.
//
// The members live in four files: this state, preferences and start-up (appstate.cpp), block evaluation
// (appstate_blocking.cpp), the app list, launch road and app actions (appstate_apps.cpp) and supervision
// orchestration (appstate_supervision.cpp).
class AppState : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by AppState::create and handed to the views")

    Q_PROPERTY(int revision READ revision NOTIFY changed)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(QString layoutMode READ layoutModeRaw WRITE setLayoutModeRaw NOTIFY layoutModeChanged)
    Q_PROPERTY(int gridPreferredColumns READ gridPreferredColumns WRITE setGridPreferredColumns
                   NOTIFY gridPreferredColumnsChanged)
    Q_PROPERTY(int gridPreferredRows READ gridPreferredRows WRITE setGridPreferredRows NOTIFY gridPreferredRowsChanged)
    Q_PROPERTY(double gridIconScale READ gridIconScale WRITE setGridIconScale NOTIFY gridIconScaleChanged)
    Q_PROPERTY(QString selectedGroupID READ selectedGroupIDText NOTIFY selectedGroupIDChanged)
    Q_PROPERTY(bool showHiddenApps READ showHiddenApps WRITE setShowHiddenApps NOTIFY showHiddenAppsChanged)
    Q_PROPERTY(bool hasPendingFocusApp READ hasPendingFocusApp NOTIFY pendingFocusAppChanged)
    Q_PROPERTY(bool hasBlockedPrompt READ hasBlockedPrompt NOTIFY blockedPromptChanged)
    Q_PROPERTY(int graceOverrideCount READ graceOverrideCount NOTIFY graceOverridesChanged)
    Q_PROPERTY(QString selectedAppID READ selectedAppIDText NOTIFY selectedAppIDChanged)
    Q_PROPERTY(bool showSupervision READ showSupervision WRITE setShowSupervision NOTIFY showSupervisionChanged)
    Q_PROPERTY(bool showQuitConfirm READ showQuitConfirm WRITE setShowQuitConfirm NOTIFY showQuitConfirmChanged)
    Q_PROPERTY(bool showSettings READ showSettings WRITE setShowSettings NOTIFY showSettingsChanged)
    Q_PROPERTY(bool showNotificationGuide READ showNotificationGuide WRITE setShowNotificationGuide
                   NOTIFY showNotificationGuideChanged)
    Q_PROPERTY(bool showGroupAddSheet READ showGroupAddSheet WRITE setShowGroupAddSheet
                   NOTIFY showGroupAddSheetChanged)
    Q_PROPERTY(int pagerResetToken READ pagerResetToken WRITE setPagerResetToken NOTIFY pagerResetTokenChanged)
    Q_PROPERTY(QString renameTargetBundleID READ renameTargetBundleIDText NOTIFY renameTargetBundleIDChanged)

public:
    struct BlockedPromptInfo
    {
        AppInfo app;
        std::optional<Instant> until; // when the block ends; none when no end is known
        friend bool operator==(const BlockedPromptInfo &, const BlockedPromptInfo &) = default;
    };

    // A temporary override of an app's block; its identity is the bundle identifier.
    struct GraceOverride
    {
        QString bundleID;
        QString appName;
        Instant until;
        [[nodiscard]] const QString &id() const { return bundleID; }
        friend bool operator==(const GraceOverride &, const GraceOverride &) = default;
    };

    // One reason why an app is blocked now.
    struct BlockSourceSummary
    {
        QString text;
        Instant end;
        bool viewable = false;
        friend bool operator==(const BlockSourceSummary &, const BlockSourceSummary &) = default;
    };

    // Makes the floating timer panel from the session manager and the state; its owner is the state.
    using TimerPanelFactory = std::function<std::unique_ptr<QObject>(FocusSessionManager &, AppState &)>;
    // Makes the toast's controller; its owner is the state.
    using ToastFactory = std::function<std::unique_ptr<FloatingToastController>()>;
    // Text that identifies the installed copy of the program; empty when it cannot be told.
    using InstallStamp = std::function<QString()>;

    // Everything the state works over, all owned by main.cpp (or a test) and outliving the state.
    struct Seams
    {
        Clock &clock;
        TimerService &timers;
        Preferences &preferences;
        Notifier &notifier;
        SleepWake &sleepWake;
        WorkspaceEvents &workspace;
        RunningApps &runningApps;
        WindowList &windowList;
        EmbeddedProcessFamily &processFamily;
        AppProcessControl &processControl;
        AppTerminating &terminator; // the session manager's
        const EmbeddedAppRegistry &embeddedApps;
        AppOpener &opener;
        DockPinning &dockPinning;
        BackgroundExecutor &dockExecutor; // one thread: dock calls may block, and run one after the other
        // The scanner's.
        AppDirectorySearch &appSearch;
        const BundleReader &bundleReader;
        FolderWatcher &folderWatcher;
        BackgroundExecutor &scanExecutor;
        QStringList scanScopes;
        AppActivation &activation;
        IconCache &iconCache;
        InstallStamp installStamp;
        TimerPanelFactory timerPanelFactory;
        ToastFactory toastFactory;
        // Where the store and the session file live: the user's data folder unless a base folder is given; a store
        // held in memory for tests (the session file then still goes to the base folder).
        std::optional<QString> dataBaseFolder;
        bool storeInMemory = false;
        // Hands over what is to run once the apps that run now are known as apps (the platform maps processes to
        // apps with the installed entries, which come with the first scan): the external-launch guard's start-up
        // sweep waits for it. Unset: the running apps are known at once.
        std::function<void(std::function<void()>)> whenRunningAppsKnown{};
    };

    struct [[nodiscard]] CreateResult
    {
        std::unique_ptr<AppState> state;
        std::optional<StoreOpenError> error;
        // The store file that was opened or could not be; the data folder when that could not be made.
        QString storeFilePath;
    };

    // Runs the start-up. Fails only when the store cannot be opened; it never exits.
    static CreateResult create(Seams seams);
    ~AppState() override;

    // --- Services owned for the whole run.
    [[nodiscard]] AppScanner &scanner() { return *m_scanner; }
    [[nodiscard]] const AppScanner &scanner() const { return *m_scanner; }
    [[nodiscard]] FocusSessionStore &sessionStore() { return *m_sessionStore; }
    [[nodiscard]] StoreContainer &container() { return *m_container; }
    [[nodiscard]] AppLauncher &launcher() { return *m_launcher; }
    [[nodiscard]] AppSearchDeepLink &searchDeepLinks() { return m_deepLinks; }
    [[nodiscard]] FocusSessionManager &sessionManager();
    // Made on first use, from the session manager and the state.
    QObject &timerPanel();
    [[nodiscard]] bool hasTimerPanel() const { return m_timerPanel != nullptr; }
    // Made on first use.
    FloatingToastController &toast();
    [[nodiscard]] QuitPlanScheduler &quitScheduler() { return *m_quitScheduler; }
    [[nodiscard]] EmbeddedAppGuard &embeddedGuard() { return *m_embeddedGuard; }
    [[nodiscard]] ExternalLaunchGuard &externalLaunchGuard() { return *m_externalLaunchGuard; }
    [[nodiscard]] const Seams &seams() const { return m_seams; }

    // --- Published fields.
    [[nodiscard]] int revision() const { return m_revision; }

    [[nodiscard]] const QString &searchText() const { return m_searchText; }
    void setSearchText(const QString &text);

    [[nodiscard]] GridLayoutMode layoutMode() const { return m_layoutMode; }
    void setLayoutMode(GridLayoutMode mode);
    [[nodiscard]] QString layoutModeRaw() const { return GridLayoutModes::raw(m_layoutMode); }
    void setLayoutModeRaw(const QString &raw); // anything but "vertical" is the paged grid

    [[nodiscard]] int gridPreferredColumns() const { return m_gridPreferredColumns; }
    void setGridPreferredColumns(int columns); // stored as given
    [[nodiscard]] int gridPreferredRows() const { return m_gridPreferredRows; }
    void setGridPreferredRows(int rows); // stored as given
    [[nodiscard]] double gridIconScale() const { return m_gridIconScale; }
    void setGridIconScale(double scale); // callers clamp first (IconScale::clamped)

    [[nodiscard]] const std::optional<StoreID> &selectedGroupID() const { return m_selectedGroupID; }
    void setSelectedGroupID(const std::optional<StoreID> &id);
    [[nodiscard]] QString selectedGroupIDText() const { return m_selectedGroupID ? m_selectedGroupID->text() : QString(); }

    [[nodiscard]] bool showHiddenApps() const { return m_showHiddenApps; }
    void setShowHiddenApps(bool show);

    [[nodiscard]] const std::optional<AppInfo> &pendingFocusApp() const { return m_pendingFocusApp; }
    void setPendingFocusApp(const std::optional<AppInfo> &app);
    [[nodiscard]] bool hasPendingFocusApp() const { return m_pendingFocusApp.has_value(); }

    [[nodiscard]] const std::optional<BlockedPromptInfo> &blockedPrompt() const { return m_blockedPrompt; }
    void setBlockedPrompt(const std::optional<BlockedPromptInfo> &prompt);
    [[nodiscard]] bool hasBlockedPrompt() const { return m_blockedPrompt.has_value(); }

    [[nodiscard]] const QList<GraceOverride> &graceOverrides() const { return m_graceOverrides; }
    void setGraceOverrides(const QList<GraceOverride> &overrides);
    [[nodiscard]] int graceOverrideCount() const { return int(m_graceOverrides.size()); }

    [[nodiscard]] const std::optional<QString> &selectedAppID() const { return m_selectedAppID; }
    void setSelectedAppID(const std::optional<QString> &bundleID);
    [[nodiscard]] QString selectedAppIDText() const { return m_selectedAppID.value_or(QString()); }

    [[nodiscard]] bool showSupervision() const { return m_showSupervision; }
    void setShowSupervision(bool show);

    // Not published: the panel reads it when it appears and sets it back to launch.
    SupervisionTab supervisionInitialTab = SupervisionTab::launch;

    [[nodiscard]] bool showQuitConfirm() const { return m_showQuitConfirm; }
    void setShowQuitConfirm(bool show);
    [[nodiscard]] bool showSettings() const { return m_showSettings; }
    void setShowSettings(bool show);
    [[nodiscard]] bool showNotificationGuide() const { return m_showNotificationGuide; }
    void setShowNotificationGuide(bool show);
    [[nodiscard]] bool showGroupAddSheet() const { return m_showGroupAddSheet; }
    void setShowGroupAddSheet(bool show);

    [[nodiscard]] const SupervisionStatus &supervisionStatus() const { return m_supervisionStatus; }
    void setSupervisionStatus(const SupervisionStatus &status);

    [[nodiscard]] int pagerResetToken() const { return m_pagerResetToken; }
    void setPagerResetToken(int token); // writers add 1

    [[nodiscard]] const std::optional<QString> &renameTargetBundleID() const { return m_renameTargetBundleID; }
    void setRenameTargetBundleID(const std::optional<QString> &bundleID);
    [[nodiscard]] QString renameTargetBundleIDText() const { return m_renameTargetBundleID.value_or(QString()); }

    // --- Plain fields, written by the grids.
    int gridColumns = 1;          // columns of the grid on screen; the arrow-key move reads it
    double gridZoomCeiling = 1.6; // the largest icon scale that still fits; the zoom reads it

    // --- Caches, announced through changed() by whoever rebuilds them.
    [[nodiscard]] const QHash<QString, AppMetaSnapshot> &sortMeta() const { return m_sortMeta; }
    [[nodiscard]] const QSet<QString> &pinnedBundleIDs() const { return m_pinnedBundleIDs; }
    [[nodiscard]] const QSet<QString> &blockedBundleIDCache() const { return m_blockedBundleIDCache; }

    // The launcher window while it is on screen; set by the window.
    QPointer<QWindow> mainWindow;
    // The desktop's settings program, for the settings sheet; set by main.cpp, none in tests that do not need it.
    SystemSettings *systemSettings = nullptr;

    // The object-wide change notice, for views that changed what no published field shows.
    Q_INVOKABLE void announceChange();
    // What every writer of groups, rules and plans calls once it has saved: the blocked set is computed anew and the
    // object-wide notice goes out, so the grid's apps and its lock marks follow the store in the same turn.
    void publishStoreChange();

    // --- Quit confirmation. Both close the card, then answer the pending quit request: approve ends the program,
    // cancel keeps it running. The answer goes to replyToTermination, which the application delegate sets.
    Q_INVOKABLE void approveQuit();
    Q_INVOKABLE void cancelQuit();
    std::function<void(bool approve)> replyToTermination;

    // "noteAutoCopyToClipboard": true unless the stored value is the Boolean false.
    [[nodiscard]] bool isNoteAutoCopyEnabled() const;
    // Stores the Boolean, then announces the change to every view that shows it.
    void setNoteAutoCopyEnabled(bool enabled);

    // --- Block evaluation (appstate_blocking.cpp).
    [[nodiscard]] QList<RestrictionRuleSnapshot> restrictionRuleSnapshots() const;
    [[nodiscard]] QList<QuitPlanSnapshot> quitPlanSnapshots() const;
    // Deletes expired ad-hoc blocks and drops expired override and loan entries on the way.
    [[nodiscard]] QSet<QString> blockedBundleIDs(Instant at);
    [[nodiscard]] std::optional<Instant> blockedEndTime(const QString &bundleID, Instant at) const;
    [[nodiscard]] QList<AdHocBlock *> activeAdHocBlocks(Instant at) const;
    [[nodiscard]] QList<BlockSourceSummary> activeBlockSummaries(const QString &bundleID, Instant at) const;
    [[nodiscard]] Instant ignoreSessionEnd(const QString &bundleID, Instant at) const;
    // Deletes the one-off rules whose window is over (start-up, and the supervision panel when it appears).
    void purgeExpiredOnceRules();

    // --- App list, launch road and app actions (appstate_apps.cpp).
    [[nodiscard]] QList<AppInfo> visibleApps() const;
    [[nodiscard]] QList<AppInfo> targetableApps() const;
    [[nodiscard]] QList<AppGroup *> groups() const;
    [[nodiscard]] std::optional<QString> alias(const AppInfo &app) const;
    [[nodiscard]] std::optional<QString> appName(const QString &bundleID) const;
    [[nodiscard]] QHash<QString, AppMetaSnapshot> metaSnapshots() const;
    void refreshSortMeta();
    void requestLaunch(const AppInfo &app);
    void skipFocusAndLaunch(const AppInfo &app);
    void startFocusSession(const AppInfo &app, int minutes, const std::optional<QString> &note,
                           std::optional<int> blockMinutes);
    void togglePin(const AppInfo &app);
    void pinToDock(const AppInfo &app);
    void toggleFocusControl(const AppInfo &app);
    void setFocusControlled(const QSet<QString> &bundleIDs);
    [[nodiscard]] bool isFocusControlled(const QString &bundleID) const;
    void hideApp(const AppInfo &app);
    void unhideApp(const AppInfo &app);
    void setAlias(const QString &alias, const AppInfo &app);
    void moveSelection(int dx, int dy);
    void commitGroupOrder(const QStringList &bundleIDs);
    void commitCustomOrder(const QList<AppInfo> &apps);

    // --- Supervision orchestration (appstate_supervision.cpp).
    void refreshSupervisionStatus();
    // An override of the app's block until `until`, granted at `now`: the one reading of the clock that the user's
    // choice was made with, so that the loan it leaves ends on the minute the choice named. Without `now`, the
    // clock is read here.
    void ignoreBlockedApp(const QString &bundleID, const QString &appName, Instant until, Instant now);
    void ignoreBlockedApp(const QString &bundleID, const QString &appName, Instant until);

Q_SIGNALS:
    void changed();
    void searchTextChanged();
    void layoutModeChanged();
    void gridPreferredColumnsChanged();
    void gridPreferredRowsChanged();
    void gridIconScaleChanged();
    void selectedGroupIDChanged();
    void showHiddenAppsChanged();
    void pendingFocusAppChanged();
    void blockedPromptChanged();
    void graceOverridesChanged();
    void selectedAppIDChanged();
    void showSupervisionChanged();
    void showQuitConfirmChanged();
    void showSettingsChanged();
    void showNotificationGuideChanged();
    void showGroupAddSheetChanged();
    void supervisionStatusChanged();
    void pagerResetTokenChanged();
    void renameTargetBundleIDChanged();

private:
    explicit AppState(Seams seams);

    // A published field's set: store, its own signal on a real change, the object-wide notice always.
    template <class T, class Signal>
    void assign(T &field, const T &value, Signal signal);

    // --- Block evaluation (appstate_blocking.cpp).
    [[nodiscard]] QHash<QString, QStringList> groupMemberMap() const;
    [[nodiscard]] std::optional<Instant> rawBlockEnd(const QString &bundleID, Instant at) const;
    [[nodiscard]] std::optional<Instant> effectiveBlockEnd(const QString &bundleID, Instant at) const;
    [[nodiscard]] QHash<QString, Instant> blockOverrideMap() const;
    [[nodiscard]] QHash<QString, Instant> pausedLoanMap() const;
    void persistBlockOverrides(const QHash<QString, Instant> &overrides);
    void persistPausedLoans(const QHash<QString, Instant> &loans);
    // After a change of the rules, plans or groups: the loans that lost their cause go at once, also when nothing
    // evaluates the blocks before the change would be undone (a pause to the end of the window).
    void supervisionRecordsChanged(RecordType type);
    // The apps whose loans may stand on a rule or plan now.
    [[nodiscard]] QSet<QString> loanTargets(Instant now) const;
    // Drops from `in` the loans of the apps that a rule or plan stood behind and that none targets any more (turned
    // off, paused, deleted, replaced), unless a live ad-hoc block of the app still stands; true when one was dropped.
    bool dropLoansWithoutCause(BlockEvaluation::Inputs &in, Instant now);
    // The rule list for `at`, the group members, the ad-hoc blocks (these rows, else all) and the two maps.
    [[nodiscard]] BlockEvaluation::Inputs blockInputs(Instant at) const;
    [[nodiscard]] BlockEvaluation::Inputs blockInputs(Instant at, const QList<AdHocBlock *> &adHocRows) const;

    // --- App list (appstate_apps.cpp).
    void refreshSortMetaSoon();
    void syncMissingApps();

    // --- Supervision orchestration (appstate_supervision.cpp).
    void promptBlockedLaunch(const QString &bundleID);
    void graceExpired();
    void rebuildGraceOverrides();
    // Names the overrides again, after the scan has published or an alias changed.
    void renameGraceOverrides();
    void scheduleGraceExpiry();
    // Arms the warning for the next override end that no warning has named yet.
    void scheduleGraceWarn();
    void fireGraceWarn(Instant scheduled);
    void scheduleBlockBoundaryRefresh();
    void scheduleBlockWarn();
    [[nodiscard]] std::optional<Instant> nextBlockWindowStart();
    void fireBlockWarn(Instant start);
    [[nodiscard]] QStringList runningBlockedNames(const QSet<QString> &blocked) const;
    void showNotificationGuideOnceIfNewInstall();
    [[nodiscard]] QString currentInstallStamp() const;
    void expiryBlock(const QString &bundleID, int minutes); // the session manager's onExpiryBlock
    void applicationDidBecomeActive();                      // the activity hook
    void systemDidWake();                                   // the wake hook

    // --- Start-up helpers (appstate.cpp).
    void askNotificationPermission();
    void afterPermissionDenied();

    Seams m_seams;
    // Declared in the order of the start-up; destroyed the other way round.
    std::unique_ptr<AppScanner> m_scanner;
    std::unique_ptr<FocusSessionStore> m_sessionStore;
    std::unique_ptr<StoreContainer> m_container;
    AppSearchDeepLink m_deepLinks;
    std::unique_ptr<AppLauncher> m_launcher;
    std::unique_ptr<FocusSessionManager> m_sessionManager;
    std::unique_ptr<QuitPlanScheduler> m_quitScheduler;
    std::unique_ptr<EmbeddedAppGuard> m_embeddedGuard;
    std::unique_ptr<ExternalLaunchGuard> m_externalLaunchGuard;
    std::unique_ptr<QObject> m_timerPanel;
    std::unique_ptr<FloatingToastController> m_toast;

    int m_revision = 0;
    QString m_searchText;
    GridLayoutMode m_layoutMode = GridLayoutMode::Horizontal;
    int m_gridPreferredColumns = 7;
    int m_gridPreferredRows = 4;
    double m_gridIconScale = 1.0;
    std::optional<StoreID> m_selectedGroupID;
    bool m_showHiddenApps = false;
    std::optional<AppInfo> m_pendingFocusApp;
    std::optional<BlockedPromptInfo> m_blockedPrompt;
    QList<GraceOverride> m_graceOverrides;
    std::optional<QString> m_selectedAppID;
    bool m_showSupervision = false;
    bool m_showQuitConfirm = false;
    bool m_showSettings = false;
    bool m_showNotificationGuide = false;
    bool m_showGroupAddSheet = false;
    SupervisionStatus m_supervisionStatus;
    int m_pagerResetToken = 0;
    std::optional<QString> m_renameTargetBundleID;

    QHash<QString, AppMetaSnapshot> m_sortMeta;
    QSet<QString> m_pinnedBundleIDs;
    QSet<QString> m_blockedBundleIDCache;
    // The apps with a loan made while a rule or plan targeted them: such a loan goes with the last of them.
    QSet<QString> m_ruleLoanApps;

    TimerHandle m_graceTimer;
    TimerHandle m_graceWarnTimer;
    TimerHandle m_blockBoundaryTimer;
    TimerHandle m_blockWarnTimer;
    // The overrides (app and end) that a warning has named, among those still listed.
    SupervisionTiming::NamedEnds m_warnedOverrideEnds;
    TimerHandle m_missingAppsTimer;
    TimerHandle m_permissionRetryTimer;
    std::vector<TimerHandle> m_sortRefreshTimers;
};
