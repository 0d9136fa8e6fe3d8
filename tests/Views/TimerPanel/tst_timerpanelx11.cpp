#include "floatingtimerpanelcontroller.h"
#include "focussessionmanager.h"
#include "linux/x11floatingwindowsetup.h"
#include "timerpanelwindow.h"
#include "viewsetup.h"
#include "viewtest.h"

#include "../App/appstatefixture.h"

#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// A private X server with openbox on it, started before the application so that Qt's xcb side connects to it.
// Both are children of the test and are ended by their process ids.
class PrivateDesktop
{
public:
    PrivateDesktop()
    {
        const QString xvfb = QStandardPaths::findExecutable(u"Xvfb"_qs);
        const QString openbox = QStandardPaths::findExecutable(u"openbox"_qs);
        if (xvfb.isEmpty() || openbox.isEmpty())
            return;
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        m_server = ::fork();
        if (m_server == 0) {
            ::close(fds[0]);
            const QByteArray fd = QByteArray::number(fds[1]);
            const QByteArray program = xvfb.toLocal8Bit();
            ::execl(program.constData(), "Xvfb", "-displayfd", fd.constData(), "-nolisten", "tcp", "-screen", "0",
                    "1280x800x24", static_cast<char *>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        QByteArray number;
        pollfd wait{fds[0], POLLIN, 0};
        while (::poll(&wait, 1, 10000) > 0) {
            char c = 0;
            if (::read(fds[0], &c, 1) != 1 || c == '\n')
                break;
            number.append(c);
        }
        ::close(fds[0]);
        if (number.isEmpty())
            return;
        m_display = ':' + number;
        m_windowManager = ::fork();
        if (m_windowManager == 0) {
            ::setenv("DISPLAY", m_display.constData(), 1);
            // Its theme comes with the package; the private home of the test has none.
            ::setenv("XDG_DATA_DIRS", "/usr/local/share:/usr/share", 1);
            const QByteArray program = openbox.toLocal8Bit();
            ::execl(program.constData(), "openbox", "--sm-disable", static_cast<char *>(nullptr));
            ::_exit(127);
        }
    }
    ~PrivateDesktop()
    {
        for (pid_t pid : {m_windowManager, m_server}) {
            if (pid > 0) {
                ::kill(pid, SIGTERM);
                ::waitpid(pid, nullptr, 0);
            }
        }
    }
    [[nodiscard]] bool isUp() const { return !m_display.isEmpty() && m_windowManager > 0; }
    [[nodiscard]] const QByteArray &display() const { return m_display; }

private:
    pid_t m_server = -1;
    pid_t m_windowManager = -1;
    QByteArray m_display;
};

} // namespace

// The timer panel's real window on a real X server with a real window manager: mapped without the focus, above an
// ordinary window, on every desktop, out of the task bar, still there when the launcher window goes, and clickable
// while another window is active.
class TestTimerPanelX11 : public QObject
{
    Q_OBJECT
public:
    explicit TestTimerPanelX11(const PrivateDesktop &desktop) : m_desktop(desktop) {}

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void panelOnTheDesktop();

private:
    const PrivateDesktop &m_desktop;
    xcb_connection_t *m_c = nullptr;
    xcb_window_t m_root = 0;

