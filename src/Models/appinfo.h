#pragma once

#include "instant.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>
#include <optional>

class AppSearchForms;

// One installed application as the scanner found it. `bundleID` is its identity everywhere; equality and hashing
// still cover every field but `searchForms`, so the same app with other aliases is another value. A plain value,
// safe to copy between threads.
struct AppInfo
{
    QString bundleID;
    QString name;
    QUrl url; // file URL of the bundle (an .app folder or a desktop entry)
    std::optional<Instant> installedAt;
    QStringList aliases; // its names in other languages, searched like the name
    // The search's prepared forms of the name and aliases (PinyinMatcher::prepare), made when the catalogue is
    // published; none means a search works them out itself. Immutable and shared by every copy.
    std::shared_ptr<const AppSearchForms> searchForms{};

    [[nodiscard]] const QString &id() const { return bundleID; }
    [[nodiscard]] QString path() const { return url.toLocalFile(); }

    // Whether the bundle lies inside another app bundle: any path component but the last ends with ".app".
    [[nodiscard]] bool isNestedInsideAppBundle() const;

    // One entry per non-empty bundle identifier. A later find replaces the kept one only when its location ranks
    // strictly better: "/Applications/" 0, the home folder's "Applications/" 1, anywhere else 2. The result keeps the
    // order in which the identifiers first appeared.
    [[nodiscard]] static QList<AppInfo> merge(const QList<AppInfo> &found, const QString &homeDirectory);
    [[nodiscard]] static QList<AppInfo> merge(const QList<AppInfo> &found);

    friend bool operator==(const AppInfo &a, const AppInfo &b)
    {
        return a.bundleID == b.bundleID && a.name == b.name && a.url == b.url && a.installedAt == b.installedAt
            && a.aliases == b.aliases;
    }
};

size_t qHash(const AppInfo &app, size_t seed = 0);
