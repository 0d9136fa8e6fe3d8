#include "appscanner.h"

#include "appdirectoryenumerator.h"
#include "appidentity.h"
#include "backgroundexecutor.h"
#include "bundlereader.h"
#include "folderwatcher.h"
#include "pinyinmatcher.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>

namespace {

const QString displayNameKey = u"CFBundleDisplayName"_qs;
const QString nameKey = u"CFBundleName"_qs;

// The path extension as the walk's alias rule reads it: a name that is nothing but ".lproj" has none.
bool hasLprojExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 && QStringView(name).sliced(dot + 1) == u"lproj";
}

// The walk meets again most bundles the search found; a rebuild opens each location once. One thread.
class RememberingReader : public BundleReader
{
public:
    explicit RememberingReader(const BundleReader &reader)
        : m_reader(reader)
    {
    }

    [[nodiscard]] std::optional<Bundle> open(const QString &path) const override
    {
        if (const auto it = m_opened.constFind(path); it != m_opened.constEnd())
            return *it;
        std::optional<Bundle> bundle = m_reader.open(path);
        m_opened.insert(path, bundle);
        return bundle;
    }

    [[nodiscard]] std::optional<Instant> creationDate(const QString &path) const override
    {
        return m_reader.creationDate(path);
    }

    void remember(const QString &path, const std::optional<Bundle> &bundle) const { m_opened.insert(path, bundle); }

private:
    const BundleReader &m_reader;
    mutable QHash<QString, std::optional<Bundle>> m_opened;
};

} // namespace

AppScanner::AppScanner(AppDirectorySearch &query, const BundleReader &reader, FolderWatcher &watcher,
                       TimerService &timers, BackgroundExecutor &executor, const QStringList &scopes, QObject *parent)
    : QObject(parent)
    , m_query(query)
    , m_reader(reader)
    , m_watcher(watcher)
    , m_executor(executor)
    , m_pendingRescan(timers, rescanQuietPeriod, [this] { reload(); })
{
    // Clean paths, as the folder watcher reports them.
    for (const auto &scope : scopes)
        m_scopes.append(QDir::cleanPath(scope));
}

AppScanner::~AppScanner()
{
    for (const auto &observer : std::as_const(m_observers))
        disconnect(observer);
    for (const auto &root : std::as_const(m_dirWatchers))
        m_watcher.unwatch(root);
    m_pendingRescan.cancel();
}

void AppScanner::start()
{
    if (m_started)
        return;
    m_started = true;
    m_observers.append(connect(&m_query, &AppDirectorySearch::gatheringFinished, this, &AppScanner::reload));
    m_observers.append(connect(&m_query, &AppDirectorySearch::updated, this, &AppScanner::reload));
    m_query.start(m_scopes);
    watchApplicationDirectories();
}

void AppScanner::watchApplicationDirectories()
{
    for (const auto &root : std::as_const(m_scopes)) {
        if (!QFileInfo::exists(root))
            continue;
        if (m_watcher.watch(root))
            m_dirWatchers.append(root);
    }
    if (!m_dirWatchers.isEmpty()) {
        m_observers.append(connect(&m_watcher, &FolderWatcher::folderChanged, this, [this](const QString &folder) {
            if (m_dirWatchers.contains(folder))
                scheduleRescan();
        }));
    }
}

void AppScanner::scheduleRescan()
{
    m_pendingRescan.trigger();
}

void AppScanner::reload()
{
    RebuildInput input;
    input.hits = m_query.results();
    const int generation = ++m_reloadGeneration;
    input.ownBundleID = AppIdentity::bundleID();
    input.scopes = m_scopes;
    input.preferredLanguages = m_preferredLanguages.value_or(QLocale::system().uiLanguages());
    input.homeDirectory = QDir::homePath();

    m_executor.run<QList<AppInfo>>(
        this,
        [input = std::move(input), &reader = m_reader] {
            QList<AppInfo> apps = rebuild(input, reader);
            // The search's forms are made here, so that no keystroke on the main thread has to.
            PinyinMatcher::prepare(apps);
            return apps;
        },
        [this, generation](QList<AppInfo> merged) { publish(std::move(merged), generation); });
}

