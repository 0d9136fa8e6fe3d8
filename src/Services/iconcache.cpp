#include "iconcache.h"

#include "backgroundexecutor.h"
#include "iconsource.h"

#include <QCache>
#include <QMutex>
#include <QPainter>
#include <QSet>

class IconCache::Store
{
public:
    explicit Store(int countLimit) { m_cache.setMaxCost(countLimit); }

    std::optional<QImage> find(const QString &bundleID)
    {
        QMutexLocker lock(&m_mutex);
        if (const QImage *image = m_cache.object(bundleID))
            return *image;
        return std::nullopt;
    }

    bool contains(const QString &bundleID)
    {
        QMutexLocker lock(&m_mutex);
        return m_cache.contains(bundleID);
    }

    void insert(const QString &bundleID, const QImage &image)
    {
        QMutexLocker lock(&m_mutex);
        m_missed.remove(bundleID);
        m_cache.insert(bundleID, new QImage(image), 1);
    }

    // A look-up that found no icon: the app shows the generic one until a later look-up finds its own.
    void markMissed(const QString &bundleID)
    {
        QMutexLocker lock(&m_mutex);
        if (m_missed.size() >= m_cache.maxCost() && !m_missed.contains(bundleID))
            m_missed.clear(); // a bound like the images'; forgetting a miss only means looking again
        m_missed.insert(bundleID);
    }

    bool lookedUp(const QString &bundleID)
    {
        QMutexLocker lock(&m_mutex);
        return m_cache.contains(bundleID) || m_missed.contains(bundleID);
    }

    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_cache.clear();
        m_missed.clear();
    }

    int count()
    {
        QMutexLocker lock(&m_mutex);
        return int(m_cache.count());
    }

private:
    QMutex m_mutex;
    QCache<QString, QImage> m_cache; // each entry costs 1, so the cost limit is the count limit
    QSet<QString> m_missed;          // finished look-ups that found nothing, never in m_cache
};

namespace {

// What the shared instance runs on when main.cpp set up nothing: the generic icon only, work done in place.
class GenericOnlySource : public IconSource
{
public:
    std::optional<QImage> iconForPath(const QString &, int) const override { return std::nullopt; }
    std::optional<QString> locationOfApplication(const QString &) const override { return std::nullopt; }
    QImage genericApplicationIcon(int size) const override
    {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        return image;
    }
};

class InPlaceExecutor : public BackgroundExecutor
{
public:
    using BackgroundExecutor::run;
    void run(QObject *context, std::function<void()> work, std::function<void()> done) override
    {
        QPointer<QObject> guard(context);
        work();
        if (guard)
            done();
    }
};

struct SharedSetup
{
    std::atomic<bool> made = false;
    const IconSource *source = nullptr;
    BackgroundExecutor *executor = nullptr;
};

SharedSetup &sharedSetup()
{
    static SharedSetup setup;
    return setup;
}

} // namespace

IconCache::IconCache(const IconSource &source, BackgroundExecutor &executor, int countLimit)
    : m_source(source)
    , m_executor(executor)
    , m_countLimit(countLimit)
    , m_store(std::make_shared<Store>(countLimit))
    , m_generic(fitted(source.genericApplicationIcon(iconSize)))
{
}

IconCache::~IconCache()
{
    if (m_warmupCancelled)
        m_warmupCancelled->store(true);
}

IconCache &IconCache::shared()
{
    // Made once and never destroyed: background loads may still reach it while the program ends.
    static IconCache *const instance = [] {
        auto &setup = sharedSetup();
        setup.made = true;
        if (!setup.source) {
            static const GenericOnlySource fallbackSource;
            static InPlaceExecutor fallbackExecutor;
            return new IconCache(fallbackSource, fallbackExecutor);
        }
        return new IconCache(*setup.source, *setup.executor);
    }();
    return *instance;
}

