#pragma once

#include "fake/fakeclipboard.h"
#include "appcontextmenumodel.h"
#include "fake/fakesystemsettings.h"
#include "fixtureapps.h"
#include "launchpromptmodels.h"
#include "mainviewcontroller.h"
#include "viewtest.h"

#include "../App/appstatefixture.h"

#include <QTest>
#include <QUrl>

// The launcher window's content as main.cpp builds it, over a state object on fakes: `n` apps with Chinese names
// and icons, shown in an offscreen window of `size`. Sheets and overlays lie in the window's overlay layer.
struct MainViewFixture
{
    AppStateFixture f;
    std::unique_ptr<AppContextMenuModel> contextMenu;
    QList<QUrl> revealed;
    std::unique_ptr<MainViewFactory> factory;
    FakeClipboard clipboard;
    FakeSystemSettings systemSettings;
    std::unique_ptr<LaunchPromptModels> prompts;
    ViewTest view;
    int quitRequests = 0;
    // The opener's requests a test has already looked at.
    qsizetype seenRequests = 0;
    QList<AppInfo> apps;

    MainViewFixture(const QString &testName, const QString &iconDir, int n = 40, QSize size = QSize(1030, 763))
        : view(testName)
    {
        f.start();
        QVERIFY(f.state);
        apps = FixtureApps::make(n, iconDir);
        f.finishScan(apps);
        contextMenu = std::make_unique<AppContextMenuModel>(*f.state, f.state->container().mainContext(),
                                                            [this](const QList<QUrl> &items) { revealed += items; });
        factory = std::make_unique<MainViewFactory>(MainViewController::Services{
            *f.state, f.activation, f.clock, f.clock, &f.iconCache,
            [iconDir](const AppInfo &app) {
                return QUrl::fromLocalFile(FixtureApps::iconPath(iconDir, app.bundleID.right(3).toInt())).toString();
            },
            [this] { ++quitRequests; }, contextMenu.get()});
        prompts = std::make_unique<LaunchPromptModels>(*f.state, clipboard, systemSettings);
        view.setIconCache(f.iconCache);
        QVERIFY2(view.loadView(u"MainView"_qs,
                               {{u"state"_qs, QVariant::fromValue(f.state.get())},
                                {u"factory"_qs, QVariant::fromValue(factory.get())},
                                {u"prompts"_qs, QVariant::fromValue(prompts.get())}},
                               size),
                 qPrintable(view.errors()));
        QCoreApplication::processEvents();
    }
    AppState &state() { return *f.state; }
    QQuickItem *field() const { return view.item(u"searchField"_qs); }
    MainViewController *controller() const { return view.root()->property("controller").value<MainViewController *>(); }
    // An item anywhere in the window, the overlay layer included.
    QQuickItem *anywhere(const QString &name) const { return ViewTest::itemIn(view.view()->contentItem(), name); }
};
