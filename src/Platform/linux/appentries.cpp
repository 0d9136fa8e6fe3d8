#include "appentries.h"

#include "desktopentry.h"

namespace AppEntries {

QList<DesktopAppEntry> read(const QList<AppInfo> &apps)
{
    QList<DesktopAppEntry> entries;
    for (const AppInfo &app : apps) {
        const QString path = app.path();
        if (!path.endsWith(QLatin1String(".desktop")))
            continue;
        const std::optional<DesktopEntry> entry = DesktopEntry::load(path);
        if (!entry)
            continue;
        const std::optional<QString> exec = entry->exec();
        if (!exec || exec->isEmpty())
            continue;
        entries.append(DesktopAppEntry{app.bundleID, app.name, *exec, path,
                                       entry->value(u"StartupWMClass"_qs).value_or(QString())});
    }
    return entries;
}

} // namespace AppEntries
