#include "dashedoutline.h"

#include <QPainter>
#include <QPen>

DashedOutline::DashedOutline(QQuickItem *parent)
    : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

void DashedOutline::paint(QPainter *painter)
{
    if (m_lineWidth <= 0)
        return;
    QPen pen(m_color, m_lineWidth);
    // Dash lengths of a pen count in line widths.
    pen.setDashPattern({m_dashLength / m_lineWidth, m_gapLength / m_lineWidth});
    pen.setCapStyle(Qt::FlatCap);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    // The line's centre runs half a width inside the edge, so the whole line lies inside the shape.
    const double inset = m_lineWidth / 2;
    const QRectF rect = QRectF(0, 0, width(), height()).adjusted(inset, inset, -inset, -inset);
    const double r = std::max(0.0, m_radius - inset);
    painter->drawRoundedRect(rect, r, r);
}

template <class T>
void DashedOutline::assign(T &field, const T &value)
{
    if (field == value)
        return;
    field = value;
    update();
    Q_EMIT appearanceChanged();
}

void DashedOutline::setColor(const QColor &color)
{
    assign(m_color, color);
}

void DashedOutline::setRadius(double radius)
{
    assign(m_radius, radius);
}

void DashedOutline::setLineWidth(double width)
{
    assign(m_lineWidth, width);
}

void DashedOutline::setDashLength(double length)
{
    assign(m_dashLength, length);
}

void DashedOutline::setGapLength(double length)
{
    assign(m_gapLength, length);
}
