#include "linux/x11windowlist.h"

#include "appidentity.h"
#include "linux/x11display.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

constexpr quint32 atomType = 4;      // XCB_ATOM_ATOM
constexpr quint32 cardinalType = 6;  // XCB_ATOM_CARDINAL
constexpr quint32 stringType = 31;   // XCB_ATOM_STRING
constexpr quint32 windowType = 33;   // XCB_ATOM_WINDOW
constexpr quint32 iconicState = 3;   // ICCCM IconicState
constexpr quint32 resourceManager = 23; // XCB_ATOM_RESOURCE_MANAGER
constexpr quint32 wmClass = 67;         // XCB_ATOM_WM_CLASS
constexpr quint32 allDesktops = 0xFFFFFFFF;
constexpr quint32 sourcePager = 2; // _NET_ACTIVE_WINDOW from a pager or taskbar, which the user asked

} // namespace

X11WindowList::X11WindowList(X11Display *display)
    : X11WindowList(display, Options{})
{
}

X11WindowList::X11WindowList(X11Display *display, Options options)
    : m_display(display)
    , m_options(std::move(options))
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

QList<qint64> X11WindowList::ownersOf(const QList<quint32> &windows) const
{
    QList<qint64> owners(windows.size(), 0);
    const auto pids = m_display->properties(windows, m_display->atom("_NET_WM_PID"));
    QList<qsizetype> unasked;
    for (qsizetype i = 0; i < windows.size(); ++i) {
        const auto words = pids.value(i) ? pids.value(i)->words(cardinalType) : std::nullopt;
        if (words && !words->isEmpty() && words->first() != 0)
            owners[i] = qint64(words->first());
        else if (const auto known = m_clientPids.constFind(windows[i]); known != m_clientPids.cend())
            owners[i] = *known;
        else
            unasked.append(i);
    }
    if (!unasked.isEmpty()) {
        QList<quint32> ask;
        for (const qsizetype i : std::as_const(unasked))
            ask.append(windows[i]);
        const auto answers = m_display->clientProcesses(ask);
        for (qsizetype k = 0; k < unasked.size(); ++k) {
            owners[unasked[k]] = answers.value(k);
            m_clientPids.insert(ask[k], answers.value(k));
        }
    }
    if (!m_options.classOwner)
        return owners;
    QList<qsizetype> nameless;
    QList<quint32> byClass;
    for (qsizetype i = 0; i < windows.size(); ++i) {
        if (owners[i] == 0) {
            nameless.append(i);
            byClass.append(windows[i]);
        }
    }
    if (byClass.isEmpty())
        return owners;
    const auto classes = m_display->properties(byClass, wmClass);
    for (qsizetype k = 0; k < nameless.size(); ++k) {
        const auto text = classes.value(k) ? classes.value(k)->text(stringType) : std::nullopt;
        if (!text)
            continue;
        // Two strings, each ended by a NUL: the instance name, then the class name.
        const QList<QByteArray> parts = text->split('\0');
        const QString instanceName = QString::fromLocal8Bit(parts.value(0));
        const QString className = QString::fromLocal8Bit(parts.value(1));
        if (const auto pid = m_options.classOwner(instanceName, className))
            owners[nameless[k]] = *pid;
    }
    return owners;
}

QList<X11WindowList::Client> X11WindowList::clients() const
{
    QList<Client> out;
    if (!m_display || !m_display->isConnected())
        return out;
    const quint32 root = m_display->rootWindow();
    const auto list = m_display->properties({root}, m_display->atom("_NET_CLIENT_LIST")).value(0);
    const auto windows = list ? list->words(windowType) : std::nullopt;
    if (!windows || windows->isEmpty()) {
        m_clientPids.clear();
        return out;
    }
    const QSet<quint32> listed(windows->cbegin(), windows->cend());
    m_clientPids.removeIf([&listed](const auto &it) { return !listed.contains(it.key()); });
    const auto owners = ownersOf(*windows);
    for (qsizetype i = 0; i < windows->size(); ++i) {
        if (owners[i] > 0)
            out.append({windows->at(i), owners[i]});
    }
    return out;
}

QList<WindowInfo> X11WindowList::allWindows() const
{
    QList<WindowInfo> out;
    const auto listed = clients();
    if (listed.isEmpty())
        return out;
    QList<quint32> windows;
    for (const auto &c : listed)
        windows.append(c.window);
    const quint32 hidden = m_display->atom("_NET_WM_STATE_HIDDEN");
    const auto states = m_display->properties(windows, m_display->atom("_NET_WM_STATE"));
    const auto geometry = m_display->windowStates(windows);
    const auto resources = m_display->properties({m_display->rootWindow()}, resourceManager).value(0);
    const double scale = resources ? scaleFromResources(resources->text(stringType).value_or(QByteArray())) : 1.0;
    for (qsizetype i = 0; i < listed.size(); ++i) {
        const auto g = geometry.value(i);
        if (!g)
            continue; // gone since the list was read
        const auto stateAtoms = states.value(i) ? states.value(i)->words(atomType) : std::nullopt;
        const bool isHidden = stateAtoms && stateAtoms->contains(hidden);
        WindowInfo w;
        w.windowID = listed[i].window;
        w.ownerPID = listed[i].pid;
        w.onscreen = g->viewable && !isHidden;
        // Whole points, rounded down: a window never counts as larger than it is.
        w.width = int(std::floor(g->width / scale));
        w.height = int(std::floor(g->height / scale));
        out.append(w);
    }
    return out;
}

