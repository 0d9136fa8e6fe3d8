#pragma once

#include "instant.h"

#include <optional>

// Counts a notched wheel's angle deltas in whole notches of 120 units. A classic wheel sends 120 per notch; a
// high-resolution wheel sends one notch as several smaller events (say 8 x 15), which must still make one notch.
// The part of a notch left over is dropped after a quarter second without wheel events, and when the direction
// turns. Main thread; owned by the zoom controller.
class WheelNotches
{
public:
    static constexpr int unitsPerNotch = 120;
    static constexpr Duration idleReset = 250ms;

    // Adds one event's delta (signed) and returns the whole notches it completes (signed, usually 0 or ±1).
    [[nodiscard]] int add(int delta, MonotonicInstant now);
    [[nodiscard]] int remainder() const { return m_remainder; }

private:
    int m_remainder = 0;
    std::optional<MonotonicInstant> m_last;
};
