// The real program on a real X server, as a person meets it. Run under an X server without a window manager, e.g.
//   dbus-run-session xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/bench_programstart [--runs N]
//       [--idle-seconds S] [--program PATH]
// Over 500 generated desktop entries (a third with Chinese names), once with PNG icons named by path and once with
// SVG icons of an icon theme, each start warm (one unmeasured start first) in its own HOME and XDG folders:
//  - start to its first mapped window, to the first frame with tiles, to the first frame with the first page's icons
//    (the program's --report-start lines; the window's map as the X server reports it);
//  - `rofi -show drun` over the same entries, alternating with the program, start to its mapped window (only when
//    rofi is installed);
//  - the second start: the running program's window closed, a new start until that window is mapped again;
//  - the first keystroke after start and later ones (real key events through XTest) to the frame with the filtered
//    grid;
//  - CPU over an idle minute with the window open, focused and as large as the screen (the search caret blinking),
//    and with a focus session running (its timer panel ticking); the peak memory (VmHWM) with all 500 icons loaded.
// The machine's load average is printed beside the wall-clock figures.
// Goals: first frame with tiles ≤ 150 ms, first page's icons ≤ 250 ms, first window no later than rofi's, second
// start ≤ 50 ms, first keystroke ≤ 16 ms, idle ≤ 0.2 % of a core (≤ 0.3 % with the panel), peak memory ≤ 120 MB.
#include <QColor>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

QString appName(int i)
{
    static const QStringList han{u"微信"_qs, u"音乐"_qs, u"视频"_qs, u"地图"_qs, u"相机"_qs, u"日历"_qs,
                                 u"笔记"_qs, u"会议"_qs, u"游戏"_qs, u"翻译"_qs, u"阅读"_qs, u"助手"_qs};
    static const QStringList latin{u"Studio"_qs, u"Player"_qs, u"Notes"_qs, u"Sync"_qs, u"Reader"_qs};
    if (i % 3 == 0)
        return han[i % han.size()] + han[(i / 12) % han.size()] + QString::number(i);
    return latin[i % latin.size()] + u' ' + QString::number(i);
}

