#pragma once

#include <algorithm>
#include <cmath>

// Both grids round their icon ceiling the same way: into [1, 1.6], down to a whole hundredth, 1.0 when the sum
// went wrong (a division by a zero column count).
namespace IconScaleCeiling {

[[nodiscard]] inline double wholeHundredth(double x)
{
    if (!std::isfinite(x))
        return 1.0;
    return std::floor(std::clamp(x, 1.0, 1.6) * 100) / 100;
}

} // namespace IconScaleCeiling
