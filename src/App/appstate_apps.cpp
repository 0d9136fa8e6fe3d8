#include "appstate.h"

#include "appgroup.h"
#include "appscanner.h"

// The app list, the launch road and the app actions.

QList<AppInfo> AppState::visibleApps() const
{
    return {};
}

QList<AppInfo> AppState::targetableApps() const
{
    return m_scanner->apps();
}

QList<AppGroup *> AppState::groups() const
{
    return {};
}

std::optional<QString> AppState::alias(const AppInfo &) const
{
    return std::nullopt;
}

std::optional<QString> AppState::appName(const QString &) const
{
    return std::nullopt;
}

QHash<QString, AppMetaSnapshot> AppState::metaSnapshots() const
{
    return {};
}

void AppState::refreshSortMeta()
{
}

void AppState::refreshSortMetaSoon()
{
}

void AppState::syncMissingApps()
{
}

void AppState::requestLaunch(const AppInfo &)
{
}

void AppState::skipFocusAndLaunch(const AppInfo &)
{
}

void AppState::startFocusSession(const AppInfo &, int, const std::optional<QString> &, std::optional<int>)
{
}

void AppState::togglePin(const AppInfo &)
{
}

void AppState::pinToDock(const AppInfo &)
{
}

void AppState::toggleFocusControl(const AppInfo &)
{
}

void AppState::setFocusControlled(const QSet<QString> &)
{
}

bool AppState::isFocusControlled(const QString &) const
{
    return false;
}

void AppState::hideApp(const AppInfo &)
{
}

void AppState::unhideApp(const AppInfo &)
{
}

void AppState::setAlias(const QString &, const AppInfo &)
{
}

void AppState::moveSelection(int, int)
{
}

void AppState::commitGroupOrder(const QStringList &)
{
}

void AppState::commitCustomOrder(const QList<AppInfo> &)
{
}
