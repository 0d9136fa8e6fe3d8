#pragma once

#include "clock.h"
#include "sleepwake.h"
#include "timerservice.h"
#include "linux/suspenddetector.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>

#include <functional>

// Sleep and wake from logind (org.freedesktop.login1's PrepareForSleep on the system bus). While awake it holds a
// "delay" sleep inhibitor, so that logind waits for willSleep to be handled before the machine sleeps; it lets go
// right after and takes a new one on wake. Where logind cannot be reached (no system bus, as in CI), a suspend
// detector ticks every few seconds instead and, after a suspend, sends willSleep with the instant of its last tick
// before the gap, then didWake. Main thread; owned by main.cpp.
class LogindSleepWake : public SleepWake
{
    Q_OBJECT
public:
    static constexpr Duration tickInterval = std::chrono::seconds(5);
    using ClockReader = std::function<SuspendDetector::Reading()>;

    // `readClocks` replaces the machine's clocks of the detector (tests).
    LogindSleepWake(const Clock &clock, TimerService &timers, QDBusConnection systemBus = QDBusConnection::systemBus(),
                    ClockReader readClocks = {}, QObject *parent = nullptr);

    enum class Mode { detecting, logind };
    [[nodiscard]] Mode mode() const { return m_mode; }
    [[nodiscard]] bool holdsInhibitor() const { return m_inhibitor.isValid(); }
    // An Inhibit call (the first one also tells whether logind is there) is still unanswered.
    [[nodiscard]] bool isAskingLogind() const { return m_inhibiting; }

private Q_SLOTS:
    void prepareForSleep(bool sleeping);

private:
    const Clock &m_clock;
    TimerService &m_timers;
    QDBusConnection m_bus;
    ClockReader m_readClocks;
    SuspendDetector m_detector;
    TimerHandle m_tick;
    Mode m_mode = Mode::detecting;
    QDBusUnixFileDescriptor m_inhibitor;
    bool m_inhibiting = false; // an Inhibit call is on its way
    bool m_asleep = false;     // between PrepareForSleep(true) and PrepareForSleep(false)

    void startDetector();
    void tick();
    void takeInhibitor();
};
