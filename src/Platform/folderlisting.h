#pragma once

#include <QString>
#include <QStringList>

// The names in a folder, hidden ones included, sorted by code point so that every walk over the same tree meets
// the entries in the same order. Empty when the folder cannot be listed. Pure apart from the file system.
namespace FolderListing {

[[nodiscard]] QStringList sortedNames(const QString &folder);

// The same names, each with what it is (a symbolic link as what it points to), in the same order. The kind comes
// from the listing itself where the file system gives it, so that a walk need not look at every entry again.
struct Entry
{
    enum class Kind { file, folder, other };
    QString name;
    Kind kind = Kind::other;
};
[[nodiscard]] QList<Entry> sortedEntries(const QString &folder);

} // namespace FolderListing
