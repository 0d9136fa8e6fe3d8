#pragma once

#include "flatscrollbarlayout.h"
#include "griddragstate.h"
#include "gridemptystate.h"
#include "gridhost.h"
#include "gridlayoutgeometry.h"
#include "shownappsmodel.h"
#include "shownappsslice.h"
#include "timerservice.h"
#include "verticalautoscroll.h"

#include <QObject>
#include <QPointF>
#include <QtQml/qqmlregistration.h>

// The vertical grid's rules: columns and spacing for the width it is given, where each cell stands in the scrolled
// content, the reorder drag with its auto-scroll near the top and bottom, the thin scrollbar, scrolling a selected
// app into view, and the empty state. The QML file lays out what this says and reports the scroll view's numbers.
// Main thread; made by the main view's controller (or a test) per grid shown.
class VerticalGridController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made in C++ and handed to the vertical grid")
    Q_PROPERTY(ShownAppsModel *apps READ apps CONSTANT)
    // The apps of the rows in view and next to it.
    Q_PROPERTY(ShownAppsSlice *tiles READ tiles CONSTANT)
    Q_PROPERTY(GridDragState *drag READ drag CONSTANT)

    Q_PROPERTY(double width READ width WRITE setWidth NOTIFY layoutChanged)
    Q_PROPERTY(double iconScale READ iconScale NOTIFY layoutChanged)
    Q_PROPERTY(double zoomCeiling READ zoomCeiling NOTIFY layoutChanged)
    Q_PROPERTY(int columns READ columns NOTIFY layoutChanged)
    Q_PROPERTY(double cellWidth READ cellWidth NOTIFY layoutChanged)
    Q_PROPERTY(double cellHeight READ cellHeight NOTIFY layoutChanged)
    Q_PROPERTY(double columnPitch READ columnPitch NOTIFY layoutChanged)
    Q_PROPERTY(double rowPitch READ rowPitch NOTIFY layoutChanged)
    Q_PROPERTY(double paddingH READ paddingH NOTIFY layoutChanged)
    Q_PROPERTY(double paddingV READ paddingV NOTIFY layoutChanged)
    Q_PROPERTY(double contentHeight READ contentHeight NOTIFY layoutChanged)
    Q_PROPERTY(bool showAddTile READ showAddTile NOTIFY layoutChanged)
    Q_PROPERTY(bool reorderEnabled READ reorderEnabled NOTIFY layoutChanged)

    Q_PROPERTY(bool knobVisible READ knobVisible NOTIFY scrollbarChanged)
    Q_PROPERTY(double knobTop READ knobTop NOTIFY scrollbarChanged)
    Q_PROPERTY(double knobHeight READ knobHeight NOTIFY scrollbarChanged)

    Q_PROPERTY(bool hasEmptyState READ hasEmptyState NOTIFY emptyStateChanged)
    Q_PROPERTY(QString emptySymbol READ emptySymbol NOTIFY emptyStateChanged)
    Q_PROPERTY(QString emptyTitle READ emptyTitle NOTIFY emptyStateChanged)
    Q_PROPERTY(QString emptyDescription READ emptyDescription NOTIFY emptyStateChanged)
