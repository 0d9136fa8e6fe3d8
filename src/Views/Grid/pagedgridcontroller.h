#pragma once

#include "clock.h"
#include "griddragstate.h"
#include "gridemptystate.h"
#include "gridhost.h"
#include "gridlayoutgeometry.h"
#include "pagededgeflip.h"
#include "pagermodel.h"
#include "pagewindow.h"
#include "shownappsmodel.h"
#include "shownappsslice.h"
#include "timerservice.h"
#include "wheelpancontroller.h"

#include <QObject>
#include <QPointF>
#include <QtQml/qqmlregistration.h>

class QWindow;

// The paged grid's rules: its layout for the size it is given (icon ceiling, columns and rows, pages, add tile), the
// drag on the page strip (a pan of the pages or a reorder of a tile, decided at the first move), the edge flips
// while a tile is held near a side, the reactions to the selection and the search, and the empty state. The QML file
// lays out what this says. Main thread; made by the main view's controller (or a test) per grid shown.
class PagedGridController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made in C++ and handed to the paged grid")
    Q_PROPERTY(ShownAppsModel *apps READ apps CONSTANT)
    // The apps of the pages that build their tiles (see PageWindow).
    Q_PROPERTY(ShownAppsSlice *tiles READ tiles CONSTANT)
    Q_PROPERTY(GridDragState *drag READ drag CONSTANT)
    Q_PROPERTY(PagerModel *pager READ pager CONSTANT)
    Q_PROPERTY(PageWindow *pageWindow READ pageWindow CONSTANT)
    Q_PROPERTY(WheelPanController *wheel READ wheel CONSTANT)

    Q_PROPERTY(double width READ width WRITE setWidth NOTIFY layoutChanged)
    Q_PROPERTY(double height READ height WRITE setHeight NOTIFY layoutChanged)
    Q_PROPERTY(double pageHeight READ pageHeight NOTIFY layoutChanged)
    Q_PROPERTY(double iconScale READ iconScale NOTIFY layoutChanged)
    Q_PROPERTY(double zoomCeiling READ zoomCeiling NOTIFY layoutChanged)
    Q_PROPERTY(int columns READ columns NOTIFY layoutChanged)
    Q_PROPERTY(int rows READ rows NOTIFY layoutChanged)
    Q_PROPERTY(double cellWidth READ cellWidth NOTIFY layoutChanged)
    Q_PROPERTY(double cellHeight READ cellHeight NOTIFY layoutChanged)
    Q_PROPERTY(double columnPitch READ columnPitch NOTIFY layoutChanged)
    Q_PROPERTY(double rowPitch READ rowPitch NOTIFY layoutChanged)
    Q_PROPERTY(double paddingH READ paddingH NOTIFY layoutChanged)
    Q_PROPERTY(double paddingV READ paddingV NOTIFY layoutChanged)
    Q_PROPERTY(int perPage READ perPage NOTIFY layoutChanged)
    Q_PROPERTY(int pageCount READ pageCount NOTIFY layoutChanged)
    Q_PROPERTY(bool showAddTile READ showAddTile NOTIFY layoutChanged)

    Q_PROPERTY(bool hasEmptyState READ hasEmptyState NOTIFY emptyStateChanged)
    Q_PROPERTY(QString emptySymbol READ emptySymbol NOTIFY emptyStateChanged)
    Q_PROPERTY(QString emptyTitle READ emptyTitle NOTIFY emptyStateChanged)
    Q_PROPERTY(QString emptyDescription READ emptyDescription NOTIFY emptyStateChanged)
