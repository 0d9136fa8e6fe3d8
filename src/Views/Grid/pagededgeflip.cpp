#include "pagededgeflip.h"

#include "pagedgridlayout.h"

#include <algorithm>

PagedEdgeFlip::PagedEdgeFlip(TimerService &timers, Ports ports)
    : m_timers(timers)
    , m_ports(std::move(ports))
{
}

void PagedEdgeFlip::update()
{
    const int direction = PagedGridLayout::edgeDirection(m_ports.pointerX(), m_ports.pageWidth());
    if (direction == 0 || m_ports.pageCount() <= 1) {
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

void PagedEdgeFlip::cancel()
{
    m_work.cancel();
    m_direction = 0;
}

void PagedEdgeFlip::schedule()
{
    m_work = m_timers.startAfter(delay, [this] { fire(); });
}

void PagedEdgeFlip::fire()
{
    m_work = TimerHandle();
    const double w = m_ports.pageWidth();
    const int count = m_ports.pageCount();
    if (w <= 0 || count < 2)
        return;
    const int current = m_ports.currentPage();
    const int target = std::clamp(current + m_direction, 0, count - 1);
    if (target != current) {
        m_ports.snapTo(target);
        m_ports.afterFlip();
    }
    if (m_ports.isReordering() && PagedGridLayout::edgeDirection(m_ports.pointerX(), w) == m_direction)
        schedule();
}
