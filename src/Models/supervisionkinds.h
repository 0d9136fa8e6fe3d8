#pragma once

#include <optional>

// The integer-coded kinds of rules and plans. Stored data relies on these numbers: a rule's group is 1, a plan's
// group is 0. Building one from a raw value accepts only the listed values; the records' typed accessors map other
// values to a default case.
enum class RestrictionTarget { app = 0, group = 1 };
enum class QuitPlanTarget { group = 0, apps = 1 };
enum class QuitPlanBlockMode { none = 0, minutes = 1, until = 2 };

[[nodiscard]] constexpr std::optional<RestrictionTarget> restrictionTargetFromRaw(int raw)
{
    if (raw == 0 || raw == 1)
        return RestrictionTarget(raw);
    return std::nullopt;
}

[[nodiscard]] constexpr std::optional<QuitPlanTarget> quitPlanTargetFromRaw(int raw)
{
    if (raw == 0 || raw == 1)
        return QuitPlanTarget(raw);
    return std::nullopt;
}

[[nodiscard]] constexpr std::optional<QuitPlanBlockMode> quitPlanBlockModeFromRaw(int raw)
{
    if (raw >= 0 && raw <= 2)
        return QuitPlanBlockMode(raw);
    return std::nullopt;
}

[[nodiscard]] constexpr int rawValue(RestrictionTarget v) { return int(v); }
[[nodiscard]] constexpr int rawValue(QuitPlanTarget v) { return int(v); }
[[nodiscard]] constexpr int rawValue(QuitPlanBlockMode v) { return int(v); }
