#include "appstate.h"

#include "adhocblock.h"

// Block evaluation: what is blocked at an instant, why, and until when.

QList<RestrictionRuleSnapshot> AppState::restrictionRuleSnapshots() const
{
    return {};
}

QList<QuitPlanSnapshot> AppState::quitPlanSnapshots() const
{
    return {};
}

QHash<QString, QStringList> AppState::groupMemberMap() const
{
    return {};
}

QSet<QString> AppState::blockedBundleIDs(Instant)
{
    return {};
}

std::optional<Instant> AppState::rawBlockEnd(const QString &, Instant) const
{
    return std::nullopt;
}

std::optional<Instant> AppState::effectiveBlockEnd(const QString &, Instant) const
{
    return std::nullopt;
}

std::optional<Instant> AppState::blockedEndTime(const QString &, Instant) const
{
    return std::nullopt;
}

QList<AdHocBlock *> AppState::activeAdHocBlocks(Instant) const
{
    return {};
}

QList<AppState::BlockSourceSummary> AppState::activeBlockSummaries(const QString &, Instant) const
{
    return {};
}

Instant AppState::ignoreSessionEnd(const QString &, Instant at) const
{
    return at + std::chrono::hours(24);
}

QHash<QString, Instant> AppState::blockOverrideMap() const
{
    return {};
}

QHash<QString, Instant> AppState::pausedLoanMap() const
{
    return {};
}

void AppState::persistBlockOverrides(const QHash<QString, Instant> &)
{
}

void AppState::purgeExpiredOnceRules()
{
}
