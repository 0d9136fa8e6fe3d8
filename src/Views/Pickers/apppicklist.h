#pragma once

#include "appinfo.h"

#include <QList>
#include <QString>

#include <functional>

// The one rule for every list the user picks apps from: the candidates in a stable sort by a name, then, when the
// search holds any character at all, the ranked search with the shown name as an extra name where it differs from
// the app's own name. Sorting is kept apart from filtering so that a list sorts once per change of its candidates and
// filters per keystroke. Pure functions, any thread.
namespace AppPickList {

using NameOf = std::function<QString(const AppInfo &)>;

// A copy of `apps` in ascending order of `sortKey` (the program's one name order), equal keys in input order.
[[nodiscard]] QList<AppInfo> sorted(const QList<AppInfo> &apps, const NameOf &sortKey);

// The apps a list shows for `search`: `sorted` itself while the search is empty (a search of blanks is not empty:
// the matcher trims it and gives every app back), else the ranked matches. `shownName` gives the text a row shows.
[[nodiscard]] QList<AppInfo> shown(const QList<AppInfo> &sorted, const QString &search, const NameOf &shownName);

} // namespace AppPickList
