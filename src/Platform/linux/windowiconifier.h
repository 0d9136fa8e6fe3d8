#pragma once

#include <QList>

// The windows of given processes, for the running-app seam: put them away (iconify), tell whether there are any,
// bring the topmost forward. Main thread.
class WindowIconifier
{
public:
    virtual ~WindowIconifier() = default;
    // Whether iconifying can reach other programs' windows at all here (not, say, in a Wayland session).
    [[nodiscard]] virtual bool canIconify() const = 0;
    // Fire-and-forget.
    virtual void iconifyWindowsOf(const QList<qint64> &pids) = 0;
    [[nodiscard]] virtual bool hasWindowsOf(const QList<qint64> &pids) const = 0;
    // Activates the processes' topmost window on the current desktop (iconified ones too); false when they have none
    // there.
    virtual bool activateTopWindowOf(const QList<qint64> &pids) = 0;
};
