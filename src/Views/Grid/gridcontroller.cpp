#include "gridcontroller.h"

GridController::GridController(GridHost &host, double ceiling, QObject *parent)
    : QObject(parent)
    , m_host(host)
    , m_apps(ShownAppsModel::Source{
          [this] { return m_drag.displayApps(m_host.visibleApps()); },
          [this](const AppInfo &app) { return m_host.shownName(app); },
          [this](const QString &id) { return m_host.isPinned(id); },
          [this](const QString &id) { return m_host.isBlocked(id); }, [this] { return m_host.selectedAppID(); },
          [this](const AppInfo &app) { return m_host.iconSource(app); },
          [this](const QString &id) { return m_host.isIconCached(id); },
          [this](const AppInfo &app) { m_host.requestLaunch(app); }})
    , m_tiles(m_apps)
    , m_ceiling(ceiling)
{
    connect(&host, &GridHost::appsChanged, &m_apps, &ShownAppsModel::scheduleRefresh);
    connect(&host, &GridHost::gridPreferenceChanged, this, [this] { relayout(); });
    connect(&host, &GridHost::selectedAppIDChanged, this, [this] {
        m_apps.scheduleRefresh();
        selectionChanged();
    });
    connect(&host, &GridHost::initialScanDoneChanged, this, &GridController::updateEmptyState);
    connect(&m_drag, &GridDragState::previewOrderChanged, &m_apps, &ShownAppsModel::scheduleRefresh);
    connect(&m_drag, &GridDragState::draggingIDChanged, &m_apps, &ShownAppsModel::scheduleRefresh);
    connect(&m_apps, &ShownAppsModel::refreshed, this, [this] { afterRefresh(); });
}

void GridController::setWidth(double width)
{
    if (width == m_width)
        return;
    m_width = width;
    relayout();
}

void GridController::show()
{
    m_shown = true;
    m_apps.setPaused(false);
    m_writtenColumns.reset();
    m_writtenCeiling.reset();
}

void GridController::hide()
{
    m_shown = false;
    m_apps.setPaused(true);
}

void GridController::writeBack(int columns, double ceiling)
{
    if (!m_shown)
        return;
    if (m_writtenColumns != columns) {
        m_writtenColumns = columns;
        m_host.setGridColumns(columns);
    }
    if (m_writtenCeiling != ceiling) {
        m_writtenCeiling = ceiling;
        m_host.setGridZoomCeiling(ceiling);
    }
}

void GridController::commitDrop(const QList<AppInfo> &rendered)
{
    const GridDragCommit commit = m_drag.commit(m_host.isGroupSelected(), rendered);
    switch (commit.kind) {
    case GridDragCommit::Kind::None:
        break;
    case GridDragCommit::Kind::CustomOrder:
        m_host.commitCustomOrder(commit.apps);
        break;
    case GridDragCommit::Kind::GroupOrder:
        m_host.commitGroupOrder(commit.bundleIDs);
        break;
    }
}

void GridController::updateEmptyState()
{
    auto state = GridEmptyState::forInput({m_apps.count() == 0, m_host.isInitialScanDone(), m_host.showHiddenApps(),
                                           m_host.searchText(), m_host.isGroupSelected()});
    if (state == m_emptyState)
        return;
    m_emptyState = std::move(state);
    Q_EMIT emptyStateChanged();
}

std::optional<int> GridController::selectedIndex() const
{
    const std::optional<QString> id = m_host.selectedAppID();
    if (!id)
        return std::nullopt;
    const QList<AppInfo> shown = m_drag.displayApps(m_host.visibleApps());
    for (int i = 0; i < shown.size(); ++i) {
        if (shown.at(i).bundleID == *id)
            return i;
    }
    return std::nullopt;
}
