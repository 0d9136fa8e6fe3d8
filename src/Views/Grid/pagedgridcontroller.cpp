#include "pagedgridcontroller.h"

#include "pagedgridlayout.h"

#include <QWindow>

#include <algorithm>

PagedGridController::PagedGridController(GridHost &host, TimerService &timers, const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_host(host)
    , m_pager(timers)
    , m_wheel(clock)
    , m_apps(ShownAppsModel::Source{
          [this] { return m_drag.displayApps(m_host.visibleApps()); },
          [this](const AppInfo &app) { return m_host.shownName(app); },
          [this](const QString &id) { return m_host.isPinned(id); },
          [this](const QString &id) { return m_host.isBlocked(id); }, [this] { return m_host.selectedAppID(); },
          [this](const AppInfo &app) { return m_host.iconSource(app); },
          [this](const QString &id) { return m_host.isIconCached(id); },
          [this](const AppInfo &app) { m_host.requestLaunch(app); }})
    , m_tiles(m_apps)
    , m_edgeFlip(timers, PagedEdgeFlip::Ports{
                             [this] { return m_pager.pageWidth(); }, [this] { return m_pager.pageCount(); },
                             [this] { return m_pager.currentPage(); }, [this](int page) { m_pager.snap(page, 0); },
                             [this] { return m_drag.pointer().x(); },
                             [this] { return m_drag.draggingID().has_value(); },
                             [this] { updatePreviewAtPointer(); }})
{
    m_pager.setWindow(&m_pageWindow);
    m_pager.setOnSettle([this] {
        if (m_drag.draggingID())
            updatePreviewAtPointer();
    });
    m_wheel.setPager(&m_pager);
    m_wheel.setDrag(&m_drag);

    connect(&host, &GridHost::appsChanged, &m_apps, &ShownAppsModel::scheduleRefresh);
    connect(&host, &GridHost::gridPreferenceChanged, this, &PagedGridController::relayout);
    connect(&host, &GridHost::selectedAppIDChanged, this, [this] {
        m_apps.scheduleRefresh();
        followSelection();
    });
    connect(&host, &GridHost::pagerResetRequested, this, [this] { m_pager.snap(0, 0); });
    connect(&host, &GridHost::initialScanDoneChanged, this, &PagedGridController::updateEmptyState);
    connect(&m_drag, &GridDragState::previewOrderChanged, &m_apps, &ShownAppsModel::scheduleRefresh);
    connect(&m_drag, &GridDragState::draggingIDChanged, &m_apps, &ShownAppsModel::scheduleRefresh);
    connect(&m_apps, &ShownAppsModel::refreshed, this, &PagedGridController::afterRefresh);
    connect(&m_pageWindow, &PageWindow::pagesChanged, this, &PagedGridController::updateTileWindow);
    m_apps.refresh();
}

PagedGridController::~PagedGridController()
{
    m_wheel.stop();
}

void PagedGridController::setWidth(double width)
{
    if (width == m_width)
        return;
    m_width = width;
    relayout();
}

void PagedGridController::setHeight(double height)
{
    if (height == m_height)
        return;
    m_height = height;
    relayout();
}

double PagedGridController::pageHeight() const
{
    return PagedGridLayout::pageAreaHeight(m_height);
}

int PagedGridController::perPage() const
{
    return PagedGridLayout::perPage(m_geometry);
}

QPointF PagedGridController::cellPosition(int index) const
{
    return PagedGridLayout::cellPosition(m_geometry, index);
}

void PagedGridController::shown(QWindow *window)
{
    m_shown = true;
    m_apps.setPaused(false);
    m_writtenColumns.reset();
    m_writtenCeiling.reset();
    relayout();
    m_pager.updateLayout(m_width, pageHeight(), m_pageCount);
    m_wheel.start(window);
}

void PagedGridController::hidden()
{
    m_wheel.stop();
    m_shown = false;
    m_apps.setPaused(true);
}

void PagedGridController::updateTileWindow()
{
    const TileWindow window = m_pageWindow.tiles(perPage());
    m_tiles.setWindow(window.first, window.count);
}

void PagedGridController::relayout()
{
    const int c = m_host.preferredColumns();
    const int r = m_host.preferredRows();
    const double h = pageHeight();
    const double ceiling = PagedGridLayout::zoomCeiling(m_width, h, c, r);
    const double scale = std::min(ceiling, m_host.iconScale());
    const bool showAdd = m_host.isGroupSelected() && m_host.searchText().isEmpty() && !m_host.showHiddenApps();
    const GridLayoutGeometry g = PagedGridLayout::geometry(m_width, h, scale, m_apps.count(), c, r);
    const int pages = PagedGridLayout::pageCount(g, m_apps.count(), showAdd);
    const bool changed = ceiling != m_ceiling || scale != m_scale || !(g == m_geometry) || pages != m_pageCount
        || showAdd != m_showAddTile;
    m_ceiling = ceiling;
    m_scale = scale;
    m_geometry = g;
    m_pageCount = pages;
    m_showAddTile = showAdd;
    if (m_shown) {
        if (m_writtenColumns != g.columns) {
            m_writtenColumns = g.columns;
            m_host.setGridColumns(g.columns);
        }
        if (m_writtenCeiling != ceiling) {
            m_writtenCeiling = ceiling;
            m_host.setGridZoomCeiling(ceiling);
        }
        if (m_pager.pageWidth() != m_width || m_pager.gridHeight() != h || m_pager.pageCount() != pages)
            m_pager.updateLayout(m_width, h, pages);
    }
    updateTileWindow();
    if (changed)
        Q_EMIT layoutChanged();
}

void PagedGridController::afterRefresh()
{
    m_drag.setRenderedApps(m_apps.apps());
    relayout();
    updateEmptyState();
}

void PagedGridController::updateEmptyState()
{
    auto state = GridEmptyState::forInput({m_apps.count() == 0, m_host.isInitialScanDone(), m_host.showHiddenApps(),
                                           m_host.searchText(), m_host.isGroupSelected()});
    if (state == m_emptyState)
        return;
    m_emptyState = std::move(state);
    Q_EMIT emptyStateChanged();
}

void PagedGridController::followSelection()
{
    const std::optional<QString> id = m_host.selectedAppID();
    if (!id)
        return;
    const QList<AppInfo> shown = m_drag.displayApps(m_host.visibleApps());
    for (int i = 0; i < shown.size(); ++i) {
        if (shown.at(i).bundleID == *id) {
            m_pager.snap(i / perPage(), 0);
            return;
        }
    }
}

PagedGridController::DragContext PagedGridController::liveDragContext() const
{
    DragContext context;
    context.apps = m_drag.renderedApps();
    const double w = m_pager.pageWidth();
    const double h = m_pager.gridHeight();
    const int c = m_host.preferredColumns();
    const int r = m_host.preferredRows();
    const double scale = std::min(PagedGridLayout::zoomCeiling(w, h, c, r), m_host.iconScale());
    context.geometry = dragGeometry(PagedGridLayout::geometry(w, h, scale, int(context.apps.size()), c, r));
    return context;
}

void PagedGridController::updatePreviewAtPointer()
{
    const DragContext context = liveDragContext();
    m_drag.updatePreview(m_drag.pointer() + QPointF(m_pager.offsetX(), 0), context.geometry,
                         m_pager.isPagingAnimating());
}

void PagedGridController::dragChanged(QPointF pressPosition, QPointF position, QPointF translation)
{
    if (m_pager.pageWidth() <= 0)
        return;
    const DragContext context = liveDragContext();
    if (!m_drag.draggingID() && !m_drag.isPanning()) {
        const QPointF start(pressPosition.x() + m_pager.offsetX(), pressPosition.y());
        const std::optional<int> hit = GridDragReorder::hitTestIndex(start, context.geometry);
        if (!m_host.searchText().isEmpty() || m_host.showHiddenApps() || !hit) {
            m_drag.setPanning(true);
            m_drag.setPanStartOffsetX(m_pager.offsetX());
        } else {
            m_drag.startReorder(context.apps, *hit);
        }
    }
    if (m_drag.draggingID()) {
        m_drag.setPointer(position);
        m_drag.updatePreview(position + QPointF(m_pager.offsetX(), 0), context.geometry,
                             m_pager.isPagingAnimating());
        m_edgeFlip.update();
    } else if (m_drag.isPanning()) {
        m_pager.setDragOffset(m_drag.panStartOffsetX() - translation.x());
    }
}

void PagedGridController::dragEnded(QPointF translation, QPointF velocity)
{
    if (m_drag.draggingID()) {
        finishReorder();
        return;
    }
    if (!m_drag.isPanning())
        return;
    m_drag.setPanning(false);
    if (const auto end =
            PagedGridLayout::panEnd(m_drag.panStartOffsetX(), translation.x(), velocity.x(), m_pager.pageWidth()))
        m_pager.snap(end->page, end->velocity);
}

void PagedGridController::gestureEnded()
{
    // After a normal end both are already wound up; what is left here was cancelled. A cancelled reorder commits.
    if (m_drag.draggingID())
        finishReorder();
    if (m_drag.isPanning()) {
        m_drag.setPanning(false);
        m_pager.snap(m_pager.currentPage(), 0);
    }
}

void PagedGridController::finishReorder()
{
    m_edgeFlip.cancel();
    m_pager.settleNow();
    const GridDragCommit commit = m_drag.commit(m_host.isGroupSelected(), m_drag.renderedApps());
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

void PagedGridController::addTileTapped()
{
    m_host.showGroupAddSheet();
}