// An app icon as themes draw them: a gradient card, a glyph of curves and a highlight.
QByteArray svgIcon(int i)
{
    const int hue = i * 37 % 360;
    const QString light = QColor::fromHsv(hue, 150, 235).name();
    const QString dark = QColor::fromHsv(hue, 200, 170).name();
    return QStringLiteral(
               "<svg xmlns='http://www.w3.org/2000/svg' width='128' height='128' viewBox='0 0 128 128'>"
               "<defs><linearGradient id='g' x1='0' y1='0' x2='0' y2='1'>"
               "<stop offset='0' stop-color='%1'/><stop offset='1' stop-color='%2'/>"
               "</linearGradient></defs>"
               "<rect x='8' y='8' width='112' height='112' rx='26' fill='url(#g)'/>"
               "<path d='M64 28c19.9 0 36 16.1 36 36S83.9 100 64 100 28 83.9 28 64s16.1-36 36-36zm0 12c-13.3 0-24 "
               "10.7-24 24s10.7 24 24 24 24-10.7 24-24-10.7-24-24-24z' fill='#fff' fill-opacity='.9'/>"
               "<path d='M52 52l28 12-28 12z' fill='#fff'/>"
               "<path d='M8 40C30 20 98 20 120 40V34C120 19 109 8 94 8H34C19 8 8 19 8 34z' fill='#fff' "
               "fill-opacity='.15'/></svg>")
        .arg(light, dark)
        .toUtf8();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// <root>/share/applications with 500 entries; their icons as PNG files by path, or as SVG icons of hicolor by name.
void makeEntries(const QString &root, bool svg)
{
    const QString share = root + u"/share"_qs;
    if (svg) {
        writeFile(share + u"/icons/hicolor/index.theme"_qs,
                  "[Icon Theme]\nName=Hicolor\nDirectories=scalable/apps\n\n"
                  "[scalable/apps]\nSize=128\nMinSize=8\nMaxSize=512\nType=Scalable\n");
    }
    for (int i = 0; i < 500; ++i) {
        const QString id = u"org.example.app%1"_qs.arg(i, 5, 10, QChar(u'0'));
        QString icon;
        if (svg) {
            icon = u"example-app-%1"_qs.arg(i);
            writeFile(share + u"/icons/hicolor/scalable/apps/"_qs + icon + u".svg"_qs, svgIcon(i));
        } else {
            icon = root + u"/png/%1.png"_qs.arg(i);
            QImage image(128, 128, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            p.setBrush(QColor::fromHsv(i * 37 % 360, 200, 220));
            p.setPen(Qt::NoPen);
            p.drawRoundedRect(QRectF(10, 10, 108, 108), 24, 24);
            p.end();
            QDir().mkpath(root + u"/png"_qs);
            image.save(icon);
        }
        writeFile(share + u"/applications/"_qs + id + u".desktop"_qs,
                  u"[Desktop Entry]\nType=Application\nName=%1\nExec=/bin/true\nIcon=%2\n"_qs.arg(appName(i), icon)
                      .toUtf8());
    }
}

double loadAverage()
{
    QFile f(u"/proc/loadavg"_qs);
    return f.open(QIODevice::ReadOnly) ? f.readAll().split(' ').value(0).toDouble() : -1;
}

double median(QList<double> v)
{
    if (v.isEmpty())
        return -1;
    std::sort(v.begin(), v.end());
    return v.at(v.size() / 2);
}

QString range(QList<double> v)
{
    if (v.isEmpty())
        return u"-"_qs;
    std::sort(v.begin(), v.end());
    return u"median %1 ms (%2–%3)"_qs.arg(median(v), 0, 'f', 1).arg(v.first(), 0, 'f', 0).arg(v.last(), 0, 'f', 0);
}

double nowMs()
{
    static QElapsedTimer t = [] {
        QElapsedTimer e;
        e.start();
        return e;
    }();
    return t.nsecsElapsed() / 1e6;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name),
                                                       nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

// The X connection that sees every top-level window map and unmap, and sends keys.
struct X
{
    xcb_connection_t *c = nullptr;
    xcb_screen_t *screen = nullptr;
    struct Event
    {
        enum Kind { map, unmap } kind;
        xcb_window_t window;
        double at;
    };
    QList<Event> events;

    X()
    {
        c = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(c)) {
            std::fprintf(stderr, "bench_programstart: no X server (run it under xvfb-run)\n");
            std::exit(2);
        }
        screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c);
    }
    ~X() { xcb_disconnect(c); }

    void drain()
    {
        while (xcb_generic_event_t *e = xcb_poll_for_event(c)) {
            const int type = e->response_type & 0x7f;
            if (type == XCB_MAP_NOTIFY)
                events.append({Event::map, reinterpret_cast<xcb_map_notify_event_t *>(e)->window, nowMs()});
            else if (type == XCB_UNMAP_NOTIFY)
                events.append({Event::unmap, reinterpret_cast<xcb_unmap_notify_event_t *>(e)->window, nowMs()});
            std::free(e);
        }
    }

    void key(uint8_t keycode)
    {
        xcb_test_fake_input(c, XCB_KEY_PRESS, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(c, XCB_KEY_RELEASE, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(c);
    }

    uint8_t keycodeOf(uint32_t keysym)
    {
        const xcb_setup_t *setup = xcb_get_setup(c);
        xcb_get_keyboard_mapping_reply_t *r = xcb_get_keyboard_mapping_reply(
            c, xcb_get_keyboard_mapping(c, setup->min_keycode, setup->max_keycode - setup->min_keycode + 1), nullptr);
        uint8_t found = 0;
        if (r) {
            const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(r);
            for (int k = 0; k <= setup->max_keycode - setup->min_keycode && !found; ++k) {
                for (int j = 0; j < r->keysyms_per_keycode; ++j) {
                    if (syms[k * r->keysyms_per_keycode + j] == keysym)
                        found = uint8_t(setup->min_keycode + k);
                }
            }
        }
        std::free(r);
        return found;
    }

    // As a window manager would: focus, size to the screen, or ask to close.
    void focus(xcb_window_t w)
    {
        xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, w, XCB_CURRENT_TIME);
        xcb_flush(c);
    }
    void pointerTo(int x, int y)
    {
        xcb_warp_pointer(c, XCB_NONE, screen->root, 0, 0, 0, 0, int16_t(x), int16_t(y));
        xcb_flush(c);
    }
    void fillScreen(xcb_window_t w)
    {
        const uint32_t values[] = {0, 0, screen->width_in_pixels, screen->height_in_pixels};
        xcb_configure_window(c, w,
                             XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH
                                 | XCB_CONFIG_WINDOW_HEIGHT,
                             values);
        xcb_flush(c);
    }
    // The viewable top-level windows that take WM_DELETE_WINDOW.
    QList<xcb_window_t> closable()
    {
        const xcb_atom_t protocols = atom(c, "WM_PROTOCOLS");
        const xcb_atom_t deleteWindow = atom(c, "WM_DELETE_WINDOW");
        QList<xcb_window_t> out;
        xcb_query_tree_reply_t *tree = xcb_query_tree_reply(c, xcb_query_tree(c, screen->root), nullptr);
        if (!tree)
            return out;
        const xcb_window_t *children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            xcb_get_window_attributes_reply_t *a =
                xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr);
            const bool viewable = a && a->map_state == XCB_MAP_STATE_VIEWABLE;
            std::free(a);
            xcb_get_property_reply_t *p = viewable ? xcb_get_property_reply(
                                              c, xcb_get_property(c, 0, children[i], protocols, XCB_ATOM_ATOM, 0, 32),
                                              nullptr)
                                                   : nullptr;
            if (p && p->format == 32) {
                const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(p));
                for (int k = 0; k < xcb_get_property_value_length(p) / 4; ++k) {
                    if (atoms[k] == deleteWindow)
                        out.append(children[i]);
                }
            }
            std::free(p);
        }
        std::free(tree);
        return out;
    }
    void close(xcb_window_t w)
    {
        xcb_client_message_event_t event = {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = w;
        event.type = atom(c, "WM_PROTOCOLS");
        event.data.data32[0] = atom(c, "WM_DELETE_WINDOW");
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c, 0, w, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&event));
        xcb_flush(c);
    }
};