void AppScanner::publish(QList<AppInfo> merged, int generation)
{
    // A newer reload is under way and will publish its own result.
    if (generation != m_reloadGeneration)
        return;
    m_apps = std::move(merged);
    Q_EMIT appsChanged();
    if (!m_isInitialScanDone) {
        m_isInitialScanDone = true;
        Q_EMIT isInitialScanDoneChanged();
    }
}

QList<AppInfo> AppScanner::rebuild(const RebuildInput &input, const BundleReader &bundleReader)
{
    // The search's hits are read side by side on the pool's threads (the reader serves several at once) and kept in
    // their order; the walk then meets them again through the remembering reader without a second read.
    struct Read
    {
        const AppDirectorySearch::Hit *hit = nullptr;
        std::optional<Bundle> bundle;
        std::optional<AppInfo> app;
    };
    const auto readHit = [&](Read &read) {
        const AppDirectorySearch::Hit &hit = *read.hit;
        read.bundle = bundleReader.open(hit.path);
        const auto &bundle = read.bundle;
        if (!bundle || bundle->identifier.isEmpty() || bundle->identifier == input.ownBundleID)
            return;
        const QString name = hit.displayName
            ? AppDirectoryEnumerator::removingBundleSuffix(*hit.displayName)
            : AppDirectoryEnumerator::removingPathExtension(AppDirectoryEnumerator::lastPathComponent(hit.path));
        AppInfo app{bundle->identifier, name, QUrl::fromLocalFile(hit.path), bundleReader.creationDate(hit.path),
                    aliasNames(*bundle, name)};
        if (!app.isNestedInsideAppBundle())
            read.app = std::move(app);
    };
    QList<Read> reads(input.hits.size());
    for (qsizetype i = 0; i < reads.size(); ++i)
        reads[i].hit = &input.hits[i];
    QtConcurrent::blockingMap(reads, readHit);

    const RememberingReader reader(bundleReader);
    QList<AppInfo> found;
    for (qsizetype i = 0; i < reads.size(); ++i) {
        reader.remember(input.hits[i].path, reads[i].bundle);
        if (reads[i].app)
            found.append(*reads[i].app);
    }

    QSet<QString> seen;
    for (const auto &app : std::as_const(found))
        seen.insert(app.bundleID);

    const AppDirectoryEnumerator enumerator(reader);
    for (const auto &[bundleID, url] : enumerator.enumerate(input.scopes)) {
        if (seen.contains(bundleID) || bundleID == input.ownBundleID)
            continue;
        const QString path = url.toLocalFile();
        const auto bundle = reader.open(path);
        if (!bundle)
            continue;
        const QString name = AppDirectoryEnumerator::displayName(*bundle, path, input.preferredLanguages);
        found.append(AppInfo{bundleID, name, url, reader.creationDate(path), aliasNames(*bundle, name)});
    }

    return AppInfo::merge(found, input.homeDirectory);
}

QStringList AppScanner::aliasNames(const Bundle &bundle, const QString &excluding)
{
    QSet<QString> names;
    const auto offer = [&](const QVariantMap &table, const QString &key) {
        const auto value = Bundle::stringValue(table, key);
        if (!value)
            return;
        QString trimmed = AppDirectoryEnumerator::trimmedSpacesAndTabs(*value);
        if (!trimmed.isEmpty() && trimmed != excluding)
            names.insert(std::move(trimmed));
    };
    offer(bundle.infoDictionary, displayNameKey);
    offer(bundle.infoDictionary, nameKey);
    for (auto it = bundle.localizationTables.constBegin(); it != bundle.localizationTables.constEnd(); ++it) {
        if (!hasLprojExtension(it.key()))
            continue;
        offer(*it, displayNameKey);
        offer(*it, nameKey);
    }
    QStringList sorted(names.begin(), names.end());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}