public:
    VerticalGridController(GridHost &host, TimerService &timers, QObject *parent = nullptr);

    [[nodiscard]] ShownAppsModel *apps() { return &m_apps; }
    [[nodiscard]] ShownAppsSlice *tiles() { return &m_tiles; }
    [[nodiscard]] GridDragState *drag() { return &m_drag; }

    [[nodiscard]] double width() const { return m_width; }
    void setWidth(double width);
    [[nodiscard]] double iconScale() const { return m_scale; }
    [[nodiscard]] double zoomCeiling() const { return m_ceiling; }
    [[nodiscard]] int columns() const { return m_geometry.columns; }
    [[nodiscard]] double cellWidth() const { return m_geometry.cellWidth; }
    [[nodiscard]] double cellHeight() const { return m_geometry.cellHeight; }
    [[nodiscard]] double columnPitch() const { return m_geometry.columnPitch(); }
    [[nodiscard]] double rowPitch() const { return m_geometry.rowPitch(); }
    [[nodiscard]] double paddingH() const { return m_geometry.paddingH; }
    [[nodiscard]] double paddingV() const { return m_geometry.paddingV; }
    [[nodiscard]] double contentHeight() const;
    [[nodiscard]] bool showAddTile() const { return m_showAddTile; }
    [[nodiscard]] bool reorderEnabled() const { return m_reorderEnabled; }
    [[nodiscard]] const GridLayoutGeometry &geometry() const { return m_geometry; }
    [[nodiscard]] Q_INVOKABLE QPointF cellPosition(int index) const;

    [[nodiscard]] bool knobVisible() const { return m_knob.has_value(); }
    [[nodiscard]] double knobTop() const { return m_knob ? m_knob->top : 0; }
    [[nodiscard]] double knobHeight() const { return m_knob ? m_knob->height : 0; }
    [[nodiscard]] const ScrollBarMetrics &scrollMetrics() const { return m_metrics; }

    [[nodiscard]] bool hasEmptyState() const { return m_emptyState.has_value(); }
    [[nodiscard]] QString emptySymbol() const { return m_emptyState ? m_emptyState->symbol : QString(); }
    [[nodiscard]] QString emptyTitle() const { return m_emptyState ? m_emptyState->title : QString(); }
    [[nodiscard]] QString emptyDescription() const { return m_emptyState ? m_emptyState->description : QString(); }

    // The grid came on screen / went away. While it is away its rows are not recomputed.
    Q_INVOKABLE void shown();
    Q_INVOKABLE void hidden();
    // The scroll view's numbers whenever one of them changes: offset from the top, content and visible height,
    // and the height of the scrollbar's track.
    Q_INVOKABLE void setScrollMetrics(double offset, double contentHeight, double visibleHeight, double trackHeight);

    // The drag gesture over the content, past its threshold, in content coordinates.
    Q_INVOKABLE void dragChanged(QPointF pressPosition, QPointF position);
    Q_INVOKABLE void dragEnded();
    // The gesture is no longer alive: a reorder that still runs was cancelled and is thrown away.
    Q_INVOKABLE void gestureEnded();
    // The scrollbar knob dragged by `dy` since its press, in scene coordinates.
    Q_INVOKABLE void knobDragChanged(double dy);
    Q_INVOKABLE void knobDragEnded();
    Q_INVOKABLE void addTileTapped();

    // The least scroll that brings cell `index` into a view of `visibleHeight` at `offset`.
    [[nodiscard]] static double revealOffset(const GridLayoutGeometry &g, int index, const ScrollBarMetrics &m);

    [[nodiscard]] const VerticalAutoScroll &autoScroll() const { return m_autoScroll; }

Q_SIGNALS:
    void layoutChanged();
    void scrollbarChanged();
    void emptyStateChanged();
    // The view scrolls to this offset from the top (it reports back through setScrollMetrics).
    void scrollRequested(double offset);

private:
    void relayout();
    void afterRefresh();
    void updateEmptyState();
    void updateKnob();
    void revealSelection();
    void updateTileWindow();

    GridHost &m_host;
    GridDragState m_drag;
    ShownAppsModel m_apps;
    ShownAppsSlice m_tiles;
    VerticalAutoScroll m_autoScroll;

    double m_width = 0;
    double m_ceiling = 1.0;
    double m_scale = 1;
    GridLayoutGeometry m_geometry;
    bool m_showAddTile = false;
    bool m_reorderEnabled = true;
    bool m_shown = false;
    std::optional<int> m_writtenColumns;
    std::optional<double> m_writtenCeiling;
    ScrollBarMetrics m_metrics;
    double m_trackHeight = 0;
    std::optional<FlatScrollbarLayout::Knob> m_knob;
    std::optional<double> m_knobDragStart;
    std::optional<GridEmptyState> m_emptyState;
};
