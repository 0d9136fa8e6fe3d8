#include "linux/suspenddetector.h"

#include <ctime>

std::optional<SuspendDetector::Suspend> SuspendDetector::observe(const Reading &reading)
{
    const auto last = std::exchange(m_last, reading);
    if (!last)
        return std::nullopt;
    const Duration asleep = (reading.boottime - reading.monotonic) - (last->boottime - last->monotonic);
    if (asleep < m_threshold)
        return std::nullopt;
    return Suspend{last->wall, reading.wall, asleep};
}

SuspendDetector::Reading SuspendDetector::readClocks(Instant wallNow)
{
    auto read = [](clockid_t id) {
        timespec ts{};
        ::clock_gettime(id, &ts);
        return std::chrono::duration_cast<Duration>(std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec));
    };
    // Monotonic first: a suspend between the two reads then shows as a gap at the next tick, not as a negative one.
    const Duration monotonic = read(CLOCK_MONOTONIC);
    const Duration boottime = read(CLOCK_BOOTTIME);
    return Reading{boottime, monotonic, wallNow};
}
