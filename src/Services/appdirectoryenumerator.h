#pragma once

#include "bundle.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

class BundleReader;

// The shallow walk of the application folders that finds what the search missed, and the name an app found that way
// is listed under. A bundle entry is a name ending in ".app" or ".desktop". Holds only its reader; enumerate() may
// run on any thread. Made by the scanner's rebuild (or a test).
class AppDirectoryEnumerator
{
public:
    struct Found
    {
        QString bundleID;
        QUrl url;

        friend bool operator==(const Found &, const Found &) = default;
    };

    explicit AppDirectoryEnumerator(const BundleReader &reader);

    // Per root, in order, the bundle entries in it and in its direct sub-folders (names beginning with "." left
    // out), in name order; a bundle entry is never descended into. Entries that do not open or have no identifier
    // are left out; one identifier may come more than once.
    [[nodiscard]] QList<Found> enumerate(const QStringList &scopes) const;

    // The name of an app for the preferred languages: its localization tables first (each language tried as
    // "zh-Hans-CN", "zh_Hans_CN", "zh-Hans", "zh_Hans", "zh", "zh"), then CFBundleDisplayName, then CFBundleName,
    // then the file name without its extension.
    [[nodiscard]] static QString displayName(const Bundle &bundle, const QString &path,
                                             const QStringList &preferredLanguages);

    [[nodiscard]] static bool isBundleName(QStringView name);
    // "draw.io.app" -> "draw.io": everything from the last dot on goes (a leading dot is no extension).
    [[nodiscard]] static QString removingPathExtension(const QString &name);
    // "Safari.app" -> "Safari", "draw.io" stays: only a final ".app" or ".desktop" goes.
    [[nodiscard]] static QString removingBundleSuffix(const QString &name);
    // Spaces (any space separator) and tabs trimmed from both ends; line breaks stay.
    [[nodiscard]] static QString trimmedSpacesAndTabs(const QString &text);
    [[nodiscard]] static QString lastPathComponent(const QString &path);

private:
    const BundleReader &m_reader;
};
