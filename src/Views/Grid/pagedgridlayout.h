#pragma once

#include "gridlayoutgeometry.h"

#include <QPointF>

#include <optional>

// The paged grid's layout rules: how large the icons may grow so that the preferred columns and rows still fit, how
// the cells of one page are placed, and which apps (and whether the add tile) stand on which page. Pure functions.
namespace PagedGridLayout {

inline constexpr double pagePaddingH = 40;
inline constexpr double pagePaddingTop = 8;
inline constexpr double pagePaddingBottom = 16;
inline constexpr double dotsHeight = 20;
inline constexpr double edgeZone = 40;

// The page area's height for a grid of height `height`: the dots take 20 below it.
[[nodiscard]] double pageAreaHeight(double height);

// The largest icon scale at which `preferredColumns` × `preferredRows` fit a page of `width` × `pageHeight` with
// spacings of 8; a whole hundredth within [1, 1.6].
[[nodiscard]] double zoomCeiling(double width, double pageHeight, int preferredColumns, int preferredRows);

// Columns, rows, spacings and paddings of a page at icon scale `scale`; at least 5 columns and 2 rows even when they
// do not fit (the grid is then wider than its page).
[[nodiscard]] GridLayoutGeometry geometry(double width, double pageHeight, double scale, int itemCount,
                                          int preferredColumns, int preferredRows);

[[nodiscard]] int perPage(const GridLayoutGeometry &g);
// Pages for `appCount` apps, plus one cell for the add tile when it shows; at least 1.
[[nodiscard]] int pageCount(const GridLayoutGeometry &g, int appCount, bool showAddTile);

struct PageSlice
{
    int first = 0; // index of the first app on the page
    int count = 0; // apps on the page
    int addTileCell = -1; // cell of the add tile on this page, or -1
};
[[nodiscard]] PageSlice page(const GridLayoutGeometry &g, int page, int appCount, bool showAddTile);

// Top-left of cell `index` (counting across pages) in strip coordinates.
[[nodiscard]] QPointF cellPosition(const GridLayoutGeometry &g, int index);

// -1 near the left edge, +1 near the right edge, 0 elsewhere or without a page width.
[[nodiscard]] int edgeDirection(double x, double pageWidth);

// The page a pan lands on when it ends, and the speed of the strip it hands to the snap. Without a page width there
// is none.
struct PanEnd
{
    int page = 0;
    double velocity = 0;
};
// Qt predicts nothing, so the pan's end looks a quarter of a second ahead at the pointer's own speed
// (`velocityX` in points per second, positive to the right).
inline constexpr double panPredictionHorizon = 0.25;
[[nodiscard]] std::optional<PanEnd> panEnd(double panStartOffsetX, double translationX, double velocityX,
                                          double pageWidth);

// Rounding of a page position: halves away from zero.
[[nodiscard]] int roundHalfAway(double value);

} // namespace PagedGridLayout
