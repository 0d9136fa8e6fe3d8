#include "embeddedapp.h"

#include <QFileInfo>

AppInfo EmbeddedApp::appInfo() const
{
    return AppInfo{bundleID, displayName, QUrl::fromLocalFile(bundlePath), std::nullopt, aliases};
}

EmbeddedAppRegistry::EmbeddedAppRegistry()
    : EmbeddedAppRegistry(builtIn(), &EmbeddedAppRegistry::fileExists)
{
}

EmbeddedAppRegistry::EmbeddedAppRegistry(QList<EmbeddedApp> all, ExistsCheck exists)
    : m_all(std::move(all))
    , m_exists(std::move(exists))
{
}

QList<EmbeddedApp> EmbeddedAppRegistry::builtIn()
{
    return {EmbeddedApp{
        u"com.tencent.flue.WeChatAppEx"_qs,
        u"微信内置浏览器"_qs,
        u"/Applications/WeChat.app/Contents/MacOS/WeChatAppEx.app"_qs,
        u"com.tencent.xinWeChat"_qs,
        {u"WeChatAppEx"_qs, u"微信浏览器"_qs, u"微信小程序"_qs},
    }};
}

bool EmbeddedAppRegistry::fileExists(const QString &path)
{
    return QFileInfo::exists(path); // follows links, like the platform's check
}

std::optional<EmbeddedApp> EmbeddedAppRegistry::app(const QString &bundleID) const
{
    for (const auto &e : m_all) {
        if (e.bundleID == bundleID)
            return e;
    }
    return std::nullopt;
}

QList<EmbeddedApp> EmbeddedAppRegistry::installed() const
{
    QList<EmbeddedApp> out;
    for (const auto &e : m_all) {
        if (m_exists && m_exists(e.bundlePath))
            out.append(e);
    }
    return out;
}
