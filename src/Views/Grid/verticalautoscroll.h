#pragma once

#include "flatscrollbarlayout.h"
#include "timerservice.h"

#include <functional>

// Scrolls the vertical grid while a dragged tile is held within 50 points of the top or bottom of the visible area:
// 7 points every 1/60 s, the pointer carried along, until an end, until the pointer leaves the zone, or after four
// ticks in a row at which the scroll view had not reached the offset asked for. Main thread; owned by the vertical
// grid's controller.
class VerticalAutoScroll
{
public:
    static constexpr Duration tick = Duration(16667);

    struct Ports
    {
        std::function<ScrollBarMetrics()> metrics;
        std::function<void(double)> scrollTo;
        std::function<double()> pointerY; // in content coordinates
        std::function<bool()> isReordering;
        std::function<void(double)> afterStep; // the pointer moves by this much; redo the preview
    };

    VerticalAutoScroll(TimerService &timers, Ports ports);

    // After every move of a reorder drag.
    void update();
    void cancel();

    [[nodiscard]] int direction() const { return m_direction; }
    [[nodiscard]] bool isPending() const { return m_work.isActive(); }
    [[nodiscard]] int staleTicks() const { return m_staleTicks; }
    [[nodiscard]] double expected() const { return m_expected; }

private:
    void schedule();
    void fire();

    TimerService &m_timers;
    Ports m_ports;
    TimerHandle m_work;
    int m_direction = 0;
    int m_staleTicks = 0;
    double m_expected = -1;
};
