#include "externallaunchguard.h"

#include "appidentity.h"
#include "appprocesscontrol.h"
#include "clock.h"
#include "runningapps.h"
#include "sleepwake.h"
#include "workspaceevents.h"

ExternalLaunchGuard::ExternalLaunchGuard(Clock &clock, TimerService &timers, WorkspaceEvents &workspace,
                                         SleepWake &sleepWake, AppProcessControl &control,
                                         RunningApps &runningApps, const EmbeddedAppRegistry &registry,
                                         RulesProvider rulesProvider,
                                         BlockedProvider blockedProvider, PromptBlockedLaunch promptBlockedLaunch,
                                         CalendarProvider calendarProvider, bool checkAtOnce, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_timers(timers)
    , m_control(control)
    , m_runningApps(runningApps)
    , m_registry(registry)
    , m_rulesProvider(std::move(rulesProvider))
    , m_blockedProvider(std::move(blockedProvider))
    , m_promptBlockedLaunch(std::move(promptBlockedLaunch))
    , m_calendarProvider(std::move(calendarProvider))
{
    connect(&workspace, &WorkspaceEvents::didLaunch, this,
            [this](const RunningApp &app) { eventSuppressIfNeeded(app, Event::launch); });
    connect(&workspace, &WorkspaceEvents::didActivate, this,
            [this](const RunningApp &app) { eventSuppressIfNeeded(app, Event::shown); });
    connect(&workspace, &WorkspaceEvents::didOpenWindow, this,
            [this](const RunningApp &app) { eventSuppressIfNeeded(app, Event::shown); });
    connect(&workspace, &WorkspaceEvents::didTerminate, this,
            [this](const RunningApp &app) { m_windowSearches.erase(app.instanceID); });
    connect(&sleepWake, &SleepWake::didWake, this, [this](Instant) {
        sweepRunningBlocked();
        scheduleNextWindowSweep();
    });
    if (!checkAtOnce)
        return;
    sweepRunningBlocked();
    scheduleNextWindowSweep();
}

// The connections go with the QObject and the handle cancels the timer.
ExternalLaunchGuard::~ExternalLaunchGuard() = default;

QSet<QString> ExternalLaunchGuard::blockedNow() const
{
    return m_blockedProvider ? m_blockedProvider(m_clock.now()) : QSet<QString>{};
}

void ExternalLaunchGuard::eventSuppressIfNeeded(const RunningApp &app, Event event)
{
    const QString &b = app.bundleID;
    if (b.isEmpty() || !blockedNow().contains(b))
        return;
    if (b == AppIdentity::bundleIDView || m_registry.contains(b))
        return;
    if (!m_runningApps.canHide()) {
        // A hidden app is out of the way; one that cannot be hidden would simply be used.
        m_runningApps.terminate(app);
    } else {
        m_control.hide(b);
        if (event == Event::launch && !app.instanceID.isEmpty()) {
            m_windowSearches[app.instanceID] = m_timers.startAfter(windowSearch, [this, app] { quitIfNoWindow(app); });
        }
    }
    const auto now = m_clock.monotonicNow();
    const auto last = m_lastPrompt.constFind(b);
    if (last != m_lastPrompt.cend() && now - *last < promptThrottle)
        return; // hidden again, but one prompt is enough
    m_lastPrompt.insert(b, now);
    if (m_promptBlockedLaunch)
        m_promptBlockedLaunch(b);
}

void ExternalLaunchGuard::quitIfNoWindow(const RunningApp &launched)
{
    const RunningApp app = launched; // the timer that holds `launched` goes now
    m_windowSearches.erase(app.instanceID);
    if (!blockedNow().contains(app.bundleID))
        return; // lifted meanwhile (an override from the prompt)
    for (const auto &running : m_runningApps.runningApps(app.bundleID)) {
        if (running.instanceID == app.instanceID && !m_runningApps.hasWindows(running))
            m_runningApps.terminate(running);
    }
}

void ExternalLaunchGuard::sweepRunningBlocked()
{
    for (const auto &b : blockedNow()) {
        if (b == AppIdentity::bundleIDView || m_registry.contains(b))
            continue;
        if (m_runningApps.runningApps(b).isEmpty())
            continue;
        m_control.requestQuit(b);
        m_control.hide(b);
    }
}

void ExternalLaunchGuard::scheduleNextWindowSweep()
{
    m_timer.cancel();
    const auto rules = m_rulesProvider ? m_rulesProvider() : QList<RestrictionRuleSnapshot>{};
    const auto calendar = m_calendarProvider ? m_calendarProvider() : ScheduleCalendar::system();
    const auto start = RestrictionEngine::nextBlockStart(m_clock.now(), rules, std::nullopt, calendar);
    if (!start)
        return;
    m_timer = m_timers.startAt(*start, [this, s = *start] {
        // A check that comes this late (after a suspend) leaves the work to the wake handler.
        if (m_clock.now() - s < lateLimit)
            sweepRunningBlocked();
        scheduleNextWindowSweep();
    });
}
