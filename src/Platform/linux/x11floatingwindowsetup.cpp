#include "x11floatingwindowsetup.h"

#include <QGuiApplication>
#include <QObject>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <array>
#include <vector>

namespace {

constexpr quint32 allDesktops = 0xFFFFFFFF;
constexpr quint32 netWmStateAdd = 1;

xcb_atom_t internAtom(xcb_connection_t *c, const char *name)
{
    const auto cookie = xcb_intern_atom(c, 0, uint16_t(qstrlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    free(reply);
    return atom;
}

struct Atoms
{
    xcb_atom_t state, sticky, skipTaskbar, skipPager, above, desktop;
};

Atoms atoms(xcb_connection_t *c)
{
    return {internAtom(c, "_NET_WM_STATE"),        internAtom(c, "_NET_WM_STATE_STICKY"),
            internAtom(c, "_NET_WM_STATE_SKIP_TASKBAR"), internAtom(c, "_NET_WM_STATE_SKIP_PAGER"),
            internAtom(c, "_NET_WM_STATE_ABOVE"),  internAtom(c, "_NET_WM_DESKTOP")};
}

xcb_connection_t *connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootOf(xcb_connection_t *c)
{
    const xcb_setup_t *setup = xcb_get_setup(c);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
    return it.rem ? it.data->root : xcb_window_t(XCB_WINDOW_NONE);
}

void sendToManager(xcb_connection_t *c, xcb_window_t window, xcb_atom_t type, const std::array<quint32, 5> &data)
{
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    for (size_t i = 0; i < data.size(); ++i)
        event.data.data32[i] = data[i];
    xcb_send_event(c, 0, rootOf(c), XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&event));
}

} // namespace

void X11FloatingWindowSetup::prepare(QWindow &window, bool passClicks) const
{
    FloatingWindowSetup::prepare(window, passClicks);
    xcb_connection_t *c = connection();
    if (!c || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;

    const xcb_window_t id = xcb_window_t(window.winId()); // makes the native window, still unmapped
    const Atoms a = atoms(c);
    if (a.state == XCB_ATOM_NONE || a.desktop == XCB_ATOM_NONE)
        return;
    // Qt merges its own states into what the window has when it maps it, so these stay.
    const std::vector<xcb_atom_t> states{a.sticky, a.skipTaskbar, a.skipPager, a.above};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, a.state, XCB_ATOM_ATOM, 32, uint32_t(states.size()),
                        states.data());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, a.desktop, XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
    xcb_flush(c);

    QObject::connect(&window, &QWindow::visibleChanged, &window, [&window](bool visible) {
        xcb_connection_t *conn = connection();
        if (!visible || !conn)
            return;
        const xcb_window_t wid = xcb_window_t(window.winId());
        const Atoms at = atoms(conn);
        sendToManager(conn, wid, at.state, {netWmStateAdd, at.sticky, at.skipTaskbar, 1, 0});
        sendToManager(conn, wid, at.state, {netWmStateAdd, at.skipPager, at.above, 1, 0});
        sendToManager(conn, wid, at.desktop, {allDesktops, 1, 0, 0, 0});
        xcb_flush(conn);
    });
}