bool X11WindowList::canIconify() const
{
    return m_options.canIconify && m_display && m_display->isConnected();
}

void X11WindowList::iconifyWindowsOf(const QList<qint64> &pids)
{
    if (pids.isEmpty())
        return;
    const QSet<qint64> owners(pids.cbegin(), pids.cend());
    const auto listed = clients();
    const quint32 changeState = listed.isEmpty() ? 0 : m_display->atom("WM_CHANGE_STATE");
    for (const auto &c : listed) {
        if (owners.contains(c.pid) && c.pid != AppIdentity::processID())
            m_display->sendToWindowManager(c.window, changeState, {iconicState, 0, 0, 0, 0});
    }
}

bool X11WindowList::hasWindowsOf(const QList<qint64> &pids) const
{
    const QSet<qint64> owners(pids.cbegin(), pids.cend());
    const auto listed = clients();
    return std::any_of(listed.cbegin(), listed.cend(), [&owners](const Client &c) { return owners.contains(c.pid); });
}

bool X11WindowList::activateTopWindowOf(const QList<qint64> &pids)
{
    const QSet<qint64> owners(pids.cbegin(), pids.cend());
    QList<quint32> candidates;
    for (const auto &c : clients()) {
        if (owners.contains(c.pid) && c.pid != AppIdentity::processID())
            candidates.append(c.window);
    }
    if (candidates.isEmpty())
        return false;
    const quint32 root = m_display->rootWindow();
    const auto current = m_display->properties({root}, m_display->atom("_NET_CURRENT_DESKTOP")).value(0);
    const auto currentWords = current ? current->words(cardinalType) : std::nullopt;
    if (currentWords && !currentWords->isEmpty()) {
        const auto desktops = m_display->properties(candidates, m_display->atom("_NET_WM_DESKTOP"));
        QList<quint32> here;
        for (qsizetype i = 0; i < candidates.size(); ++i) {
            const auto words = desktops.value(i) ? desktops.value(i)->words(cardinalType) : std::nullopt;
            if (!words || words->isEmpty() || words->first() == allDesktops
                || words->first() == currentWords->first())
                here.append(candidates[i]);
        }
        candidates = here;
    }
    if (candidates.isEmpty())
        return false;
    // The stacking list runs from bottom to top; without one, the newest managed window counts as the top.
    quint32 top = candidates.last();
    const auto stacking = m_display->properties({root}, m_display->atom("_NET_CLIENT_LIST_STACKING")).value(0);
    if (const auto order = stacking ? stacking->words(windowType) : std::nullopt) {
        for (auto it = order->crbegin(); it != order->crend(); ++it) {
            if (candidates.contains(*it)) {
                top = *it;
                break;
            }
        }
    }
    const auto active = m_display->properties({root}, m_display->atom("_NET_ACTIVE_WINDOW")).value(0);
    const auto activeWords = active ? active->words(windowType) : std::nullopt;
    const quint32 activeWindow = activeWords && !activeWords->isEmpty() ? activeWords->first() : 0;
    m_display->sendToWindowManager(top, m_display->atom("_NET_ACTIVE_WINDOW"),
                                   {sourcePager, userTimeOfOwnWindow(activeWindow), activeWindow, 0, 0});
    return true;
}

quint32 X11WindowList::userTimeOfOwnWindow(quint32 activeWindow) const
{
    if (activeWindow == 0)
        return 0;
    const auto pid = m_display->properties({activeWindow}, m_display->atom("_NET_WM_PID")).value(0);
    const auto pidWords = pid ? pid->words(cardinalType) : std::nullopt;
    if (!pidWords || pidWords->isEmpty() || qint64(pidWords->first()) != AppIdentity::processID())
        return 0; // the time of someone else's input is not the user asking us
    quint32 timeWindow = activeWindow;
    const auto indirect = m_display->properties({activeWindow}, m_display->atom("_NET_WM_USER_TIME_WINDOW")).value(0);
    if (const auto words = indirect ? indirect->words(windowType) : std::nullopt; words && !words->isEmpty())
        timeWindow = words->first();
    const auto time = m_display->properties({timeWindow}, m_display->atom("_NET_WM_USER_TIME")).value(0);
    const auto timeWords = time ? time->words(cardinalType) : std::nullopt;
    return timeWords && !timeWords->isEmpty() ? timeWords->first() : 0;
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
    const qint64 owner = ownersOf({window}).value(0);
    if (owner <= 0)
        return std::nullopt;
    WindowInfo w;
    w.windowID = window;
    w.ownerPID = owner;
    return w;
}
