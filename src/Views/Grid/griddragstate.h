#pragma once

#include "appinfo.h"
#include "griddragreorder.h"
#include "timerservice.h"

#include <QList>
#include <QObject>
#include <QPointF>
#include <QStringList>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <optional>

// What a drop hands over: nothing (the tile never moved), a custom order (no group selected: the apps in their new
// order) or a group's new member order (the identifiers as previewed). The grid passes it on to the state object.
struct GridDragCommit
{
    enum class Kind { None, CustomOrder, GroupOrder };
    Kind kind = Kind::None;
    QList<AppInfo> apps;     // CustomOrder
    QStringList bundleIDs;   // GroupOrder

    friend bool operator==(const GridDragCommit &, const GridDragCommit &) = default;
};

// The reorder drag of one grid: which tile is dragged, where the pointer is and the order a drop would produce, plus
// the working state of the grid's gesture code. Each grid makes its own and keeps it for its lifetime; main thread
// only. Only the three published fields notify, and only on a real change.
class GridDragState : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by a grid in C++ and handed to its view")
    // The dragged tile's bundle identifier; empty when no reorder drag runs (a bundle identifier is never empty).
    Q_PROPERTY(QString draggingID READ draggingIDText NOTIFY draggingIDChanged)
    // The last pointer location of the reorder drag, where the ghost is drawn.
    Q_PROPERTY(QPointF pointer READ pointer NOTIFY pointerChanged)
    // The identifiers in the order a drop would produce, or null until the first move.
    Q_PROPERTY(QVariant previewOrder READ previewOrderValue NOTIFY previewOrderChanged)
public:
    explicit GridDragState(QObject *parent = nullptr);

    [[nodiscard]] const std::optional<QString> &draggingID() const { return m_draggingID; }
    [[nodiscard]] QString draggingIDText() const { return m_draggingID.value_or(QString()); }
    [[nodiscard]] QPointF pointer() const { return m_pointer; }
    void setPointer(QPointF pointer);
    [[nodiscard]] const std::optional<QStringList> &previewOrder() const { return m_previewOrder; }
    [[nodiscard]] QVariant previewOrderValue() const;

    // The list the grid shows for the apps the state object offers: in preview order once the tile moved, in the
    // order at the drag's start before that, else unchanged.
    [[nodiscard]] QList<AppInfo> displayApps(const QList<AppInfo> &apps) const;

    // Starts reordering the tile at `index` of the list the grid renders (the hit of the drag's start point).
    // False, and nothing changes, when the index is outside the list.
    bool startReorder(const QList<AppInfo> &shown, int index);

    // Moves the dragged tile to the insertion index of `contentPoint` in the preview. The paged grid adds its pager
    // offset to x first and passes `pagesAnimating` while a page snap runs: the order is then worked out but not
    // written (the snap's settle asks again).
    void updatePreview(QPointF contentPoint, const GridDragGeometry &grid, bool pagesAnimating = false);

    // Ends the drag with a drop. `shown` is the grid's app list (the first app of an identifier wins); identifiers
    // without an app there are left out of a custom order. Clears draggingID, then previewOrder.
    [[nodiscard]] GridDragCommit commit(bool groupSelected, const QList<AppInfo> &shown);
    // Ends the drag without a drop.
    void discard();

    // Working state of the grid's gesture code; none of it notifies.
    [[nodiscard]] const QStringList &baseOrder() const { return m_baseOrder; }
    [[nodiscard]] const QList<AppInfo> &renderedApps() const { return m_renderedApps; }
    void setRenderedApps(const QList<AppInfo> &apps) { m_renderedApps = apps; }
    // The pending edge page flip (paged grid) or auto-scroll tick (vertical grid); a new handle replaces the old one.
    [[nodiscard]] TimerHandle &edgeFlipWork() { return m_edgeFlipWork; }
    [[nodiscard]] int edgeFlipDirection() const { return m_edgeFlipDirection; } // -1, 0 or +1
    void setEdgeFlipDirection(int direction) { m_edgeFlipDirection = direction; }
    [[nodiscard]] bool isPanning() const { return m_isPanning; }
    void setPanning(bool panning) { m_isPanning = panning; }
    [[nodiscard]] double panStartOffsetX() const { return m_panStartOffsetX; }
    void setPanStartOffsetX(double offset) { m_panStartOffsetX = offset; }

Q_SIGNALS:
    void draggingIDChanged();
    void pointerChanged();
    void previewOrderChanged();

private:
    void setDraggingID(std::optional<QString> id);
    void setPreviewOrder(std::optional<QStringList> order);

    std::optional<QString> m_draggingID;
    QPointF m_pointer;
    std::optional<QStringList> m_previewOrder;
    QStringList m_baseOrder;
    QList<AppInfo> m_renderedApps;
    TimerHandle m_edgeFlipWork;
    int m_edgeFlipDirection = 0;
    bool m_isPanning = false;
    double m_panStartOffsetX = 0;
};
