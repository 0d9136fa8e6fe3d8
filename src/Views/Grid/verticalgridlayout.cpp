#include "verticalgridlayout.h"

#include "iconscaleceiling.h"

#include <algorithm>
#include <cmath>

namespace VerticalGridLayout {

namespace {
double leastSpacing(double s)
{
    return s <= 1 ? 16 : 8;
}
} // namespace

double zoomCeiling(double w, int c)
{
    if (w <= 0)
        return 1.0;
    const double x = c < 1 ? 1.6 : std::min((w - 2 * paddingH - 8.0 * (c - 1)) / (110.0 * c), 1.6);
    return IconScaleCeiling::wholeHundredth(x);
}

int preferredColumns(double w, double s, int preferred)
{
    if (w <= 0)
        return 5;
    const double m = leastSpacing(s);
    for (int n = std::min(preferred, 12); n >= 6; --n) {
        if (2 * paddingH + 110 * s * n + (n - 1) * m <= w)
            return n;
    }
    return 5;
}

double columnSpacing(int n, double w, double s)
{
    if (n > 1 && w > 2 * paddingH)
        return std::min(std::max((w - 2 * paddingH - 110 * s * n) / (n - 1), leastSpacing(s)), 30.0);
    return 30;
}

GridLayoutGeometry geometry(double w, double s, int itemCount, int preferred)
{
    GridLayoutGeometry g;
    g.columns = preferredColumns(w, s, preferred);
    g.rows = 0;
    g.cellWidth = 110 * s;
    g.cellHeight = 58 * s + 56;
    g.columnSpacing = columnSpacing(g.columns, w, s);
    g.rowSpacing = rowSpacing;
    g.paddingH = std::max(paddingH, (w - g.contentWidth()) / 2);
    g.paddingV = paddingV;
    g.pageWidth = 0;
    g.itemCount = itemCount;
    return g;
}

double contentHeight(const GridLayoutGeometry &g, int cellCount)
{
    const int columns = std::max(g.columns, 1);
    const int rowCount = (std::max(cellCount, 0) + columns - 1) / columns;
    if (rowCount == 0)
        return 2 * g.paddingV;
    return 2 * g.paddingV + g.contentHeight(rowCount);
}

QPointF cellPosition(const GridLayoutGeometry &g, int index)
{
    const int columns = std::max(g.columns, 1);
    return {g.paddingH + (index % columns) * g.columnPitch(), g.paddingV + (index / columns) * g.rowPitch()};
}

TileWindow tileWindow(const GridLayoutGeometry &g, double offset, double visibleHeight)
{
    const double pitch = g.rowPitch();
    if (g.columns < 1 || pitch <= 0 || visibleHeight <= 0)
        return {};
    // Row r covers [paddingV + r * pitch, paddingV + r * pitch + cellHeight].
    const double top = offset - pitch;
    const double bottom = offset + visibleHeight + pitch;
    const int firstRow = std::max(0, int(std::ceil((top - g.paddingV - g.cellHeight) / pitch)));
    const int lastRow = int(std::floor((bottom - g.paddingV) / pitch));
    if (lastRow < firstRow)
        return {};
    return {firstRow * g.columns, (lastRow - firstRow + 1) * g.columns};
}

int autoScrollDirection(double pointerY, double offset, double visibleHeight)
{
    const double v = pointerY - offset;
    if (v < autoScrollZone)
        return -1;
    if (v > visibleHeight - autoScrollZone)
        return 1;
    return 0;
}

} // namespace VerticalGridLayout
