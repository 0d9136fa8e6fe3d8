// What the program's end-to-end checks under Xvfb need of the X server that no test machine has a tool for:
//   xsession shot <file.png>   writes the root window to a PNG
//   xsession close             asks every top-level window that takes WM_DELETE_WINDOW to close, as a window
//                              manager's close button does, and prints how many it asked
//   xsession count             prints how many top-level windows that take WM_DELETE_WINDOW are on screen
//   xsession active-pid        prints the _NET_WM_PID of the window manager's active window (0: none)

#include <QByteArray>
#include <QImage>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name),
                                                           nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

int shot(xcb_connection_t *c, const xcb_screen_t *screen, const char *file)
{
    const auto cookie = xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, 0, 0, screen->width_in_pixels,
                                      screen->height_in_pixels, ~0u);
    xcb_get_image_reply_t *reply = xcb_get_image_reply(c, cookie, nullptr);
    if (!reply || screen->root_depth != 24) {
        std::fprintf(stderr, "xsession: cannot read the screen (depth %d)\n", int(screen->root_depth));
        return 1;
    }
    const QImage image(xcb_get_image_data(reply), screen->width_in_pixels, screen->height_in_pixels,
                       QImage::Format_RGB32);
    const bool saved = image.copy().save(QString::fromLocal8Bit(file));
    std::free(reply);
    return saved ? 0 : 1;
}

uint32_t cardinal(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    xcb_get_property_reply_t *reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 1), nullptr);
    uint32_t value = 0;
    if (reply && xcb_get_property_value_length(reply) >= 4)
        value = *static_cast<const uint32_t *>(xcb_get_property_value(reply));
    std::free(reply);
    return value;
}

int activePid(xcb_connection_t *c, const xcb_screen_t *screen)
{
    const uint32_t active = cardinal(c, screen->root, atom(c, "_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW);
    std::printf("%u\n", active ? cardinal(c, active, atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL) : 0u);
    return 0;
}

int closeAll(xcb_connection_t *c, const xcb_screen_t *screen, bool close)
{
    const xcb_atom_t protocols = atom(c, "WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = atom(c, "WM_DELETE_WINDOW");
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(c, xcb_query_tree(c, screen->root), nullptr);
    if (!tree)
        return 1;
    const xcb_window_t *children = xcb_query_tree_children(tree);
    int closed = 0;
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        xcb_get_window_attributes_reply_t *attributes =
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr);
        const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(attributes);
        if (!viewable)
            continue;
        xcb_get_property_reply_t *prop = xcb_get_property_reply(
            c, xcb_get_property(c, 0, children[i], protocols, XCB_ATOM_ATOM, 0, 32), nullptr);
        bool takesDelete = false;
        if (prop && prop->format == 32) {
            const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(prop));
            for (int k = 0; k < xcb_get_property_value_length(prop) / 4; ++k)
                takesDelete = takesDelete || atoms[k] == deleteWindow;
        }
        std::free(prop);
        if (!takesDelete)
            continue;
        ++closed;
        if (!close)
            continue;
        xcb_client_message_event_t event = {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = children[i];
        event.type = protocols;
        event.data.data32[0] = deleteWindow;
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c, 0, children[i], XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&event));
    }
    std::free(tree);
    // A round trip before going: the server handles a client's requests in order, so its reply means the close
    // requests were delivered. A client that only flushes and disconnects loses them now and then: the server may
    // drop what it had not read yet when it sees the connection go.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    std::printf("%d\n", closed);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const QByteArray command = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    const bool bare = command == "close" || command == "count" || command == "active-pid";
    if (!(command == "shot" && argc == 3) && !(bare && argc == 2)) {
        std::fprintf(stderr, "usage: xsession shot <file.png> | xsession close | xsession count | xsession active-pid\n");
        return 2;
    }
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "xsession: no X display\n");
        return 1;
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const int result = command == "shot"         ? shot(c, screen, argv[2])
                       : command == "active-pid" ? activePid(c, screen)
                                                 : closeAll(c, screen, command == "close");
    xcb_disconnect(c);
    return result;
}
