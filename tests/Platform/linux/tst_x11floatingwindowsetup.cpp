#include "linux/x11floatingwindowsetup.h"

#include <QGuiApplication>
#include <QTest>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

// A floating window on X11 is on every desktop and out of the task bar and the pager before it is first mapped;
// elsewhere it gets the flags alone. The X11 rows run where the test runs on a virtual X server.
class TestX11FloatingWindowSetup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void flagsEverywhere();
    void propertiesOnX11();
};

namespace {

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

QList<quint32> words(xcb_connection_t *c, xcb_window_t window, const char *property, xcb_atom_t type)
{
    xcb_get_property_reply_t *reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, atom(c, property), type, 0, 64), nullptr);
    QList<quint32> result;
    if (reply && reply->format == 32) {
        const auto *values = static_cast<const quint32 *>(xcb_get_property_value(reply));
        for (int i = 0; i < xcb_get_property_value_length(reply) / 4; ++i)
            result.append(values[i]);
    }
    std::free(reply);
    return result;
}

} // namespace

void TestX11FloatingWindowSetup::flagsEverywhere()
{
    QWindow window;
    X11FloatingWindowSetup().prepare(window, true);
    QCOMPARE(window.flags(), FloatingWindowSetup::flags(true));
}

void TestX11FloatingWindowSetup::propertiesOnX11()
{
    if (QGuiApplication::platformName() != u"xcb"_qs)
        QSKIP("needs an X server");
    xcb_connection_t *c = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    QWindow window;
    window.resize(300, 60);
    X11FloatingWindowSetup().prepare(window, false);
    const auto id = xcb_window_t(window.winId());

    QList<quint32> state = words(c, id, "_NET_WM_STATE", XCB_ATOM_ATOM);
    for (const char *name : {"_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"})
        QVERIFY2(state.contains(atom(c, name)), name);
    QCOMPARE(words(c, id, "_NET_WM_DESKTOP", XCB_ATOM_CARDINAL), QList<quint32>{0xFFFFFFFF});

    // Qt adds its own states when it maps the window and keeps ours.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    state = words(c, id, "_NET_WM_STATE", XCB_ATOM_ATOM);
    QVERIFY(state.contains(atom(c, "_NET_WM_STATE_STICKY")));
    QVERIFY(state.contains(atom(c, "_NET_WM_STATE_SKIP_TASKBAR")));
}

QTEST_MAIN(TestX11FloatingWindowSetup)
#include "tst_x11floatingwindowsetup.moc"
