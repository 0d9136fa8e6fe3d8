#pragma once

#include "focussession.h"
#include "instant.h"
#include "timerservice.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>

#include <functional>
#include <map>

class AppTerminating;
class Clock;
class FocusSessionStore;
class Notifier;
class RunningApps;
class SleepWake;
class WorkspaceEvents;
struct RunningApp;

// Runs the focus sessions: a warning 15 seconds before each deadline, the quit at the deadline and the block hook
// after it, the end of a session when its app quits by itself (its last running instance ends), pause and resume around an override of the app's
// block, and the catch-up after a wake. The running sessions live in the store, so they survive a restart.
// A session acts only while it is listed and not paused, so a late timer never quits or blocks twice. Main thread;
// owned by the state object (or a test) for the whole run.
class FocusSessionManager : public QObject
{
    Q_OBJECT
public:
    using ExpiryBlock = std::function<void(const QString &bundleID, int minutes)>;

    FocusSessionManager(FocusSessionStore &store, AppTerminating &terminator, Clock &clock, TimerService &timers,
                        Notifier &notifier, WorkspaceEvents &workspace, const RunningApps &running,
                        SleepWake &sleepWake, QObject *parent = nullptr);

    // The running sessions, paused ones included, in start order.
    [[nodiscard]] const QList<FocusSession> &sessions() const { return m_sessions; }
    // The paused sessions with the seconds they had left when paused (never below 0).
    [[nodiscard]] const QHash<QUuid, double> &pausedRemaining() const { return m_pausedRemaining; }
    [[nodiscard]] bool isPaused(const QUuid &id) const { return m_pausedRemaining.contains(id); }

    // Called when a session with block minutes expires, with its app and those minutes (0 included). It may drop
    // the manager; nothing more happens then.
    ExpiryBlock onExpiryBlock;

    void begin(const FocusSession &session);
    // Ends a session without quitting its app.
    void end(const QUuid &sessionID);
    void pauseSessions(const QString &bundleID);
    void resumeSessions(const QString &bundleID);
    // Expires every running session whose deadline has passed; paused ones wait for their resume.
    void reconcileExpired();

Q_SIGNALS:
    void sessionsChanged();
    void pausedRemainingChanged();

private:
    FocusSessionStore &m_store;
    AppTerminating &m_terminator;
    Clock &m_clock;
    TimerService &m_timers;
    Notifier &m_notifier;
    const RunningApps &m_running;
    QList<FocusSession> m_sessions;
    QHash<QUuid, double> m_pausedRemaining;
    std::map<QUuid, TimerHandle> m_quitTimers;
    std::map<QUuid, TimerHandle> m_warnTimers;

    void armTimers(const FocusSession &session);
    void invalidateTimers(const QUuid &id);
    void fire(const QUuid &id);
    void fireWarn(const QUuid &id);
    void appTerminated(const RunningApp &app);
    [[nodiscard]] const FocusSession *find(const QUuid &id) const;
};
