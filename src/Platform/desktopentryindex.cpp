#include "desktopentryindex.h"

#include "backgroundexecutor.h"
#include "desktopentry.h"
#include "folderlisting.h"
#include "folderwatcher.h"

#include <QDir>
#include <QFileInfo>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>

namespace {

// Deep enough for any real menu layout, shallow enough to stop a runaway tree.
constexpr int maxDepth = 8;

struct Walk
{
    const QStringList &locales;
    DesktopEntryIndex::Gathered out;
    QSet<QString> ids;
    QSet<QString> visited; // canonical paths, so that a folder link back up ends the walk

    void folder(const QString &path, const QString &idPrefix, int depth)
    {
        const QString canonical = QFileInfo(path).canonicalFilePath();
        if (canonical.isEmpty() || visited.contains(canonical))
            return;
        visited.insert(canonical);
        out.folders.append(path);
        for (const auto &[name, kind] : FolderListing::sortedEntries(path)) {
            if (name.startsWith(u'.'))
                continue;
            const QString child = path + u'/' + name;
            if (kind == FolderListing::Entry::Kind::folder) {
                if (depth < maxDepth)
                    folder(child, idPrefix + name + u'-', depth + 1);
            } else if (name.endsWith(u".desktop") && kind == FolderListing::Entry::Kind::file) {
                const QString id = idPrefix + name.chopped(8);
                if (ids.contains(id))
                    continue; // an earlier file has this id, and only the first counts
                ids.insert(id);
                out.hits.append({child, std::nullopt}); // named once the walk is done
            }
        }
    }
};

QString nearestExistingAncestor(const QString &path)
{
    QString current = QDir::cleanPath(path);
    while (!current.isEmpty() && current != u"/") {
        const qsizetype slash = current.lastIndexOf(u'/');
        current = slash <= 0 ? u"/"_qs : current.first(slash);
        if (QFileInfo(current).isDir())
            return current;
    }
    return {};
}

QString parentOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash <= 0 ? u"/"_qs : path.first(slash);
}

} // namespace

DesktopEntryIndex::DesktopEntryIndex(FolderWatcher &watcher, TimerService &timers, BackgroundExecutor &executor,
                                     const QStringList &preferredLanguages, QObject *parent)
    : AppDirectorySearch(parent)
    , m_watcher(watcher)
    , m_timers(timers)
    , m_executor(executor)
{
    for (const auto &language : preferredLanguages) {
        const QString locale = DesktopEntry::posixLocale(language);
        if (!locale.isEmpty() && !m_locales.contains(locale))
            m_locales.append(locale);
    }
    connect(&m_watcher, &FolderWatcher::folderChanged, this, &DesktopEntryIndex::onFolderChanged);
}

DesktopEntryIndex::~DesktopEntryIndex()
{
    for (const auto &folder : std::as_const(m_watched))
        m_watcher.unwatch(folder);
}

void DesktopEntryIndex::start(const QStringList &scopes)
{
    if (m_started)
        return;
    m_started = true;
    for (const auto &scope : scopes) {
        const QString root = QDir::cleanPath(scope);
        m_scopes.append(root);
        if (QFileInfo(root).isDir())
            m_quietRoots.insert(root);
    }
    regather();
}

QStringList DesktopEntryIndex::watchedFolders() const
{
    QStringList folders(m_watched.begin(), m_watched.end());
    std::sort(folders.begin(), folders.end());
    return folders;
}

DesktopEntryIndex::Gathered DesktopEntryIndex::gather(const QStringList &scopes, const QStringList &locales)
{
    Walk walk{locales, {}, {}, {}};
    for (const auto &scope : scopes) {
        const QString root = QDir::cleanPath(scope);
        if (QFileInfo(root).isDir()) {
            walk.folder(root, QString(), 0);
        } else if (const QString ancestor = nearestExistingAncestor(root); !ancestor.isEmpty()) {
            if (!walk.out.folders.contains(ancestor))
                walk.out.folders.append(ancestor);
        }
    }
    // The entries are read side by side on the pool's threads; the hits keep the walk's order.
    QtConcurrent::blockingMap(walk.out.hits, [&locales](AppDirectorySearch::Hit &hit) {
        if (const auto entry = DesktopEntry::load(hit.path))
            hit.displayName = entry->localizedValue(u"Name"_qs, locales);
    });
    return std::move(walk.out);
}

void DesktopEntryIndex::regather()
{
    m_gathering = true;
    m_dirty = false;
    m_executor.run<Gathered>(
        this, [scopes = m_scopes, locales = m_locales] { return gather(scopes, locales); },
        [this](Gathered gathered) { apply(std::move(gathered)); });
}

void DesktopEntryIndex::apply(Gathered gathered)
{
    m_gathering = false;
    const bool notice = m_finished && isWorthANotice(m_hits, gathered.hits);
    m_hits = std::move(gathered.hits);

    const QSet<QString> wanted(gathered.folders.begin(), gathered.folders.end());
    for (auto it = m_watched.begin(); it != m_watched.end();) {
        if (wanted.contains(*it)) {
            ++it;
        } else {
            m_watcher.unwatch(*it);
            it = m_watched.erase(it);
        }
    }
    for (const auto &folder : gathered.folders) {
        if (!m_watched.contains(folder) && m_watcher.watch(folder))
            m_watched.insert(folder);
    }

    if (!m_finished) {
        m_finished = true;
        Q_EMIT gatheringFinished();
    } else if (notice && !m_notice.isActive()) {
        m_notice = m_timers.startAfter(batchingInterval, [this] { Q_EMIT updated(); });
    }
    if (m_dirty)
        regather();
}

void DesktopEntryIndex::onFolderChanged(const QString &folder)
{
    if (!m_watched.contains(folder))
        return;
    if (m_gathering)
        m_dirty = true;
    else
        regather();
}

bool DesktopEntryIndex::isWorthANotice(const QList<Hit> &before, const QList<Hit> &after) const
{
    if (before == after)
        return false;
    const auto quietlyChanged = [this](const Hit &hit) { return m_quietRoots.contains(parentOf(hit.path)); };
    for (const auto &hit : before) {
        if (!after.contains(hit) && !quietlyChanged(hit))
            return true;
    }
    for (const auto &hit : after) {
        if (!before.contains(hit) && !quietlyChanged(hit))
            return true;
    }
    return false;
}
