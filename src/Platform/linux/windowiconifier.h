#pragma once

#include <QList>

// Puts away (iconifies) every window that the given processes own. Fire-and-forget. Main thread.
class WindowIconifier
{
public:
    virtual ~WindowIconifier() = default;
    virtual void iconifyWindowsOf(const QList<qint64> &pids) = 0;
};
