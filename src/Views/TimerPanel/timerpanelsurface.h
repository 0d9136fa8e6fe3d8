#pragma once

#include <QRect>
#include <QSize>

#include <functional>

// The floating timer panel's window as its controller drives it: a frame in screen coordinates, brought to the
// front without taking the focus or put away, and the size its content asks for. The real one is TimerPanelWindow;
// tests record the calls. Main thread; owned by the controller.
class TimerPanelSurface
{
public:
    virtual ~TimerPanelSurface() = default;

    [[nodiscard]] virtual QRect frame() const = 0;
    virtual void setFrame(const QRect &frame) = 0;
    // Shows the window when it is hidden and raises it above other windows; never activates the program.
    virtual void orderFront() = 0;
    // Hides the window; it is kept for the next orderFront().
    virtual void orderOut() = 0;
    // The size the content asks for after its last layout; empty before the first one.
    [[nodiscard]] virtual QSize contentSize() const = 0;

    // Called when contentSize() changed (the content laid out new lines). Set by the controller.
    std::function<void()> contentSizeChanged;
};
