#include "folderlisting.h"

#include <QDir>

#include <algorithm>

QStringList FolderListing::sortedNames(const QString &folder)
{
    QStringList names = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    std::sort(names.begin(), names.end());
    return names;
}
