#include "appiconprovider.h"

#include "apptilerules.h"
#include "iconcache.h"

#include <algorithm>

AppIconProvider::AppIconProvider(IconCache &cache)
    : QQuickImageProvider(QQuickImageProvider::Image)
    , m_cache(cache)
{
}

QImage AppIconProvider::requestImage(const QString &id, QSize *size, const QSize &requestedSize)
{
    const auto app = AppTileRules::appOfIconId(id);
    QImage image;
    if (!app)
        image = m_cache.genericIcon();
    else if (app->url.isEmpty())
        image = m_cache.iconForBundleID(app->bundleID);
    else
        image = m_cache.icon(*app);
    if (requestedSize.width() > 0 && requestedSize.height() > 0 && image.size() != requestedSize) {
        const QString key = id + u'@' + QString::number(requestedSize.width()) + u'x'
                            + QString::number(requestedSize.height());
        const qint64 sourceKey = image.cacheKey();
        QMutexLocker lock(&m_scaledLock);
        if (const Scaled *kept = m_scaled.object(key); kept && kept->sourceKey == sourceKey) {
            image = kept->image;
        } else {
            lock.unlock();
            image = image.scaled(requestedSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            lock.relock();
            m_scaled.insert(key, new Scaled{sourceKey, image}, std::max<qsizetype>(1, image.sizeInBytes() / 1024));
        }
    }
    if (size)
        *size = image.size();
    return image;
}
