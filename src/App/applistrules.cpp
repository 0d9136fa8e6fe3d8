#include "applistrules.h"

#include "appsorter.h"

#include <algorithm>

namespace AppListRules {

namespace {

bool isTrimmed(QChar c)
{
    // Every space separator lies in the BMP, so single code units suffice.
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

bool isHidden(const AppInfo &app, const QHash<QString, AppMetaSnapshot> &meta)
{
    const auto it = meta.constFind(app.bundleID);
    return it != meta.constEnd() && it->isHidden;
}

} // namespace

QString trimmedSpacesAndTabs(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isTrimmed(text[begin]))
        ++begin;
    while (end > begin && isTrimmed(text[end - 1]))
        --end;
    if (begin == 0 && end == text.size())
        return text;
    return text.sliced(begin, end - begin);
}

std::optional<QString> shownAlias(const std::optional<QString> &stored)
{
    if (!stored)
        return std::nullopt;
    QString trimmed = trimmedSpacesAndTabs(*stored);
    if (trimmed.isEmpty())
        return std::nullopt;
    return trimmed;
}

QList<AppInfo> visibleApps(const QList<AppInfo> &targetable, const QHash<QString, AppMetaSnapshot> &meta,
                           const ListRequest &request)
{
    QList<AppInfo> list;
    if (request.showHiddenApps) {
        for (const AppInfo &app : targetable) {
            if (isHidden(app, meta))
                list.append(app);
        }
        list = AppSorter::customSort(list, meta);
    } else if (request.groupMembers) {
        const QSet<QString> members(request.groupMembers->cbegin(), request.groupMembers->cend());
        for (const AppInfo &app : targetable) {
            if (!isHidden(app, meta) && members.contains(app.bundleID))
                list.append(app);
        }
        list = AppSorter::sort(list, *request.groupMembers);
    } else {
        // With nothing hidden the list is the apps themselves, shared rather than copied app by app.
        const auto firstHidden = std::find_if(targetable.cbegin(), targetable.cend(),
                                              [&meta](const AppInfo &app) { return isHidden(app, meta); });
        if (firstHidden == targetable.cend()) {
            list = targetable;
        } else {
            list.reserve(targetable.size());
            for (const AppInfo &app : targetable) {
                if (!isHidden(app, meta))
                    list.append(app);
            }
        }
        list = AppSorter::customSort(list, meta);
    }
    if (!request.searchText.isEmpty())
        list = PinyinMatcher::rankedFilter(list, request.searchText, request.extraNames);
    return AppSorter::pinnedFirst(list, meta);
}

std::optional<QString> movedSelection(const QList<AppInfo> &shown, const std::optional<QString> &selected, int dx,
                                      int dy, int columns)
{
    if (shown.isEmpty())
        return std::nullopt;
    qsizetype index = -1;
    if (selected) {
        const auto it = std::find_if(shown.cbegin(), shown.cend(),
                                     [&](const AppInfo &app) { return app.bundleID == *selected; });
        if (it != shown.cend())
            index = it - shown.cbegin();
    }
    if (index < 0)
        return shown.first().bundleID;
    const qint64 target = qint64(index) + dx + qint64(dy) * std::max(columns, 1);
    return shown[std::clamp<qint64>(target, 0, shown.size() - 1)].bundleID;
}

MissingAppStep missingAppStep(bool installed, const std::optional<Instant> &missingSince, Instant now)
{
    if (installed)
        return MissingAppStep::clearMissing;
    if (!missingSince)
        return MissingAppStep::markMissing;
    if (*missingSince < now - missingRecordLifetime)
        return MissingAppStep::deleteRecord;
    return MissingAppStep::keep;
}

QStringList toggledFocusControl(QStringList list, const QString &bundleID)
{
    if (list.contains(bundleID))
        list.removeAll(bundleID);
    else
        list.append(bundleID);
    return list;
}

QStringList focusControlList(const QSet<QString> &bundleIDs)
{
    QStringList list(bundleIDs.cbegin(), bundleIDs.cend());
    std::sort(list.begin(), list.end());
    return list;
}

} // namespace AppListRules
