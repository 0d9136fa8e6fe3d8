#include "focussessionmanager.h"

#include "appterminating.h"
#include "clock.h"
#include "focussessionstore.h"
#include "notifier.h"
#include "runningapps.h"
#include "sleepwake.h"
#include "workspaceevents.h"

#include <QPointer>

#include <algorithm>

namespace {

constexpr auto warningLead = 15s;

} // namespace

FocusSessionManager::FocusSessionManager(FocusSessionStore &store, AppTerminating &terminator, Clock &clock,
                                         TimerService &timers, Notifier &notifier, WorkspaceEvents &workspace,
                                         const RunningApps &running, SleepWake &sleepWake, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_terminator(terminator)
    , m_clock(clock)
    , m_timers(timers)
    , m_notifier(notifier)
    , m_running(running)
{
    for (const auto &s : m_store.activeSessions(m_clock.now())) {
        m_sessions.append(s);
        armTimers(s);
    }
    connect(&workspace, &WorkspaceEvents::didTerminate, this, &FocusSessionManager::appTerminated);
    connect(&sleepWake, &SleepWake::didWake, this, [this](Instant) { reconcileExpired(); });
}

const FocusSession *FocusSessionManager::find(const QUuid &id) const
{
    const auto it = std::find_if(m_sessions.cbegin(), m_sessions.cend(),
                                 [&](const FocusSession &s) { return s.id == id; });
    return it == m_sessions.cend() ? nullptr : &*it;
}

void FocusSessionManager::begin(const FocusSession &session)
{
    m_store.append(session);
    m_sessions.append(session);
    armTimers(session);
    Q_EMIT sessionsChanged();
}

void FocusSessionManager::armTimers(const FocusSession &session)
{
    const QUuid id = session.id;
    const Instant warnAt = session.deadline - warningLead;
    if (warnAt > m_clock.now()) {
        m_warnTimers[id] = m_timers.startAt(warnAt, [this, id] {
            const QUuid sessionID = id; // the handle goes first, and with it may go this closure
            m_warnTimers.erase(sessionID);
            fireWarn(sessionID);
        });
    }
    m_quitTimers[id] = m_timers.startAt(session.deadline, [this, id] {
        const QUuid sessionID = id;
        fire(sessionID);
    });
}

void FocusSessionManager::invalidateTimers(const QUuid &id)
{
    m_quitTimers.erase(id);
    m_warnTimers.erase(id);
}

void FocusSessionManager::fireWarn(const QUuid &id)
{
    const FocusSession *s = find(id);
    // A warning that comes at or after the deadline (the machine slept through both) would announce a quit that is
    // already under way.
    if (!s || isPaused(id) || m_clock.now() >= s->deadline)
        return;
    m_notifier.notify(Notifier::warningTitle(),
                      u"「"_qs + s->appName + u"」即将退出，正在编辑的内容请及时保存"_qs);
}

void FocusSessionManager::fire(const QUuid &id)
{
    // A timer may come late, after the session was ended, expired by a wake or paused for an override; then it
    // must neither quit the app again nor write a second block.
    const FocusSession *listed = find(id);
    if (!listed || isPaused(id) || listed->deadline > m_clock.now())
        return;
    const FocusSession s = *listed; // the quit may end the session (its app terminates) before the hook runs
    // What the quit and the hook set off may drop the manager; then nothing more is done.
    const QPointer<FocusSessionManager> alive(this);
    m_terminator.terminate(s.bundleID);
    if (!alive)
        return;
    if (s.blockMinutes && onExpiryBlock) {
        const auto hook = onExpiryBlock; // the owner may replace it while it runs
        hook(s.bundleID, *s.blockMinutes);
        if (!alive)
            return;
    }
    end(s.id);
    if (alive)
        m_warnTimers.erase(s.id);
}

void FocusSessionManager::end(const QUuid &sessionID)
{
    invalidateTimers(sessionID);
    const bool wasPaused = m_pausedRemaining.remove(sessionID);
    m_store.remove(sessionID);
    const bool wasListed = m_sessions.removeIf([&](const FocusSession &s) { return s.id == sessionID; }) > 0;
    // Told only once all has changed: a paused session that ends must not show as running for a moment.
    if (wasPaused)
        Q_EMIT pausedRemainingChanged();
    if (wasListed)
        Q_EMIT sessionsChanged();
}

void FocusSessionManager::pauseSessions(const QString &bundleID)
{
    const Instant now = m_clock.now();
    bool changed = false;
    for (const auto &s : std::as_const(m_sessions)) {
        if (s.bundleID != bundleID || m_pausedRemaining.contains(s.id) || s.deadline <= now)
            continue;
        m_pausedRemaining.insert(s.id, std::max(0.0, Instants::seconds(s.deadline - now)));
        invalidateTimers(s.id);
        changed = true;
    }
    if (changed)
        Q_EMIT pausedRemainingChanged();
}

void FocusSessionManager::resumeSessions(const QString &bundleID)
{
    const Instant now = m_clock.now();
    bool changed = false;
    for (qsizetype i = 0; i < m_sessions.size(); ++i) {
        FocusSession s = m_sessions.at(i);
        if (s.bundleID != bundleID)
            continue;
        const auto paused = m_pausedRemaining.constFind(s.id);
        if (paused == m_pausedRemaining.cend())
            continue;
        const double remaining = *paused;
        m_pausedRemaining.erase(paused);
        s.deadline = now + Instants::fromSeconds(remaining);
        m_sessions[i] = s;
        m_store.replace(s);
        armTimers(s);
        changed = true;
    }
    if (changed) {
        Q_EMIT pausedRemainingChanged();
        Q_EMIT sessionsChanged();
    }
}

void FocusSessionManager::reconcileExpired()
{
    const Instant now = m_clock.now();
    const auto listed = m_sessions;
    const QPointer<FocusSessionManager> alive(this);
    for (const auto &s : listed) {
        if (!alive)
            return;
        // Each expiry may change the list (the quit ends the app's other sessions), so look again every time.
        // A paused session keeps its old deadline only for the record: the override decides when it resumes.
        const FocusSession *current = find(s.id);
        if (current && current->deadline <= now && !isPaused(s.id))
            fire(s.id);
    }
}

void FocusSessionManager::appTerminated(const RunningApp &app)
{
    if (app.bundleID.isEmpty())
        return;
    // Opening an app that already runs often starts a second process that hands over to the first and exits; the
    // app has not quit while another instance of it runs.
    const auto instances = m_running.runningApps(app.bundleID);
    const auto isAnother = [&](const RunningApp &other) {
        return app.instanceID.isEmpty() ? other.pid != app.pid : other.instanceID != app.instanceID;
    };
    if (std::any_of(instances.cbegin(), instances.cend(), isAnother))
        return;
    QList<QUuid> ids;
    for (const auto &s : std::as_const(m_sessions)) {
        if (s.bundleID == app.bundleID)
            ids.append(s.id);
    }
    const QPointer<FocusSessionManager> alive(this);
    for (const auto &id : ids) {
        if (!alive)
            return;
        end(id);
    }
}
