#include "grouptabreorder.h"

#include <algorithm>
#include <limits>

namespace GroupTabReorder {

std::optional<qsizetype> insertionIndex(const QStringList &ordered, const QString &moving, const QString &relativeTo,
                                        bool after)
{
    if (moving == relativeTo || !ordered.contains(moving) || !ordered.contains(relativeTo))
        return std::nullopt;
    QStringList rest = ordered;
    rest.removeAll(moving);
    const qsizetype i = rest.indexOf(relativeTo);
    return after ? i + 1 : i;
}

bool isAfter(double x, double width)
{
    return width > 0 && x > width / 2;
}

int newSortIndex(const QList<int> &sortIndexes)
{
    if (sortIndexes.isEmpty())
        return 0;
    const qint64 next = qint64(*std::max_element(sortIndexes.begin(), sortIndexes.end())) + 1;
    return int(std::min<qint64>(next, std::numeric_limits<int>::max()));
}

} // namespace GroupTabReorder
