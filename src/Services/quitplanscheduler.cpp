#include "quitplanscheduler.h"

#include "appidentity.h"
#include "appprocesscontrol.h"
#include "clock.h"
#include "embeddedapp.h"
#include "embeddedprocessfamily.h"
#include "notifier.h"
#include "runningapps.h"
#include "sleepwake.h"

#include <QPointer>
#include <QSet>

QuitPlanScheduler::QuitPlanScheduler(const Seams &seams, PlansProvider plansProvider,
                                     GroupMembersProvider groupMembers, CalendarProvider calendar, QObject *parent)
    : QObject(parent)
    , m_seams(seams)
    , m_plansProvider(std::move(plansProvider))
    , m_groupMembers(std::move(groupMembers))
    , m_calendar(std::move(calendar))
{
    connect(&m_seams.sleepWake, &SleepWake::willSleep, this, [this](Instant at) { m_sleepStart = at; });
    connect(&m_seams.sleepWake, &SleepWake::didWake, this, [this](Instant) {
        const QPointer<QuitPlanScheduler> alive(this);
        if (const auto since = std::exchange(m_sleepStart, std::nullopt))
            reconcileMissed(*since);
        if (alive)
            reschedule();
    });
    reschedule();
}

QStringList QuitPlanScheduler::targets(const QList<QuitPlanSnapshot> &duePlans,
                                       const QHash<QString, QStringList> &groupMembers)
{
    QStringList out;
    QSet<QString> seen;
    auto add = [&](const QStringList &ids) {
        for (const auto &id : ids) {
            if (!seen.contains(id)) {
                seen.insert(id);
                out.append(id);
            }
        }
    };
    for (const auto &plan : duePlans) {
        if (plan.targetKind == QuitPlanTarget::apps)
            add(plan.bundleIDs);
        else
            add(groupMembers.value(plan.groupID));
    }
    return out;
}

QString QuitPlanScheduler::warningBody(const QStringList &names)
{
    return names.join(u"、"_qs) + u"即将按时退出，请保存正在编辑的内容"_qs;
}

bool QuitPlanScheduler::isStale(Instant now, Instant scheduled)
{
    return now - scheduled >= staleAfter;
}

void QuitPlanScheduler::reschedule()
{
    m_timer = {};
    m_warnTimer = {};
    const Instant now = m_seams.clock.now();
    const auto next = QuitPlanEngine::nextFireDate(now, m_plansProvider(), m_calendar());
    if (!next)
        return;
    const Instant scheduled = *next;
    // Both timers carry the quit instant, not their own, so that lateness is judged against the quit.
    const Instant warnAt = scheduled - warningLead;
    if (warnAt > now) {
        m_warnTimer = m_seams.timers.startAt(warnAt, [this, scheduled] {
            const Instant s = scheduled; // dropping the handle may drop this closure
            m_warnTimer = {};
            fireWarn(s);
        });
    }
    m_timer = m_seams.timers.startAt(scheduled, [this, scheduled] {
        const Instant s = scheduled;
        fire(s, false);
    });
}

std::optional<QString> QuitPlanScheduler::runningName(const QString &bundleID) const
{
    if (const auto embedded = m_seams.embeddedApps.app(bundleID)) {
        if (m_seams.processFamily.pids(*embedded).isEmpty())
            return std::nullopt;
        return embedded->displayName;
    }
    const auto instances = m_seams.runningApps.runningApps(bundleID);
    if (instances.isEmpty())
        return std::nullopt;
    const QString &name = instances.first().localizedName;
    return name.isEmpty() ? bundleID : name;
}

void QuitPlanScheduler::fireWarn(Instant scheduled)
{
    // A warning that comes at or after its quit (both timers overdue after a short sleep) would announce what is
    // already happening; this also covers the 120-second rule.
    if (m_seams.clock.now() >= scheduled)
        return;
    const auto due = QuitPlanEngine::duePlans(scheduled, m_plansProvider(), m_calendar());
    if (due.isEmpty())
        return;
    QStringList names;
    for (const auto &bundleID : targets(due, m_groupMembers())) {
        if (bundleID == AppIdentity::bundleIDView)
            continue;
        if (auto name = runningName(bundleID))
            names.append(*name);
    }
    if (names.isEmpty())
        return;
    m_seams.notifier.notify(Notifier::warningTitle(), warningBody(names));
}

void QuitPlanScheduler::fire(Instant scheduled, bool allowStale)
{
    if (allowStale || !isStale(m_seams.clock.now(), scheduled)) {
        const auto due = QuitPlanEngine::duePlans(scheduled, m_plansProvider(), m_calendar());
        if (!due.isEmpty()) {
            const auto members = m_groupMembers();
            QList<QuitPlanSnapshot> blocking;
            for (const auto &plan : due) {
                if (plan.blockMode != QuitPlanBlockMode::none)
                    blocking.append(plan);
            }
            terminateRunning(targets(due, members), targets(blocking, members));
            m_lastPass = scheduled;
            if (onFired) {
                const QPointer<QuitPlanScheduler> alive(this);
                const auto notify = onFired; // the owner may replace the callback, or drop us, while it runs
                notify();
                if (!alive)
                    return;
            }
        }
    }
    reschedule();
}

void QuitPlanScheduler::terminateRunning(const QStringList &bundleIDs, const QStringList &linkedBundleIDs)
{
    for (const auto &bundleID : bundleIDs) {
        if (bundleID == AppIdentity::bundleIDView)
            continue;
        if (const auto embedded = m_seams.embeddedApps.app(bundleID)) {
            m_seams.processFamily.killAll(*embedded);
            continue;
        }
        if (m_seams.runningApps.runningApps(bundleID).isEmpty())
            continue;
        m_seams.processControl.requestQuit(bundleID);
        if (linkedBundleIDs.contains(bundleID))
            m_seams.processControl.hide(bundleID);
    }
}

void QuitPlanScheduler::reconcileMissed(Instant since)
{
    const QPointer<QuitPlanScheduler> alive(this);
    Instant cursor = since;
    for (int i = 0; i < maxReplayedQuits; ++i) {
        const auto next = QuitPlanEngine::nextFireDate(cursor, m_plansProvider(), m_calendar());
        if (!next || m_seams.clock.now() < *next)
            return;
        // A quit whose pass already ran is not carried out twice: its timer may come before the wake after a short
        // sleep, and a sleep reported after the fact may be dated from a moment before that pass.
        if (!m_lastPass || *next > *m_lastPass) {
            fire(*next, true);
            if (!alive)
                return;
        }
        cursor = *next + std::chrono::seconds(1);
    }
}
