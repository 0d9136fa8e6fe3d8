#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// Where the floating timer panel stands: its first place, the limit of a drag upwards, the drag itself and the refit
// to its content. Rectangles in Qt's screen coordinates (y grows downwards); a screen is given by its available area
// (without panels and docks). Pure functions; any thread.
namespace TimerPanelGeometry {

// The window's size before its content was first measured.
inline constexpr QSize initialSize{288, 96};
// The first place: the top-left corner this far left of the available area's right edge and below its top, so that
// at the initial width the right edge stands 16 from the screen's edge.
inline constexpr int firstPlaceFromRight = 304;
inline constexpr int firstPlaceFromTop = 16;
// How far the top edge may rise above the available area.
inline constexpr int riseAboveTop = 12;

[[nodiscard]] QPoint firstTopLeft(const QRect &available);

// The place a proposed frame gets on a screen: the top edge is kept on the screen's available area, except that it
// may rise up to riseAboveTop above it; x and the size stay. Without a screen the proposed frame stays as it is.
[[nodiscard]] QRect constrained(const QRect &proposed, const std::optional<QRect> &available);

// What a press takes: the window's origin less the pointer's place on the screen.
[[nodiscard]] QPoint grabOffset(QPoint windowOrigin, QPoint pointer);
// The frame a drag proposes: the pointer plus the grab offset, at the window's current size.
[[nodiscard]] QRect dragged(QPoint grabOffset, QPoint pointer, QSize size);

// The frame at the content's size that keeps the bottom-left corner of `frame`; nothing when the content has no
// width or no height yet.
[[nodiscard]] std::optional<QRect> refitted(const QRect &frame, QSize content);

} // namespace TimerPanelGeometry
