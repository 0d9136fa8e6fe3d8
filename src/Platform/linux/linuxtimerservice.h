#pragma once

#include "clock.h"
#include "timerservice.h"

#include <QObject>

#include <memory>

class QSocketNotifier;

// Timers on two timerfds watched from the main loop: wall timers on CLOCK_REALTIME, armed at the absolute instant
// and cancelled by the kernel when the clock is set (then re-armed to the same instant), so they fire on time across
// a suspend and never early; relative and repeating timers on CLOCK_MONOTONIC. Main thread; owned by main.cpp.
class LinuxTimerService : public QObject, public TimerService
{
    Q_OBJECT
public:
    explicit LinuxTimerService(const Clock &clock, QObject *parent = nullptr);
    ~LinuxTimerService() override;

    [[nodiscard]] TimerHandle startAt(Instant wallDeadline, Callback callback) override;
    [[nodiscard]] TimerHandle startAfter(Duration delay, Callback callback) override;
    [[nodiscard]] TimerHandle startRepeating(Duration interval, Callback callback) override;

    // What follows a read of the wall timerfd, whether it expired or failed with ECANCELED because the clock was set:
    // fires what is due by the wall clock and re-arms the rest. Public so that the clock-set path can be driven
    // without setting the machine's clock.
    void handleWallExpiry();
    // The instant the wall timerfd is armed for, if any (read back from the kernel).
    [[nodiscard]] std::optional<Instant> armedWallDeadline() const;
    [[nodiscard]] bool isValid() const { return m_wallFd >= 0 && m_monoFd >= 0; }

private:
    const Clock &m_clock;
    std::shared_ptr<TimerQueue> m_queue = std::make_shared<TimerQueue>();
    int m_wallFd = -1;
    int m_monoFd = -1;
    QSocketNotifier *m_wallNotifier = nullptr;
    QSocketNotifier *m_monoNotifier = nullptr;

    void arm(TimerQueue::Kind kind);
    void onReadable(TimerQueue::Kind kind);
    void fireDue(TimerQueue::Kind kind);
    [[nodiscard]] std::int64_t nowOn(TimerQueue::Kind kind) const;
};
