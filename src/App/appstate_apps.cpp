#include "appstate.h"

#include "appactivation.h"
#include "appgroup.h"
#include "applauncher.h"
#include "applistrules.h"
#include "appmeta.h"
#include "appscanner.h"
#include "appsorter.h"
#include "backgroundexecutor.h"
#include "clock.h"
#include "dockpinservice.h"
#include "embeddedapp.h"
#include "floatingtoastcontroller.h"
#include "focussession.h"
#include "focussessionmanager.h"
#include "preferences.h"
#include "storecontext.h"

#include <QPointer>
#include <QUuid>

#include <algorithm>

// The app list, the launch road and the app actions of the context menu.

namespace {

const QString focusControlKey = QStringLiteral("focusControlBundleIDs");
const QString hideAfterLaunchKey = QStringLiteral("hideAfterLaunch");

constexpr Duration sortRefreshDelay = std::chrono::milliseconds{300};
constexpr Duration missingAppsDelay = std::chrono::seconds{10};

enum class DockOutcome { alreadyKept, added, failed };

QString dockToast(DockOutcome outcome, const QString &name)
{
    switch (outcome) {
    case DockOutcome::alreadyKept:
        return u"「"_qs + name + u"」已在程序坞常驻"_qs;
    case DockOutcome::added:
        return u"「"_qs + name + u"」已置入程序坞常驻"_qs;
    case DockOutcome::failed:
        break;
    }
    // Whatever failed (a desktop without favourites, a list that cannot be read, a refused write), the answer is
    // the same: this desktop does not keep the app.
    return u"置入失败：当前桌面不支持在程序坞常驻应用"_qs;
}

// "The application hides itself" after a launch when the user wants it.
void hideAfterLaunch(const AppState::Seams &seams)
{
    if (seams.preferences.boolValue(hideAfterLaunchKey).value_or(false))
        seams.activation.hide();
}

// A launch that started nothing leaves the launcher where the user is.
void launchThenHide(AppState &state, const AppInfo &app)
{
    if (state.launcher().launch(app) == AppLauncher::LaunchResult::refused)
        return;
    hideAfterLaunch(state.seams());
}

QStringList idsOf(const QList<AppInfo> &apps)
{
    QStringList ids;
    ids.reserve(apps.size());
    for (const AppInfo &app : apps)
        ids.append(app.bundleID);
    return ids;
}

} // namespace

QList<AppInfo> AppState::visibleApps() const
{
    if (!m_scanner->isInitialScanDone())
        return {};
    AppListRules::ListRequest request;
    request.showHiddenApps = m_showHiddenApps;
    if (!m_showHiddenApps && m_selectedGroupID) {
        for (const AppGroup *group : groups()) {
            if (group->storeID() == *m_selectedGroupID) {
                request.groupMembers = group->bundleIDs();
                break;
            }
        }
    }
    request.searchText = m_searchText;
    if (!m_searchText.isEmpty()) {
        request.extraNames = [weak = QPointer<const AppState>(this)](const AppInfo &app) {
            const auto alias = weak ? weak->alias(app) : std::nullopt;
            return alias ? QStringList{*alias} : QStringList{};
        };
    }
    return AppListRules::visibleApps(targetableApps(), m_sortMeta, request);
}

QList<AppInfo> AppState::targetableApps() const
{
    QList<AppInfo> apps = m_scanner->apps();
    for (const EmbeddedApp &embedded : m_seams.embeddedApps.installed())
        apps.append(embedded.appInfo());
    return apps;
}

QList<AppGroup *> AppState::groups() const
{
    return m_container->mainContext().fetch<AppGroup>({}, &AppGroup::bySortIndex);
}

std::optional<QString> AppState::alias(const AppInfo &app) const
{
    const auto it = m_sortMeta.constFind(app.bundleID);
    if (it == m_sortMeta.constEnd())
        return std::nullopt;
    return AppListRules::shownAlias(it->aliasName);
}

std::optional<QString> AppState::appName(const QString &bundleID) const
{
    for (const AppInfo &app : m_scanner->apps()) {
        if (app.bundleID == bundleID)
            return alias(app).value_or(app.name);
    }
    if (const auto embedded = m_seams.embeddedApps.app(bundleID))
        return embedded->displayName;
    return std::nullopt;
}

