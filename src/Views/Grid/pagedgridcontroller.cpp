#include "pagedgridcontroller.h"

#include "pagedgridlayout.h"

#include <QWindow>

#include <algorithm>

PagedGridController::PagedGridController(GridHost &host, TimerService &timers, const Clock &clock, QObject *parent)
    : GridController(host, 1.6, parent)
    , m_pager(timers)
    , m_wheel(clock)
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

    connect(&host, &GridHost::pagerResetRequested, this, [this] { m_pager.snap(0, 0); });
    connect(&m_pageWindow, &PageWindow::pagesChanged, this, &PagedGridController::updateTileWindow);
    m_apps.refresh();
}

PagedGridController::~PagedGridController()
{
    m_wheel.stop();
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
    show();
    relayout();
    m_pager.updateLayout(m_width, pageHeight(), m_pageCount);
    m_wheel.start(window);
}

void PagedGridController::hidden()
{
    m_wheel.stop();
    hide();
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
    writeBack(g.columns, ceiling);
    if (isShown() && (m_pager.pageWidth() != m_width || m_pager.gridHeight() != h || m_pager.pageCount() != pages))
        m_pager.updateLayout(m_width, h, pages);
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

void PagedGridController::selectionChanged()
{
    if (const std::optional<int> index = selectedIndex())
        m_pager.snap(*index / perPage(), 0);
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
    commitDrop(m_drag.renderedApps());
}

void PagedGridController::addTileTapped()
{
    m_host.showGroupAddSheet();
}
