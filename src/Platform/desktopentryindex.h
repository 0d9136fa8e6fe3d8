#pragma once

#include "appdirectorysearch.h"
#include "timerservice.h"

#include <QSet>

class BackgroundExecutor;
class FolderWatcher;

// The search over desktop entries: every *.desktop file below the roots, at any depth, one hit per desktop-file id
// (the first met in root order, whatever it says), named by its Name for the preferred languages. Gathering runs on
// the executor; the folders it walked are watched through the shared FolderWatcher, and a root that is missing is
// noticed through its nearest existing parent. Every change regathers at once; notices of changed results go out at
// most once per 2.0 s. Main thread; owned by main.cpp (or a test).
class DesktopEntryIndex : public AppDirectorySearch
{
    Q_OBJECT
public:
    static constexpr Duration batchingInterval = 2s;

    // `preferredLanguages` as BCP 47 tags ("zh-CN") or POSIX locales ("zh_CN"), most preferred first.
    DesktopEntryIndex(FolderWatcher &watcher, TimerService &timers, BackgroundExecutor &executor,
                      const QStringList &preferredLanguages, QObject *parent = nullptr);
    ~DesktopEntryIndex() override;

    void start(const QStringList &scopes) override;
    [[nodiscard]] QList<Hit> results() const override { return m_hits; }
    // The folders it watches now, sorted.
    [[nodiscard]] QStringList watchedFolders() const;

    struct Gathered
    {
        QList<Hit> hits;
        QStringList folders; // to watch
    };
    // One walk over the roots; pure apart from reading the file system, so it may run on any thread.
    [[nodiscard]] static Gathered gather(const QStringList &scopes, const QStringList &locales);

private:
    FolderWatcher &m_watcher;
    TimerService &m_timers;
    BackgroundExecutor &m_executor;
    QStringList m_locales; // POSIX form
    QStringList m_scopes;
    QSet<QString> m_quietRoots; // roots that existed at start: their own entries are the roots' watchers' business
    QList<Hit> m_hits;
    QSet<QString> m_watched;
    TimerHandle m_notice;
    bool m_started = false;
    bool m_finished = false;
    bool m_gathering = false;
    bool m_dirty = false;

    void regather();
    void apply(Gathered gathered);
    void onFolderChanged(const QString &folder);
    [[nodiscard]] bool isWorthANotice(const QList<Hit> &before, const QList<Hit> &after) const;
};