public:
    PagedGridController(GridHost &host, TimerService &timers, const Clock &clock, QObject *parent = nullptr);
    ~PagedGridController() override;

    [[nodiscard]] ShownAppsModel *apps() { return &m_apps; }
    [[nodiscard]] ShownAppsSlice *tiles() { return &m_tiles; }
    [[nodiscard]] GridDragState *drag() { return &m_drag; }
    [[nodiscard]] PagerModel *pager() { return &m_pager; }
    [[nodiscard]] PageWindow *pageWindow() { return &m_pageWindow; }
    [[nodiscard]] WheelPanController *wheel() { return &m_wheel; }

    [[nodiscard]] double width() const { return m_width; }
    void setWidth(double width);
    [[nodiscard]] double height() const { return m_height; }
    void setHeight(double height);
    [[nodiscard]] double pageHeight() const;
    [[nodiscard]] double iconScale() const { return m_scale; }
    [[nodiscard]] double zoomCeiling() const { return m_ceiling; }
    [[nodiscard]] int columns() const { return m_geometry.columns; }
    [[nodiscard]] int rows() const { return m_geometry.rows; }
    [[nodiscard]] double cellWidth() const { return m_geometry.cellWidth; }
    [[nodiscard]] double cellHeight() const { return m_geometry.cellHeight; }
    [[nodiscard]] double columnPitch() const { return m_geometry.columnPitch(); }
    [[nodiscard]] double rowPitch() const { return m_geometry.rowPitch(); }
    [[nodiscard]] double paddingH() const { return m_geometry.paddingH; }
    [[nodiscard]] double paddingV() const { return m_geometry.paddingV; }
    [[nodiscard]] int perPage() const;
    [[nodiscard]] int pageCount() const { return m_pageCount; }
    [[nodiscard]] bool showAddTile() const { return m_showAddTile; }
    [[nodiscard]] const GridLayoutGeometry &geometry() const { return m_geometry; }
    // Top-left of cell `index` (apps first, then the add tile) in strip coordinates.
    [[nodiscard]] Q_INVOKABLE QPointF cellPosition(int index) const;

    [[nodiscard]] bool hasEmptyState() const { return m_emptyState.has_value(); }
    [[nodiscard]] QString emptySymbol() const { return m_emptyState ? m_emptyState->symbol : QString(); }
    [[nodiscard]] QString emptyTitle() const { return m_emptyState ? m_emptyState->title : QString(); }
    [[nodiscard]] QString emptyDescription() const { return m_emptyState ? m_emptyState->description : QString(); }

    // The grid came on screen in `window` / went away. While it is away its rows are not recomputed.
    Q_INVOKABLE void shown(QWindow *window);
    Q_INVOKABLE void hidden();

    // The strip's drag gesture, past its threshold: where it was pressed, where it is and how far it went, in the
    // page area's coordinates (the viewport, not the strip).
    Q_INVOKABLE void dragChanged(QPointF pressPosition, QPointF position, QPointF translation);
    // The gesture ended normally, with the pointer's speed in points per second.
    Q_INVOKABLE void dragEnded(QPointF translation, QPointF velocity);
    // The gesture is no longer alive (ended or cancelled): whatever still runs is wound up.
    Q_INVOKABLE void gestureEnded();
    Q_INVOKABLE void addTileTapped();

    [[nodiscard]] const PagedEdgeFlip &edgeFlip() const { return m_edgeFlip; }

Q_SIGNALS:
    void layoutChanged();
    void emptyStateChanged();

private:
    struct DragContext
    {
        QList<AppInfo> apps;
        GridDragGeometry geometry;
    };
    [[nodiscard]] DragContext liveDragContext() const;
    void updatePreviewAtPointer();
    void finishReorder();
    void relayout();
    void afterRefresh();
    void updateEmptyState();
    void followSelection();
    void updateTileWindow();

    GridHost &m_host;
    GridDragState m_drag;
    PageWindow m_pageWindow;
    PagerModel m_pager;
    WheelPanController m_wheel;
    ShownAppsModel m_apps;
    ShownAppsSlice m_tiles;
    PagedEdgeFlip m_edgeFlip;

    double m_width = 0;
    double m_height = 0;
    double m_ceiling = 1.6;
    double m_scale = 1;
    GridLayoutGeometry m_geometry;
    int m_pageCount = 1;
    bool m_showAddTile = false;
    bool m_shown = false;
    std::optional<int> m_writtenColumns;
    std::optional<double> m_writtenCeiling;
    std::optional<GridEmptyState> m_emptyState;
};
