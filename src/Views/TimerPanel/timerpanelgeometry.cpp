#include "timerpanelgeometry.h"

#include <algorithm>

namespace TimerPanelGeometry {

QPoint firstTopLeft(const QRect &available)
{
    return {available.x() + available.width() - firstPlaceFromRight, available.y() + firstPlaceFromTop};
}

QRect constrained(const QRect &proposed, const std::optional<QRect> &available)
{
    if (!available)
        return proposed;
    const int highest = available->y() - riseAboveTop;
    const int lowest = available->y() + available->height() - 1;
    QRect placed = proposed;
    placed.moveTop(std::clamp(proposed.y(), highest, std::max(highest, lowest)));
    return placed;
}

QPoint grabOffset(QPoint windowOrigin, QPoint pointer)
{
    return windowOrigin - pointer;
}

QRect dragged(QPoint grabOffset, QPoint pointer, QSize size)
{
    return {pointer + grabOffset, size};
}

std::optional<QRect> refitted(const QRect &frame, QSize content)
{
    if (content.width() <= 0 || content.height() <= 0)
        return std::nullopt;
    const int bottom = frame.y() + frame.height();
    return QRect(frame.x(), bottom - content.height(), content.width(), content.height());
}

} // namespace TimerPanelGeometry
