#include "appiconprovider.h"

#include "apptilerules.h"
#include "iconcache.h"

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
    if (requestedSize.width() > 0 && requestedSize.height() > 0 && image.size() != requestedSize)
        image = image.scaled(requestedSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (size)
        *size = image.size();
    return image;
}
