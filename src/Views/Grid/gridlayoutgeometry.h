#pragma once

// The shown apps a grid builds tiles for: `count` of them from `first`.
struct TileWindow
{
    int first = 0;
    int count = 0;

    friend bool operator==(const TileWindow &, const TileWindow &) = default;
};

// One grid's cell layout as both grids draw it: cell size, spacings, paddings and, for the paged grid, the page width
// (0 for the vertical grid). The same numbers feed the drag hit tests, so what is drawn is what is hit.
struct GridLayoutGeometry
{
    int columns = 0;
    int rows = 0; // rows per page; 0 for the vertical grid
    double cellWidth = 0;
    double cellHeight = 0;
    double columnSpacing = 0;
    double rowSpacing = 0;
    double paddingH = 0;
    double paddingV = 0;
    double pageWidth = 0;
    int itemCount = 0;

    [[nodiscard]] constexpr double columnPitch() const { return cellWidth + columnSpacing; }
    [[nodiscard]] constexpr double rowPitch() const { return cellHeight + rowSpacing; }
    [[nodiscard]] constexpr double contentWidth() const
    {
        return columns * cellWidth + (columns - 1) * columnSpacing;
    }
    [[nodiscard]] constexpr double contentHeight(int rowCount) const
    {
        return rowCount * cellHeight + (rowCount - 1) * rowSpacing;
    }

    friend bool operator==(const GridLayoutGeometry &, const GridLayoutGeometry &) = default;
};

#include "griddragreorder.h"

// The drag code's view of a layout.
[[nodiscard]] inline GridDragGeometry dragGeometry(const GridLayoutGeometry &g)
{
    return GridDragGeometry{g.columns,       g.rows,          g.cellWidth, g.cellHeight, g.columnSpacing,
                            g.rowSpacing,    g.paddingH,      g.paddingV,  g.pageWidth,  g.itemCount};
}
