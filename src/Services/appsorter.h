#pragma once

#include "appinfo.h"
#include "appmetasnapshot.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The orders in which the grid shows apps: the custom order, a group's own order, pinned apps first, and the merge of
// a reordered subset back into a full order. Pure functions, safe on any thread (each thread gets its own collator).
// Every sort is stable: apps the rules leave unordered keep their input order.
namespace AppSorter {

// Explicit sort index first (an app with one before an app without), then the earlier install date (installedAt,
// else the snapshot's first-seen date, else the earliest date), then name order.
[[nodiscard]] QList<AppInfo> customSort(const QList<AppInfo> &apps, const QHash<QString, AppMetaSnapshot> &meta);

// By the index of each bundle identifier's first occurrence in `bundleIDs`; apps missing from the list follow in
// name order.
[[nodiscard]] QList<AppInfo> sort(const QList<AppInfo> &apps, const QStringList &byArrayOrder);

// The pinned apps in input order, then the others in input order. An app without a snapshot is not pinned.
[[nodiscard]] QList<AppInfo> pinnedFirst(const QList<AppInfo> &apps, const QHash<QString, AppMetaSnapshot> &meta);

// The places that the visible identifiers held in `all` are refilled with `visibleReordered` in its order; the
// other identifiers keep their places and visible ones not yet in `all` go to the end.
[[nodiscard]] QStringList mergedOrder(const QStringList &all, const QStringList &visibleReordered);

// Name order: case-insensitive, accent-sensitive, digits by value, under the zh_CN collation (Han before Latin,
// Han by pinyin). True only when a strictly precedes b.
[[nodiscard]] bool namePrecedes(const QString &a, const QString &b);

// The name order as bytes: a precedes b exactly when nameSortKey(a) is bytewise (unsigned) less than nameSortKey(b),
// a proper prefix counting as less. The sorts above compare these keys, made once per name and thread. Empty when
// the collation is unavailable.
[[nodiscard]] QByteArray nameSortKey(const QString &name);

} // namespace AppSorter
