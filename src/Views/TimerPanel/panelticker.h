#pragma once

#include "instant.h"
#include "timerservice.h"

#include <QObject>

class Clock;

// The floating timer panel's clock: the current time, taken when the ticker is made, at every start() and once a
// second while it runs. It runs only while the panel shows. Main thread; owned by the panel's controller.
class PanelTicker : public QObject
{
    Q_OBJECT
public:
    static constexpr Duration interval = std::chrono::seconds(1);

    PanelTicker(Clock &clock, TimerService &timers, QObject *parent = nullptr);

    [[nodiscard]] Instant now() const { return m_now; }
    [[nodiscard]] bool isRunning() const { return m_timer.isActive(); }

    // Takes the time; arms the repeating tick unless it runs already.
    void start();
    // Drops the tick.
    void stop();

Q_SIGNALS:
    // After every tick and every start().
    void ticked();

private:
    Clock &m_clock;
    TimerService &m_timers;
    Instant m_now;
    TimerHandle m_timer;

    void takeTime();
};
