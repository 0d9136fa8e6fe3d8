#include "panelticker.h"

#include "clock.h"

PanelTicker::PanelTicker(Clock &clock, TimerService &timers, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_timers(timers)
    , m_now(clock.now())
{
}

void PanelTicker::start()
{
    takeTime();
    if (m_timer.isActive())
        return;
    m_timer = m_timers.startRepeating(interval, [this] { takeTime(); });
}

void PanelTicker::stop()
{
    m_timer.cancel();
}

void PanelTicker::takeTime()
{
    m_now = m_clock.now();
    Q_EMIT ticked();
}
