#pragma once

#include "appinfo.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// An app that runs inside a host app's bundle (a chat client's built-in browser) and is supervised like an
// installed app. It has no running-application handle of its own: supervision only ever kills its processes.
struct EmbeddedApp
{
    QString bundleID;
    QString displayName;
    QString bundlePath; // absolute, without a trailing "/"
    QString hostBundleID;
    QStringList aliases;

    // How it joins a list of apps: its name, its bundle path as location, no install date, its aliases.
    [[nodiscard]] AppInfo appInfo() const;
};

// The table of embedded apps, fixed at build time. Whether an entry is installed is asked of the file system on
// every call, through a check that tests replace (the built-in bundle path does not exist on Linux). Thread-safe:
// holds no mutable state.
class EmbeddedAppRegistry
{
public:
    using ExistsCheck = std::function<bool(const QString &path)>;

    EmbeddedAppRegistry();
    EmbeddedAppRegistry(QList<EmbeddedApp> all, ExistsCheck exists);

    [[nodiscard]] static QList<EmbeddedApp> builtIn();
    [[nodiscard]] static bool fileExists(const QString &path); // a file or a folder; a broken link is not there

    [[nodiscard]] const QList<EmbeddedApp> &all() const { return m_all; }
    // Exact, case-sensitive match.
    [[nodiscard]] std::optional<EmbeddedApp> app(const QString &bundleID) const;
    [[nodiscard]] bool contains(const QString &bundleID) const { return app(bundleID).has_value(); }
    // The rows whose bundle path exists now, in table order.
    [[nodiscard]] QList<EmbeddedApp> installed() const;

private:
    QList<EmbeddedApp> m_all;
    ExistsCheck m_exists;
};
