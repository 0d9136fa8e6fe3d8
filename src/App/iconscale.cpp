#include "iconscale.h"

#include "preferences.h"

#include <algorithm>
#include <cmath>

namespace IconScale {

double stored(const Preferences &preferences)
{
    const std::optional<double> value = preferences.doubleValue(QStringLiteral("gridIconScale"));
    if (!value || !std::isfinite(*value))
        return neutral;
    return *value >= minimum && *value <= maximum ? *value : neutral;
}

double clamped(double value, double ceiling)
{
    if (!std::isfinite(value))
        return neutral;
    // A ceiling that is not a number must not open the range: it counts as the normal size.
    const double upper = std::isnan(ceiling) ? neutral : std::min(std::max(ceiling, neutral), maximum);
    const double v = std::min(std::max(value, minimum), upper);
    return std::round(v * 100.0) / 100.0;
}

} // namespace IconScale
