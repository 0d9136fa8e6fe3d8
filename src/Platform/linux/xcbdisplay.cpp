#include "linux/xcbdisplay.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cstdlib>
#include <xcb/res.h>
#include <xcb/xcb.h>

XcbDisplay::XcbDisplay(const QByteArray &displayName, QObject *parent)
    : X11Display(parent)
{
    const QByteArray name = displayName.isEmpty() ? qgetenv("DISPLAY") : displayName;
    if (name.isEmpty())
        return; // xcb would fail the same way, but after looking around for a server
    int screenNumber = 0;
    m_connection = xcb_connect(name.constData(), &screenNumber);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    if (!it.rem) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return;
    }
    m_root = it.data->root;
}

XcbDisplay::~XcbDisplay()
{
    delete m_notifier;
    if (m_connection)
        xcb_disconnect(m_connection);
}

bool XcbDisplay::isConnected() const
{
    return m_connection && !xcb_connection_has_error(m_connection);
}

quint32 XcbDisplay::atom(const QByteArray &name)
{
    if (!isConnected())
        return 0;
    if (const auto it = m_atoms.constFind(name); it != m_atoms.cend())
        return *it;
    const auto cookie = xcb_intern_atom(m_connection, 0, uint16_t(name.size()), name.constData());
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(m_connection, cookie, nullptr);
    quint32 value = 0;
    if (reply) {
        value = reply->atom;
        std::free(reply);
        m_atoms.insert(name, value);
    }
    scheduleQueuedEvents();
    return value;
}

QList<std::optional<X11Property>> XcbDisplay::properties(const QList<quint32> &windows, quint32 property)
{
    QList<std::optional<X11Property>> out(windows.size());
    if (!isConnected() || property == 0)
        return out;
    QList<xcb_get_property_cookie_t> cookies;
    cookies.reserve(windows.size());
    // A window list of a few thousand windows still fits one read of 64 Ki 32-bit items.
    for (const quint32 w : windows)
        cookies.append(xcb_get_property(m_connection, 0, w, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 65536));
    for (qsizetype i = 0; i < cookies.size(); ++i) {
        xcb_get_property_reply_t *reply = xcb_get_property_reply(m_connection, cookies[i], nullptr);
        if (!reply)
            continue;
        if (reply->type != XCB_NONE) {
            X11Property p;
            p.type = reply->type;
            p.format = reply->format;
            const int length = xcb_get_property_value_length(reply);
            p.data = QByteArray(static_cast<const char *>(xcb_get_property_value(reply)), length);
            out[i] = std::move(p);
        }
        std::free(reply);
    }
    scheduleQueuedEvents();
    return out;
}

QList<std::optional<X11WindowState>> XcbDisplay::windowStates(const QList<quint32> &windows)
{
    QList<std::optional<X11WindowState>> out(windows.size());
    if (!isConnected())
        return out;
    QList<xcb_get_window_attributes_cookie_t> attributes;
    QList<xcb_get_geometry_cookie_t> geometries;
    for (const quint32 w : windows) {
        attributes.append(xcb_get_window_attributes(m_connection, w));
        geometries.append(xcb_get_geometry(m_connection, w));
    }
    for (qsizetype i = 0; i < windows.size(); ++i) {
        xcb_get_window_attributes_reply_t *a = xcb_get_window_attributes_reply(m_connection, attributes[i], nullptr);
        xcb_get_geometry_reply_t *g = xcb_get_geometry_reply(m_connection, geometries[i], nullptr);
        if (a && g)
            out[i] = X11WindowState{a->map_state == XCB_MAP_STATE_VIEWABLE, g->width, g->height};
        std::free(a);
        std::free(g);
    }
    scheduleQueuedEvents();
    return out;
}

quint32 XcbDisplay::selectionOwner(quint32 selection)
{
    if (!isConnected() || selection == 0)
        return 0;
    xcb_get_selection_owner_reply_t *reply =
        xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, selection), nullptr);
    const quint32 owner = reply ? reply->owner : 0;
    std::free(reply);
    scheduleQueuedEvents();
    return owner;
}

bool XcbDisplay::hasResourceExtension()
{
    if (m_hasResources)
        return *m_hasResources;
    m_hasResources = false;
    const xcb_query_extension_reply_t *extension = xcb_get_extension_data(m_connection, &xcb_res_id);
    if (!extension || !extension->present)
        return false;
    // The client-id query came with 1.2.
    xcb_res_query_version_reply_t *version =
        xcb_res_query_version_reply(m_connection, xcb_res_query_version(m_connection, 1, 2), nullptr);
    if (version) {
        m_hasResources = version->server_major > 1 || (version->server_major == 1 && version->server_minor >= 2);
        std::free(version);
    }
    scheduleQueuedEvents();
    return *m_hasResources;
}

QList<qint64> XcbDisplay::clientProcesses(const QList<quint32> &windows)
{
    QList<qint64> out(windows.size(), 0);
    if (!isConnected() || windows.isEmpty() || !hasResourceExtension())
        return out;
    // One query per window: a reply names the client by its resource base, not by the window asked about.
    QList<xcb_res_query_client_ids_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (const quint32 w : windows) {
        xcb_res_client_id_spec_t spec{w, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
        cookies.append(xcb_res_query_client_ids(m_connection, 1, &spec));
    }
    for (qsizetype i = 0; i < cookies.size(); ++i) {
        xcb_res_query_client_ids_reply_t *reply = xcb_res_query_client_ids_reply(m_connection, cookies[i], nullptr);
        if (!reply)
            continue;
        for (auto it = xcb_res_query_client_ids_ids_iterator(reply); it.rem; xcb_res_client_id_value_next(&it)) {
            if (!(it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) || it.data->length < 4)
                continue;
            out[i] = qint64(*xcb_res_client_id_value_value(it.data));
            break;
        }
        std::free(reply);
    }
    scheduleQueuedEvents();
    return out;
}

void XcbDisplay::sendToWindowManager(quint32 window, quint32 messageType, const std::array<quint32, 5> &data)
{
    if (!isConnected() || messageType == 0)
        return;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = messageType;
    for (int i = 0; i < 5; ++i)
        event.data.data32[i] = data[size_t(i)];
    xcb_send_event(m_connection, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(m_connection);
}

void XcbDisplay::watchRootProperties()
{
    if (!isConnected() || m_notifier)
        return;
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &XcbDisplay::readEvents);
}

void XcbDisplay::scheduleQueuedEvents()
{
    // Waiting for a reply may have read events into xcb's queue without leaving the socket readable.
    if (m_notifier)
        QTimer::singleShot(0, this, &XcbDisplay::readEvents);
}

void XcbDisplay::readEvents()
{
    if (!isConnected()) {
        if (m_notifier)
            m_notifier->setEnabled(false);
        return;
    }
    QList<quint32> changed;
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event);
            if (notify->window == m_root)
                changed.append(notify->atom);
        }
        std::free(event);
    }
    for (const quint32 atom : std::as_const(changed))
        Q_EMIT rootPropertyChanged(atom);
}
