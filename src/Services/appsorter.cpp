#include "appsorter.h"

#include <QByteArray>
#include <QSet>

#include <unicode/coll.h>
#include <unicode/locid.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace {

// The process may run under LANG=C, where a default collator knows nothing of numbers or pinyin, so the locale is
// named. Secondary strength ignores case (and width) but keeps accents.
std::unique_ptr<icu::Collator> makeCollator()
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(icu::Locale("zh_CN"), status));
    if (U_FAILURE(status) || !collator)
        return nullptr;
    collator->setStrength(icu::Collator::SECONDARY);
    collator->setAttribute(UCOL_NUMERIC_COLLATION, UCOL_ON, status);
    // Canonically equivalent spellings (a decomposed é) must compare equal.
    collator->setAttribute(UCOL_NORMALIZATION_MODE, UCOL_ON, status);
    if (U_FAILURE(status))
        return nullptr;
    return collator;
}

// ICU collators are not safe to share between threads while comparing.
icu::Collator *collator()
{
    thread_local const std::unique_ptr<icu::Collator> instance = makeCollator();
    return instance.get();
}

// The collator's sort key of a name, without its terminating zero. Keys are made once per distinct name and thread
// and kept, so that a sort of thousands of apps compares bytes instead of running the collation on every comparison.
// Empty when there is no collator.
QByteArray sortKeyOf(const QString &name)
{
    icu::Collator *c = collator();
    if (!c)
        return {};
    // The names of installed apps are a bounded set; the bound only guards against a process that sees unbounded
    // churn of names.
    thread_local QHash<QString, QByteArray> keys;
    if (const auto it = keys.constFind(name); it != keys.constEnd())
        return *it;
    if (keys.size() >= 100'000)
        keys.clear();
    const auto *text = reinterpret_cast<const char16_t *>(name.utf16());
    const auto length = int32_t(name.size());
    QByteArray key(128, Qt::Uninitialized);
    int32_t needed = c->getSortKey(text, length, reinterpret_cast<uint8_t *>(key.data()), int32_t(key.size()));
    if (needed > key.size()) {
        key.resize(needed);
        needed = c->getSortKey(text, length, reinterpret_cast<uint8_t *>(key.data()), int32_t(key.size()));
    }
    key.truncate(std::max(needed - 1, 0)); // the length counts the terminating zero
    keys.insert(name, key);
    return key;
}

// A name together with its sort key, for sorts that compare it many times.
struct NameKey
{
    QByteArray key;
    const QString *name;
};

NameKey nameKey(const QString &name)
{
    return {sortKeyOf(name), &name};
}

// Bytewise, unsigned, a shorter key before its own extensions: the order in which sort keys compare like the names.
bool keyPrecedes(const NameKey &a, const NameKey &b)
{
    if (!collator())
        return AppSorter::namePrecedes(*a.name, *b.name);
    const qsizetype common = std::min(a.key.size(), b.key.size());
    const int byBytes = common == 0 ? 0 : std::memcmp(a.key.constData(), b.key.constData(), size_t(common));
    return byBytes != 0 ? byBytes < 0 : a.key.size() < b.key.size();
}

Instant installDate(const AppInfo &app, const QHash<QString, AppMetaSnapshot> &meta)
{
    if (app.installedAt)
        return *app.installedAt;
    const auto it = meta.constFind(app.bundleID);
    if (it != meta.constEnd())
        return it->firstSeenAt;
    return Instants::distantPast();
}

std::optional<int> sortIndex(const AppInfo &app, const QHash<QString, AppMetaSnapshot> &meta)
{
    const auto it = meta.constFind(app.bundleID);
    return it == meta.constEnd() ? std::nullopt : it->sortIndex;
}

} // namespace

