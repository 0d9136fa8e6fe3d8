#pragma once

#include "windowlist.h"
#include "linux/windowiconifier.h"

#include <QByteArray>

#include <optional>

class X11Display;

// The managed windows of an EWMH window manager: _NET_CLIENT_LIST, each window's owner from _NET_WM_PID, its size
// in points (pixels divided by the scale that Xft.dpi gives), and on screen while viewable and not
// _NET_WM_STATE_HIDDEN. A window without an owner is left out. Iconifying asks the window manager through
// WM_CHANGE_STATE (ICCCM). Without a display the list is empty and iconifying does nothing. Main thread; owned by
// main.cpp.
class X11WindowList : public WindowList, public WindowIconifier
{
public:
    explicit X11WindowList(X11Display *display);

    [[nodiscard]] QList<WindowInfo> allWindows() const override;
    void iconifyWindowsOf(const QList<qint64> &pids) override;
    // The window that _NET_ACTIVE_WINDOW names, and its owner; none without either.
    [[nodiscard]] std::optional<WindowInfo> activeWindow() const;

    // Pixels per point from the X resources' "Xft.dpi" (96 dots per point); 1 when absent or unreadable.
    [[nodiscard]] static double scaleFromResources(const QByteArray &resources);

private:
    X11Display *m_display = nullptr;

    struct Owned
    {
        quint32 window = 0;
        qint64 pid = 0;
    };
    [[nodiscard]] QList<Owned> ownedClients() const;
};
