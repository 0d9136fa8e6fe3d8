#pragma once

#include "../../App/appstatefixture.h"
#include "../../support/applists.h"
#include "adhocblock.h"
#include "fake/fakeclipboard.h"
#include "fake/fakesystemsettings.h"
#include "restrictionrule.h"

// What the launch prompts' tests stand on: the state object on the fakes with a clipboard and system settings, the
// game and the embedded browser (whose path exists), and the rules and ad-hoc blocks that block them.
namespace LaunchPromptApps {

inline const QString game = u"com.example.game"_qs;
inline const QString wechatEx = u"com.tencent.flue.WeChatAppEx"_qs;
inline const QString wechatExPath = u"/Applications/WeChat.app/Contents/MacOS/WeChatAppEx.app"_qs;
inline const QList<int> allDays{1, 2, 3, 4, 5, 6, 7};
inline const AppInfo gameApp = AppLists::app(game, u"Game"_qs);

inline AppInfo wechatApp()
{
    AppInfo a;
    a.bundleID = wechatEx;
    a.name = u"微信内置浏览器"_qs;
    a.url = QUrl::fromLocalFile(wechatExPath);
    return a;
}

} // namespace LaunchPromptApps

struct LaunchPromptFixture
{
    AppStateFixture f;
    AppState *state = nullptr;
    FakeClipboard clipboard;
    FakeSystemSettings settings;

    // Starts the state at `now` and finishes the first scan with `apps`; set the fixture's members before.
    void start(Instant now, const QList<AppInfo> &apps)
    {
        f.clock.setWallTime(now);
        f.existingPaths.append(LaunchPromptApps::wechatExPath);
        state = &f.start();
        f.finishScan(apps);
    }
    StoreContext &store() { return state->container().mainContext(); }
    // Blocks `id` every day from `startMinute` to `endMinute`.
    void blockEveryDay(const QString &id, int startMinute, int endMinute)
    {
        store().insert(std::make_unique<RestrictionRule>(RestrictionTarget::app, id, startMinute, endMinute,
                                                         LaunchPromptApps::allDays, true, std::nullopt));
        std::ignore = store().save();
    }
    void adHocUntil(const QString &id, Instant until)
    {
        store().insert(std::make_unique<AdHocBlock>(id, until));
        std::ignore = store().save();
    }
};
