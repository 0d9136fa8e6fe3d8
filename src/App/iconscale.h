#pragma once

class Preferences;

// How large the grid may draw app icons: the stored start value and the clamp that the zoom and the settings apply
// before they set the state object's scale. Pure functions; any thread.
namespace IconScale {

inline constexpr double minimum = 0.75;
inline constexpr double maximum = 1.6;
inline constexpr double neutral = 1.0;

// The scale stored under "gridIconScale" when it is a finite number within minimum-maximum, as it stands; else 1.0.
[[nodiscard]] double stored(const Preferences &preferences);
// The wanted scale held within minimum and the ceiling (itself held within 1.0-1.6), then rounded to hundredths,
// halves away from zero; a wanted value that is not finite gives 1.0.
[[nodiscard]] double clamped(double value, double ceiling);

} // namespace IconScale
