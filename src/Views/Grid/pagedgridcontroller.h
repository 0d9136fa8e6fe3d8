#pragma once

#include "clock.h"
#include "gridcontroller.h"
#include "pagededgeflip.h"
#include "pagermodel.h"
#include "pagewindow.h"
#include "timerservice.h"
#include "wheelpancontroller.h"

#include <QPointF>
#include <QtQml/qqmlregistration.h>

class QWindow;

// The paged grid's rules: its layout for the size it is given (icon ceiling, columns and rows, pages, add tile), the
// drag on the page strip (a pan of the pages or a reorder of a tile, decided at the first move), the edge flips
// while a tile is held near a side, the reactions to the selection and the search, and the empty state. The QML file
// lays out what this says. Main thread; made by the main view's controller (or a test) per grid shown.
class PagedGridController : public GridController
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made in C++ and handed to the paged grid")
    Q_PROPERTY(PagerModel *pager READ pager CONSTANT)
    Q_PROPERTY(PageWindow *pageWindow READ pageWindow CONSTANT)
    Q_PROPERTY(WheelPanController *wheel READ wheel CONSTANT)

    Q_PROPERTY(double height READ height WRITE setHeight NOTIFY layoutChanged)
    Q_PROPERTY(double pageHeight READ pageHeight NOTIFY layoutChanged)
    Q_PROPERTY(int rows READ rows NOTIFY layoutChanged)
    Q_PROPERTY(int perPage READ perPage NOTIFY layoutChanged)
    Q_PROPERTY(int pageCount READ pageCount NOTIFY layoutChanged)
public:
    PagedGridController(GridHost &host, TimerService &timers, const Clock &clock, QObject *parent = nullptr);
    ~PagedGridController() override;

    [[nodiscard]] PagerModel *pager() { return &m_pager; }
    [[nodiscard]] PageWindow *pageWindow() { return &m_pageWindow; }
    [[nodiscard]] WheelPanController *wheel() { return &m_wheel; }

    [[nodiscard]] double height() const { return m_height; }
    void setHeight(double height);
    [[nodiscard]] double pageHeight() const;
    [[nodiscard]] int rows() const { return m_geometry.rows; }
    [[nodiscard]] int perPage() const;
    [[nodiscard]] int pageCount() const { return m_pageCount; }
    // Top-left of cell `index` (apps first, then the add tile) in strip coordinates.
    [[nodiscard]] Q_INVOKABLE QPointF cellPosition(int index) const;

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

private:
    struct DragContext
    {
        QList<AppInfo> apps;
        GridDragGeometry geometry;
    };
    [[nodiscard]] DragContext liveDragContext() const;
    void updatePreviewAtPointer();
    void finishReorder();
    void relayout() override;
    // Turns to the page of the selected app.
    void selectionChanged() override;
    void afterRefresh() override;
    void updateTileWindow();

    PageWindow m_pageWindow;
    PagerModel m_pager;
    WheelPanController m_wheel;
    PagedEdgeFlip m_edgeFlip;

    double m_height = 0;
    int m_pageCount = 1;
};
