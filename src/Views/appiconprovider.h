#pragma once

#include <QCache>
#include <QMutex>
#include <QQuickImageProvider>

class IconCache;

// image://appicon/<bundle id>?path=<bundle path>: the app's icon from the icon cache (the generic icon for an app
// without one), scaled to the requested size. Qt calls it on the main thread for synchronous images and on its image
// threads for asynchronous ones; the cache is safe from any thread and outlives the engine.
class AppIconProvider : public QQuickImageProvider
{
public:
    explicit AppIconProvider(IconCache &cache);
    QImage requestImage(const QString &id, QSize *size, const QSize &requestedSize) override;

    // The bound of the kept scaled icons, in KiB (some hundreds of tiles at the usual sizes).
    static constexpr qsizetype scaledBudgetKiB = 8 * 1024;

private:
    // A scaled icon and the cache key of the icon it was scaled from: a tile made again (a search brings it back)
    // takes it without scaling again, while a cached icon that was replaced (a new image) is scaled afresh.
    struct Scaled
    {
        qint64 sourceKey = 0;
        QImage image;
    };

    IconCache &m_cache;
    QMutex m_scaledLock; // requests come from Qt's image threads too
    QCache<QString, Scaled> m_scaled{scaledBudgetKiB};
};
