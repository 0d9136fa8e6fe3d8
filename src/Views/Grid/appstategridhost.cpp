#include "appstategridhost.h"

#include "appscanner.h"
#include "appstate.h"
#include "apptilerules.h"
#include "iconcache.h"

AppStateGridHost::AppStateGridHost(AppState &state, IconCache *icons, IconUrl iconUrl, QObject *parent)
    : GridHost(parent)
    , m_state(state)
    , m_icons(icons)
    , m_iconUrl(std::move(iconUrl))
{
    for (auto signal : {&AppState::changed, &AppState::searchTextChanged, &AppState::selectedGroupIDChanged,
                        &AppState::showHiddenAppsChanged})
        connect(&state, signal, this, &GridHost::appsChanged);
    for (auto signal :
         {&AppState::gridPreferredColumnsChanged, &AppState::gridPreferredRowsChanged, &AppState::gridIconScaleChanged})
        connect(&state, signal, this, &GridHost::gridPreferenceChanged);
    connect(&state, &AppState::selectedAppIDChanged, this, &GridHost::selectedAppIDChanged);
    connect(&state, &AppState::pagerResetTokenChanged, this, &GridHost::pagerResetRequested);
    connect(&state.scanner(), &AppScanner::isInitialScanDoneChanged, this, &GridHost::initialScanDoneChanged);
}

QList<AppInfo> AppStateGridHost::visibleApps() const
{
    return m_state.visibleApps();
}

QString AppStateGridHost::searchText() const
{
    return m_state.searchText();
}

bool AppStateGridHost::showHiddenApps() const
{
    return m_state.showHiddenApps();
}

bool AppStateGridHost::isGroupSelected() const
{
    return m_state.selectedGroupID().has_value();
}

double AppStateGridHost::iconScale() const
{
    return m_state.gridIconScale();
}

int AppStateGridHost::preferredColumns() const
{
    return m_state.gridPreferredColumns();
}

int AppStateGridHost::preferredRows() const
{
    return m_state.gridPreferredRows();
}

std::optional<QString> AppStateGridHost::selectedAppID() const
{
    return m_state.selectedAppID();
}

bool AppStateGridHost::isInitialScanDone() const
{
    return m_state.scanner().isInitialScanDone();
}

bool AppStateGridHost::isPinned(const QString &bundleID) const
{
    return m_state.pinnedBundleIDs().contains(bundleID);
}

bool AppStateGridHost::isBlocked(const QString &bundleID) const
{
    return m_state.blockedBundleIDCache().contains(bundleID);
}

QString AppStateGridHost::shownName(const AppInfo &app) const
{
    return m_state.alias(app).value_or(app.name);
}

QString AppStateGridHost::iconSource(const AppInfo &app) const
{
    return m_iconUrl ? m_iconUrl(app) : AppTileRules::iconSource(app);
}

bool AppStateGridHost::isIconCached(const QString &bundleID) const
{
    return m_icons && m_icons->cachedIcon(bundleID).has_value();
}

void AppStateGridHost::setGridColumns(int columns)
{
    m_state.gridColumns = columns;
}

void AppStateGridHost::setGridZoomCeiling(double ceiling)
{
    m_state.gridZoomCeiling = ceiling;
}

void AppStateGridHost::requestLaunch(const AppInfo &app)
{
    m_state.requestLaunch(app);
}

void AppStateGridHost::commitCustomOrder(const QList<AppInfo> &apps)
{
    m_state.commitCustomOrder(apps);
}

void AppStateGridHost::commitGroupOrder(const QStringList &bundleIDs)
{
    m_state.commitGroupOrder(bundleIDs);
}

void AppStateGridHost::showGroupAddSheet()
{
    m_state.setShowGroupAddSheet(true);
}
