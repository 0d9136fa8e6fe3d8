#include "applauncher.h"

#include "appmeta.h"
#include "appopener.h"
#include "appsearchdeeplink.h"
#include "clock.h"
#include "storecontext.h"

AppLauncher::AppLauncher(StoreContext &context, AppOpener &opener, const AppSearchDeepLink &deepLinks,
                         const Clock &clock)
    : m_context(context)
    , m_opener(opener)
    , m_deepLinks(deepLinks)
    , m_clock(clock)
{
}

AppLauncher::LaunchResult AppLauncher::launch(const AppInfo &app)
{
    OpenResult opened = OpenResult::refused;
    const auto searchPage = AppSearchDeepLink::url(app.bundleID);
    if (searchPage && m_deepLinks.isEnabled(app.bundleID))
        opened = m_opener.openURL(*searchPage, app.path());
    else
        opened = m_opener.openApplication(app.path());
    // A launch the system turned down at once did not happen, and counting it would move the app up the order.
    if (opened == OpenResult::refused)
        return LaunchResult::refused;
    recordLaunch(app.bundleID);
    return LaunchResult::launched;
}

AppMeta *AppLauncher::fetchOrCreateMeta(const QString &bundleID, StoreContext &context)
{
    return context.fetchOrCreateMeta(bundleID);
}

void AppLauncher::recordLaunch(const QString &bundleID)
{
    AppMeta *meta = fetchOrCreateMeta(bundleID, m_context);
    meta->setLaunchCount(meta->launchCount() + 1);
    meta->setLastLaunchedAt(m_clock.now());
    static_cast<void>(m_context.save());
}
