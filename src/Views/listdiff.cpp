#include "listdiff.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <limits>

namespace ListDiff {

namespace {

// Marks the members of one longest strictly increasing subsequence of `values`.
QList<bool> longestIncreasing(const QList<int> &values)
{
    const qsizetype n = values.size();
    QList<int> tails; // index into values of the smallest tail of each length
    QList<int> previous(n, -1);
    for (qsizetype i = 0; i < n; ++i) {
        auto it = std::lower_bound(tails.begin(), tails.end(), values.at(i),
                                   [&values](int index, int value) { return values.at(index) < value; });
        const qsizetype length = it - tails.begin();
        if (length > 0)
            previous[i] = tails.at(length - 1);
        if (it == tails.end())
            tails.append(int(i));
        else
            *it = int(i);
    }
    QList<bool> member(n, false);
    for (int i = tails.isEmpty() ? -1 : tails.last(); i >= 0; i = previous.at(i))
        member[i] = true;
    return member;
}

} // namespace

QList<Step> steps(const QStringList &from, const QStringList &to)
{
    return *steps(from, to, std::numeric_limits<qsizetype>::max());
}

std::optional<QList<Step>> steps(const QStringList &from, const QStringList &to, qsizetype limit)
{
    QList<Step> result;
    QHash<QString, int> target;
    target.reserve(to.size());
    for (int i = 0; i < to.size(); ++i)
        target.insert(to.at(i), i);

    // Removed from the back, each row is where it was in `from` when its turn comes.
    QStringList working;
    working.reserve(from.size());
    for (const QString &id : from) {
        if (target.contains(id))
            working.append(id);
    }
    for (qsizetype i = from.size() - 1; i >= 0; --i) {
        if (!target.contains(from.at(i)))
            result.append({Step::Kind::Remove, int(i), -1, from.at(i)});
    }

    QList<int> order;
    order.reserve(working.size());
    for (const QString &id : std::as_const(working))
        order.append(target.value(id));
    const QList<bool> stable = longestIncreasing(order);
    QSet<QString> stays;
    for (qsizetype i = 0; i < working.size(); ++i) {
        if (stable.at(i))
            stays.insert(working.at(i));
    }
    // Every identifier of `to` that does not stay is one insert or one move.
    if (result.size() + (to.size() - stays.size()) > limit)
        return std::nullopt;

    // Each identifier in turn goes right after its predecessor in the new list; the stable ones already are.
    for (int i = 0; i < to.size(); ++i) {
        const QString &id = to.at(i);
        if (stays.contains(id))
            continue;
        const int after = i == 0 ? -1 : int(working.indexOf(to.at(i - 1)));
        const int current = int(working.indexOf(id));
        if (current < 0) {
            working.insert(after + 1, id);
            result.append({Step::Kind::Insert, -1, after + 1, id});
            continue;
        }
        const int destination = current > after ? after + 1 : after;
        if (destination != current) {
            working.move(current, destination);
            result.append({Step::Kind::Move, current, destination, id});
        }
    }
    return result;
}

} // namespace ListDiff
