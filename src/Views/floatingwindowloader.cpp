#include "floatingwindowloader.h"

#include "floatingwindowsetup.h"

#include <QQmlComponent>
#include <QQmlEngine>

namespace FloatingWindowLoader {

std::unique_ptr<QQuickWindow> load(QQmlEngine &engine, const QUrl &url, const QVariantMap &properties,
                                   const FloatingWindowSetup &setup, bool passClicks, QString *error)
{
    QQmlComponent component(&engine, url);
    std::unique_ptr<QObject> made(component.createWithInitialProperties(properties));
    auto *window = qobject_cast<QQuickWindow *>(made.get());
    if (!window) {
        if (error)
            *error = component.errorString();
        return nullptr;
    }
    made.release();
    std::unique_ptr<QQuickWindow> owned(window);
    owned->setColor(Qt::transparent);
    setup.prepare(*owned, passClicks);
    return owned;
}

} // namespace FloatingWindowLoader
