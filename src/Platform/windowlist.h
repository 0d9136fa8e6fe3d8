#pragma once

#include <QList>

// One window of the desktop, on screen or not. Sizes are in points (device-independent pixels).
struct WindowInfo
{
    qint64 windowID = 0;
    qint64 ownerPID = 0;
    bool onscreen = false;
    int width = 0;
    int height = 0;

    friend bool operator==(const WindowInfo &, const WindowInfo &) = default;
};

// The desktop's windows with their owning process. Empty where the desktop does not tell (no X11 display).
class WindowList
{
public:
    virtual ~WindowList() = default;
    [[nodiscard]] virtual QList<WindowInfo> allWindows() const = 0;
};
