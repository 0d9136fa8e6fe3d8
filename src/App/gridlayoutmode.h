#pragma once

#include <QString>

#include <optional>

// Which grid the launcher shows: one vertically scrolling grid, or horizontal pages. Stored under
// "gridLayoutMode" by its raw value; only the exact raw values name a mode.
enum class GridLayoutMode { Vertical, Horizontal };

namespace GridLayoutModes {

[[nodiscard]] inline QString raw(GridLayoutMode mode)
{
    return mode == GridLayoutMode::Vertical ? QStringLiteral("vertical") : QStringLiteral("horizontal");
}

[[nodiscard]] inline std::optional<GridLayoutMode> fromRaw(const QString &raw)
{
    if (raw == QLatin1String("vertical"))
        return GridLayoutMode::Vertical;
    if (raw == QLatin1String("horizontal"))
        return GridLayoutMode::Horizontal;
    return std::nullopt;
}

} // namespace GridLayoutModes
