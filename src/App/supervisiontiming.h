#pragma once

#include "instant.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>
#include <set>
#include <utility>

class EmbeddedAppRegistry;
class EmbeddedProcessFamily;
class RunningApps;

// The rules by which the state object times its supervision work: when the block-start and override-end warnings
// are due and when they come too late, which overrides one warning names, the next block boundary, the loan an
// override leaves behind, and the texts of the warnings. Pure functions (the running names read the process seams
// they are given); main thread.
namespace SupervisionTiming {

inline constexpr Duration warningLead = std::chrono::seconds(15);
// A warning that fires this long or longer after the moment it warns of is dropped.
inline constexpr Duration staleLimit = std::chrono::seconds(120);
// Override ends closer than this to the warned end are named in the same warning.
inline constexpr Duration batchWindow = std::chrono::seconds(1);

[[nodiscard]] bool isStale(Instant moment, Instant now);

// 15 s before the next block start, when that is still ahead; otherwise no warning.
[[nodiscard]] std::optional<Instant> blockWarningTime(std::optional<Instant> nextStart, Instant now);

// The next moment at which the blocked set may change: the rules' next boundary, a live ad-hoc block's end or a
// live loan's end, whichever comes first. Ends at or before now are not boundaries.
[[nodiscard]] std::optional<Instant> nextBoundary(std::optional<Instant> ruleBoundary,
                                                  const QList<Instant> &adHocEnds, const QList<Instant> &loanEnds,
                                                  Instant now);

// The loan that an override granted now until `until` leaves behind: the block's end pushed back by the override's
// length. None when the block has no known end, or one that is not ahead.
[[nodiscard]] std::optional<Instant> loanEnd(std::optional<Instant> blockEnd, Instant now, Instant until);

// One live override as the warnings see it.
struct OverrideEnd
{
    QString bundleID;
    Instant until;
};
// The overrides a warning has already named, by app and end, so that a re-granted override counts as new.
using NamedEnds = std::set<std::pair<QString, Instant>>;

// The end whose warning is armed next: the earliest end among the overrides not yet named whose warning time
// (end − 15 s) is still ahead. Every override thus gets its own warning unless it was granted with 15 s or less to
// run, or a warning for a neighbouring end named it.
[[nodiscard]] std::optional<Instant> nextGraceWarningEnd(const QList<OverrideEnd> &overrides,
                                                         const NamedEnds &named, Instant now);
// The positions of the overrides that the warning for `end` names: those ending less than 1 s from it, either side.
[[nodiscard]] QList<qsizetype> batchAround(const QList<OverrideEnd> &overrides, Instant end);

// "<names joined by 、>即将进入禁启时段，请保存正在编辑的内容"
[[nodiscard]] QString blockWarningBody(const QStringList &names);
// "<names joined by 、>的忽略时限即将结束，限制恢复后将被退出，请保存正在编辑的内容"
[[nodiscard]] QString graceWarningBody(const QStringList &names);

// The names of the blocked apps that run now, by ascending identifier: an embedded app of the table by its display
// name while its process family has a process; any other app by the name of its first running instance, left out
// when that has no name.
[[nodiscard]] QStringList runningBlockedNames(const QSet<QString> &blocked, const EmbeddedAppRegistry &registry,
                                              const EmbeddedProcessFamily &family, const RunningApps &runningApps);

} // namespace SupervisionTiming
