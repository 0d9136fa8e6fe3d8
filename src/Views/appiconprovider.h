#pragma once

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

private:
    IconCache &m_cache;
};
