#include "fakefolderwatcher.h"

#include <algorithm>

bool FakeFolderWatcher::watch(const QString &folder)
{
    if (m_refused.contains(folder))
        return false;
    ++m_counts[folder];
    return true;
}

void FakeFolderWatcher::unwatch(const QString &folder)
{
    const auto it = m_counts.find(folder);
    if (it == m_counts.end())
        return;
    if (--*it == 0)
        m_counts.erase(it);
}

bool FakeFolderWatcher::change(const QString &folder)
{
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
