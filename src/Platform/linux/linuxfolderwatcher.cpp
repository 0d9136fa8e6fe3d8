#include "linuxfolderwatcher.h"

#include <QDir>
#include <QFileInfo>

LinuxFolderWatcher::LinuxFolderWatcher(QObject *parent)
    : FolderWatcher(parent)
{
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this](const QString &folder) {
        // A folder that was removed or replaced loses its kernel watch; take it back when a folder stands there
        // again, so the parties that asked keep getting events.
        if (m_counts.contains(folder) && !m_watcher.directories().contains(folder) && QFileInfo(folder).isDir())
            m_watcher.addPath(folder);
        Q_EMIT folderChanged(folder);
    });
}

bool LinuxFolderWatcher::watch(const QString &path)
{
    const QString folder = QDir::cleanPath(path);
    if (const auto it = m_counts.find(folder); it != m_counts.end()) {
        // The kernel drops the watch of a folder that is removed; a party that comes back once a folder stands
        // there again must not join a watch that no longer exists.
        if (!m_watcher.directories().contains(folder)
            && (!QFileInfo(folder).isDir() || !m_watcher.addPath(folder)))
            return false;
        ++*it;
        return true;
    }
    if (!QFileInfo(folder).isDir() || !m_watcher.addPath(folder))
        return false;
    m_counts.insert(folder, 1);
    return true;
}

void LinuxFolderWatcher::unwatch(const QString &path)
{
    const QString folder = QDir::cleanPath(path);
    const auto it = m_counts.find(folder);
    if (it == m_counts.end())
        return;
    if (--*it > 0)
        return;
    m_counts.erase(it);
    m_watcher.removePath(folder);
}
