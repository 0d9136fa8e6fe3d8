#include "verticalgridcontroller.h"

#include "verticalgridlayout.h"

#include <algorithm>

VerticalGridController::VerticalGridController(GridHost &host, TimerService &timers, QObject *parent)
    : GridController(host, 1.0, parent)
    , m_autoScroll(timers, VerticalAutoScroll::Ports{
                               [this] { return m_metrics; }, [this](double y) { Q_EMIT scrollRequested(y); },
                               [this] { return m_drag.pointer().y(); },
                               [this] { return m_drag.draggingID().has_value(); },
                               [this](double dy) {
                                   m_drag.setPointer(m_drag.pointer() + QPointF(0, dy));
                                   m_drag.updatePreview(m_drag.pointer(), dragGeometry(m_geometry));
                               }})
{
    m_apps.refresh();
}

double VerticalGridController::contentHeight() const
{
    return VerticalGridLayout::contentHeight(m_geometry, m_apps.count() + (m_showAddTile ? 1 : 0));
}

QPointF VerticalGridController::cellPosition(int index) const
{
    return VerticalGridLayout::cellPosition(m_geometry, index);
}

void VerticalGridController::shown()
{
    show();
    relayout();
}

void VerticalGridController::hidden()
{
    hide();
}

void VerticalGridController::updateTileWindow()
{
    const TileWindow window = VerticalGridLayout::tileWindow(m_geometry, m_metrics.offset, m_metrics.containerHeight);
    m_tiles.setWindow(window.first, window.count);
}

void VerticalGridController::relayout()
{
    const int c = m_host.preferredColumns();
    const double ceiling = VerticalGridLayout::zoomCeiling(m_width, c);
    const double scale = std::min(ceiling, m_host.iconScale());
    const bool reorder = m_host.searchText().isEmpty() && !m_host.showHiddenApps();
    const bool showAdd = m_host.isGroupSelected() && reorder;
    const GridLayoutGeometry g = VerticalGridLayout::geometry(m_width, scale, m_apps.count(), c);
    const bool changed = ceiling != m_ceiling || scale != m_scale || !(g == m_geometry) || showAdd != m_showAddTile
        || reorder != m_reorderEnabled;
    m_ceiling = ceiling;
    m_scale = scale;
    m_geometry = g;
    m_showAddTile = showAdd;
    m_reorderEnabled = reorder;
    writeBack(g.columns, ceiling);
    updateTileWindow();
    if (changed)
        Q_EMIT layoutChanged();
}

void VerticalGridController::afterRefresh()
{
    relayout();
    updateEmptyState();
}

void VerticalGridController::setScrollMetrics(double offset, double content, double visible, double trackHeight)
{
    const ScrollBarMetrics metrics{offset, content, visible};
    if (metrics == m_metrics && trackHeight == m_trackHeight)
        return;
    m_metrics = metrics;
    m_trackHeight = trackHeight;
    updateTileWindow();
    updateKnob();
}

void VerticalGridController::updateKnob()
{
    const auto knob = FlatScrollbarLayout::knob(m_metrics, m_trackHeight);
    const bool same = knob.has_value() == m_knob.has_value()
        && (!knob || (knob->top == m_knob->top && knob->height == m_knob->height));
    m_knob = knob;
    if (!same)
        Q_EMIT scrollbarChanged();
}

double VerticalGridController::revealOffset(const GridLayoutGeometry &g, int index, const ScrollBarMetrics &m)
{
    const double top = VerticalGridLayout::cellPosition(g, index).y();
    const double bottom = top + g.cellHeight;
    const double largest = std::max(m.contentHeight - m.containerHeight, 0.0);
    double offset = m.offset;
    if (bottom > offset + m.containerHeight)
        offset = bottom - m.containerHeight;
    if (top < offset)
        offset = top;
    return std::clamp(offset, 0.0, largest);
}

void VerticalGridController::selectionChanged()
{
    const std::optional<int> index = selectedIndex();
    if (!index)
        return;
    const double offset = revealOffset(m_geometry, *index, m_metrics);
    if (offset != m_metrics.offset)
        Q_EMIT scrollRequested(offset);
}

void VerticalGridController::dragChanged(QPointF pressPosition, QPointF position)
{
    const GridDragGeometry geometry = dragGeometry(m_geometry);
    if (!m_drag.draggingID()) {
        if (!m_reorderEnabled)
            return;
        const std::optional<int> hit = GridDragReorder::hitTestIndex(pressPosition, geometry);
        const QList<AppInfo> shown = m_apps.apps();
        if (!hit || *hit >= shown.size())
            return;
        m_drag.startReorder(shown, *hit);
    }
    m_drag.setPointer(position);
    m_drag.updatePreview(position, geometry);
    m_autoScroll.update();
}

void VerticalGridController::dragEnded()
{
    m_autoScroll.cancel();
    if (!m_drag.draggingID())
        return;
    if (m_reorderEnabled && m_drag.previewOrder()) {
        commitDrop(m_apps.apps());
    } else {
        m_drag.discard();
    }
}

void VerticalGridController::gestureEnded()
{
    if (!m_drag.draggingID())
        return;
    m_autoScroll.cancel();
    m_drag.discard();
}

void VerticalGridController::knobDragChanged(double dy)
{
    if (!m_knob)
        return;
    if (!m_knobDragStart)
        m_knobDragStart = m_metrics.offset;
    Q_EMIT scrollRequested(FlatScrollbarLayout::dragOffset(*m_knobDragStart, dy, m_metrics, m_knob->travel));
}

void VerticalGridController::knobDragEnded()
{
    m_knobDragStart.reset();
}

void VerticalGridController::addTileTapped()
{
    m_host.showGroupAddSheet();
}