QHash<QString, AppMetaSnapshot> AppState::metaSnapshots() const
{
    QHash<QString, AppMetaSnapshot> snapshots;
    for (const AppMeta *meta : m_container->mainContext().fetch<AppMeta>())
        snapshots.insert(meta->bundleID(), meta->snapshot());
    return snapshots;
}

void AppState::refreshSortMeta()
{
    m_sortMeta = metaSnapshots();
    m_pinnedBundleIDs.clear();
    for (auto it = m_sortMeta.cbegin(); it != m_sortMeta.cend(); ++it) {
        if (it->isPinned)
            m_pinnedBundleIDs.insert(it.key());
    }
    m_blockedBundleIDCache = blockedBundleIDs(m_seams.clock.now());
    renameGraceOverrides(); // an alias names the app
    announceChange();
}

void AppState::refreshSortMetaSoon()
{
    // Every notice gets its own delay; the handles of delays that have run are let go here.
    std::erase_if(m_sortRefreshTimers, [](const TimerHandle &timer) { return !timer.isActive(); });
    m_sortRefreshTimers.push_back(m_seams.timers.startAfter(sortRefreshDelay, [this] {
        if (!m_seams.activation.isActive())
            refreshSortMeta();
    }));
}

void AppState::syncMissingApps()
{
    m_missingAppsTimer = m_seams.timers.startAfter(missingAppsDelay, [this] {
        const QList<AppInfo> &scanned = m_scanner->apps();
        if (scanned.isEmpty())
            return; // a scan that found nothing never marks apps missing
        QSet<QString> installed;
        for (const AppInfo &app : scanned)
            installed.insert(app.bundleID);
        for (const EmbeddedApp &embedded : m_seams.embeddedApps.installed())
            installed.insert(embedded.bundleID);

        StoreContext &context = m_container->mainContext();
        const Instant now = m_seams.clock.now();
        for (AppMeta *meta : context.fetch<AppMeta>()) {
            switch (AppListRules::missingAppStep(installed.contains(meta->bundleID()), meta->missingSince(), now)) {
            case AppListRules::MissingAppStep::keep:
                break;
            case AppListRules::MissingAppStep::clearMissing:
                meta->setMissingSince(std::nullopt);
                break;
            case AppListRules::MissingAppStep::markMissing:
                meta->setMissingSince(now);
                break;
            case AppListRules::MissingAppStep::deleteRecord:
                context.remove(meta);
                break;
            }
        }
        std::ignore = context.save();
    });
}

void AppState::requestLaunch(const AppInfo &app)
{
    const Instant now = m_seams.clock.now();
    if (blockedBundleIDs(now).contains(app.bundleID)) {
        setBlockedPrompt(BlockedPromptInfo{app, blockedEndTime(app.bundleID, now)});
        return;
    }
    if (m_seams.embeddedApps.contains(app.bundleID) || isFocusControlled(app.bundleID)) {
        setPendingFocusApp(app);
        return;
    }
    launchThenHide(*this, app);
}

void AppState::skipFocusAndLaunch(const AppInfo &app)
{
    setPendingFocusApp(std::nullopt);
    launchThenHide(*this, app);
}

void AppState::startFocusSession(const AppInfo &app, int minutes, const std::optional<QString> &note,
                                 std::optional<int> blockMinutes)
{
    timerPanel();
    FocusSession session;
    session.id = QUuid::createUuid();
    session.bundleID = app.bundleID;
    session.appName = app.name;
    if (note && !note->isEmpty())
        session.taskNote = note;
    session.deadline = m_seams.clock.now() + std::chrono::minutes{minutes};
    session.blockMinutes = blockMinutes;
    sessionManager().begin(session);
    // An embedded app runs inside its host: there is nothing to open, but the launcher still steps aside.
    const bool started = m_seams.embeddedApps.contains(app.bundleID)
                         || m_launcher->launch(app) != AppLauncher::LaunchResult::refused;
    setPendingFocusApp(std::nullopt);
    if (started)
        hideAfterLaunch(m_seams);
}

