#pragma once

#include "appinfo.h"
#include "appmetasnapshot.h"
#include "instant.h"
#include "pinyinmatcher.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

// The rules behind the app list and the small app actions of the state object, over plain values: which apps the
// grid shows and in what order, where the keyboard selection moves, what the missing-app check does to a record, how
// an alias is cleaned and how the list of duration-controlled apps changes. Pure functions; any thread.
namespace AppListRules {

// Spaces (the Unicode space separators, the ideographic space among them) and tabs taken off both ends; line breaks
// stay. The search trims its query the same way.
[[nodiscard]] QString trimmedSpacesAndTabs(const QString &text);
// The alias to show for a stored one: trimmed; none when there is none or nothing is left.
[[nodiscard]] std::optional<QString> shownAlias(const std::optional<QString> &stored);

struct ListRequest
{
    bool showHiddenApps = false;
    // The members of the selected group in the group's order; none when no group is selected or it is gone.
    std::optional<QStringList> groupMembers;
    QString searchText;
    PinyinMatcher::ExtraNames extraNames; // an app's alias as its one extra name
};

// The list the grid shows, from the apps that can be targeted: the hidden apps alone (custom order), or the others,
// narrowed to the selected group (the group's order) or not (custom order); then the search; pinned apps first.
[[nodiscard]] QList<AppInfo> visibleApps(const QList<AppInfo> &targetable, const QHash<QString, AppMetaSnapshot> &meta,
                                         const ListRequest &request);

// The keyboard selection after a move by dx tiles and dy rows of `columns` (at least 1). None selected, or one not
// shown: the first app, without a move. A move past either end stops at the first or last app. None for an empty
// list.
[[nodiscard]] std::optional<QString> movedSelection(const QList<AppInfo> &shown, const std::optional<QString> &selected,
                                                    int dx, int dy, int columns);

// What the missing-app check does to one record.
enum class MissingAppStep {
    keep,         // nothing changes
    clearMissing, // the app is installed: no missing date
    markMissing,  // gone and not yet noted: missing since now
    deleteRecord, // gone for more than 30 days
};
inline constexpr auto missingRecordLifetime = std::chrono::hours{30 * 24};
[[nodiscard]] MissingAppStep missingAppStep(bool installed, const std::optional<Instant> &missingSince, Instant now);

// The list of duration-controlled apps after a toggle: every entry of a listed app removed, else the app appended.
[[nodiscard]] QStringList toggledFocusControl(QStringList list, const QString &bundleID);
// The stored form of a chosen set: ascending, so that the file and the tests are stable.
[[nodiscard]] QStringList focusControlList(const QSet<QString> &bundleIDs);

} // namespace AppListRules
