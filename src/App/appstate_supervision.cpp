#include "appstate.h"

#include "adhocblock.h"
#include "appactivation.h"
#include "appprocesscontrol.h"
#include "appscanner.h"
#include "blockevaluation.h"
#include "clock.h"
#include "embeddedapp.h"
#include "embeddedappguard.h"
#include "focussessionmanager.h"
#include "notifier.h"
#include "preferences.h"
#include "runningapps.h"
#include "schedulecalendar.h"
#include "supervisionstatusengine.h"
#include "supervisiontiming.h"

#include <QUrl>

#include <algorithm>

// Supervision orchestration: the status refresh, the block and override timers and warnings, overrides, the
// outside-launch prompt, the expiry block, the activity and wake hooks and the notification guide.
//
// Every timer here is a wall timer held in a member handle: re-arming replaces it, and it dies with the state, so a
// callback that captures `this` never outlives it. Timers never fire early; they act however late they fire, except
// the two warnings, which are dropped 120 s or more after the moment they warn of.

namespace {

const QString guideStampKey = QStringLiteral("notificationGuideShownInstallStamp");

} // namespace

void AppState::refreshSupervisionStatus()
{
    const Instant now = m_seams.clock.now();
    // The rules as stored, without the plan blocks: the status counts plans by themselves.
    setSupervisionStatus(SupervisionStatusEngine::status(now, restrictionRuleSnapshots(), quitPlanSnapshots(),
                                                         ScheduleCalendar::system()));
    m_blockedBundleIDCache = blockedBundleIDs(now);
    scheduleBlockBoundaryRefresh();
}

void AppState::scheduleBlockBoundaryRefresh()
{
    m_blockBoundaryTimer.cancel();
    scheduleBlockWarn();

    const Instant now = m_seams.clock.now();
    const auto ruleBoundary = RestrictionEngine::nextBlockBoundary(
        now, BlockEvaluation::ruleList(restrictionRuleSnapshots(), quitPlanSnapshots(), now),
        ScheduleCalendar::system());
    QList<Instant> adHocEnds;
    for (const AdHocBlock *block : activeAdHocBlocks(now))
        adHocEnds.append(block->until());
    // Loans block, so a loan's end lets its app go.
    const QList<Instant> loanEnds = pausedLoanMap().values();
    const auto next = SupervisionTiming::nextBoundary(ruleBoundary, adHocEnds, loanEnds, now);
    if (!next)
        return;
    m_blockBoundaryTimer = m_seams.timers.startAt(*next, [this] {
        refreshSupervisionStatus();
        announceChange();
        scheduleBlockBoundaryRefresh();
    });
}

void AppState::scheduleBlockWarn()
{
    m_blockWarnTimer.cancel();
    const auto start = nextBlockWindowStart();
    const auto warnAt = SupervisionTiming::blockWarningTime(start, m_seams.clock.now());
    if (!warnAt)
        return;
    m_blockWarnTimer = m_seams.timers.startAt(*warnAt, [this, start = *start] {
        m_blockWarnTimer.cancel();
        fireBlockWarn(start);
    });
}

std::optional<Instant> AppState::nextBlockWindowStart()
{
    const Instant now = m_seams.clock.now();
    return RestrictionEngine::nextBlockStart(
        now, BlockEvaluation::ruleList(restrictionRuleSnapshots(), quitPlanSnapshots(), now), std::nullopt,
        ScheduleCalendar::system());
}

void AppState::fireBlockWarn(Instant start)
{
    if (SupervisionTiming::isStale(start, m_seams.clock.now()))
        return;
    // A different next start means the rules changed since the warning was armed (or the window has begun).
    if (nextBlockWindowStart() != start)
        return;
    // Evaluated at the start: what ends within these 15 s counts as over, and its app is named when it runs.
    const QStringList names = runningBlockedNames(blockedBundleIDs(start));
    if (names.isEmpty())
        return;
    m_seams.notifier.notify(Notifier::warningTitle(), SupervisionTiming::blockWarningBody(names));
}

QStringList AppState::runningBlockedNames(const QSet<QString> &blocked) const
{
    return SupervisionTiming::runningBlockedNames(blocked, m_seams.embeddedApps, m_seams.processFamily,
                                                  m_seams.runningApps);
}

