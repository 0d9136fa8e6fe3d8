// A tiny X client for the program's end-to-end checks, a real process the checks start themselves:
//   xfixtureapp [--pid] [--no-window] [--exit-after <ms>] [--report <file>]
// It maps one top-level window (WM_CLASS "xfixtureapp", "Xfixtureapp"; _NET_WM_PID only with --pid), or none with
// --no-window, and runs until it is signalled (or for the given time). With --report it appends "mapped" when its
// window is first mapped and "iconic <ms>" when the window manager iconifies it, the milliseconds counted from the
// mapping.

#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

using Steady = std::chrono::steady_clock;

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

void report(const char *file, const std::string &line)
{
    if (!file)
        return;
    if (FILE *f = std::fopen(file, "a")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    bool setPid = false, window = true;
    long exitAfterMs = -1;
    const char *reportFile = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--pid"))
            setPid = true;
        else if (!std::strcmp(argv[i], "--no-window"))
            window = false;
        else if (!std::strcmp(argv[i], "--exit-after") && i + 1 < argc)
            exitAfterMs = std::atol(argv[++i]);
        else if (!std::strcmp(argv[i], "--report") && i + 1 < argc)
            reportFile = argv[++i];
    }
    const auto started = Steady::now();
    auto timeLeft = [&]() -> int {
        if (exitAfterMs < 0)
            return -1;
        const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - started).count();
        return spent >= exitAfterMs ? 0 : int(exitAfterMs - spent);
    };
    if (!window) {
        while (timeLeft() != 0)
            ::poll(nullptr, 0, timeLeft() < 0 ? 1000 : timeLeft());
        return 0;
    }

    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 1;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t w = xcb_generate_id(c);
    const uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, 100, 100, 320, 200, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    const char wmClass[] = "xfixtureapp\0Xfixtureapp";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, sizeof(wmClass), wmClass);
    const char title[] = "fixture app";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, sizeof(title) - 1, title);
    if (setPid) {
        const uint32_t pid = uint32_t(::getpid());
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);
    }
    const xcb_atom_t wmState = atom(c, "WM_STATE");
    xcb_map_window(c, w);
    xcb_flush(c);

    Steady::time_point mappedAt;
    bool mapped = false, iconic = false;
    pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
    while (timeLeft() != 0) {
        ::poll(&fd, 1, timeLeft() < 0 ? 1000 : timeLeft());
        while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
            const int type = event->response_type & 0x7f;
            if (type == XCB_MAP_NOTIFY && !mapped) {
                mapped = true;
                mappedAt = Steady::now();
                report(reportFile, "mapped");
            } else if (type == XCB_PROPERTY_NOTIFY && mapped && !iconic
                       && reinterpret_cast<xcb_property_notify_event_t *>(event)->atom == wmState) {
                xcb_get_property_reply_t *state =
                    xcb_get_property_reply(c, xcb_get_property(c, 0, w, wmState, wmState, 0, 2), nullptr);
                if (state && xcb_get_property_value_length(state) >= 4
                    && *static_cast<const uint32_t *>(xcb_get_property_value(state)) == 3) { // IconicState
                    iconic = true;
                    const double ms = std::chrono::duration<double, std::milli>(Steady::now() - mappedAt).count();
                    report(reportFile, "iconic " + std::to_string(ms));
                }
                std::free(state);
            }
            std::free(event);
        }
        if (xcb_connection_has_error(c))
            return 1;
    }
    xcb_disconnect(c);
    return 0;
}
