#include "apppicklist.h"

#include "appsorter.h"
#include "pinyinmatcher.h"

#include <algorithm>
#include <numeric>
#include <vector>

QList<AppInfo> AppPickList::sorted(const QList<AppInfo> &apps, const NameOf &sortKey)
{
    // The keys once each, then a stable sort of the positions: a key function may cost (an alias looked up).
    QList<QString> keys;
    keys.reserve(apps.size());
    for (const AppInfo &app : apps)
        keys.append(sortKey(app));
    std::vector<qsizetype> order(size_t(apps.size()));
    std::iota(order.begin(), order.end(), qsizetype(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return AppSorter::namePrecedes(keys[a], keys[b]); });
    QList<AppInfo> result;
    result.reserve(apps.size());
    for (qsizetype i : order)
        result.append(apps[i]);
    return result;
}

QList<AppInfo> AppPickList::shown(const QList<AppInfo> &sorted, const QString &search, const NameOf &shownName)
{
    if (search.isEmpty())
        return sorted;
    return PinyinMatcher::rankedFilter(sorted, search, [&](const AppInfo &app) {
        const QString name = shownName(app);
        return name != app.name ? QStringList{name} : QStringList{};
    });
}
