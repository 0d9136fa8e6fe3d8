#pragma once

#include "appdirectorysearch.h"
#include "appinfo.h"
#include "bundle.h"
#include "timerservice.h"

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QStringList>

#include <optional>

class BackgroundExecutor;
class BundleReader;
class FolderWatcher;

// The installed apps, kept current while the program runs. Each reload takes the search's hits and rebuilds the list
// on the executor: first the hits, then a shallow walk of the roots for what the search missed, then the merge, then
// each app's search forms (PinyinMatcher::prepare). Only the rebuild of the latest reload is published. Changes in a
// root folder's own entries reload after 2.0 s of quiet; everything deeper is the search's to report. Main thread;
// owned by the state object, which calls start() once. The seams are main.cpp's and outlive it.
class AppScanner : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QList<AppInfo> apps READ apps NOTIFY appsChanged)
    Q_PROPERTY(bool isInitialScanDone READ isInitialScanDone NOTIFY isInitialScanDoneChanged)
public:
    static constexpr Duration rescanQuietPeriod = 2s;

    AppScanner(AppDirectorySearch &query, const BundleReader &reader, FolderWatcher &watcher, TimerService &timers,
               BackgroundExecutor &executor, const QStringList &scopes, QObject *parent = nullptr);
    ~AppScanner() override;

    // In no defined order; every publish assigns it anew and sends appsChanged(), changed or not.
    [[nodiscard]] const QList<AppInfo> &apps() const { return m_apps; }
    // False until the first publish (even of an empty list), then true for good.
    [[nodiscard]] bool isInitialScanDone() const { return m_isInitialScanDone; }
    // The roots, in clean form (QDir::cleanPath).
    [[nodiscard]] const QStringList &scopes() const { return m_scopes; }

    // Starts the search and watches the roots that exist now. Once; there is no stop.
    void start();
    // The languages names are chosen for, most preferred first; QLocale::system().uiLanguages() until set.
    void setPreferredLanguages(const QStringList &languages) { m_preferredLanguages = languages; }

    struct RebuildInput
    {
        QList<AppDirectorySearch::Hit> hits;
        QString ownBundleID;
        QStringList scopes;
        QStringList preferredLanguages;
        QString homeDirectory; // for the merge's location ranks
    };
    // The list a reload publishes: pure apart from reading bundles, so it runs on any thread.
    [[nodiscard]] static QList<AppInfo> rebuild(const RebuildInput &input, const BundleReader &reader);

Q_SIGNALS:
    void appsChanged();
    void isInitialScanDoneChanged();

private:
    AppDirectorySearch &m_query;
    const BundleReader &m_reader;
    FolderWatcher &m_watcher;
    BackgroundExecutor &m_executor;
    QList<AppInfo> m_apps;
    bool m_isInitialScanDone = false;
    QList<QMetaObject::Connection> m_observers;
    QStringList m_dirWatchers;
    Debounce m_pendingRescan;
    int m_reloadGeneration = 0;
    QStringList m_scopes;
    std::optional<QStringList> m_preferredLanguages;
    bool m_started = false;

    void reload();
    void scheduleRescan();
    void watchApplicationDirectories();
    void publish(QList<AppInfo> merged, int generation);

    [[nodiscard]] static QStringList aliasNames(const Bundle &bundle, const QString &excluding);
};
