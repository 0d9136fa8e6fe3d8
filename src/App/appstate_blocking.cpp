#include "appstate.h"

#include "adhocblock.h"
#include "appgroup.h"
#include "blockevaluation.h"
#include "clock.h"
#include "preferences.h"
#include "quitplan.h"
#include "restrictionrule.h"
#include "schedulecalendar.h"
#include "scheduletext.h"
#include "storecontext.h"

#include <algorithm>

// Block evaluation: what is blocked at an instant, why, and until when. The deciding part is BlockEvaluation's; the
// members here read the rows and the two maps on every call (nothing is cached) and do the clean-up. Evaluation
// uses the Gregorian calendar of the system zone, made anew for each call, since the zone may change meanwhile.

namespace {

const QString overrideMapKey = QStringLiteral("blockOverrideUntilMap");
const QString loanMapKey = QStringLiteral("pausedLoanUntilMap");

QList<BlockEvaluation::AdHocEntry> entries(const QList<AdHocBlock *> &rows)
{
    QList<BlockEvaluation::AdHocEntry> list;
    list.reserve(rows.size());
    for (const AdHocBlock *row : rows)
        list.append({row->bundleID(), row->until()});
    return list;
}

// Absent, or not a dictionary: empty. A value that is not a number is left out, and so gone at the next write.
BlockEvaluation::UntilMap readUntilMap(const Preferences &preferences, const QString &key)
{
    return BlockEvaluation::untilMapFromSeconds(preferences.numberMap(key).value_or(QHash<QString, double>{}));
}

} // namespace

QList<RestrictionRuleSnapshot> AppState::restrictionRuleSnapshots() const
{
    QList<RestrictionRuleSnapshot> snapshots;
    for (const RestrictionRule *rule : m_container->mainContext().fetch<RestrictionRule>())
        snapshots.append(BlockEvaluation::snapshot(*rule));
    return snapshots;
}

QList<QuitPlanSnapshot> AppState::quitPlanSnapshots() const
{
    QList<QuitPlanSnapshot> snapshots;
    for (const QuitPlan *plan : m_container->mainContext().fetch<QuitPlan>())
        snapshots.append(BlockEvaluation::snapshot(*plan));
    return snapshots;
}

QHash<QString, QStringList> AppState::groupMemberMap() const
{
    return BlockEvaluation::groupMemberMap(groups());
}

BlockEvaluation::Inputs AppState::blockInputs(Instant at, const QList<AdHocBlock *> &adHocRows) const
{
    BlockEvaluation::Inputs in;
    in.rules = BlockEvaluation::ruleList(restrictionRuleSnapshots(), quitPlanSnapshots(), at);
    in.groupMembers = groupMemberMap();
    in.adHocBlocks = entries(adHocRows);
    in.overrides = blockOverrideMap();
    in.loans = pausedLoanMap();
    return in;
}

BlockEvaluation::Inputs AppState::blockInputs(Instant at) const
{
    return blockInputs(at, m_container->mainContext().fetch<AdHocBlock>());
}

QSet<QString> AppState::blockedBundleIDs(Instant at)
{
    StoreContext &context = m_container->mainContext();
    const QList<AdHocBlock *> adHocRows = context.fetch<AdHocBlock>();
    BlockEvaluation::Inputs in = blockInputs(at, adHocRows);
    // The clean-up goes by the clock, not by `at`: an evaluation ahead of time (the block-start warning looks 15 s
    // ahead) must not delete a block or drop an override that still runs now. A loan whose rule is gone blocks at
    // no instant, so it goes first.
    const Instant now = m_seams.clock.now();
    bool loansChanged = dropLoansWithoutCause(in, now);
    const QSet<QString> blocked = BlockEvaluation::blockedBundleIDs(in, at, ScheduleCalendar::system());

    bool deleted = false;
    for (AdHocBlock *row : adHocRows) {
        if (!BlockEvaluation::isLive(row->until(), now)) {
            context.remove(row);
            deleted = true;
        }
    }
    if (deleted)
        std::ignore = context.save(); // a failed save keeps the deletions pending for the next one
    if (BlockEvaluation::dropExpired(in.overrides, now))
        persistBlockOverrides(in.overrides);
    loansChanged = BlockEvaluation::dropExpired(in.loans, now) || loansChanged;
    if (loansChanged)
        persistPausedLoans(in.loans);
    return blocked;
}

QSet<QString> AppState::loanTargets(Instant now) const
{
    return BlockEvaluation::targetedBundleIDs(restrictionRuleSnapshots(), quitPlanSnapshots(), groupMemberMap(), now);
}

