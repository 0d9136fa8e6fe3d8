#include "rowclickguard.h"

#include "clock.h"

#include <QGuiApplication>
#include <QLineF>
#include <QStyleHints>

RowClickGuard::RowClickGuard(const Clock &clock, std::chrono::milliseconds interval, qreal distance)
    : m_clock(clock), m_interval(interval), m_distance(distance)
{
}

RowClickGuard::RowClickGuard(const Clock &clock)
    : RowClickGuard(clock, std::chrono::milliseconds(QGuiApplication::styleHints()->mouseDoubleClickInterval()),
                    QGuiApplication::styleHints()->mouseDoubleClickDistance())
{
}

bool RowClickGuard::take(const QString &recordKey, QPointF scenePos)
{
    const MonotonicInstant now = m_clock.monotonicNow();
    if (m_last && m_last->recordKey != recordKey && now - m_last->at <= m_interval
        && QLineF(m_last->scenePos, scenePos).length() <= m_distance)
        return false;
    m_last = Click{recordKey, scenePos, now};
    return true;
}