    xcb_atom_t atom(const char *name);
    QList<quint32> cardinals(xcb_window_t window, const char *property, xcb_atom_t type);
    [[nodiscard]] bool viewable(xcb_window_t window);
    [[nodiscard]] xcb_window_t activeWindow() { return cardinals(m_root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW).value(0); }
    xcb_window_t makeOtherWindow();
    void sendToManager(xcb_window_t window, const char *type, std::array<quint32, 5> data);
    void clickAt(QPoint global);
};

xcb_atom_t TestTimerPanelX11::atom(const char *name)
{
    auto *reply = xcb_intern_atom_reply(m_c, xcb_intern_atom(m_c, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return a;
}

QList<quint32> TestTimerPanelX11::cardinals(xcb_window_t window, const char *property, xcb_atom_t type)
{
    auto *reply = xcb_get_property_reply(
        m_c, xcb_get_property(m_c, 0, window, atom(property), type, 0, 64), nullptr);
    QList<quint32> values;
    if (reply && reply->format == 32) {
        const auto *data = static_cast<const quint32 *>(xcb_get_property_value(reply));
        for (int i = 0; i < xcb_get_property_value_length(reply) / 4; ++i)
            values.append(data[i]);
    }
    free(reply);
    return values;
}

bool TestTimerPanelX11::viewable(xcb_window_t window)
{
    auto *reply = xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, window), nullptr);
    const bool result = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    free(reply);
    return result;
}

void TestTimerPanelX11::sendToManager(xcb_window_t window, const char *type, std::array<quint32, 5> data)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(type);
    for (size_t i = 0; i < data.size(); ++i)
        event.data.data32[i] = data[i];
    xcb_send_event(m_c, 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(m_c);
}

// An ordinary window of another program, made on the test's own connection.
xcb_window_t TestTimerPanelX11::makeOtherWindow()
{
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
    const xcb_window_t window = xcb_generate_id(m_c);
    xcb_create_window(m_c, XCB_COPY_FROM_PARENT, window, screen->root, 600, 0, 600, 500, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    xcb_map_window(m_c, window);
    xcb_flush(m_c);
    return window;
}

void TestTimerPanelX11::clickAt(QPoint global)
{
    xcb_test_fake_input(m_c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, m_root, int16_t(global.x()), int16_t(global.y()), 0);
    xcb_flush(m_c);
    QTest::qWait(100);
    xcb_test_fake_input(m_c, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(m_c, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(m_c);
}

void TestTimerPanelX11::initTestCase()
{
    if (!m_desktop.isUp())
        QSKIP("Xvfb and openbox are installed by scripts/setup");
    QCOMPARE(QGuiApplication::platformName(), u"xcb"_qs);
    m_c = xcb_connect(m_desktop.display().constData(), nullptr);
    QVERIFY(!xcb_connection_has_error(m_c));
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
    // The window manager names itself on the root window once it runs.
    QTRY_VERIFY_WITH_TIMEOUT(!cardinals(m_root, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW).isEmpty(), 10000);
}

void TestTimerPanelX11::cleanupTestCase()
{
    if (m_c)
        xcb_disconnect(m_c);
}

void TestTimerPanelX11::panelOnTheDesktop()
{
    ViewTest shots(u"tst_timerpanelx11"_qs);
    AppStateFixture f;
    AppState &state = f.start();
    QQmlEngine engine;
    ViewSetup::prepareEngine(engine, &f.iconCache);
    const X11FloatingWindowSetup setup;

    // The launcher window, active.
    QQuickWindow launcher;
    launcher.setTitle(u"Tarnwick"_qs);
    launcher.setGeometry(100, 100, 400, 300);
    launcher.show();
    launcher.requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(&launcher, 10000));

    TimerPanelWindow *panel = nullptr;
    FloatingTimerPanelController controller(
        state.sessionManager(), state,
        [&](FloatingTimerPanelController &c) -> std::unique_ptr<TimerPanelSurface> {
            auto window = TimerPanelWindow::make(engine, c.rows(), setup);
            panel = window.get();
            return window;
        },
        [] { return std::optional<QRect>(QGuiApplication::primaryScreen()->availableGeometry()); });
    auto begin = [&](const QString &bundleID, const QString &name) {
        FocusSession s;
        s.bundleID = bundleID;
        s.appName = name;
        s.deadline = f.clock.now() + 25min;
        state.sessionManager().begin(s);
    };
    begin(u"com.netease.163music"_qs, u"网易云音乐"_qs);
    begin(u"tv.danmaku.bili"_qs, u"哔哩哔哩"_qs);
    QVERIFY(panel);
    const auto id = xcb_window_t(panel->winId());
    QTRY_VERIFY_WITH_TIMEOUT(viewable(id), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(panel->size() == panel->contentSize(), 10000);

    // Mapped without the focus: it asks for no input, and the launcher stays the active window.
    const QList<quint32> hints = cardinals(id, "WM_HINTS", atom("WM_HINTS"));
    QVERIFY(hints.size() >= 2);
    QVERIFY(hints.at(0) & 1); // the input field is set...
    QCOMPARE(hints.at(1), 0u); // ...to false
    QTest::qWait(300);
    QVERIFY(activeWindow() != id);
    QVERIFY(launcher.isActive());

    // On every desktop, out of the task bar and the pager, above the others.
    QTRY_COMPARE_WITH_TIMEOUT(cardinals(id, "_NET_WM_DESKTOP", XCB_ATOM_CARDINAL), QList<quint32>{0xFFFFFFFFu}, 10000);
    const QList<quint32> states = cardinals(id, "_NET_WM_STATE", XCB_ATOM_ATOM);
    // Openbox tells "on every desktop" by the desktop number alone, without the sticky state.
    for (const char *name : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_ABOVE"})
        QVERIFY2(states.contains(atom(name)), name);

    // Another program's window comes up and is activated: the panel stays above it.
    const xcb_window_t other = makeOtherWindow();
    QTRY_VERIFY_WITH_TIMEOUT(cardinals(m_root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW).contains(other), 10000);
    // Under the panel, so that the screenshot shows which is on top.
    const quint32 place[] = {900, 40};
    xcb_configure_window(m_c, other, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place);
    xcb_flush(m_c);
    sendToManager(other, "_NET_ACTIVE_WINDOW", {2, XCB_CURRENT_TIME, 0, 0, 0});
    QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), other, 10000);
    const QList<quint32> stacking = cardinals(m_root, "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW);
    QVERIFY(stacking.contains(id));
    QVERIFY(stacking.indexOf(id) > stacking.indexOf(other));

    // The launcher window goes (minimised, as after a launch, then closed): the panel stays.
    launcher.showMinimized();
    QTest::qWait(500);
    QVERIFY(viewable(id));
    launcher.hide();
    QTest::qWait(300);
    QVERIFY(viewable(id));
    QVERIFY(panel->isVisible());

    // A click on a close button while the other program is active hides that line and takes no focus.
    sendToManager(other, "_NET_ACTIVE_WINDOW", {2, XCB_CURRENT_TIME, 0, 0, 0});
    QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), other, 10000);
    QQuickItem *close = nullptr;
    const QString firstKey = controller.rows().lines().at(0).key;
    QQuickItem *firstLine = ViewTest::itemIn(panel->content(), u"line:"_qs + firstKey);
    QVERIFY(firstLine);
    close = ViewTest::itemIn(firstLine, u"close"_qs);
    QVERIFY(close);
    const QPoint target = panel->mapToGlobal(ViewTest::centreOf(close).toPoint());
    QVERIFY(shots.screenshotDir().size() > 0);
    panel->screen()->grabWindow(0, 0, 0, 1280, 400).save(shots.screenshotDir() + u"/panel-over-another-window.png"_qs);
    clickAt(target);
    QTRY_COMPARE_WITH_TIMEOUT(controller.rows().count(), 1, 10000);
    QCOMPARE(state.sessionManager().sessions().size(), 2);
    QCOMPARE(activeWindow(), other);

    // Another desktop: the panel is there too, the other program's window is not.
    sendToManager(m_root, "_NET_CURRENT_DESKTOP", {2, XCB_CURRENT_TIME, 0, 0, 0});
    QTRY_COMPARE_WITH_TIMEOUT(cardinals(m_root, "_NET_CURRENT_DESKTOP", XCB_ATOM_CARDINAL), QList<quint32>{2}, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(!viewable(other), 10000);
    QVERIFY(viewable(id));
    QTest::qWait(200);
    panel->screen()->grabWindow(0, 0, 0, 1280, 400).save(shots.screenshotDir() + u"/panel-on-desktop-3.png"_qs);

    xcb_destroy_window(m_c, other);
    xcb_flush(m_c);
}

int main(int argc, char **argv)
{
    PrivateDesktop desktop;
    if (desktop.isUp()) {
        qputenv("DISPLAY", desktop.display());
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QGuiApplication app(argc, argv);
    TestTimerPanelX11 test(desktop);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_timerpanelx11.moc"