void AppState::togglePin(const AppInfo &app)
{
    StoreContext &context = m_container->mainContext();
    AppMeta *meta = AppLauncher::fetchOrCreateMeta(app.bundleID, context);
    meta->setIsPinned(!meta->isPinned());
    std::ignore = context.save();
    refreshSortMeta();
}

void AppState::pinToDock(const AppInfo &app)
{
    // The dock may take seconds to answer (the desktop's settings tool), so the calls run on the dock's own thread,
    // one request after the other, and only the toast comes back here. They touch only the seam, which outlives
    // the state; a state gone by then shows nothing.
    DockPinning &dock = m_seams.dockPinning;
    m_seams.dockExecutor.run<DockOutcome>(
        this,
        [&dock, app] {
            DockPinService service(dock);
            if (service.isInDock(app))
                return DockOutcome::alreadyKept;
            return service.addToDock(app) ? DockOutcome::added : DockOutcome::failed;
        },
        [this, name = app.name](DockOutcome outcome) { toast().show(dockToast(outcome, name)); });
}

void AppState::toggleFocusControl(const AppInfo &app)
{
    const QStringList stored = m_seams.preferences.stringList(focusControlKey).value_or(QStringList{});
    m_seams.preferences.setStringList(focusControlKey, AppListRules::toggledFocusControl(stored, app.bundleID));
    announceChange();
}

void AppState::setFocusControlled(const QSet<QString> &bundleIDs)
{
    m_seams.preferences.setStringList(focusControlKey, AppListRules::focusControlList(bundleIDs));
    announceChange();
}

bool AppState::isFocusControlled(const QString &bundleID) const
{
    return m_seams.preferences.stringList(focusControlKey).value_or(QStringList{}).contains(bundleID);
}

void AppState::hideApp(const AppInfo &app)
{
    StoreContext &context = m_container->mainContext();
    AppLauncher::fetchOrCreateMeta(app.bundleID, context)->setIsHidden(true);
    std::ignore = context.save();
    if (m_selectedAppID == app.bundleID)
        setSelectedAppID(std::nullopt);
    refreshSortMeta();
}

void AppState::unhideApp(const AppInfo &app)
{
    StoreContext &context = m_container->mainContext();
    AppLauncher::fetchOrCreateMeta(app.bundleID, context)->setIsHidden(false);
    std::ignore = context.save();
    refreshSortMeta();
}

void AppState::setAlias(const QString &alias, const AppInfo &app)
{
    const QString trimmed = AppListRules::trimmedSpacesAndTabs(alias);
    StoreContext &context = m_container->mainContext();
    AppLauncher::fetchOrCreateMeta(app.bundleID, context)
        ->setAliasName(trimmed.isEmpty() ? std::nullopt : std::optional<QString>(trimmed));
    std::ignore = context.save();
    refreshSortMeta();
    announceChange();
}

void AppState::moveSelection(int dx, int dy)
{
    const QList<AppInfo> shown = visibleApps();
    if (shown.isEmpty())
        return;
    setSelectedAppID(AppListRules::movedSelection(shown, m_selectedAppID, dx, dy, gridColumns));
}

void AppState::commitGroupOrder(const QStringList &bundleIDs)
{
    if (!m_selectedGroupID)
        return;
    for (AppGroup *group : groups()) {
        if (group->storeID() == *m_selectedGroupID) {
            group->setBundleIDs(AppSorter::mergedOrder(group->bundleIDs(), bundleIDs));
            std::ignore = m_container->mainContext().save();
            return;
        }
    }
}

void AppState::commitCustomOrder(const QList<AppInfo> &apps)
{
    const QStringList all = idsOf(AppSorter::customSort(targetableApps(), m_sortMeta));
    const QStringList merged = AppSorter::mergedOrder(all, idsOf(apps));
    StoreContext &context = m_container->mainContext();
    for (qsizetype position = 0; position < merged.size(); ++position)
        AppLauncher::fetchOrCreateMeta(merged[position], context)->setSortIndex(int(position));
    std::ignore = context.save();
    refreshSortMeta();
}
