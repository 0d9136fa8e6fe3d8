#include "linux/systemclock.h"

Instant SystemClock::now() const
{
    return std::chrono::time_point_cast<Duration>(std::chrono::system_clock::now());
}

MonotonicInstant SystemClock::monotonicNow() const
{
    return std::chrono::time_point_cast<Duration>(std::chrono::steady_clock::now());
}