void AppState::ignoreBlockedApp(const QString &bundleID, const QString &appName, Instant until)
{
    ignoreBlockedApp(bundleID, appName, until, m_seams.clock.now());
}

void AppState::ignoreBlockedApp(const QString &bundleID, const QString &appName, Instant until, Instant now)
{
    Q_UNUSED(appName);
    QHash<QString, Instant> overrides = blockOverrideMap();
    overrides.insert(bundleID, until);
    persistBlockOverrides(overrides);

    // The effective end leaves overrides out, so the one just stored does not hide the block it lifts.
    if (const auto loan = SupervisionTiming::loanEnd(effectiveBlockEnd(bundleID, now), now, until)) {
        QHash<QString, Instant> loans = pausedLoanMap();
        loans.insert(bundleID, *loan);
        persistPausedLoans(loans);
        if (loanTargets(now).contains(bundleID))
            m_ruleLoanApps.insert(bundleID);
        else
            m_ruleLoanApps.remove(bundleID);
    }

    sessionManager().pauseSessions(bundleID);
    rebuildGraceOverrides();
    scheduleGraceExpiry();
    timerPanel();
    refreshSortMeta();
}

void AppState::rebuildGraceOverrides()
{
    const Instant now = m_seams.clock.now();
    const QHash<QString, Instant> overrides = blockOverrideMap();
    QList<GraceOverride> live;
    for (auto it = overrides.cbegin(); it != overrides.cend(); ++it) {
        if (it.value() > now)
            live.append({it.key(), appName(it.key()).value_or(it.key()), it.value()});
    }
    // Equal ends in identifier order, so that the list does not depend on the map's order.
    std::sort(live.begin(), live.end(), [](const GraceOverride &a, const GraceOverride &b) {
        return a.until != b.until ? a.until < b.until : a.bundleID < b.bundleID;
    });
    setGraceOverrides(live);
}

void AppState::renameGraceOverrides()
{
    QList<GraceOverride> renamed = m_graceOverrides;
    for (GraceOverride &grace : renamed)
        grace.appName = appName(grace.bundleID).value_or(grace.bundleID);
    if (renamed != m_graceOverrides)
        setGraceOverrides(renamed);
}

void AppState::scheduleGraceExpiry()
{
    m_graceTimer.cancel();
    if (m_graceOverrides.isEmpty())
        return;
    m_graceTimer = m_seams.timers.startAt(m_graceOverrides.first().until, [this] { graceExpired(); });
    scheduleGraceWarn();
}

void AppState::scheduleGraceWarn()
{
    m_graceWarnTimer.cancel();
    QList<SupervisionTiming::OverrideEnd> ends;
    SupervisionTiming::NamedEnds stillListed;
    for (const GraceOverride &grace : std::as_const(m_graceOverrides)) {
        ends.append({grace.bundleID, grace.until});
        if (m_warnedOverrideEnds.contains({grace.bundleID, grace.until}))
            stillListed.insert({grace.bundleID, grace.until});
    }
    m_warnedOverrideEnds = std::move(stillListed);

    // Each end gets its warning, not only the earliest: an override ending a few seconds after another is warned
    // when its own time comes.
    const auto end = SupervisionTiming::nextGraceWarningEnd(ends, m_warnedOverrideEnds, m_seams.clock.now());
    if (!end)
        return;
    m_graceWarnTimer = m_seams.timers.startAt(*end - SupervisionTiming::warningLead, [this, end = *end] {
        m_graceWarnTimer.cancel();
        fireGraceWarn(end);
        scheduleGraceWarn();
    });
}

void AppState::fireGraceWarn(Instant scheduled)
{
    QList<SupervisionTiming::OverrideEnd> ends;
    for (const GraceOverride &grace : std::as_const(m_graceOverrides))
        ends.append({grace.bundleID, grace.until});
    const QList<qsizetype> batch = SupervisionTiming::batchAround(ends, scheduled);
    QStringList names;
    for (const qsizetype i : batch) {
        m_warnedOverrideEnds.insert({ends[i].bundleID, ends[i].until});
        names.append(m_graceOverrides[i].appName);
    }
    if (SupervisionTiming::isStale(scheduled, m_seams.clock.now()))
        return;
    if (names.join(QString()).isEmpty())
        return;
    m_seams.notifier.notify(Notifier::warningTitle(), SupervisionTiming::graceWarningBody(names));
}