// A child with its stdout on a pipe, read line by line with the time each line came.
struct Child
{
    pid_t pid = -1;
    int out = -1;
    double started = 0;
    QByteArray pending;
    struct Line
    {
        QByteArray text;
        double at;
    };
    QList<Line> lines;

    Child(const QStringList &argv, const QStringList &env)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            std::exit(2);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        QList<QByteArray> a;
        QList<QByteArray> e;
        for (const QString &s : argv)
            a.append(s.toLocal8Bit());
        for (const QString &s : env)
            e.append(s.toLocal8Bit());
        std::vector<char *> av;
        std::vector<char *> ev;
        for (QByteArray &s : a)
            av.push_back(s.data());
        for (QByteArray &s : e)
            ev.push_back(s.data());
        av.push_back(nullptr);
        ev.push_back(nullptr);
        started = nowMs();
        if (posix_spawnp(&pid, av[0], &actions, nullptr, av.data(), ev.data()) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        out = fds[0];
    }
    ~Child()
    {
        stop();
        if (out >= 0)
            ::close(out);
    }
    void read()
    {
        char buffer[4096];
        const ssize_t n = ::read(out, buffer, sizeof buffer);
        if (n <= 0) {
            ::close(out);
            out = -1;
            return;
        }
        const double at = nowMs();
        pending.append(buffer, n);
        qsizetype nl;
        while ((nl = pending.indexOf('\n')) >= 0) {
            lines.append({pending.left(nl), at});
            pending.remove(0, nl + 1);
        }
    }
    bool finished()
    {
        if (pid < 0)
            return true;
        int status;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            pid = -1;
            return true;
        }
        return false;
    }
    void stop()
    {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
            pid = -1;
        }
    }
    [[nodiscard]] std::optional<double> lineAt(const QByteArray &text, int from = 0) const
    {
        for (int i = from; i < lines.size(); ++i) {
            if (lines.at(i).text == text)
                return lines.at(i).at;
        }
        return std::nullopt;
    }
    // The CPU time of the child so far, its ended threads' included (idle thread-pool threads end), in ms.
    [[nodiscard]] double cpuMs() const
    {
        QFile f(u"/proc/%1/stat"_qs.arg(pid));
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray stat = f.readAll();
        // The fields after the command name, which may hold spaces: state is the 3rd field, utime the 14th.
        const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        return (fields.value(11).toDouble() + fields.value(12).toDouble()) * 1000.0 / double(::sysconf(_SC_CLK_TCK));
    }
    [[nodiscard]] double peakMemoryMB() const
    {
        QFile f(u"/proc/%1/status"_qs.arg(pid));
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : f.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
        }
        return -1;
    }
};

