#include "flatscrollbarlayout.h"

#include <algorithm>

namespace FlatScrollbarLayout {

double largestOffset(const ScrollBarMetrics &m)
{
    return m.contentHeight - m.containerHeight;
}

std::optional<Knob> knob(const ScrollBarMetrics &m, double trackHeight)
{
    const double l = largestOffset(m);
    const double t = trackHeight - 2 * inset;
    if (l <= 1 || t <= minKnobHeight)
        return std::nullopt;
    Knob k;
    k.height = std::max(t * m.containerHeight / m.contentHeight, minKnobHeight);
    k.travel = t - k.height;
    const double progress = std::clamp(m.offset / l, 0.0, 1.0);
    k.top = inset + progress * k.travel;
    return k;
}

double dragOffset(double startOffset, double dy, const ScrollBarMetrics &m, double travel)
{
    const double l = std::max(largestOffset(m), 0.0);
    if (travel <= 0)
        return std::clamp(startOffset, 0.0, l);
    return std::clamp(startOffset + dy * l / travel, 0.0, l);
}

} // namespace FlatScrollbarLayout
