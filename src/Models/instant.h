#pragma once

#include <QDateTime>
#include <QString>

#include <chrono>
#include <optional>

// Points and spans of time. An Instant is wall time (UTC inside, microsecond resolution); a MonotonicInstant is a
// reading of the monotonic clock, for throttles and debounces that must not move when the wall clock is set.
using Duration = std::chrono::microseconds;
using Instant = std::chrono::sys_time<std::chrono::microseconds>;
using MonotonicInstant = std::chrono::time_point<std::chrono::steady_clock, std::chrono::microseconds>;

using namespace std::chrono_literals;

namespace Instants {

// 2001-01-01 00:00:00 UTC, the epoch of the focus-session file's dates.
inline constexpr std::chrono::seconds referenceDateOffset{978307200};

[[nodiscard]] Instant fromSecondsSince1970(double seconds);
[[nodiscard]] double secondsSince1970(Instant t);
[[nodiscard]] Instant fromSecondsSinceReferenceDate(double seconds);
[[nodiscard]] double secondsSinceReferenceDate(Instant t);

// Whole seconds of a span, as a double (fractions kept).
[[nodiscard]] double seconds(Duration d);
[[nodiscard]] Duration fromSeconds(double seconds);

[[nodiscard]] QDateTime toDateTime(Instant t); // in UTC
[[nodiscard]] Instant fromDateTime(const QDateTime &dt);

// The earliest instant the program deals in ("distant past"), for orderings that need a floor.
[[nodiscard]] constexpr Instant distantPast() { return Instant{Duration{-62135596800LL * 1000000LL}}; }

} // namespace Instants
