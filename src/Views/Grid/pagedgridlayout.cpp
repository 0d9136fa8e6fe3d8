#include "pagedgridlayout.h"

#include "iconscaleceiling.h"

#include <algorithm>
#include <cmath>

namespace PagedGridLayout {

double pageAreaHeight(double height)
{
    return std::max(height - dotsHeight, 0.0);
}

double zoomCeiling(double width, double pageHeight, int c, int r)
{
    double x = 1.6;
    if (c >= 1 && width > 0)
        x = std::min((width - 2 * pagePaddingH - 8.0 * (c - 1)) / (110.0 * c), 1.6);
    if (r >= 1 && pageHeight > 0) {
        const double y = (((pageHeight - (pagePaddingTop + pagePaddingBottom) - 8.0 * (r - 1)) / r) - 56) / 58;
        if (x > y)
            x = y;
    }
    return IconScaleCeiling::wholeHundredth(x);
}

GridLayoutGeometry geometry(double width, double pageHeight, double s, int itemCount, int c, int r)
{
    GridLayoutGeometry g;
    g.cellWidth = 110 * s;
    g.cellHeight = 58 * s + 56;
    const double leastColumn = s <= 1 ? 16 : 8;
    const double leastRow = s <= 1 ? 20 : 8;
    const double aw = width - 2 * pagePaddingH;
    const double ah = pageHeight - pagePaddingTop - pagePaddingBottom;
    const int fittingColumns = int((aw + leastColumn) / (g.cellWidth + leastColumn));
    const int fittingRows = int((ah + leastRow) / (g.cellHeight + leastRow));
    g.columns = std::max(5, std::min(c, std::max(fittingColumns, 1)));
    g.rows = std::max(2, std::min(r, std::max(fittingRows, 1)));
    g.columnSpacing = std::min(80.0, std::max((aw - g.columns * g.cellWidth) / (g.columns - 1), leastColumn));
    g.rowSpacing = std::min(68.0, std::max((ah - g.rows * g.cellHeight) / (g.rows - 1), leastRow));
    g.paddingH = std::max(pagePaddingH, (width - g.contentWidth()) / 2);
    g.paddingV = pagePaddingTop + std::max(0.0, (ah - g.contentHeight(g.rows)) / 2);
    g.pageWidth = width;
    g.itemCount = itemCount;
    return g;
}

int perPage(const GridLayoutGeometry &g)
{
    return std::max(g.columns * g.rows, 1);
}

int pageCount(const GridLayoutGeometry &g, int appCount, bool showAddTile)
{
    const int total = std::max(appCount, 0) + (showAddTile ? 1 : 0);
    const int per = perPage(g);
    return std::max((total + per - 1) / per, 1);
}

PageSlice page(const GridLayoutGeometry &g, int p, int appCount, bool showAddTile)
{
    const int per = perPage(g);
    PageSlice slice;
    slice.first = p * per;
    slice.count = std::clamp(appCount - slice.first, 0, per);
    if (showAddTile && p == pageCount(g, appCount, showAddTile) - 1)
        slice.addTileCell = slice.count;
    return slice;
}

QPointF cellPosition(const GridLayoutGeometry &g, int index)
{
    const int per = perPage(g);
    const int p = index / per;
    const int cell = index % per;
    const int columns = std::max(g.columns, 1);
    const int row = cell / columns;
    const int column = cell % columns;
    return {p * g.pageWidth + g.paddingH + column * g.columnPitch(), g.paddingV + row * g.rowPitch()};
}

int edgeDirection(double x, double w)
{
    if (w <= 0)
        return 0;
    if (x < edgeZone)
        return -1;
    if (x > w - edgeZone)
        return 1;
    return 0;
}

int roundHalfAway(double value)
{
    return int(std::round(value)); // std::round rounds halves away from zero
}

std::optional<PanEnd> panEnd(double panStartOffsetX, double translationX, double velocityX, double w)
{
    if (w <= 0)
        return std::nullopt;
    PanEnd result;
    const double predictedTranslation = translationX + velocityX * panPredictionHorizon;
    result.page = roundHalfAway((panStartOffsetX - predictedTranslation) / w);
    // The predicted location lies velocity × horizon ahead; the strip moves against the pointer.
    result.velocity = (velocityX * panPredictionHorizon) * -4;
    return result;
}

} // namespace PagedGridLayout
