#pragma once

#include "instant.h"
#include "quitplanengine.h"
#include "schedulecalendar.h"
#include "timerservice.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class AppProcessControl;
class Clock;
class EmbeddedAppRegistry;
class EmbeddedProcessFamily;
class Notifier;
class RunningApps;
class SleepWake;

// Carries out the timed-quit plans: a warning 15 seconds before the next quit, the quit of the due plans' targets
// (embedded apps killed, the ones a block follows hidden as well), a call to the owner, and the next quit armed.
// Quits that fell into a sleep are replayed after the wake, none that already ran. Targets are visited, and named
// in the warning, in the order first seen: plans in input order, a plan's apps or group members in their order,
// each once. The program itself is never named, quit or hidden. Main thread; owned by the state object (or a
// test) for the whole run.
class QuitPlanScheduler : public QObject
{
    Q_OBJECT
public:
    using PlansProvider = std::function<QList<QuitPlanSnapshot>()>;
    using GroupMembersProvider = std::function<QHash<QString, QStringList>()>;
    using CalendarProvider = std::function<ScheduleCalendar()>;

    struct Seams
    {
        Clock &clock;
        TimerService &timers;
        SleepWake &sleepWake;
        RunningApps &runningApps;
        const EmbeddedAppRegistry &embeddedApps;
        EmbeddedProcessFamily &processFamily;
        AppProcessControl &processControl;
        Notifier &notifier;
    };

    // A quit handled 120 seconds or more after its instant is stale (the machine slept, or the thread stalled).
    static constexpr Duration staleAfter = std::chrono::seconds(120);
    static constexpr Duration warningLead = std::chrono::seconds(15);
    static constexpr int maxReplayedQuits = 64;

    // Arms the first quit at once.
    QuitPlanScheduler(const Seams &seams, PlansProvider plansProvider, GroupMembersProvider groupMembers,
                      CalendarProvider calendar = &ScheduleCalendar::system, QObject *parent = nullptr);

    // Drops both timers and arms them anew from the plans as they are now; call after every change of plans.
    void reschedule();

    // Called after every quit pass that had due plans, even when none of their targets ran. It may drop the
    // scheduler; nothing more happens then.
    std::function<void()> onFired;

    // The targets of the due plans, each once, in first-seen order; a group missing from the map has none.
    [[nodiscard]] static QStringList targets(const QList<QuitPlanSnapshot> &duePlans,
                                             const QHash<QString, QStringList> &groupMembers);
    [[nodiscard]] static QString warningBody(const QStringList &names);
    [[nodiscard]] static bool isStale(Instant now, Instant scheduled);

private:
    Seams m_seams;
    PlansProvider m_plansProvider;
    GroupMembersProvider m_groupMembers;
    CalendarProvider m_calendar;
    TimerHandle m_timer;
    TimerHandle m_warnTimer;
    std::optional<Instant> m_sleepStart;
    std::optional<Instant> m_lastPass; // the quit instant of the last pass that had due plans

    void fireWarn(Instant scheduled);
    void fire(Instant scheduled, bool allowStale);
    void reconcileMissed(Instant since);
    void terminateRunning(const QStringList &bundleIDs, const QStringList &linkedBundleIDs);
    [[nodiscard]] std::optional<QString> runningName(const QString &bundleID) const;
};
