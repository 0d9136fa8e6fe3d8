#pragma once

#include <QPointF>

#include <optional>

// One grid's layout as the drag code sees it. The paged grid lays its pages side by side, page p starting at
// p × pageWidth; a pageWidth of 0 or less means the vertical grid, one endless page. itemCount counts the app tiles
// only, never a group's add tile. A plain value.
struct GridDragGeometry
{
    int columns = 0;
    int rows = 0; // rows per page; not used by the vertical grid
    double cellWidth = 0;
    double cellHeight = 0;
    double columnSpacing = 0;
    double rowSpacing = 0;
    double paddingH = 0;
    double paddingV = 0;
    double pageWidth = 0;
    int itemCount = 0;

    [[nodiscard]] constexpr bool isPaged() const { return pageWidth > 0; }
    [[nodiscard]] constexpr double columnPitch() const { return cellWidth + columnSpacing; }
    [[nodiscard]] constexpr double rowPitch() const { return cellHeight + rowSpacing; }
    [[nodiscard]] constexpr int perPage() const { return columns * rows; }
    // Pages the apps fill; 0 when a page holds no tile at all (rather than dividing by zero).
    [[nodiscard]] constexpr int pageCount() const
    {
        const int per = perPage();
        return per > 0 ? (itemCount + per - 1) / per : 0;
    }

    friend constexpr bool operator==(const GridDragGeometry &, const GridDragGeometry &) = default;
};

// Pointer positions to tile indices. Points are in the grid's content coordinates: for the paged grid x runs across
// all pages, for the vertical grid both are relative to the top left of the scrolled content. Pure functions.
//
// A geometry without a positive column and row pitch, or with any value that is not finite, and a point that is not
// finite, hit no tile and target index 0: the grids never make them, and nothing here may divide by zero or turn an
// infinity into an index.
namespace GridDragReorder {

// The app tile under the point, used once when a drag starts. The gaps between tiles, the padding, empty slots and the
// add tile hit nothing; a point exactly on a tile's right or bottom edge still hits it.
[[nodiscard]] std::optional<int> hitTestIndex(QPointF point, const GridDragGeometry &grid);

// The index the dragged tile would take if dropped at the point, always within [0, itemCount − 1] (0 when there is
// no tile). The insertion column changes half a gap left of each tile; a point past the last tile gives the last
// index. On the paged grid only the page is clamped, not x, so a point on a page beyond the apps (one that holds only
// the add tile) lands in the last column of the last app page.
[[nodiscard]] int targetIndex(QPointF point, const GridDragGeometry &grid);

} // namespace GridDragReorder
