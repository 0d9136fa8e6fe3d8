#pragma once

#include "instant.h"

#include <optional>

// Tells a suspend from two readings of the clocks: CLOCK_BOOTTIME runs on through a suspend while CLOCK_MONOTONIC
// stands still, so their difference grows by exactly the time asleep (and never otherwise, whatever the wall clock
// or the tick's lateness does). Fed once per tick. Any thread; owned by LogindSleepWake.
class SuspendDetector
{
public:
    struct Reading
    {
        Duration boottime{0};
        Duration monotonic{0};
        Instant wall;
    };
    struct Suspend
    {
        Instant sleptAt; // the last tick before the gap
        Instant wokeAt;  // the tick that saw it
        Duration asleep{0};
    };

    // Shorter gaps than this are not worth a sleep and wake.
    static constexpr Duration defaultThreshold = std::chrono::seconds(2);

    explicit SuspendDetector(Duration threshold = defaultThreshold)
        : m_threshold(threshold)
    {
    }

    [[nodiscard]] std::optional<Suspend> observe(const Reading &reading);
    [[nodiscard]] static Reading readClocks(Instant wallNow);

private:
    Duration m_threshold;
    std::optional<Reading> m_last;
};
