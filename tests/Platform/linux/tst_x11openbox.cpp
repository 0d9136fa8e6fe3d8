#include "linux/linuxappinstances.h"
#include "linux/linuxworkspaceevents.h"
#include "linux/x11windowlist.h"
#include "linux/xcbdisplay.h"
#include "fake/virtualclock.h"
#include "proctree.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <xcb/xcb.h>

// The real X side against a real window manager: a private Xvfb with openbox, windows that the test makes itself,
// read back through EWMH, iconified, and activated.
class TestX11Openbox : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void windowsIconifyAndActivation();

private:
    QProcess m_server;
    QProcess m_windowManager;
    QByteArray m_display;
    xcb_connection_t *m_client = nullptr;

    quint32 makeWindow(quint32 pid, int width, int height);
    quint32 internAtom(const char *name);
    void stop(QProcess &process);
};

void TestX11Openbox::initTestCase()
{
    if (QStandardPaths::findExecutable(u"Xvfb"_qs).isEmpty() || QStandardPaths::findExecutable(u"openbox"_qs).isEmpty())
        QSKIP("Xvfb and openbox are installed by scripts/setup");
    // The server picks a free display and writes its number to standard output.
    m_server.start(u"Xvfb"_qs, {u"-displayfd"_qs, u"1"_qs, u"-nolisten"_qs, u"tcp"_qs, u"-screen"_qs, u"0"_qs,
                               u"1280x800x24"_qs});
    QVERIFY(m_server.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(m_server.canReadLine(), 10000);
    m_display = ':' + m_server.readLine().trimmed();
    QVERIFY(m_display.size() > 1);

    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(u"DISPLAY"_qs, QString::fromLatin1(m_display));
    // Its theme comes with the package; the private home of the test has none.
    env.insert(u"XDG_DATA_DIRS"_qs, u"/usr/local/share:/usr/share"_qs);
    m_windowManager.setProcessEnvironment(env);
    m_windowManager.start(u"openbox"_qs, {u"--sm-disable"_qs});
    QVERIFY(m_windowManager.waitForStarted(5000));

    m_client = xcb_connect(m_display.constData(), nullptr);
    QVERIFY(!xcb_connection_has_error(m_client));
    // The window manager names itself on the root window before it handles requests, and drops what comes in
    // between; it is up once it manages a window.
    XcbDisplay probe(m_display);
    QVERIFY(probe.isConnected());
    X11WindowList list(&probe);
    bool managed = false;
    for (int attempt = 0; attempt < 20 && !managed; ++attempt) {
        const quint32 window = makeWindow(1, 10, 10);
        managed = QTest::qWaitFor([&] { return !list.allWindows().isEmpty(); }, 500);
        xcb_destroy_window(m_client, window);
        xcb_flush(m_client);
    }
    QVERIFY(managed);
    QTRY_VERIFY_WITH_TIMEOUT(list.allWindows().isEmpty(), 5000);
}

void TestX11Openbox::stop(QProcess &process)
{
    if (process.state() != QProcess::NotRunning) {
        process.kill(); // our own child
        process.waitForFinished(5000);
    }
}

void TestX11Openbox::cleanupTestCase()
{
    if (m_client)
        xcb_disconnect(m_client);
    stop(m_windowManager);
    stop(m_server);
}

quint32 TestX11Openbox::internAtom(const char *name)
{
    auto *reply = xcb_intern_atom_reply(m_client, xcb_intern_atom(m_client, 0, uint16_t(strlen(name)), name), nullptr);
    const quint32 atom = reply ? reply->atom : 0;
    free(reply);
    return atom;
}

quint32 TestX11Openbox::makeWindow(quint32 pid, int width, int height)
{
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_client)).data;
    const xcb_window_t window = xcb_generate_id(m_client);
    xcb_create_window(m_client, XCB_COPY_FROM_PARENT, window, screen->root, 10, 10, uint16_t(width), uint16_t(height),
                      0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    xcb_change_property(m_client, XCB_PROP_MODE_REPLACE, window, internAtom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1,
                        &pid);
    xcb_map_window(m_client, window);
    xcb_flush(m_client);
    return window;
}

void TestX11Openbox::windowsIconifyAndActivation()
{
    QTemporaryDir dir;
    ProcTree tree(dir.path());
    tree.add(process(1, 0, u"/sbin/init"_qs));
    tree.add(process(424201, 1, u"/usr/bin/gimp-2.10"_qs));
    tree.add(process(424202, 1, u"/usr/bin/gnome-calculator"_qs));
    const DesktopEntryLookup entries({{u"gimp"_qs, u"GIMP"_qs, u"/usr/bin/gimp-2.10"_qs, {}},
                                     {u"calc"_qs, u"计算器"_qs, u"/usr/bin/gnome-calculator"_qs, {}}},
                                    [](const QString &p) { return std::optional<QString>(p); });

    XcbDisplay display(m_display);
    X11WindowList list(&display);
    VirtualClock clock;
    LinuxAppInstances instances(entries, tree.root(), 99999);
    LinuxWorkspaceEvents events(instances, clock, &display);
    QStringList activated;
    connect(&events, &WorkspaceEvents::didActivate, this, [&](const RunningApp &a) { activated.append(a.bundleID); });

    const quint32 big = makeWindow(424201, 400, 300);
    const quint32 small = makeWindow(424202, 150, 120);
    auto find = [&](quint32 window) -> std::optional<WindowInfo> {
        for (const auto &w : list.allWindows()) {
            if (w.windowID == window)
                return w;
        }
        return std::nullopt;
    };
    QTRY_VERIFY_WITH_TIMEOUT(find(big) && find(big)->onscreen && find(small) && find(small)->onscreen, 10000);
    QCOMPARE(find(big)->ownerPID, 424201);
    QCOMPARE(find(big)->width, 400);
    QCOMPARE(find(big)->height, 300);
    QCOMPARE(find(small)->width, 150);

    // Ask the window manager to bring each to the front, as a pager would.
    auto activate = [&](quint32 window) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = internAtom("_NET_ACTIVE_WINDOW");
        event.data.data32[0] = 2; // from a pager
        event.data.data32[1] = XCB_CURRENT_TIME;
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_client)).data;
        xcb_send_event(m_client, 0, screen->root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&event));
        xcb_flush(m_client);
    };
    activate(small);
    QTRY_VERIFY_WITH_TIMEOUT(activated.contains(u"calc"_qs), 10000);
    activate(big);
    QTRY_COMPARE_WITH_TIMEOUT(activated.last(), u"gimp"_qs, 10000);

    list.iconifyWindowsOf({424201});
    QTRY_VERIFY_WITH_TIMEOUT(find(big) && !find(big)->onscreen, 10000);
    QVERIFY(find(small)->onscreen);
}

QTEST_GUILESS_MAIN(TestX11Openbox)
#include "tst_x11openbox.moc"
