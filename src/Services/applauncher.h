#pragma once

#include "appinfo.h"

#include <QString>

class AppMeta;
class AppOpener;
class AppSearchDeepLink;
class Clock;
class StoreContext;

// Opens apps for the state object's launch paths and counts every launch in the app's AppMeta record (made when
// there is none): launch count + 1, last launch = now, saved at once. An app whose search page the user chose opens
// on it. Main thread; one instance owned by the state object, holding the store's main context and its seams by
// reference.
class AppLauncher
{
public:
    enum class [[nodiscard]] LaunchResult {
        launched, // handed to the system and counted
        refused,  // the system could not start it at all; nothing was counted
    };

    AppLauncher(StoreContext &context, AppOpener &opener, const AppSearchDeepLink &deepLinks, const Clock &clock);

    // Opens the app, or its search page when it has one and the user enabled it, and records the launch. A save
    // that fails is let go: the record keeps the new count, and the next save writes it.
    LaunchResult launch(const AppInfo &app);

    // The app's record in the context; a new one (first seen now) is inserted when there is none, and not saved.
    [[nodiscard]] static AppMeta *fetchOrCreateMeta(const QString &bundleID, StoreContext &context);

private:
    StoreContext &m_context;
    AppOpener &m_opener;
    const AppSearchDeepLink &m_deepLinks;
    const Clock &m_clock;

    void recordLaunch(const QString &bundleID);
};
