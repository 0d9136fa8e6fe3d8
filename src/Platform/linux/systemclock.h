#pragma once

#include "clock.h"

// The machine's clocks: CLOCK_REALTIME for wall time, CLOCK_MONOTONIC for monotonic time.
class SystemClock : public Clock
{
public:
    [[nodiscard]] Instant now() const override;
    [[nodiscard]] MonotonicInstant monotonicNow() const override;
};
