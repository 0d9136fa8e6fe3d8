#pragma once

#include "windowlist.h"
#include "linux/windowiconifier.h"

#include <QByteArray>
#include <QHash>

#include <functional>
#include <optional>

class X11Display;

// The managed windows of an EWMH window manager: _NET_CLIENT_LIST, each window's owner, its size in points (pixels
// divided by the scale that Xft.dpi gives), and on screen while viewable and not _NET_WM_STATE_HIDDEN. The owner is
// the window's _NET_WM_PID; for a window without one, the process of the client that made it (X Resource
// extension), and failing that the process that the class owner gives for its WM_CLASS. A window without an owner
// is left out. Iconifying asks the window manager through WM_CHANGE_STATE (ICCCM), activating through
// _NET_ACTIVE_WINDOW as a pager does (source 2) with the time of the user's last input in the program's active
// window. Without a display the list is empty and iconifying does nothing. Main thread; owned by main.cpp (and by
// the workspace events, for activations).
class X11WindowList : public WindowList, public WindowIconifier
{
public:
    using ClassOwner = std::function<std::optional<qint64>(const QString &instanceName, const QString &className)>;
    struct Options
    {
        bool canIconify = true; // false where the display sees only some of the windows (a Wayland session)
        ClassOwner classOwner;
    };
    struct Client
    {
        quint32 window = 0;
        qint64 pid = 0;
    };

    explicit X11WindowList(X11Display *display);
    X11WindowList(X11Display *display, Options options);

    [[nodiscard]] QList<WindowInfo> allWindows() const override;
    [[nodiscard]] bool canIconify() const override;
    void iconifyWindowsOf(const QList<qint64> &pids) override;
    [[nodiscard]] bool hasWindowsOf(const QList<qint64> &pids) const override;
    bool activateTopWindowOf(const QList<qint64> &pids) override;
    // The window that _NET_ACTIVE_WINDOW names, and its owner; none without either.
    [[nodiscard]] std::optional<WindowInfo> activeWindow() const;
    // The managed windows that have an owner, in _NET_CLIENT_LIST order.
    [[nodiscard]] QList<Client> clients() const;

    // Pixels per point from the X resources' "Xft.dpi" (96 dots per point); 1 when absent or unreadable.
    [[nodiscard]] static double scaleFromResources(const QByteArray &resources);

private:
    X11Display *m_display = nullptr;
    Options m_options;
    // What the resource query answered for windows without _NET_WM_PID (0: nothing), kept while they are listed.
    mutable QHash<quint32, qint64> m_clientPids;

    [[nodiscard]] QList<qint64> ownersOf(const QList<quint32> &windows) const;
    [[nodiscard]] quint32 userTimeOfOwnWindow(quint32 activeWindow) const;
};
