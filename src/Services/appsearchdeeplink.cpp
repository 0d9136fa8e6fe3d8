#include "appsearchdeeplink.h"

#include "preferences.h"

namespace {

AppSearchDeepLink::Link makeLink(const char16_t *bundleID, const char16_t *scheme, const char16_t *path, bool offered)
{
    const QString text = QString::fromUtf16(scheme) + u"://"_qs + QString::fromUtf16(path) + u"?keyword=%20"_qs;
    return {QString::fromUtf16(bundleID), text, offered};
}

} // namespace

AppSearchDeepLink::AppSearchDeepLink(Preferences &preferences)
    : m_preferences(preferences)
{
}

const QList<AppSearchDeepLink::Link> &AppSearchDeepLink::links()
{
    static const QList<Link> table = {
        makeLink(u"com.xingin.discover", u"xhsdiscover", u"search/result", true),
        makeLink(u"com.xingin.xhs", u"xhsdiscover", u"search/result", true),
        makeLink(u"tv.danmaku.bilibilihd", u"bilibili", u"search", true),
        makeLink(u"tv.danmaku.bilianime", u"bilibili", u"search", true),
        makeLink(u"tv.danmaku.bili", u"bilibili", u"search", true),
        makeLink(u"com.ss.iphone.ugc.Aweme", u"snssdk1128", u"search", false),
    };
    return table;
}

const QSet<QString> &AppSearchDeepLink::launchPanelBundleIDs()
{
    static const QSet<QString> ids = [] {
        QSet<QString> out;
        for (const auto &link : links()) {
            if (link.offeredInLaunchPanel)
                out.insert(link.bundleID);
        }
        return out;
    }();
    return ids;
}

std::optional<QUrl> AppSearchDeepLink::url(const QString &bundleID)
{
    for (const auto &link : links()) {
        // Parsed from its encoded form so that the "%20" survives as written (a decoded space would be re-encoded
        // differently by some handlers).
        if (link.bundleID == bundleID)
            return QUrl::fromEncoded(link.text.toLatin1(), QUrl::StrictMode);
    }
    return std::nullopt;
}

bool AppSearchDeepLink::isEnabled(const QString &bundleID) const
{
    return enabledBundleIDs().contains(bundleID);
}

void AppSearchDeepLink::setEnabled(bool enabled, const QString &bundleID)
{
    QStringList ids = enabledBundleIDs();
    if (enabled) {
        if (!ids.contains(bundleID))
            ids.append(bundleID);
    } else {
        ids.removeAll(bundleID);
    }
    m_preferences.setStringList(enabledBundleIDsKey.toString(), ids);
}

QStringList AppSearchDeepLink::enabledBundleIDs() const
{
    return m_preferences.stringList(enabledBundleIDsKey.toString()).value_or(QStringList());
}