bool IconCache::setUpShared(const IconSource &source, BackgroundExecutor &executor)
{
    auto &setup = sharedSetup();
    if (setup.made)
        return false;
    setup.source = &source;
    setup.executor = &executor;
    return true;
}

QImage IconCache::icon(const AppInfo &app)
{
    if (auto cached = m_store->find(app.bundleID))
        return *cached;
    return loadAndStore(m_source, *m_store, app).value_or(m_generic);
}

QImage IconCache::iconForBundleID(const QString &bundleID)
{
    if (auto cached = m_store->find(bundleID))
        return *cached;
    const auto location = m_source.locationOfApplication(bundleID);
    if (!location)
        return m_generic;
    AppInfo app;
    app.bundleID = bundleID;
    app.url = QUrl::fromLocalFile(*location);
    return loadAndStore(m_source, *m_store, app).value_or(m_generic);
}

void IconCache::iconAsync(const AppInfo &app, QObject *context, std::function<void(const QImage &)> done)
{
    if (auto cached = m_store->find(app.bundleID)) {
        done(*cached);
        return;
    }
    std::weak_ptr<Store> weakStore = m_store;
    const IconSource *source = &m_source;
    const QImage generic = m_generic;
    m_executor.run<QImage>(
        context,
        std::function<QImage()>([weakStore, source, generic, app] {
            const auto store = weakStore.lock();
            if (!store)
                return generic;
            if (auto cached = store->find(app.bundleID))
                return *cached;
            return loadAndStore(*source, *store, app).value_or(generic);
        }),
        std::function<void(QImage)>([done = std::move(done)](QImage image) { done(image); }));
}

void IconCache::warmup(const QList<AppInfo> &apps)
{
    if (m_warmupCancelled) {
        m_warmupCancelled->store(true);
        m_warmupCancelled.reset();
    }
    if (apps.isEmpty())
        return;
    const qsizetype here = std::min<qsizetype>(synchronousWarmupCount, apps.size());
    for (qsizetype i = 0; i < here; ++i) {
        if (!m_store->contains(apps[i].bundleID))
            loadAndStore(m_source, *m_store, apps[i]);
    }
    if (apps.size() == here)
        return;

    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    m_warmupCancelled = cancelled;
    std::weak_ptr<Store> weakStore = m_store;
    const IconSource *source = &m_source;
    // No context: nothing comes back to the main thread.
    m_executor.run(
        nullptr,
        [weakStore, source, cancelled, rest = apps.mid(here)] {
            for (const auto &app : rest) {
                if (cancelled->load())
                    return;
                const auto store = weakStore.lock();
                if (!store)
                    return;
                if (!store->contains(app.bundleID))
                    loadAndStore(*source, *store, app);
            }
        },
        [] {});
}

std::optional<QImage> IconCache::cachedIcon(const QString &bundleID) const
{
    return m_store->find(bundleID);
}

bool IconCache::lookupFinished(const QString &bundleID) const
{
    return m_store->lookedUp(bundleID);
}

void IconCache::clear()
{
    m_store->clear();
}

int IconCache::count() const
{
    return m_store->count();
}

QImage IconCache::fitted(const QImage &image)
{
    const QSize square(iconSize, iconSize);
    if (image.size() == square)
        return image;
    QImage canvas(square, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    if (image.isNull())
        return canvas;
    const QImage scaled = image.scaled(square, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&canvas);
    painter.drawImage((iconSize - scaled.width()) / 2, (iconSize - scaled.height()) / 2, scaled);
    painter.end();
    return canvas;
}

std::optional<QImage> IconCache::loadAndStore(const IconSource &source, Store &store, const AppInfo &app)
{
    auto image = source.iconForPath(app.path(), iconSize);
    if (!image || image->isNull()) {
        store.markMissed(app.bundleID);
        return std::nullopt;
    }
    QImage icon = fitted(*image);
    store.insert(app.bundleID, icon);
    return icon;
}
