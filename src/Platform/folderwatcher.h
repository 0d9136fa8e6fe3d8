#pragma once

#include <QObject>
#include <QString>

// Change events of folders: an entry added to, removed from or renamed in the folder itself (nothing deeper). One
// watch per folder however many parties ask for it, so each change is sent once, with the folder's path in clean
// form (QDir::cleanPath). Main thread; owned by main.cpp (or a test) and shared by everyone who watches.
class FolderWatcher : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Starts watching `folder`, or joins the watch already on it; false when it is missing or cannot be watched.
    // Every successful watch() is undone by one unwatch().
    [[nodiscard]] virtual bool watch(const QString &folder) = 0;
    virtual void unwatch(const QString &folder) = 0;

Q_SIGNALS:
    void folderChanged(const QString &folder);
};
