#include "supervisiontiming.h"

#include "embeddedapp.h"
#include "embeddedprocessfamily.h"
#include "runningapps.h"

#include <algorithm>

namespace SupervisionTiming {

bool isStale(Instant moment, Instant now)
{
    return now - moment >= staleLimit;
}

std::optional<Instant> blockWarningTime(std::optional<Instant> nextStart, Instant now)
{
    if (!nextStart)
        return std::nullopt;
    const Instant warnAt = *nextStart - warningLead;
    if (warnAt <= now)
        return std::nullopt;
    return warnAt;
}

std::optional<Instant> nextBoundary(std::optional<Instant> ruleBoundary, const QList<Instant> &adHocEnds,
                                    const QList<Instant> &loanEnds, Instant now)
{
    std::optional<Instant> next = ruleBoundary;
    const auto consider = [&](const QList<Instant> &ends) {
        for (const Instant end : ends) {
            if (end > now && (!next || end < *next))
                next = end;
        }
    };
    consider(adHocEnds);
    consider(loanEnds);
    return next;
}

std::optional<Instant> loanEnd(std::optional<Instant> blockEnd, Instant now, Instant until)
{
    if (!blockEnd || *blockEnd <= now)
        return std::nullopt;
    return *blockEnd + (until - now);
}

std::optional<Instant> nextGraceWarningEnd(const QList<OverrideEnd> &overrides, const NamedEnds &named, Instant now)
{
    std::optional<Instant> next;
    for (const OverrideEnd &entry : overrides) {
        if (entry.until - warningLead <= now)
            continue;
        if (named.contains({entry.bundleID, entry.until}))
            continue;
        if (!next || entry.until < *next)
            next = entry.until;
    }
    return next;
}

QList<qsizetype> batchAround(const QList<OverrideEnd> &overrides, Instant end)
{
    QList<qsizetype> positions;
    for (qsizetype i = 0; i < overrides.size(); ++i) {
        const Duration distance = overrides[i].until > end ? overrides[i].until - end : end - overrides[i].until;
        if (distance < batchWindow)
            positions.append(i);
    }
    return positions;
}

QString blockWarningBody(const QStringList &names)
{
    return names.join(u"、"_qs) + u"即将进入禁启时段，请保存正在编辑的内容"_qs;
}

QString graceWarningBody(const QStringList &names)
{
    return names.join(u"、"_qs) + u"的忽略时限即将结束，限制恢复后将被退出，请保存正在编辑的内容"_qs;
}

QStringList runningBlockedNames(const QSet<QString> &blocked, const EmbeddedAppRegistry &registry,
                                const EmbeddedProcessFamily &family, const RunningApps &runningApps)
{
    QStringList ids(blocked.begin(), blocked.end());
    std::sort(ids.begin(), ids.end());
    QStringList names;
    for (const QString &id : std::as_const(ids)) {
        if (const auto embedded = registry.app(id)) {
            if (!family.pids(*embedded).isEmpty())
                names.append(embedded->displayName);
            continue;
        }
        const QList<RunningApp> running = runningApps.runningApps(id);
        if (!running.isEmpty() && !running.first().localizedName.isEmpty())
            names.append(running.first().localizedName);
    }
    return names;
}

} // namespace SupervisionTiming
