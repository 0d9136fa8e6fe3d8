#pragma once

#include "appinfo.h"

#include <QString>
#include <QUrl>

// The image source of an app's icon in the views: image://appicon/<bundle id>?path=<percent-encoded bundle path>.
namespace AppIconSource {

[[nodiscard]] inline QString of(const AppInfo &app)
{
    return u"image://appicon/"_qs + QString::fromUtf8(QUrl::toPercentEncoding(app.bundleID)) + u"?path="_qs
           + QString::fromUtf8(QUrl::toPercentEncoding(app.path()));
}

} // namespace AppIconSource
