#pragma once

#include <optional>

// The thin scrollbar of the vertical grid: where its knob stands for a scroll position, and where a drag of the knob
// scrolls to. Pure functions over the scroll view's three numbers.
struct ScrollBarMetrics
{
    double offset = 0; // from the top of the content, top margin included
    double contentHeight = 0;
    double containerHeight = 0; // the visible height

    friend bool operator==(const ScrollBarMetrics &, const ScrollBarMetrics &) = default;
};

namespace FlatScrollbarLayout {

inline constexpr double knobWidth = 6;
inline constexpr double minKnobHeight = 32;
inline constexpr double inset = 3;
inline constexpr double trailingInset = 4;

struct Knob
{
    double top = 0;
    double height = 0;
    double travel = 0;
};

// Nothing to draw when the content scrolls by at most one point or the track is no longer than the least knob.
[[nodiscard]] std::optional<Knob> knob(const ScrollBarMetrics &m, double trackHeight);

[[nodiscard]] double largestOffset(const ScrollBarMetrics &m);

// The offset a knob drag asks for: the offset it started at plus the drag scaled from knob travel to content.
[[nodiscard]] double dragOffset(double startOffset, double dy, const ScrollBarMetrics &m, double travel);

} // namespace FlatScrollbarLayout
