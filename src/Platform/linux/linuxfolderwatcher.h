#pragma once

#include "folderwatcher.h"

#include <QFileSystemWatcher>
#include <QHash>

// Folder watches on inotify through one QFileSystemWatcher: one kernel watch per folder, counted across the parties
// that asked for it, so a change reaches folderChanged() once. Main thread; owned by main.cpp.
class LinuxFolderWatcher : public FolderWatcher
{
    Q_OBJECT
public:
    explicit LinuxFolderWatcher(QObject *parent = nullptr);

    [[nodiscard]] bool watch(const QString &folder) override;
    void unwatch(const QString &folder) override;

    [[nodiscard]] QStringList watchedFolders() const { return m_watcher.directories(); }

private:
    QFileSystemWatcher m_watcher;
    QHash<QString, int> m_counts;
};
