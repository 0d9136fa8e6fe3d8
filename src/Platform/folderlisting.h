#pragma once

#include <QString>
#include <QStringList>

// The names in a folder, hidden ones included, sorted by code point so that every walk over the same tree meets
// the entries in the same order. Empty when the folder cannot be listed. Pure apart from the file system.
namespace FolderListing {

[[nodiscard]] QStringList sortedNames(const QString &folder);

} // namespace FolderListing
