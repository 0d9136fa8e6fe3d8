#pragma once

#include "appinfo.h"

#include <QStringList>

// App lists in test rows: apps made from an identifier and a name, and lists written and read back as
// space-separated bundle identifiers.
namespace AppLists {

inline AppInfo app(const QString &id, const QString &name, std::optional<Instant> installedAt = std::nullopt,
                   const QStringList &aliases = {})
{
    AppInfo a;
    a.bundleID = id;
    a.name = name;
    a.url = QUrl::fromLocalFile(u"/usr/share/applications/"_qs + id + u".desktop"_qs);
    a.installedAt = installedAt;
    a.aliases = aliases;
    return a;
}

inline QStringList ids(const QString &spaced)
{
    return spaced.split(u' ', Qt::SkipEmptyParts);
}

inline QStringList idsOf(const QList<AppInfo> &apps)
{
    QStringList result;
    for (const AppInfo &a : apps)
        result.append(a.bundleID);
    return result;
}

} // namespace AppLists
