#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The rules of the group tab strip that need no store: where a dragged tab lands, which side of a tab a point is on,
// and the sort index of a new group. Pure functions.
namespace GroupTabReorder {

// Where `moving` goes in `ordered` once every copy of it is taken out: at the first copy of `relativeTo`, or right
// after it. None when the two are equal or either is missing.
[[nodiscard]] std::optional<qsizetype> insertionIndex(const QStringList &ordered, const QString &moving,
                                                      const QString &relativeTo, bool after);

// Whether a point `x` inside a tab `width` wide means after the tab. The exact middle and a tab not measured yet
// (width 0) mean before.
[[nodiscard]] bool isAfter(double x, double width);

// The sort index of a new group: one above the highest index in use, 0 for the first group. An index already at the
// largest int is given again rather than overflowing.
[[nodiscard]] int newSortIndex(const QList<int> &sortIndexes);

} // namespace GroupTabReorder
