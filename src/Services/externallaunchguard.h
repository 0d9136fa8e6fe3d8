#pragma once

#include "embeddedapp.h"
#include "instant.h"
#include "restrictionengine.h"
#include "schedulecalendar.h"
#include "timerservice.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <map>

class AppProcessControl;
class Clock;
class RunningApps;
class SleepWake;
class WorkspaceEvents;
struct RunningApp;

// Catches blocked apps opened outside the launcher (the file manager, a link, the dock): one that is launched,
// brought to the front or shows a new window while blocked is hidden at once and its owner asked to show the
// blocked-app prompt, at most once per app every 2 seconds. Where hiding cannot hold the block (no window system
// that lets it, or a launched instance none of whose windows is found within a second) the instance is asked to
// quit instead; the prompt is the same. Blocked apps that already run are asked to quit and hidden at start, after wake, when
// a restriction window starts and whenever a writer of rules asks. Embedded apps are the embedded-app guard's; the
// program itself is never touched. Main thread; made once by the state object and held for the whole run. Its
// signal connections and its timer end with it.
class ExternalLaunchGuard : public QObject
{
    Q_OBJECT
public:
    using RulesProvider = std::function<QList<RestrictionRuleSnapshot>()>;
    using BlockedProvider = std::function<QSet<QString>(Instant)>;
    using PromptBlockedLaunch = std::function<void(const QString &bundleID)>;
    using CalendarProvider = std::function<ScheduleCalendar()>;

    static constexpr Duration promptThrottle = 2s;
    static constexpr Duration lateLimit = 120s;
    static constexpr Duration windowSearch = 1s;

    // Registers for launch, activation, new windows and wake, then sweeps and arms the next window check (unless
    // `checkAtOnce` is false: the owner then runs the pair once the running apps are known). `rulesProvider` gives
    // the restriction rules alone; `blockedProvider` every kind of block. Unset providers read as empty, an unset
    // prompt does nothing.
    ExternalLaunchGuard(Clock &clock, TimerService &timers, WorkspaceEvents &workspace, SleepWake &sleepWake,
                        AppProcessControl &control, RunningApps &runningApps, const EmbeddedAppRegistry &registry,
                        RulesProvider rulesProvider,
                        BlockedProvider blockedProvider, PromptBlockedLaunch promptBlockedLaunch,
                        CalendarProvider calendarProvider = &ScheduleCalendar::system, bool checkAtOnce = true,
                        QObject *parent = nullptr);
    ~ExternalLaunchGuard() override;

    // Callers run these two together, in this order, after they change restriction rules.
    void sweepRunningBlocked();
    void scheduleNextWindowSweep();

private:
    enum class Event { launch, shown };
    void eventSuppressIfNeeded(const RunningApp &app, Event event);
    void quitIfNoWindow(const RunningApp &launched);
    [[nodiscard]] QSet<QString> blockedNow() const;

    Clock &m_clock;
    TimerService &m_timers;
    AppProcessControl &m_control;
    RunningApps &m_runningApps;
    const EmbeddedAppRegistry &m_registry;
    RulesProvider m_rulesProvider;
    BlockedProvider m_blockedProvider;
    PromptBlockedLaunch m_promptBlockedLaunch;
    CalendarProvider m_calendarProvider;

    TimerHandle m_timer;
    std::map<QString, TimerHandle> m_windowSearches; // by instance: launched instances whose windows are looked for
    // On monotonic time, so that setting the wall clock back cannot hold a prompt off.
    QHash<QString, MonotonicInstant> m_lastPrompt;
};
