#include "appinfo.h"

#include <QDir>
#include <QHash>

bool AppInfo::isNestedInsideAppBundle() const
{
    const QString p = path();
    // A component before the last that ends with ".app" is followed by a slash.
    if (!p.contains(u".app/"))
        return false;
    QStringList components;
    if (p.startsWith(u'/'))
        components.append(u"/"_qs);
    for (const auto &part : p.split(u'/', Qt::SkipEmptyParts))
        components.append(part);
    for (qsizetype i = 0; i + 1 < components.size(); ++i) {
        if (components[i].endsWith(u".app"))
            return true;
    }
    return false;
}

namespace {

int pathRank(const AppInfo &app, const QString &homeApplications)
{
    const QString p = app.path();
    if (p.startsWith(u"/Applications/"))
        return 0;
    if (p.startsWith(homeApplications))
        return 1;
    return 2;
}

} // namespace

QList<AppInfo> AppInfo::merge(const QList<AppInfo> &found)
{
    return merge(found, QDir::homePath());
}

QList<AppInfo> AppInfo::merge(const QList<AppInfo> &found, const QString &homeDirectory)
{
    const QString homeApplications = homeDirectory + u"/Applications/"_qs;
    QList<AppInfo> out;
    QHash<QString, qsizetype> slot;
    for (const auto &app : found) {
        if (app.bundleID.isEmpty())
            continue;
        const auto it = slot.constFind(app.bundleID);
        if (it == slot.constEnd()) {
            slot.insert(app.bundleID, out.size());
            out.append(app);
        } else if (pathRank(app, homeApplications) < pathRank(out[*it], homeApplications)) {
            out[*it] = app;
        }
    }
    return out;
}

size_t qHash(const AppInfo &app, size_t seed)
{
    QtPrivate::QHashCombine combine;
    seed = combine(seed, app.bundleID);
    seed = combine(seed, app.name);
    seed = combine(seed, app.url);
    seed = combine(seed, app.installedAt.has_value());
    if (app.installedAt)
        seed = combine(seed, qint64(app.installedAt->time_since_epoch().count()));
    seed = combine(seed, app.aliases.size());
    for (const auto &alias : app.aliases)
        seed = combine(seed, alias);
    return seed;
}