void AppState::graceExpired()
{
    const Instant now = m_seams.clock.now();
    QList<GraceOverride> expired;
    for (const GraceOverride &grace : std::as_const(m_graceOverrides)) {
        if (grace.until <= now)
            expired.append(grace);
    }
    m_graceWarnTimer.cancel();

    if (!expired.isEmpty()) {
        // Also drops the expired entries from the override map.
        const QSet<QString> blocked = blockedBundleIDs(now);
        bool embeddedBlockedAgain = false;
        for (const GraceOverride &grace : std::as_const(expired)) {
            if (!blocked.contains(grace.bundleID))
                continue;
            if (m_seams.embeddedApps.contains(grace.bundleID)) {
                embeddedBlockedAgain = true; // the embedded guard's to kill
                continue;
            }
            m_seams.processControl.requestQuit(grace.bundleID);
            m_seams.processControl.hide(grace.bundleID);
        }
        // The guard's sweep stopped while the override lifted the block; nothing else restarts it before the app's
        // next launch or activation, which the host's events never name.
        if (embeddedBlockedAgain)
            embeddedGuard().updateSweepTimer();

        const QHash<QString, Instant> overrides = blockOverrideMap();
        for (const GraceOverride &grace : std::as_const(expired)) {
            const auto entry = overrides.constFind(grace.bundleID);
            // An app granted a new override meanwhile keeps its sessions paused.
            if (entry == overrides.cend() || *entry <= now)
                sessionManager().resumeSessions(grace.bundleID);
        }
    }

    rebuildGraceOverrides();
    scheduleGraceExpiry();
    refreshSortMeta();
}

void AppState::promptBlockedLaunch(const QString &bundleID)
{
    const QList<RunningApp> running = m_seams.runningApps.runningApps(bundleID);
    std::optional<AppInfo> app;
    for (const AppInfo &scanned : scanner().apps()) {
        if (scanned.bundleID == bundleID) {
            app = scanned;
            break;
        }
    }
    if (!app && !running.isEmpty()) {
        const QString name = running.first().localizedName;
        // A running instance has no bundle location here.
        app = AppInfo{bundleID, name.isEmpty() ? bundleID : name, QUrl::fromLocalFile(u"/"_qs), std::nullopt, {}};
    }
    // A closed window is gone: the guard has hidden the app, and there is nothing to show the prompt in.
    if (!app || !mainWindow || !mainWindow->isVisible())
        return;
    m_seams.activation.activate();
    setBlockedPrompt(BlockedPromptInfo{*app, blockedEndTime(bundleID, m_seams.clock.now())});
}

void AppState::expiryBlock(const QString &bundleID, int minutes)
{
    StoreContext &context = m_container->mainContext();
    context.insert(std::make_unique<AdHocBlock>(bundleID, m_seams.clock.now() + std::chrono::minutes(minutes)));
    std::ignore = context.save();
    m_seams.processControl.hide(bundleID);
    embeddedGuard().updateSweepTimer();
    refreshSupervisionStatus();
    refreshSortMeta();
}

void AppState::applicationDidBecomeActive()
{
    if (!m_graceOverrides.isEmpty())
        graceExpired();
    refreshSupervisionStatus();
}

void AppState::systemDidWake()
{
    graceExpired();
    refreshSupervisionStatus();
}

void AppState::showNotificationGuideOnceIfNewInstall()
{
    const QString stamp = currentInstallStamp();
    if (stamp.isEmpty())
        return;
    if (m_seams.preferences.stringValue(guideStampKey) == stamp)
        return;
    m_seams.preferences.setString(guideStampKey, stamp);
    setShowNotificationGuide(true);
}

QString AppState::currentInstallStamp() const
{
    return m_seams.installStamp ? m_seams.installStamp() : QString();
}
