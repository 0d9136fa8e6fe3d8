#include "linux/x11windowlist.h"

#include "appidentity.h"
#include "linux/x11display.h"

#include <QSet>

#include <cmath>

namespace {

constexpr quint32 atomType = 4;      // XCB_ATOM_ATOM
constexpr quint32 cardinalType = 6;  // XCB_ATOM_CARDINAL
constexpr quint32 stringType = 31;   // XCB_ATOM_STRING
constexpr quint32 windowType = 33;   // XCB_ATOM_WINDOW
constexpr quint32 iconicState = 3;   // ICCCM IconicState
constexpr quint32 resourceManager = 23; // XCB_ATOM_RESOURCE_MANAGER

} // namespace

X11WindowList::X11WindowList(X11Display *display)
    : m_display(display)
{
}

double X11WindowList::scaleFromResources(const QByteArray &resources)
{
    for (const QByteArray &line : resources.split('\n')) {
        const auto colon = line.indexOf(':');
        if (colon < 0 || line.left(colon).trimmed() != "Xft.dpi")
            continue;
        bool ok = false;
        const double dpi = line.mid(colon + 1).trimmed().toDouble(&ok);
        if (ok && std::isfinite(dpi) && dpi >= 24 && dpi <= 960)
            return dpi / 96.0;
        return 1.0;
    }
    return 1.0;
}

QList<X11WindowList::Owned> X11WindowList::ownedClients() const
{
    QList<Owned> out;
    if (!m_display || !m_display->isConnected())
        return out;
    const quint32 root = m_display->rootWindow();
    const auto list = m_display->properties({root}, m_display->atom("_NET_CLIENT_LIST")).value(0);
    const auto windows = list ? list->words(windowType) : std::nullopt;
    if (!windows || windows->isEmpty())
        return out;
    const auto pids = m_display->properties(*windows, m_display->atom("_NET_WM_PID"));
    for (qsizetype i = 0; i < windows->size(); ++i) {
        const auto words = pids.value(i) ? pids.value(i)->words(cardinalType) : std::nullopt;
        if (!words || words->isEmpty() || words->first() == 0)
            continue;
        out.append({windows->at(i), qint64(words->first())});
    }
    return out;
}

QList<WindowInfo> X11WindowList::allWindows() const
{
    QList<WindowInfo> out;
    const auto clients = ownedClients();
    if (clients.isEmpty())
        return out;
    QList<quint32> windows;
    for (const auto &c : clients)
        windows.append(c.window);
    const quint32 hidden = m_display->atom("_NET_WM_STATE_HIDDEN");
    const auto states = m_display->properties(windows, m_display->atom("_NET_WM_STATE"));
    const auto geometry = m_display->windowStates(windows);
    const auto resources = m_display->properties({m_display->rootWindow()}, resourceManager).value(0);
    const double scale = resources ? scaleFromResources(resources->text(stringType).value_or(QByteArray())) : 1.0;
    for (qsizetype i = 0; i < clients.size(); ++i) {
        const auto g = geometry.value(i);
        if (!g)
            continue; // gone since the list was read
        const auto stateAtoms = states.value(i) ? states.value(i)->words(atomType) : std::nullopt;
        const bool isHidden = stateAtoms && stateAtoms->contains(hidden);
        WindowInfo w;
        w.windowID = clients[i].window;
        w.ownerPID = clients[i].pid;
        w.onscreen = g->viewable && !isHidden;
        // Whole points, rounded down: a window never counts as larger than it is.
        w.width = int(std::floor(g->width / scale));
        w.height = int(std::floor(g->height / scale));
        out.append(w);
    }
    return out;
}

void X11WindowList::iconifyWindowsOf(const QList<qint64> &pids)
{
    if (pids.isEmpty())
        return;
    const QSet<qint64> owners(pids.cbegin(), pids.cend());
    const auto clients = ownedClients();
    const quint32 changeState = clients.isEmpty() ? 0 : m_display->atom("WM_CHANGE_STATE");
    for (const auto &c : clients) {
        if (owners.contains(c.pid) && c.pid != AppIdentity::processID())
            m_display->sendToWindowManager(c.window, changeState, {iconicState, 0, 0, 0, 0});
    }
}

std::optional<WindowInfo> X11WindowList::activeWindow() const
{
    if (!m_display || !m_display->isConnected())
        return std::nullopt;
    const auto active =
        m_display->properties({m_display->rootWindow()}, m_display->atom("_NET_ACTIVE_WINDOW")).value(0);
    const auto words = active ? active->words(windowType) : std::nullopt;
    if (!words || words->isEmpty() || words->first() == 0)
        return std::nullopt;
    const quint32 window = words->first();
    const auto pid = m_display->properties({window}, m_display->atom("_NET_WM_PID")).value(0);
    const auto pidWords = pid ? pid->words(cardinalType) : std::nullopt;
    if (!pidWords || pidWords->isEmpty() || pidWords->first() == 0)
        return std::nullopt;
    WindowInfo w;
    w.windowID = window;
    w.ownerPID = qint64(pidWords->first());
    return w;
}
