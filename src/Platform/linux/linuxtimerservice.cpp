#include "linux/linuxtimerservice.h"

#include <QSocketNotifier>

#include <sys/timerfd.h>
#include <unistd.h>

namespace {

itimerspec absoluteSpec(std::int64_t micros)
{
    itimerspec spec{};
    if (micros <= 0)
        micros = 1; // an all-zero value would disarm the timer instead
    spec.it_value.tv_sec = micros / 1'000'000;
    spec.it_value.tv_nsec = long(micros % 1'000'000) * 1000;
    return spec;
}

} // namespace

LinuxTimerService::LinuxTimerService(const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
{
    m_wallFd = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    m_monoFd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_wallFd >= 0) {
        m_wallNotifier = new QSocketNotifier(m_wallFd, QSocketNotifier::Read, this);
        connect(m_wallNotifier, &QSocketNotifier::activated, this,
                [this] { onReadable(TimerQueue::Kind::Wall); });
    }
    if (m_monoFd >= 0) {
        m_monoNotifier = new QSocketNotifier(m_monoFd, QSocketNotifier::Read, this);
        connect(m_monoNotifier, &QSocketNotifier::activated, this,
                [this] { onReadable(TimerQueue::Kind::Monotonic); });
    }
    m_queue->onAdded = [this](TimerQueue::Kind kind) { arm(kind); };
}

LinuxTimerService::~LinuxTimerService()
{
    m_queue->onAdded = nullptr;
    delete m_wallNotifier;
    delete m_monoNotifier;
    if (m_wallFd >= 0)
        ::close(m_wallFd);
    if (m_monoFd >= 0)
        ::close(m_monoFd);
}

TimerHandle LinuxTimerService::startAt(Instant wallDeadline, Callback callback)
{
    const auto id = m_queue->add({TimerQueue::Kind::Wall, wallDeadline.time_since_epoch().count(), 0,
                                  std::move(callback)});
    return TimerHandle(m_queue, id);
}

TimerHandle LinuxTimerService::startAfter(Duration delay, Callback callback)
{
    const auto deadline = nowOn(TimerQueue::Kind::Monotonic) + std::max<std::int64_t>(delay.count(), 0);
    const auto id = m_queue->add({TimerQueue::Kind::Monotonic, deadline, 0, std::move(callback)});
    return TimerHandle(m_queue, id);
}

TimerHandle LinuxTimerService::startRepeating(Duration interval, Callback callback)
{
    const auto step = std::max<std::int64_t>(interval.count(), 1000);
    const auto id = m_queue->add({TimerQueue::Kind::Monotonic, nowOn(TimerQueue::Kind::Monotonic) + step, step,
                                  std::move(callback)});
    return TimerHandle(m_queue, id);
}

std::int64_t LinuxTimerService::nowOn(TimerQueue::Kind kind) const
{
    return kind == TimerQueue::Kind::Wall ? m_clock.now().time_since_epoch().count()
                                          : m_clock.monotonicNow().time_since_epoch().count();
}

void LinuxTimerService::arm(TimerQueue::Kind kind)
{
    const int fd = kind == TimerQueue::Kind::Wall ? m_wallFd : m_monoFd;
    if (fd < 0)
        return;
    const auto earliest = m_queue->earliest(kind);
    itimerspec spec{};
    int flags = 0;
    if (earliest) {
        spec = absoluteSpec(*earliest);
        flags = TFD_TIMER_ABSTIME;
        if (kind == TimerQueue::Kind::Wall)
            flags |= TFD_TIMER_CANCEL_ON_SET;
    }
    ::timerfd_settime(fd, flags, &spec, nullptr);
}

void LinuxTimerService::onReadable(TimerQueue::Kind kind)
{
    const int fd = kind == TimerQueue::Kind::Wall ? m_wallFd : m_monoFd;
    std::uint64_t expirations = 0;
    const auto n = ::read(fd, &expirations, sizeof expirations);
    Q_UNUSED(n); // expired, ECANCELED (the clock was set) or EAGAIN: the clocks decide what is due
    if (kind == TimerQueue::Kind::Wall) {
        handleWallExpiry();
        return;
    }
    fireDue(kind);
    arm(kind);
}

void LinuxTimerService::handleWallExpiry()
{
    // After a clock change the kernel has dropped the timer; whether its instant has now passed or still lies
    // ahead, the wall clock decides, so one pass serves both cases.
    fireDue(TimerQueue::Kind::Wall);
    arm(TimerQueue::Kind::Wall);
}

void LinuxTimerService::fireDue(TimerQueue::Kind kind)
{
    const auto armedBefore = m_queue->nextId();
    auto queue = m_queue; // callbacks may destroy handles, never the queue itself
    while (auto callback = queue->takeDue(kind, nowOn(kind), armedBefore))
        (*callback)();
}

std::optional<Instant> LinuxTimerService::armedWallDeadline() const
{
    itimerspec current{};
    if (m_wallFd < 0 || ::timerfd_gettime(m_wallFd, &current) != 0)
        return std::nullopt;
    if (current.it_value.tv_sec == 0 && current.it_value.tv_nsec == 0)
        return std::nullopt;
    // timerfd_gettime reports the time left; turn it back into an instant.
    const auto left = std::chrono::seconds(current.it_value.tv_sec) + std::chrono::nanoseconds(current.it_value.tv_nsec);
    return m_clock.now() + std::chrono::duration_cast<Duration>(left);
}
