#pragma once

#include "embeddedapp.h"
#include "instant.h"
#include "restrictionengine.h"
#include "schedulecalendar.h"
#include "timerservice.h"
#include "windowlist.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>

class Clock;
class EmbeddedProcessFamily;
class RunningApps;
class SleepWake;
class WorkspaceEvents;
struct RunningApp;

// Keeps blocked embedded apps (a host's built-in browser, which has no running-app handle of its own) from running:
// their whole process family is killed, without a prompt, when one is launched or activated, when a restriction
// window that names it starts, on refresh, and by a sweep every 2 seconds while one is blocked and shows a window.
// When a block ends, the processes it left behind without a window are killed too. Main thread; made once by the
// state object and held for the whole run. Its signal connections and timers end with it.
class EmbeddedAppGuard : public QObject
{
    Q_OBJECT
public:
    using RulesProvider = std::function<QList<RestrictionRuleSnapshot>()>;
    using BlockedProvider = std::function<QSet<QString>(Instant)>;
    using CalendarProvider = std::function<ScheduleCalendar()>;

    static constexpr Duration sweepInterval = 2s;
    static constexpr Duration killThrottle = 2s;
    static constexpr Duration lateLimit = 120s;
    static constexpr int familyMinimumSide = 100;
    static constexpr int hostMinimumSide = 200;

    // Registers for launch, activation and wake, then refreshes at once. Unset providers read as empty.
    EmbeddedAppGuard(Clock &clock, TimerService &timers, WorkspaceEvents &workspace, SleepWake &sleepWake,
                     EmbeddedProcessFamily &family, RunningApps &runningApps, WindowList &windowList,
                     const EmbeddedAppRegistry &registry, RulesProvider rulesProvider, BlockedProvider blockedProvider,
                     CalendarProvider calendarProvider = &ScheduleCalendar::system, QObject *parent = nullptr);
    ~EmbeddedAppGuard() override;

    // Kills the families of the blocked installed embedded apps (throttled), re-arms the window-start check and
    // starts or stops the sweep. For every writer of restriction data, after it saves.
    void refresh();
    // Heals what is no longer blocked, then starts or stops the sweep; the state object calls it right after it
    // writes a block of its own, so that the sweep starts at once.
    void updateSweepTimer();

private:
    void eventKillIfNeeded(const RunningApp &app);
    void killIfBlocked(const EmbeddedApp &app);
    [[nodiscard]] bool isThrottled(const QString &bundleID) const;
    void scheduleNextWindowKill();
    void windowDidStart(Instant scheduled);
    void sweep();
    void healUnblocked(const QSet<QString> &except);
    [[nodiscard]] bool hostShowsNewWindow(const EmbeddedApp &app, const QList<WindowInfo> &windows);
    [[nodiscard]] QSet<qint64> hostOnscreenIDs(const EmbeddedApp &app, const QList<WindowInfo> &windows) const;
    [[nodiscard]] static bool familyShowsWindow(const QSet<qint64> &family, const QList<WindowInfo> &windows);
    [[nodiscard]] QList<WindowInfo> allWindows() const;

    [[nodiscard]] QSet<QString> blockedNow() const;
    [[nodiscard]] QSet<qint64> familyPIDs(const EmbeddedApp &app) const;
    // Records the kill and, when the family had processes, kills it and counts the app as interfered with.
    void killRecorded(const EmbeddedApp &app, bool found);

    Clock &m_clock;
    TimerService &m_timers;
    EmbeddedProcessFamily &m_family;
    RunningApps &m_runningApps;
    WindowList &m_windowList;
    const EmbeddedAppRegistry &m_registry;
    RulesProvider m_rulesProvider;
    BlockedProvider m_blockedProvider;
    CalendarProvider m_calendarProvider;

    TimerHandle m_timer;
    TimerHandle m_sweepTimer; // armed exactly while the sweep runs
    QHash<QString, QSet<qint64>> m_hostWindowBaseline;
    QSet<QString> m_interfered;
    // On monotonic time, so that setting the wall clock back cannot hold a kill off.
    QHash<QString, MonotonicInstant> m_lastKill;
};
