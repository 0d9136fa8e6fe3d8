#pragma once

#include "griddragstate.h"
#include "gridemptystate.h"
#include "gridhost.h"
#include "gridlayoutgeometry.h"
#include "shownappsmodel.h"
#include "shownappsslice.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

#include <optional>

// What the paged and the vertical grid share: the shown apps, read from the host through the drag's preview order,
// and the window of them that builds tiles; the cell layout and icon scale the QML lays out; the two layout fields
// written back to the host while the grid is on screen; the ended reorder handed to the host; the empty state; and
// where the selected app stands. Each grid computes its own layout and says what a change of the grid preference,
// of the selection and of the shown list does. Main thread.
class GridController : public QObject
{
    Q_OBJECT
    QML_ANONYMOUS
    Q_PROPERTY(ShownAppsModel *apps READ apps CONSTANT)
    // The apps of the tiles the grid builds: the pages or rows in view and next to them.
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
    Q_PROPERTY(bool showAddTile READ showAddTile NOTIFY layoutChanged)

    Q_PROPERTY(bool hasEmptyState READ hasEmptyState NOTIFY emptyStateChanged)
    Q_PROPERTY(QString emptySymbol READ emptySymbol NOTIFY emptyStateChanged)
    Q_PROPERTY(QString emptyTitle READ emptyTitle NOTIFY emptyStateChanged)
    Q_PROPERTY(QString emptyDescription READ emptyDescription NOTIFY emptyStateChanged)
public:
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
    [[nodiscard]] bool showAddTile() const { return m_showAddTile; }
    [[nodiscard]] const GridLayoutGeometry &geometry() const { return m_geometry; }

    [[nodiscard]] bool hasEmptyState() const { return m_emptyState.has_value(); }
    [[nodiscard]] QString emptySymbol() const { return m_emptyState ? m_emptyState->symbol : QString(); }
    [[nodiscard]] QString emptyTitle() const { return m_emptyState ? m_emptyState->title : QString(); }
    [[nodiscard]] QString emptyDescription() const { return m_emptyState ? m_emptyState->description : QString(); }

Q_SIGNALS:
    void layoutChanged();
    void emptyStateChanged();

protected:
    // `ceiling` is the icon zoom ceiling until the first layout computes it.
    GridController(GridHost &host, double ceiling, QObject *parent);

    // The grid preference or the width changed.
    virtual void relayout() = 0;
    // Another app was selected (the shown list is already asked to refresh).
    virtual void selectionChanged() = 0;
    // The shown list took a new list.
    virtual void afterRefresh() = 0;

    // The grid came on screen (the written fields are forgotten, so the next layout writes them again) / went away.
    void show();
    void hide();
    [[nodiscard]] bool isShown() const { return m_shown; }
    // Writes the columns and the zoom ceiling to the host where they differ from what was last written, while the
    // grid is on screen.
    void writeBack(int columns, double ceiling);
    // Hands the ended reorder's result to the host; `rendered` is the list the drag started over.
    void commitDrop(const QList<AppInfo> &rendered);
    void updateEmptyState();
    // Where the selected app stands in the shown order, if one is selected and shown.
    [[nodiscard]] std::optional<int> selectedIndex() const;

    GridHost &m_host;
    GridDragState m_drag;
    ShownAppsModel m_apps;
    ShownAppsSlice m_tiles;

    double m_width = 0;
    double m_ceiling;
    double m_scale = 1;
    GridLayoutGeometry m_geometry;
    bool m_showAddTile = false;

private:
    bool m_shown = false;
    std::optional<int> m_writtenColumns;
    std::optional<double> m_writtenCeiling;
    std::optional<GridEmptyState> m_emptyState;
};
