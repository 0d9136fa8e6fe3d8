#include "linux/x11composewarmup.h"

#include <QGuiApplication>
#include <QPointer>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

xcb_connection_t *connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// A key code of the keyboard's range that has no symbol at any level; 0 when every one has one.
xcb_keycode_t keyWithoutSymbol(xcb_connection_t *c)
{
    const xcb_setup_t *setup = xcb_get_setup(c);
    const int first = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> mapping(
        xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, setup->min_keycode, uint8_t(count)), nullptr),
        &std::free);
    if (!mapping || mapping->keysyms_per_keycode == 0)
        return 0;
    const xcb_keysym_t *symbols = xcb_get_keyboard_mapping_keysyms(mapping.get());
    const int per = mapping->keysyms_per_keycode;
    for (int key = 0; key < count; ++key) {
        bool none = true;
        for (int level = 0; level < per && none; ++level)
            none = symbols[key * per + level] == 0;
        if (none)
            return xcb_keycode_t(first + key);
    }
    return 0;
}

void sendKey(xcb_connection_t *c, xcb_window_t window, xcb_keycode_t key, bool press)
{
    xcb_key_press_event_t event = {};
    event.response_type = press ? XCB_KEY_PRESS : XCB_KEY_RELEASE;
    event.detail = key;
    event.time = XCB_CURRENT_TIME;
    event.root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    event.event = window;
    event.child = XCB_WINDOW_NONE;
    event.same_screen = 1;
    xcb_send_event(c, 0, window, press ? XCB_EVENT_MASK_KEY_PRESS : XCB_EVENT_MASK_KEY_RELEASE,
                   reinterpret_cast<const char *>(&event));
}

} // namespace

void X11ComposeWarmUp::warmUp(QWindow &window)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !connection())
        return;
    const QPointer<QWindow> target(&window);
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = QObject::connect(&window, &QWindow::activeChanged, &window, [target, once] {
        if (!target || !target->isActive())
            return;
        QObject::disconnect(*once);
        xcb_connection_t *c = connection();
        const xcb_keycode_t key = c ? keyWithoutSymbol(c) : 0;
        if (key == 0)
            return;
        const auto id = xcb_window_t(target->winId());
        sendKey(c, id, key, true);
        sendKey(c, id, key, false);
        xcb_flush(c);
    });
}
