#pragma once

class QWindow;

// Qt's compose input method reads the locale's compose table at the first key press that reaches a text field: some
// milliseconds the first keystroke after start would wait for. warmUp() has it read then instead: the first time
// `window` is active, a press and release of a key that has no symbol are sent to that window alone. They carry
// neither text nor a Qt key, so the field they reach does nothing with them. Only on xcb; main thread.
namespace X11ComposeWarmUp {
void warmUp(QWindow &window);
}