// Runs the loop over the X connection and the children until `done` or the timeout; false on the timeout.
template <typename Done>
bool runUntil(X &x, QList<Child *> children, Done done, double timeoutMs = 20000)
{
    const double until = nowMs() + timeoutMs;
    x.drain();
    while (!done()) {
        const double left = until - nowMs();
        if (left <= 0)
            return false;
        std::vector<pollfd> fds{{xcb_get_file_descriptor(x.c), POLLIN, 0}};
        for (Child *child : children) {
            if (child->out >= 0)
                fds.push_back({child->out, POLLIN, 0});
        }
        ::poll(fds.data(), fds.size(), int(std::min(left, 50.0)) + 1);
        x.drain();
        for (Child *child : children) {
            if (child->out >= 0) {
                pollfd p{child->out, POLLIN, 0};
                if (::poll(&p, 1, 0) > 0)
                    child->read();
            }
        }
    }
    return true;
}

// Waits `ms`, reading the children's lines meanwhile: a line is timed when it comes, not at a later read.
void pause(X &x, double ms, QList<Child *> children = {})
{
    const double until = nowMs() + ms;
    runUntil(x, children, [&] { return nowMs() >= until; }, ms + 1000);
}

struct Home
{
    QString root;
    QStringList env;
};

// Private HOME and XDG folders; the apps of `share` only. Each run gets new ones: a first start every time.
Home makeHome(const QString &base, const QString &share, const QString &name)
{
    Home h{base + u'/' + name, {}};
    for (const char *folder : {"home", "data", "config", "cache", "runtime"})
        QDir().mkpath(h.root + u'/' + QString::fromLatin1(folder));
    QFile::setPermissions(h.root + u"/runtime"_qs, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (const QString &keep : QProcess::systemEnvironment()) {
        for (const char *name : {"PATH=", "DISPLAY=", "XAUTHORITY=", "LANG=", "LC_ALL=", "FONTCONFIG"}) {
            if (keep.startsWith(QLatin1String(name)))
                h.env.append(keep);
        }
    }
    h.env << u"HOME="_qs + h.root + u"/home"_qs << u"XDG_DATA_HOME="_qs + h.root + u"/data"_qs
          << u"XDG_CONFIG_HOME="_qs + h.root + u"/config"_qs << u"XDG_CACHE_HOME="_qs + h.root + u"/cache"_qs
          << u"XDG_RUNTIME_DIR="_qs + h.root + u"/runtime"_qs << u"XDG_DATA_DIRS="_qs + share
          << u"QT_QPA_PLATFORM=xcb"_qs;
    return h;
}

// A focus session of a previous run, still going for two hours: the timer panel shows it at start.
void storeRunningSession(const Home &h)
{
    const double deadline = QDateTime::currentSecsSinceEpoch() + 7200 - 978307200.0;
    writeFile(h.root + u"/data/Tarnwick/sessions.json"_qs,
              u"[{\"id\":\"6B1F1E4C-3D2A-4B8E-9A51-2C7D8E9F0A1B\",\"bundleID\":\"org.example.app00001\","
              "\"appName\":\"Player 1\",\"deadline\":%1}]"_qs.arg(deadline, 0, 'f', 0)
                  .toUtf8());
}

struct Start
{
    double window = -1, tiles = -1, icons = -1;
    xcb_window_t id = 0;
};

// One start of the program (or rofi) until its window is mapped and, with `report`, its first page's icons show.
Start measure(X &x, Child &child, bool report)
{
    Start s;
    const qsizetype from = x.events.size();
    auto mapped = [&]() -> bool {
        for (qsizetype i = from; i < x.events.size(); ++i) {
            if (x.events.at(i).kind == X::Event::map) {
                s.window = x.events.at(i).at - child.started;
                s.id = x.events.at(i).window;
                return true;
            }
        }
        return false;
    };
    runUntil(x, {&child}, [&] { return (mapped() && (!report || child.lineAt("icons"))) || child.finished(); });
    if (report) {
        if (auto t = child.lineAt("tiles"))
            s.tiles = *t - child.started;
        if (auto t = child.lineAt("icons"))
            s.icons = *t - child.started;
    }
    return s;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const QStringList args = app.arguments();
    const int runs = std::max(1, args.value(args.indexOf(u"--runs"_qs) + 1, u"8"_qs).toInt());
    const int idleSeconds = args.contains(u"--idle-seconds"_qs)
        ? args.value(args.indexOf(u"--idle-seconds"_qs) + 1).toInt()
        : 60;
    // --program PATH: another build of the program, to compare two side by side.
    const QString tarnwick = args.contains(u"--program"_qs)
        ? args.value(args.indexOf(u"--program"_qs) + 1)
        : QCoreApplication::applicationDirPath() + u"/../src/App/tarnwick"_qs;
    if (!QFile::exists(tarnwick)) {
        std::fprintf(stderr, "bench_programstart: %s is not built\n", qPrintable(tarnwick));
        return 2;
    }
    const QString rofi = QStandardPaths::findExecutable(u"rofi"_qs);
    X x;
    QTemporaryDir dir;

    std::printf("load average at start: %.2f\n", loadAverage());
    for (const bool svg : {false, true}) {
        const QString fixture = dir.filePath(svg ? u"svg"_qs : u"png"_qs);
        makeEntries(fixture, svg);
        const QString share = fixture + u"/share"_qs;
        QList<double> windows, tiles, icons, rofiWindows;
        for (int run = 0; run <= runs; ++run) {
            const Home h = makeHome(dir.path(), share, u"%1-%2"_qs.arg(svg).arg(run));
            Child child({tarnwick, u"--report-start"_qs}, h.env);
            const Start s = measure(x, child, true);
            child.stop();
            if (run > 0) { // the first start warms the disk cache and the fonts
                windows.append(s.window);
                tiles.append(s.tiles);
                icons.append(s.icons);
            }
            if (!rofi.isEmpty()) {
                Child r({rofi, u"-show"_qs, u"drun"_qs}, h.env);
                const Start rs = measure(x, r, false);
                r.stop();
                if (run > 0)
                    rofiWindows.append(rs.window);
            }
            pause(x, 100);
        }
        const char *kind = svg ? "SVG icons of a theme" : "PNG icons";
        std::printf("500 apps, %s, %d warm starts (load %.2f):\n", kind, runs, loadAverage());
        std::printf("  first window            %s\n", qPrintable(range(windows)));
        if (!rofi.isEmpty())
            std::printf("  rofi -show drun window  %s\n", qPrintable(range(rofiWindows)));
        std::printf("  first frame with tiles  %s\n", qPrintable(range(tiles)));
        std::printf("  first page's icons      %s\n", qPrintable(range(icons)));
        if (svg)
            break;

        // The second start, the first keystroke, idle and memory: PNG icons.
        const Home h = makeHome(dir.path(), share, u"running"_qs);
        Child first({tarnwick, u"--report-start"_qs}, h.env);
        const Start s = measure(x, first, true);
        pause(x, 1000, {&first});
        const uint8_t k = x.keycodeOf('k');
        const uint8_t backspace = x.keycodeOf(0xff08);
        {
            const QList<xcb_window_t> shown = x.closable();
            x.focus(shown.isEmpty() ? s.id : shown.first());
        }
        pause(x, 300, {&first});
        // The number of tiles of a "frame N" line; -1 for other lines.
        auto tilesOf = [](const Child::Line &line) {
            return line.text.startsWith("frame ") ? line.text.mid(6).toInt() : -1;
        };
        // The last frame's number of tiles once no frame has changed it for `quietMs`; its line's index is `settled`.
        auto settle = [&](int from, double quietMs, int &settled) {
            settled = -1;
            double changed = nowMs();
            runUntil(x, {&first}, [&] {
                for (int i = std::max(from, settled + 1); i < first.lines.size(); ++i) {
                    const int n = tilesOf(first.lines.at(i));
                    if (n < 0)
                        continue;
                    if (settled < 0 || n != tilesOf(first.lines.at(settled))) {
                        changed = first.lines.at(i).at;
                        settled = i;
                    }
                }
                return nowMs() - changed >= quietMs;
            }, 5000);
            return settled < 0 ? -1 : tilesOf(first.lines.at(settled));
        };
        // From the key's press to the first frame that shows the grid as it stays (the caret's blink draws frames
        // with the same number of tiles; a grid that fills in over frames counts at its last one).
        auto typed = [&](uint8_t key) {
            int settled = -1;
            const int before = settle(0, 150, settled);
            const int from = int(first.lines.size());
            const double sent = nowMs();
            x.key(key);
            runUntil(x, {&first}, [&] {
                for (int i = from; i < first.lines.size(); ++i) {
                    if (tilesOf(first.lines.at(i)) >= 0 && tilesOf(first.lines.at(i)) != before)
                        return true;
                }
                return false;
            }, 5000);
            const int after = settle(from, 300, settled);
            return after < 0 || after == before ? -1 : first.lines.at(settled).at - sent;
        };
        QList<double> later;
        const double firstKey = typed(k);
        typed(backspace);
        for (int i = 0; i < 9; ++i) {
            pause(x, 100, {&first});
            later.append(typed(k));
            pause(x, 100, {&first});
            typed(backspace);
        }
        if (qEnvironmentVariableIsSet("BENCH_VERBOSE")) {
            for (const Child::Line &line : std::as_const(first.lines))
                std::printf("    %.1f %s\n", line.at - first.started, line.text.constData());
        }
        std::printf("  first keystroke to its frame %.1f ms, later ones %s (load %.2f)\n", firstKey,
                    qPrintable(range(later)), loadAverage());

        const QList<xcb_window_t> closable = x.closable();
        xcb_window_t window = closable.isEmpty() ? s.id : closable.first();
        if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
            std::printf("    %d closable windows, the first 0x%x; mapped first 0x%x\n", int(closable.size()), window, s.id);
        QList<double> again, againTiles;
        for (int run = 0; run <= runs; ++run) {
            // Like a window manager's close button; a window that ignores the first request is asked again.
            const QList<xcb_window_t> open = x.closable();
            window = open.isEmpty() ? window : open.first();
            const qsizetype from = x.events.size();
            for (int ask = 0; ask < 5; ++ask) {
                x.close(window);
                if (runUntil(x, {&first}, [&] {
                        return std::any_of(x.events.begin() + from, x.events.end(), [&](const X::Event &e) {
                            return e.kind == X::Event::unmap && e.window == window;
                        });
                    }, 1000))
                    break;
            }
            pause(x, 200, {&first});
            const int lineFrom = int(first.lines.size());
            Child second({tarnwick}, h.env);
            // The second start ends once it has asked; the window is a new one (a closed window lets go of its own).
            const qsizetype mapFrom = x.events.size();
            std::optional<double> tilesAgain;
            std::optional<double> mapped;
            runUntil(x, {&first, &second}, [&] {
                for (qsizetype i = mapFrom; i < x.events.size() && !mapped; ++i) {
                    if (x.events.at(i).kind == X::Event::map)
                        mapped = x.events.at(i).at;
                }
                tilesAgain = first.lineAt("tiles", lineFrom);
                return mapped && tilesAgain && second.finished();
            }, 5000);
            if (run > 0) {
                again.append(mapped ? *mapped - second.started : -1);
                againTiles.append(tilesAgain ? *tilesAgain - second.started : -1);
            }
        }
        if (qEnvironmentVariableIsSet("BENCH_VERBOSE")) {
            for (const X::Event &e : std::as_const(x.events))
                std::printf("    %.1f %s 0x%x\n", e.at, e.kind == X::Event::map ? "map" : "unmap", e.window);
        }
        std::printf("  second start to the window shown again %s, to its frame with tiles %s (load %.2f)\n",
                    qPrintable(range(again)), qPrintable(range(againTiles)), loadAverage());

        first.stop();

        // Idle and memory without the report, which walks the items at every frame.
        const Home quiet = makeHome(dir.path(), share, u"idle"_qs);
        Child idle({tarnwick}, quiet.env);
        measure(x, idle, false);
        pause(x, 3000); // the scan, the icons and the warm-up
        if (idleSeconds > 0) {
            const xcb_window_t shown = x.closable().value(0);
            auto idleFor = [&](const char *what) {
                pause(x, 2000);
                const double before = idle.cpuMs();
                pause(x, idleSeconds * 1000.0);
                std::printf("  idle %d s, window open, focused, %s: %.3f %% of a core (load %.2f)\n", idleSeconds, what,
                            (idle.cpuMs() - before) / (idleSeconds * 10.0), loadAverage());
            };
            x.focus(shown);
            x.pointerTo(x.screen->width_in_pixels - 1, x.screen->height_in_pixels - 1);
            idleFor("the pointer beside it");
            x.fillScreen(shown);
            x.pointerTo(x.screen->width_in_pixels / 2, x.screen->height_in_pixels / 2);
            idleFor("as large as the screen with the pointer over the grid");
        }
        std::printf("  peak memory, all 500 icons loaded: %.1f MB\n", idle.peakMemoryMB());
        idle.stop();

        if (idleSeconds > 0) {
            const Home p = makeHome(dir.path(), share, u"panel"_qs);
            storeRunningSession(p);
            Child panel({tarnwick}, p.env);
            measure(x, panel, false);
            pause(x, 3000);
            const double before = panel.cpuMs();
            pause(x, idleSeconds * 1000.0);
            std::printf("  idle %d s, window open and the timer panel ticking: %.3f %% of a core (load %.2f)\n",
                        idleSeconds, (panel.cpuMs() - before) / (idleSeconds * 10.0), loadAverage());
        }
    }
    return 0;
}
