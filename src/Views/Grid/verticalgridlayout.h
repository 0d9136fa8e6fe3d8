#pragma once

#include "gridlayoutgeometry.h"

#include <QPointF>

// The vertical grid's layout rules: the icon ceiling, how many columns fit a width and how far apart they stand, and
// where each cell lies in the scrolled content. Pure functions.
namespace VerticalGridLayout {

inline constexpr double rowSpacing = 24;
inline constexpr double paddingH = 40;
inline constexpr double paddingV = 24;
inline constexpr double autoScrollZone = 50;
inline constexpr double autoScrollStep = 7;

[[nodiscard]] double zoomCeiling(double width, int preferredColumns);
[[nodiscard]] int preferredColumns(double width, double scale, int preferred);
[[nodiscard]] double columnSpacing(int columns, double width, double scale);
[[nodiscard]] GridLayoutGeometry geometry(double width, double scale, int itemCount, int preferred);

// Height of the scrolled content for `cellCount` cells (the apps and the add tile), margins included.
[[nodiscard]] double contentHeight(const GridLayoutGeometry &g, int cellCount);
[[nodiscard]] QPointF cellPosition(const GridLayoutGeometry &g, int index);

// The cells whose rows lie in a view of `visibleHeight` scrolled to `offset`, or within one row of it.
[[nodiscard]] TileWindow tileWindow(const GridLayoutGeometry &g, double offset, double visibleHeight);

// -1 near the top of the visible area, +1 near the bottom, 0 between.
[[nodiscard]] int autoScrollDirection(double pointerY, double offset, double visibleHeight);

} // namespace VerticalGridLayout
