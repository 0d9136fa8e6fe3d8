#pragma once

#include <algorithm>
#include <cmath>

// The spring that carries the drawn page strip to a snap's target: mass 1, stiffness 260, damping 32. It decays at 16
// per second and swings at 2 radians per second, just under critical damping, so after 0.6 s (the settle) less than a
// thousandth of the distance is left. Pure functions of the displacement u = drawn offset − target, with u(0) = u0
// and u′(0) = v0 in points and points per second.
namespace PagerSpring {

inline constexpr double mass = 1.0;
inline constexpr double stiffness = 260.0;
inline constexpr double damping = 32.0;
inline constexpr double decay = damping / (2.0 * mass); // 16 per second
inline const double frequency = std::sqrt(stiffness / mass - decay * decay); // 2 rad/s
static_assert(stiffness / mass > decay * decay, "the closed form below is the under-damped one");

// The start velocity of a snap over `distance` points when the strip moves at `velocity` points per second, in whole
// distances per second: 0 for a distance within one point, else limited to ±25 so that a flick over a short way
// does not fling the strip.
[[nodiscard]] inline double startVelocity(double distance, double velocity)
{
    if (std::abs(distance) <= 1.0)
        return 0.0;
    return std::clamp(velocity / distance, -25.0, 25.0);
}

[[nodiscard]] inline double displacement(double u0, double v0, double t)
{
    const double b = (v0 + decay * u0) / frequency;
    return std::exp(-decay * t) * (u0 * std::cos(frequency * t) + b * std::sin(frequency * t));
}

[[nodiscard]] inline double velocity(double u0, double v0, double t)
{
    const double b = (v0 + decay * u0) / frequency;
    const double c = std::cos(frequency * t);
    const double s = std::sin(frequency * t);
    return std::exp(-decay * t) * ((b * frequency - decay * u0) * c - (u0 * frequency + decay * b) * s);
}

} // namespace PagerSpring
