#pragma once

#include "instant.h"

// The one source of "now". Wall time is the calendar's (it jumps when the clock is set and runs on through a
// suspend); monotonic time never jumps, for throttles, debounces and repeating sweeps.
class Clock
{
public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual Instant now() const = 0;
    [[nodiscard]] virtual MonotonicInstant monotonicNow() const = 0;
};
