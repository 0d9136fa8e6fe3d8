#include "griddragreorder.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace {

// Both pitches positive and every number finite; see the header for what a failing geometry or point gives.
bool isUsable(QPointF point, const GridDragGeometry &grid)
{
    for (double v : {point.x(), point.y(), grid.cellWidth, grid.cellHeight, grid.columnSpacing, grid.rowSpacing,
                     grid.paddingH, grid.paddingV, grid.pageWidth}) {
        if (!std::isfinite(v))
            return false;
    }
    return grid.columnPitch() > 0 && grid.rowPitch() > 0;
}

} // namespace

// Index arithmetic stays in doubles until the result is known to lie in [0, itemCount): a far but finite point would
// overflow an int on the way.

namespace GridDragReorder {

std::optional<int> hitTestIndex(QPointF point, const GridDragGeometry &grid)
{
    if (grid.columns <= 0 || grid.itemCount <= 0 || !isUsable(point, grid))
        return std::nullopt;

    double x = point.x();
    double y = point.y();
    double page = 0;
    if (grid.isPaged()) {
        if (x < 0)
            return std::nullopt;
        page = std::trunc(x / grid.pageWidth);
        if (page >= std::max(grid.pageCount(), 1))
            return std::nullopt;
        x -= page * grid.pageWidth;
    }

    x -= grid.paddingH;
    if (x < 0)
        return std::nullopt;
    y -= grid.paddingV;
    if (y < 0)
        return std::nullopt;

    const double col = std::trunc(x / grid.columnPitch());
    const double row = std::trunc(y / grid.rowPitch());
    if (col >= grid.columns)
        return std::nullopt;
    if (x - col * grid.columnPitch() > grid.cellWidth)
        return std::nullopt;
    if (y - row * grid.rowPitch() > grid.cellHeight)
        return std::nullopt;

    double index = 0;
    if (grid.isPaged()) {
        if (row >= grid.rows)
            return std::nullopt;
        index = page * grid.columns * grid.rows + row * grid.columns + col;
    } else {
        index = row * grid.columns + col;
    }
    if (index < grid.itemCount)
        return int(index);
    return std::nullopt;
}

int targetIndex(QPointF point, const GridDragGeometry &grid)
{
    if (grid.columns <= 0 || grid.itemCount <= 0 || !isUsable(point, grid))
        return 0;

    double x = point.x();
    const double y = point.y();
    double page = 0;
    if (grid.isPaged()) {
        const double lastPage = std::max(grid.pageCount(), 1) - 1;
        page = std::clamp(std::trunc(x / grid.pageWidth), 0.0, lastPage);
        x -= page * grid.pageWidth;
    }

    const double col = std::clamp(std::trunc((x - grid.paddingH + grid.columnSpacing * 0.5) / grid.columnPitch()), 0.0,
                                  double(grid.columns - 1));
    double row = std::max(std::trunc((y - grid.paddingV + grid.rowSpacing * 0.5) / grid.rowPitch()), 0.0);
    if (grid.isPaged())
        row = std::min(row, double(grid.rows - 1));

    const double index = grid.isPaged() ? page * grid.columns * grid.rows + row * grid.columns + col
                                        : row * grid.columns + col;
    return int(std::clamp(index, 0.0, double(grid.itemCount - 1)));
}

} // namespace GridDragReorder
