#include "folderlisting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

#include <dirent.h>

QStringList FolderListing::sortedNames(const QString &folder)
{
    QStringList names = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    std::sort(names.begin(), names.end());
    return names;
}

QList<FolderListing::Entry> FolderListing::sortedEntries(const QString &folder)
{
    QList<Entry> entries;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return entries;
    while (const dirent *d = ::readdir(dir)) {
        if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0)
            continue;
        Entry entry{QFile::decodeName(d->d_name), Entry::Kind::other};
        switch (d->d_type) {
        case DT_REG: entry.kind = Entry::Kind::file; break;
        case DT_DIR: entry.kind = Entry::Kind::folder; break;
        case DT_LNK:
        case DT_UNKNOWN: {
            const QFileInfo info(folder + u'/' + entry.name);
            entry.kind = info.isDir() ? Entry::Kind::folder : info.isFile() ? Entry::Kind::file : Entry::Kind::other;
            break;
        }
        default: break;
        }
        entries.append(std::move(entry));
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) { return a.name < b.name; });
    return entries;
}
