#pragma once

#include <Qt>

class QWindow;

// How a floating window (the toast, the timer panel) is set up before it is first shown: frameless, above ordinary
// windows, never taking the focus, without a shadow, and letting clicks through when asked. This base does what Qt
// itself can; a desktop's side adds its own (on X11: on every desktop, out of the task bar and the pager). Main
// thread; owned by main.cpp (or a test).
class FloatingWindowSetup
{
public:
    virtual ~FloatingWindowSetup() = default;

    virtual void prepare(QWindow &window, bool passClicks) const;

    [[nodiscard]] static Qt::WindowFlags flags(bool passClicks);
};