namespace AppSorter {

bool namePrecedes(const QString &a, const QString &b)
{
    icu::Collator *c = collator();
    if (!c)
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result = c->compare(reinterpret_cast<const char16_t *>(a.utf16()), int32_t(a.size()),
                                               reinterpret_cast<const char16_t *>(b.utf16()), int32_t(b.size()),
                                               status);
    return U_SUCCESS(status) && result == UCOL_LESS;
}

QByteArray nameSortKey(const QString &name)
{
    return sortKeyOf(name);
}

QList<AppInfo> customSort(const QList<AppInfo> &apps, const QHash<QString, AppMetaSnapshot> &meta)
{
    // The grid asks for the same order at every keystroke while neither the apps nor their records changed: the last
    // order is kept per thread and handed out again when both inputs are equal. Equal apps must also share their
    // prepared search forms, since the apps themselves are what comes back.
    struct Memo
    {
        QList<AppInfo> apps;
        QHash<QString, AppMetaSnapshot> meta;
        QList<AppInfo> sorted;
    };
    thread_local Memo memo;
    const auto sameApp = [](const AppInfo &a, const AppInfo &b) { return a.searchForms == b.searchForms && a == b; };
    if (!apps.isEmpty() && memo.apps.size() == apps.size() && memo.meta == meta
        && std::equal(apps.cbegin(), apps.cend(), memo.apps.cbegin(), sameApp))
        return memo.sorted;

    struct Keyed
    {
        std::optional<int> index;
        Instant date;
        NameKey name;
        const AppInfo *app;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(apps.size());
    for (const AppInfo &app : apps)
        keyed.push_back({sortIndex(app, meta), installDate(app, meta), nameKey(app.name), &app});

    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        if (a.index && b.index && *a.index != *b.index)
            return *a.index < *b.index;
        if (a.index.has_value() != b.index.has_value())
            return a.index.has_value();
        if (a.date != b.date)
            return a.date < b.date;
        return keyPrecedes(a.name, b.name);
    });

    QList<AppInfo> sorted;
    sorted.reserve(apps.size());
    for (const Keyed &k : keyed)
        sorted.append(*k.app);
    memo = Memo{apps, meta, sorted};
    return sorted;
}

QList<AppInfo> sort(const QList<AppInfo> &apps, const QStringList &byArrayOrder)
{
    QHash<QString, qsizetype> firstIndex;
    firstIndex.reserve(byArrayOrder.size());
    for (qsizetype i = 0; i < byArrayOrder.size(); ++i)
        if (!firstIndex.contains(byArrayOrder[i]))
            firstIndex.insert(byArrayOrder[i], i);

    struct Ranked
    {
        qsizetype rank;
        NameKey name;
        const AppInfo *app;
    };
    std::vector<Ranked> ranked;
    ranked.reserve(apps.size());
    for (const AppInfo &app : apps)
        ranked.push_back(
            {firstIndex.value(app.bundleID, std::numeric_limits<qsizetype>::max()), nameKey(app.name), &app});

    std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked &a, const Ranked &b) {
        if (a.rank != b.rank)
            return a.rank < b.rank;
        return keyPrecedes(a.name, b.name);
    });

    QList<AppInfo> sorted;
    sorted.reserve(apps.size());
    for (const Ranked &r : ranked)
        sorted.append(*r.app);
    return sorted;
}

QList<AppInfo> pinnedFirst(const QList<AppInfo> &apps, const QHash<QString, AppMetaSnapshot> &meta)
{
    std::vector<bool> isPinned;
    isPinned.reserve(size_t(apps.size()));
    for (const AppInfo &app : apps) {
        const auto it = meta.constFind(app.bundleID);
        isPinned.push_back(it != meta.constEnd() && it->isPinned);
    }
    // Nothing to move: the list itself, shared rather than copied app by app.
    if (std::find(isPinned.cbegin(), isPinned.cend(), true) == isPinned.cend())
        return apps;
    QList<AppInfo> result;
    result.reserve(apps.size());
    for (qsizetype i = 0; i < apps.size(); ++i)
        if (isPinned[size_t(i)])
            result.append(apps[i]);
    for (qsizetype i = 0; i < apps.size(); ++i)
        if (!isPinned[size_t(i)])
            result.append(apps[i]);
    return result;
}

QStringList mergedOrder(const QStringList &all, const QStringList &visibleReordered)
{
    const QSet<QString> visible(visibleReordered.cbegin(), visibleReordered.cend());
    qsizetype next = 0; // the front of the queue of reordered identifiers
    QStringList merged;
    merged.reserve(all.size() + visibleReordered.size());
    for (const QString &id : all) {
        if (!visible.contains(id))
            merged.append(id);
        else if (next < visibleReordered.size())
            merged.append(visibleReordered[next++]);
    }
    for (; next < visibleReordered.size(); ++next)
        merged.append(visibleReordered[next]);
    return merged;
}

} // namespace AppSorter