bool AppState::dropLoansWithoutCause(BlockEvaluation::Inputs &in, Instant now)
{
    if (m_ruleLoanApps.isEmpty())
        return false;
    const QSet<QString> targeted = loanTargets(now);
    QSet<QString> adHocApps;
    for (const BlockEvaluation::AdHocEntry &block : in.adHocBlocks) {
        if (BlockEvaluation::isLive(block.until, now))
            adHocApps.insert(block.bundleID);
    }
    bool dropped = false;
    for (auto it = m_ruleLoanApps.begin(); it != m_ruleLoanApps.end();) {
        if (in.loans.contains(*it) && targeted.contains(*it)) {
            ++it;
            continue;
        }
        // Under a live ad-hoc block the loan still owes its span after that block; it stands on the block alone
        // from now on.
        if (!adHocApps.contains(*it))
            dropped = in.loans.remove(*it) > 0 || dropped;
        it = m_ruleLoanApps.erase(it);
    }
    return dropped;
}

std::optional<Instant> AppState::rawBlockEnd(const QString &bundleID, Instant at) const
{
    return BlockEvaluation::rawBlockEnd(blockInputs(at), bundleID, at, ScheduleCalendar::system());
}

std::optional<Instant> AppState::effectiveBlockEnd(const QString &bundleID, Instant at) const
{
    return BlockEvaluation::effectiveBlockEnd(blockInputs(at), bundleID, at, ScheduleCalendar::system());
}

std::optional<Instant> AppState::blockedEndTime(const QString &bundleID, Instant at) const
{
    return BlockEvaluation::blockedEndTime(blockInputs(at), bundleID, at, ScheduleCalendar::system());
}

QList<AdHocBlock *> AppState::activeAdHocBlocks(Instant at) const
{
    QList<AdHocBlock *> live = m_container->mainContext().fetch<AdHocBlock>(
        [at](const AdHocBlock &row) { return BlockEvaluation::isLive(row.until(), at); });
    std::stable_sort(live.begin(), live.end(),
                     [](const AdHocBlock *a, const AdHocBlock *b) { return a->until() < b->until(); });
    return live;
}

QList<AppState::BlockSourceSummary> AppState::activeBlockSummaries(const QString &bundleID, Instant at) const
{
    // The texts follow the user's calendar, which on this desktop is the system zone's.
    const ScheduleCalendar calendar = ScheduleCalendar::system();
    const BlockEvaluation::SummaryTexts texts{
        [&calendar](const std::optional<Instant> &onceDate, const std::set<int> &weekdays) {
            return ScheduleText::repeatSummary(onceDate, QList<int>(weekdays.begin(), weekdays.end()), calendar);
        },
        [&calendar](Instant t) { return ScheduleText::time(t, calendar); },
    };
    QList<BlockSourceSummary> summaries;
    for (const auto &s : BlockEvaluation::activeBlockSummaries(blockInputs(at), bundleID, at, calendar, texts))
        summaries.append({s.text, s.end, s.viewable});
    return summaries;
}

Instant AppState::ignoreSessionEnd(const QString &bundleID, Instant at) const
{
    return BlockEvaluation::ignoreSessionEnd(blockInputs(at), bundleID, at, ScheduleCalendar::system());
}

QHash<QString, Instant> AppState::blockOverrideMap() const
{
    return readUntilMap(m_seams.preferences, overrideMapKey);
}

QHash<QString, Instant> AppState::pausedLoanMap() const
{
    return readUntilMap(m_seams.preferences, loanMapKey);
}

void AppState::persistBlockOverrides(const QHash<QString, Instant> &overrides)
{
    m_seams.preferences.setNumberMap(overrideMapKey, BlockEvaluation::secondsFromUntilMap(overrides));
}

void AppState::persistPausedLoans(const QHash<QString, Instant> &loans)
{
    m_seams.preferences.setNumberMap(loanMapKey, BlockEvaluation::secondsFromUntilMap(loans));
}

void AppState::supervisionRecordsChanged(RecordType type)
{
    if (type == RecordType::appMeta || m_ruleLoanApps.isEmpty())
        return;
    const Instant now = m_seams.clock.now();
    BlockEvaluation::Inputs in = blockInputs(now);
    if (!dropLoansWithoutCause(in, now))
        return;
    persistPausedLoans(in.loans);
    m_blockedBundleIDCache = blockedBundleIDs(now);
    announceChange();
}

void AppState::purgeExpiredOnceRules()
{
    StoreContext &context = m_container->mainContext();
    const Instant now = m_seams.clock.now();
    const ScheduleCalendar calendar = ScheduleCalendar::system();
    bool deleted = false;
    for (RestrictionRule *rule : context.fetch<RestrictionRule>()) {
        if (rule->onceDate() && RestrictionEngine::isOnceExpired(now, BlockEvaluation::snapshot(*rule), calendar)) {
            context.remove(rule);
            deleted = true;
        }
    }
    if (deleted)
        std::ignore = context.save();
}

void AppState::publishStoreChange()
{
    m_blockedBundleIDCache = blockedBundleIDs(m_seams.clock.now());
    announceChange();
}
