#pragma once

#include <QString>

// The remaining time that the timer panel and the supervision panel's session rows show.
namespace TimerPanelContent {

// Whole seconds (truncated, never below 0) as minutes and seconds, "%02d:%02d", minutes not wrapped at 60; a value
// that is not a number gives "00:00".
[[nodiscard]] QString format(double seconds);

} // namespace TimerPanelContent
