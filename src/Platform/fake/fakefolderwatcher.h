#pragma once

#include "folderwatcher.h"

#include <QDir>
#include <QHash>
#include <QSet>
#include <QStringList>

// Folder watches held in a table: watch() counts, change() sends an event for a watched folder as the system would
// (once, however many parties watch it). refuse() makes watch() fail for a folder.
class FakeFolderWatcher : public FolderWatcher
{
    Q_OBJECT
public:
    using FolderWatcher::FolderWatcher;

    [[nodiscard]] bool watch(const QString &folder) override;
    void unwatch(const QString &folder) override;

    void refuse(const QString &folder) { m_refused.insert(QDir::cleanPath(folder)); }
    // Sends folderChanged(folder) when someone watches it; returns whether it was sent.
    bool change(const QString &folder);

    // The folders watched now, sorted, and how many parties watch one.
    [[nodiscard]] QStringList watchedFolders() const;
    [[nodiscard]] int watchCount(const QString &folder) const { return m_counts.value(QDir::cleanPath(folder)); }

private:
    QHash<QString, int> m_counts;
    QSet<QString> m_refused;
};
