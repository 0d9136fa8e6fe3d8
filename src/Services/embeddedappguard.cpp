#include "embeddedappguard.h"

#include "clock.h"
#include "embeddedprocessfamily.h"
#include "runningapps.h"
#include "sleepwake.h"
#include "workspaceevents.h"

#include <algorithm>

EmbeddedAppGuard::EmbeddedAppGuard(Clock &clock, TimerService &timers, WorkspaceEvents &workspace,
                                   SleepWake &sleepWake, EmbeddedProcessFamily &family, RunningApps &runningApps,
                                   WindowList &windowList, const EmbeddedAppRegistry &registry,
                                   RulesProvider rulesProvider, BlockedProvider blockedProvider,
                                   CalendarProvider calendarProvider, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_timers(timers)
    , m_family(family)
    , m_runningApps(runningApps)
    , m_windowList(windowList)
    , m_registry(registry)
    , m_rulesProvider(std::move(rulesProvider))
    , m_blockedProvider(std::move(blockedProvider))
    , m_calendarProvider(std::move(calendarProvider))
{
    connect(&workspace, &WorkspaceEvents::didLaunch, this, &EmbeddedAppGuard::eventKillIfNeeded);
    connect(&workspace, &WorkspaceEvents::didActivate, this, &EmbeddedAppGuard::eventKillIfNeeded);
    connect(&sleepWake, &SleepWake::didWake, this, [this](Instant) { refresh(); });
    refresh();
}

// The connections go with the QObject and the handles cancel their timers.
EmbeddedAppGuard::~EmbeddedAppGuard() = default;

QSet<QString> EmbeddedAppGuard::blockedNow() const
{
    return m_blockedProvider ? m_blockedProvider(m_clock.now()) : QSet<QString>{};
}

QSet<qint64> EmbeddedAppGuard::familyPIDs(const EmbeddedApp &app) const
{
    const auto pids = m_family.pids(app);
    return QSet<qint64>(pids.cbegin(), pids.cend());
}

void EmbeddedAppGuard::killRecorded(const EmbeddedApp &app, bool found)
{
    m_lastKill.insert(app.bundleID, m_clock.monotonicNow()); // also when nothing was found
    if (!found)
        return;
    m_family.killAll(app);
    m_interfered.insert(app.bundleID);
}

void EmbeddedAppGuard::eventKillIfNeeded(const RunningApp &app)
{
    if (!app.bundleID.isEmpty()) {
        if (const auto entry = m_registry.app(app.bundleID)) {
            killIfBlocked(*entry);
            return;
        }
    }
    if (app.executablePath.isEmpty())
        return;
    std::optional<QSet<QString>> blocked; // read at most once per event, and only when a bundle matches
    for (const auto &e : m_registry.installed()) {
        if (!EmbeddedProcessFamily::isInside(app.executablePath, e.bundlePath))
            continue;
        if (!blocked)
            blocked = blockedNow();
        if (!blocked->contains(e.bundleID) || isThrottled(e.bundleID))
            continue;
        killRecorded(e, !m_family.pids(e).isEmpty());
    }
}

void EmbeddedAppGuard::killIfBlocked(const EmbeddedApp &app)
{
    if (!blockedNow().contains(app.bundleID) || isThrottled(app.bundleID))
        return;
    killRecorded(app, !m_family.pids(app).isEmpty());
}

bool EmbeddedAppGuard::isThrottled(const QString &bundleID) const
{
    const auto it = m_lastKill.constFind(bundleID);
    return it != m_lastKill.cend() && m_clock.monotonicNow() - *it < killThrottle;
}

void EmbeddedAppGuard::refresh()
{
    const auto blocked = blockedNow();
    for (const auto &e : m_registry.installed()) {
        if (!blocked.contains(e.bundleID) || isThrottled(e.bundleID))
            continue;
        if (m_family.pids(e).isEmpty())
            continue; // nothing to kill, so the throttle does not start
        killRecorded(e, true);
    }
    scheduleNextWindowKill();
    updateSweepTimer();
}

void EmbeddedAppGuard::scheduleNextWindowKill()
{
    m_timer.cancel();
    const auto installed = m_registry.installed();
    if (installed.isEmpty())
        return;
    const auto rules = m_rulesProvider ? m_rulesProvider() : QList<RestrictionRuleSnapshot>{};
    const auto calendar = m_calendarProvider ? m_calendarProvider() : ScheduleCalendar::system();
    const auto now = m_clock.now();
    std::optional<Instant> start;
    for (const auto &e : installed) {
        // Only rules that name the app itself: a group rule is caught by the next event or sweep.
        const auto d = RestrictionEngine::nextBlockStart(now, rules, e.bundleID, calendar);
        if (d && (!start || *d < *start))
            start = d;
    }
    if (!start)
        return;
    m_timer = m_timers.startAt(*start, [this, s = *start] { windowDidStart(s); });
}

void EmbeddedAppGuard::windowDidStart(Instant scheduled)
{
    // A check that comes this late (after a suspend) leaves the work to the wake handler.
    if (m_clock.now() - scheduled < lateLimit) {
        const auto blocked = blockedNow();
        for (const auto &e : m_registry.installed()) {
            if (!blocked.contains(e.bundleID))
                continue;
            if (!m_family.pids(e).isEmpty())
                killRecorded(e, true);
        }
    }
    scheduleNextWindowKill();
    updateSweepTimer();
}

void EmbeddedAppGuard::updateSweepTimer()
{
    const auto blocked = blockedNow();
    QList<EmbeddedApp> blockedApps;
    QSet<QString> blockedIDs;
    for (const auto &e : m_registry.installed()) {
        if (blocked.contains(e.bundleID)) {
            blockedApps.append(e);
            blockedIDs.insert(e.bundleID);
        }
    }
    healUnblocked(blockedIDs);

    if (blockedApps.isEmpty()) {
        if (m_sweepTimer.isActive()) {
            m_sweepTimer.cancel();
            m_hostWindowBaseline.clear();
        }
        return;
    }
    if (m_sweepTimer.isActive())
        return;
    const auto windows = allWindows();
    for (const auto &e : blockedApps)
        m_hostWindowBaseline.insert(e.hostBundleID, hostOnscreenIDs(e, windows));
    m_sweepTimer = m_timers.startRepeating(sweepInterval, [this] { sweep(); });
}

void EmbeddedAppGuard::sweep()
{
    const auto blocked = blockedNow();
    const auto windows = allWindows();
    for (const auto &e : m_registry.installed()) {
        if (!blocked.contains(e.bundleID))
            continue;
        // The host test runs only when the family shows nothing, since it moves the baseline.
        if (familyShowsWindow(familyPIDs(e), windows) || hostShowsNewWindow(e, windows))
            killRecorded(e, !m_family.pids(e).isEmpty());
    }
    updateSweepTimer();
}

void EmbeddedAppGuard::healUnblocked(const QSet<QString> &except)
{
    const auto heal = m_interfered - except;
    if (heal.isEmpty())
        return;
    const auto windows = allWindows();
    for (const auto &id : heal) {
        m_interfered.remove(id);
        const auto entry = m_registry.app(id);
        if (!entry)
            continue;
        if (familyShowsWindow(familyPIDs(*entry), windows))
            continue; // the user has it open again, unblocked: leave it
        m_family.killAll(*entry);
    }
}

bool EmbeddedAppGuard::hostShowsNewWindow(const EmbeddedApp &app, const QList<WindowInfo> &windows)
{
    const auto current = hostOnscreenIDs(app, windows);
    const auto it = m_hostWindowBaseline.find(app.hostBundleID);
    if (it == m_hostWindowBaseline.end()) {
        m_hostWindowBaseline.insert(app.hostBundleID, current);
        return false;
    }
    for (const auto id : current) {
        if (!it->contains(id))
            return true; // the baseline stays, so the new window keeps counting while it is open
    }
    *it = current;
    return false;
}

QSet<qint64> EmbeddedAppGuard::hostOnscreenIDs(const EmbeddedApp &app, const QList<WindowInfo> &windows) const
{
    QSet<qint64> hostPIDs;
    for (const auto &r : m_runningApps.runningApps(app.hostBundleID))
        hostPIDs.insert(r.pid);
    QSet<qint64> ids;
    if (hostPIDs.isEmpty())
        return ids;
    for (const auto &w : windows) {
        if (w.onscreen && hostPIDs.contains(w.ownerPID) && w.width >= hostMinimumSide && w.height >= hostMinimumSide)
            ids.insert(w.windowID);
    }
    return ids;
}

bool EmbeddedAppGuard::familyShowsWindow(const QSet<qint64> &family, const QList<WindowInfo> &windows)
{
    if (family.isEmpty())
        return false;
    return std::any_of(windows.cbegin(), windows.cend(), [&](const WindowInfo &w) {
        return w.onscreen && family.contains(w.ownerPID) && w.width >= familyMinimumSide
            && w.height >= familyMinimumSide;
    });
}

QList<WindowInfo> EmbeddedAppGuard::allWindows() const
{
    return m_windowList.allWindows();
}
