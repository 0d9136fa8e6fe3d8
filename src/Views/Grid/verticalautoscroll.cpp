#include "verticalautoscroll.h"

#include "verticalgridlayout.h"

#include <algorithm>
#include <cmath>

VerticalAutoScroll::VerticalAutoScroll(TimerService &timers, Ports ports)
    : m_timers(timers)
    , m_ports(std::move(ports))
{
}

void VerticalAutoScroll::update()
{
    const ScrollBarMetrics m = m_ports.metrics();
    const int direction = VerticalGridLayout::autoScrollDirection(m_ports.pointerY(), m.offset, m.containerHeight);
    if (direction == 0 || m.contentHeight <= m.containerHeight) {
        cancel();
        return;
    }
    if (m_direction != direction)
        cancel();
    if (isPending())
        return;
    m_direction = direction;
    schedule();
}

void VerticalAutoScroll::cancel()
{
    m_work.cancel();
    m_direction = 0;
    m_expected = -1;
    m_staleTicks = 0;
}

void VerticalAutoScroll::schedule()
{
    m_work = m_timers.startAfter(tick, [this] { fire(); });
}

void VerticalAutoScroll::fire()
{
    m_work = TimerHandle();
    if (!m_ports.isReordering())
        return;
    const ScrollBarMetrics m = m_ports.metrics();
    if (m_expected >= 0 && std::abs(m.offset - m_expected) < 0.5) {
        m_staleTicks = 0;
    } else {
        // The first tick of a run counts as stale too: nothing was asked for yet.
        ++m_staleTicks;
        if (m_staleTicks > 3) {
            m_expected = -1;
            m_staleTicks = 0;
            m_direction = 0;
            return;
        }
    }
    const double largest = std::max(m.contentHeight - m.containerHeight, 0.0);
    const double target = std::clamp(m.offset + m_direction * VerticalGridLayout::autoScrollStep, 0.0, largest);
    if (target == m.offset) {
        m_expected = -1;
        return;
    }
    m_ports.scrollTo(target);
    m_ports.afterStep(target - m.offset);
    m_expected = target;
    schedule();
}
