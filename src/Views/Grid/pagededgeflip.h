#pragma once

#include "timerservice.h"

#include <functional>

// Flips the paged grid's page while a dragged tile is held near a side: one page every 0.55 s while the pointer stays
// within 40 points of the left or right edge. Leaving the zone or turning to the other side cancels the pending
// flip. Main thread; owned by the paged grid's controller.
class PagedEdgeFlip
{
public:
    static constexpr Duration delay = 550ms;

    // What the flip reads and does: the pager's page width, page count and current page, a snap (velocity 0), the
    // pointer's x in the page area, whether the reorder still runs, and what to redo after a flip (the preview).
    struct Ports
    {
        std::function<double()> pageWidth;
        std::function<int()> pageCount;
        std::function<int()> currentPage;
        std::function<void(int)> snapTo;
        std::function<double()> pointerX;
        std::function<bool()> isReordering;
        std::function<void()> afterFlip;
    };

    PagedEdgeFlip(TimerService &timers, Ports ports);

    // After every move of a reorder drag.
    void update();
    void cancel();

    [[nodiscard]] int direction() const { return m_direction; }
    [[nodiscard]] bool isPending() const { return m_work.isActive(); }

private:
    void schedule();
    void fire();

    TimerService &m_timers;
    Ports m_ports;
    TimerHandle m_work;
    int m_direction = 0;
};
