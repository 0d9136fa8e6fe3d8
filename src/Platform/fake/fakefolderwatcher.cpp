#include "fakefolderwatcher.h"

#include <QDir>

#include <algorithm>

bool FakeFolderWatcher::watch(const QString &path)
{
    const QString folder = QDir::cleanPath(path);
    if (m_refused.contains(folder))
        return false;
    ++m_counts[folder];
    return true;
}

void FakeFolderWatcher::unwatch(const QString &path)
{
    const QString folder = QDir::cleanPath(path);
    const auto it = m_counts.find(folder);
    if (it == m_counts.end())
        return;
    if (--*it == 0)
        m_counts.erase(it);
}

bool FakeFolderWatcher::change(const QString &path)
{
    const QString folder = QDir::cleanPath(path);
    if (!m_counts.contains(folder))
        return false;
    Q_EMIT folderChanged(folder);
    return true;
}

QStringList FakeFolderWatcher::watchedFolders() const
{
    QStringList folders = m_counts.keys();
    std::sort(folders.begin(), folders.end());
    return folders;
}
