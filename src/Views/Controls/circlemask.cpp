#include "circlemask.h"

void CircleMask::setDiameter(double diameter)
{
    if (m_diameter == diameter)
        return;
    m_diameter = diameter;
    Q_EMIT diameterChanged();
}

bool CircleMask::contains(const QPointF &point) const
{
    const double r = m_diameter / 2;
    const double dx = point.x() - r;
    const double dy = point.y() - r;
    return dx * dx + dy * dy <= r * r;
}
