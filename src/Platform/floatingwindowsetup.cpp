#include "floatingwindowsetup.h"

#include <QWindow>

Qt::WindowFlags FloatingWindowSetup::flags(bool passClicks)
{
    Qt::WindowFlags f = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus
        | Qt::NoDropShadowWindowHint;
    if (passClicks)
        f |= Qt::WindowTransparentForInput;
    return f;
}

void FloatingWindowSetup::prepare(QWindow &window, bool passClicks) const
{
    window.setFlags(flags(passClicks));
}
