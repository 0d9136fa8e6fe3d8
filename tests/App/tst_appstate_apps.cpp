#include "appstatefixture.h"

#include "../support/applists.h"
#include "adhocblock.h"
#include "appgroup.h"
#include "appmeta.h"
#include "restrictionrule.h"

#include <QSignalSpy>
#include <QTest>

using namespace AppLists;

// The state object's app list, launch road and app actions over the fakes and the virtual clock (Monday 2 March
// 2026, 12:00 UTC).
namespace {

const QString alpha = u"org.example.alpha"_qs;
const QString bravo = u"org.example.bravo"_qs;
const QString charlie = u"org.example.charlie"_qs;
const QString delta = u"org.example.delta"_qs;
const QString wechatEx = u"com.tencent.flue.WeChatAppEx"_qs;
const QString wechatExPath = u"/Applications/WeChat.app/Contents/MacOS/WeChatAppEx.app"_qs;

const QList<AppInfo> fourApps{app(alpha, u"Alpha"_qs), app(bravo, u"Bravo"_qs), app(charlie, u"Charlie"_qs),
                              app(delta, u"Delta"_qs)};

AppInfo byID(const QString &id)
{
    for (const AppInfo &a : fourApps) {
        if (a.bundleID == id)
            return a;
    }
    return app(id, id);
}

QString openRequest(const QString &id)
{
    return u"open "_qs + byID(id).path();
}

// A started state whose first scan found the four apps.
struct Apps
{
    AppStateFixture f;
    AppState *state = nullptr;

    explicit Apps(bool scanNow = true)
    {
        state = &f.start();
        if (scanNow)
            scan();
    }
    // The first scan finds the four apps, installed on four days of January 2025 in their order.
    void scan(const QList<AppInfo> &apps = fourApps)
    {
        const Instant first{std::chrono::sys_days{std::chrono::January / 1 / 2025}};
        for (qsizetype i = 0; i < apps.size(); ++i)
            f.bundles.setCreationDate(apps[i].path(), first + std::chrono::days{i});
        f.finishScan(apps);
    }
    StoreContext &store() { return state->container().mainContext(); }
    AppMeta *meta(const QString &id) { return store().fetchOrCreateMeta(id); }
    void block(const QString &id, Duration length = std::chrono::hours{1})
    {
        store().insert(std::make_unique<AdHocBlock>(id, f.clock.now() + length));
        std::ignore = store().save();
    }
    QStringList shown() const { return idsOf(state->visibleApps()); }
    [[nodiscard]] QString toastText() { return state->toast().message(); }
};

} // namespace

class TestAppStateApps : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void emptyUntilTheFirstScan()
    {
        Apps s(false);
        s.meta(alpha)->setIsHidden(true);
        s.state->refreshSortMeta();
        QVERIFY(s.shown().isEmpty());
        s.state->setShowHiddenApps(true);
        QVERIFY(s.shown().isEmpty());
        s.state->setSearchText(u"l"_qs);
        QVERIFY(s.shown().isEmpty());
        s.scan();
        QCOMPARE(s.shown(), (QStringList{delta, charlie})); // by rank, without the hidden alpha
        s.state->setSearchText(QString());
        QCOMPARE(s.shown(), (QStringList{bravo, charlie, delta}));
    }

    void listFollowsRecordsGroupsAndSearch()
    {
        Apps s;
        s.meta(delta)->setIsPinned(true);
        s.meta(bravo)->setIsHidden(true);
        s.meta(charlie)->setAliasName(u"\t备忘录 "_qs);
        auto *group =
            s.store().insert(std::make_unique<AppGroup>(u"工作"_qs, 0, QStringList{charlie, bravo, alpha, delta}));
        std::ignore = s.store().save();
        s.state->refreshSortMeta();
        QCOMPARE(s.shown(), (QStringList{delta, alpha, charlie}));

        s.state->setSelectedGroupID(group->storeID());
        QCOMPARE(s.shown(), (QStringList{delta, charlie, alpha}));
        s.state->setShowHiddenApps(true);
        QCOMPARE(s.shown(), QStringList{bravo});

        // The alias is found and shown without its blanks.
        s.state->setSearchText(u"备忘"_qs);
        QCOMPARE(s.shown(), QStringList{charlie});
        QCOMPARE(s.state->alias(byID(charlie)), std::optional(u"备忘录"_qs));
        QCOMPARE(s.state->appName(charlie), std::optional(u"备忘录"_qs));
        QCOMPARE(s.state->appName(alpha), std::optional(u"Alpha"_qs));

        // A deleted group shows all apps.
        s.state->setSearchText(QString());
        s.state->setSelectedGroupID(group->storeID());
        s.store().remove(group);
        QCOMPARE(s.shown(), (QStringList{delta, alpha, charlie}));
    }

    void embeddedAppsJoinTheTargets()
    {
        Apps s;
        QCOMPARE(idsOf(s.state->targetableApps()), (QStringList{alpha, bravo, charlie, delta}));
        // Named even when not installed; its alias is never consulted.
        QCOMPARE(s.state->appName(wechatEx), std::optional(u"微信内置浏览器"_qs));
        QCOMPARE(s.state->appName(u"org.example.unknown"_qs), std::optional<QString>());

        s.f.existingPaths.append(wechatExPath);
        s.meta(wechatEx)->setAliasName(u"小程序"_qs);
        s.state->refreshSortMeta();
        const auto targets = s.state->targetableApps();
        QCOMPARE(idsOf(targets), (QStringList{alpha, bravo, charlie, delta, wechatEx}));
        QCOMPARE(targets.last().path(), wechatExPath);
        QVERIFY(!targets.last().installedAt);
        QCOMPARE(s.state->appName(wechatEx), std::optional(u"微信内置浏览器"_qs));
    }

    void launchRoad_data()
    {
        QTest::addColumn<QString>("app");
        QTest::addColumn<bool>("blocked");
        QTest::addColumn<bool>("focusControlled");
        QTest::addColumn<int>("hideAfterLaunch"); // -1 absent, 0 false, 1 true
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("outcome"); // prompt, sheet, open
        QTest::addColumn<bool>("hidden");

        QTest::newRow("plain app opens") << alpha << false << false << -1 << false << "open" << false;
        QTest::newRow("plain app opens and the launcher hides") << alpha << false << false << 1 << false << "open"
                                                                << true;
        QTest::newRow("hide only with true") << alpha << false << false << 0 << false << "open" << false;
        QTest::newRow("a refused launch does not hide") << alpha << false << false << 1 << true << "open" << false;
        QTest::newRow("blocked app gets the prompt") << alpha << true << false << 1 << false << "prompt" << false;
        QTest::newRow("duration-controlled app gets the sheet")
            << alpha << false << true << 1 << false << "sheet" << false;
        QTest::newRow("blocked duration-controlled app gets the prompt")
            << alpha << true << true << 1 << false << "prompt" << false;
        QTest::newRow("embedded app gets the sheet") << wechatEx << false << false << 1 << false << "sheet" << false;
        QTest::newRow("blocked embedded app gets the prompt")
            << wechatEx << true << false << 1 << false << "prompt" << false;
    }
    void launchRoad()
    {
        QFETCH(QString, app);
        QFETCH(bool, blocked);
        QFETCH(bool, focusControlled);
        QFETCH(int, hideAfterLaunch);
        QFETCH(bool, refused);
        QFETCH(QString, outcome);
        QFETCH(bool, hidden);

        Apps s;
        if (blocked)
            s.block(app, std::chrono::minutes{30});
        if (focusControlled)
            s.state->setFocusControlled({app});
        if (hideAfterLaunch >= 0)
            s.f.preferences.setBool(u"hideAfterLaunch"_qs, hideAfterLaunch == 1);
        if (refused)
            s.f.opener.refuse(byID(app).path());
        const AppInfo info = byID(app);

        s.state->requestLaunch(info);

        if (outcome == u"prompt") {
            QVERIFY(s.state->blockedPrompt());
            QCOMPARE(s.state->blockedPrompt()->app, info);
            QCOMPARE(s.state->blockedPrompt()->until, std::optional(s.f.clock.now() + std::chrono::minutes{30}));
        } else {
            QVERIFY(!s.state->blockedPrompt());
        }
        QCOMPARE(s.state->pendingFocusApp() == info, outcome == u"sheet");
        QCOMPARE(s.f.opener.requests(), outcome == u"open" ? QStringList{openRequest(app)} : QStringList{});
        QCOMPARE(s.f.activation.hideCount(), hidden ? 1 : 0);
        // The launch is counted, a refused one not.
        QCOMPARE(s.store().meta(app) ? s.store().meta(app)->launchCount() : 0, outcome == u"open" && !refused ? 1 : 0);
    }

    void promptShowsTheLoanEnd()
    {
        Apps s;
        const Instant loan = s.f.clock.now() + std::chrono::minutes{45};
        s.f.preferences.setNumberMap(u"pausedLoanUntilMap"_qs, {{alpha, Instants::secondsSince1970(loan)}});
        s.state->requestLaunch(byID(alpha));
        QVERIFY(s.state->blockedPrompt());
        QCOMPARE(s.state->blockedPrompt()->until, std::optional(loan));
    }

    void skipFocusLaunchesWhateverIsAsked()
    {
        Apps s;
        s.block(alpha);
        s.f.preferences.setBool(u"hideAfterLaunch"_qs, true);
        s.state->setPendingFocusApp(byID(alpha));
        s.state->skipFocusAndLaunch(byID(alpha));
        QVERIFY(!s.state->pendingFocusApp());
        QCOMPARE(s.f.opener.requests(), QStringList{openRequest(alpha)});
        QCOMPARE(s.f.activation.hideCount(), 1);
    }

    void startFocusSession_data()
    {
        QTest::addColumn<QString>("app");
        QTest::addColumn<QString>("note"); // "-": none
        QTest::addColumn<int>("blockMinutes"); // -1: none
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QString>("storedNote"); // "-": none

        QTest::newRow("plain app with a note and a block") << alpha << "写完周报" << 10 << true << "写完周报";
        QTest::newRow("empty note is none") << alpha << "" << -1 << true << "-";
        QTest::newRow("blank note is kept") << alpha << "  " << -1 << true << "  ";
        QTest::newRow("no note") << alpha << "-" << 5 << true << "-";
        QTest::newRow("embedded app is not opened") << wechatEx << "看文章" << -1 << false << "看文章";
    }
    void startFocusSession()
    {
        QFETCH(QString, app);
        QFETCH(QString, note);
        QFETCH(int, blockMinutes);
        QFETCH(bool, opened);
        QFETCH(QString, storedNote);

        Apps s;
        s.meta(alpha)->setAliasName(u"甲"_qs);
        s.state->refreshSortMeta();
        s.f.preferences.setBool(u"hideAfterLaunch"_qs, true);
        const AppInfo info = byID(app);
        s.state->setPendingFocusApp(info);
        int panelsAtBegin = -1;
        connect(&s.state->sessionManager(), &FocusSessionManager::sessionsChanged, this,
                [&] { panelsAtBegin = s.f.timerPanelsMade; });

        s.state->startFocusSession(info, 25, note == u"-" ? std::nullopt : std::optional(note),
                                   blockMinutes < 0 ? std::nullopt : std::optional(blockMinutes));

        QCOMPARE(panelsAtBegin, 1); // the panel exists before the session begins
        const auto sessions = s.state->sessionManager().sessions();
        QCOMPARE(sessions.size(), 1);
        QCOMPARE(sessions[0].bundleID, app);
        QCOMPARE(sessions[0].appName, info.name); // the name, not the alias
        QCOMPARE(sessions[0].taskNote, storedNote == u"-" ? std::nullopt : std::optional(storedNote));
        QCOMPARE(sessions[0].deadline, s.f.clock.now() + std::chrono::minutes{25});
        QCOMPARE(sessions[0].blockMinutes, blockMinutes < 0 ? std::nullopt : std::optional(blockMinutes));
        QCOMPARE(s.f.opener.requests(), opened ? QStringList{openRequest(app)} : QStringList{});
        QVERIFY(!s.state->pendingFocusApp());
        QCOMPARE(s.f.activation.hideCount(), 1); // also for an embedded app
    }

    void missingApps_data()
    {
        QTest::addColumn<int>("goneDays"); // -1: never marked missing
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("after"); // kept, marked now, cleared, deleted

        QTest::newRow("gone 31 days is deleted") << 31 << false << "deleted";
        QTest::newRow("gone 29 days is kept") << 29 << false << "kept";
        QTest::newRow("newly gone is marked") << -1 << false << "marked now";
        QTest::newRow("back again is cleared") << 40 << true << "cleared";
    }
    void missingApps()
    {
        QFETCH(int, goneDays);
        QFETCH(bool, installed);
        QFETCH(QString, after);

        Apps s(false);
        const QString id = installed ? alpha : u"org.example.gone"_qs;
        const auto since = goneDays < 0 ? std::nullopt
                                        : std::optional(s.f.clock.now() - std::chrono::days{goneDays});
        s.meta(id)->setMissingSince(since);
        std::ignore = s.store().save();
        s.scan();

        s.f.clock.advanceBy(std::chrono::milliseconds{9999});
        QCOMPARE(s.meta(id)->missingSince(), since); // not before 10 s
        const Instant checkAt = s.f.clock.now() + std::chrono::milliseconds{1};
        s.f.clock.advanceBy(std::chrono::milliseconds{1});

        QVERIFY(!s.store().hasChanges()); // one save for all changes
        AppMeta *row = s.store().meta(id);
        if (after == u"deleted") {
            QVERIFY(!row);
        } else {
            QVERIFY(row);
            const auto expected = after == u"kept" ? since : after == u"marked now" ? std::optional(checkAt)
                                                                                    : std::nullopt;
            QCOMPARE(row->missingSince(), expected);
        }
    }

    void emptyScanMarksNothingMissing()
    {
        Apps s(false);
        s.meta(alpha);
        std::ignore = s.store().save();
        s.scan({});
        s.f.clock.advanceBy(std::chrono::seconds{11});
        QVERIFY(!s.store().meta(alpha)->missingSince());
    }

    void moveSelection()
    {
        Apps s;
        s.state->gridColumns = 3;
        s.state->moveSelection(1, 0);
        QCOMPARE(s.state->selectedAppID(), std::optional(alpha)); // nothing selected: the first, no move
        s.state->moveSelection(0, 1);
        QCOMPARE(s.state->selectedAppID(), std::optional(delta));
        s.state->moveSelection(-1, 0);
        QCOMPARE(s.state->selectedAppID(), std::optional(charlie));
        s.state->moveSelection(0, 1);
        QCOMPARE(s.state->selectedAppID(), std::optional(delta)); // past the end: the last

        s.state->hideApp(byID(alpha));
        s.state->setSelectedAppID(alpha); // hidden now: not shown
        s.state->moveSelection(0, -1);
        QCOMPARE(s.state->selectedAppID(), std::optional(bravo));

        s.state->setSearchText(u"zzz"_qs);
        s.state->setSelectedAppID(bravo);
        s.state->moveSelection(1, 0);
        QCOMPARE(s.state->selectedAppID(), std::optional(bravo)); // an empty list changes nothing
    }

    void draggedGroupOrder()
    {
        Apps s;
        auto *group = s.store().insert(std::make_unique<AppGroup>(u"工作"_qs, 0, QStringList{alpha, bravo, charlie,
                                                                                                u"org.example.gone"_qs,
                                                                                                delta}));
        std::ignore = s.store().save();

        s.state->commitGroupOrder({delta, alpha});
        QCOMPARE(group->bundleIDs(), (QStringList{alpha, bravo, charlie, u"org.example.gone"_qs, delta}));

        s.state->setSelectedGroupID(group->storeID());
        s.state->commitGroupOrder({delta, charlie, alpha}); // bravo hidden or filtered out: it keeps its place
        QCOMPARE(group->bundleIDs(), (QStringList{delta, bravo, charlie, u"org.example.gone"_qs, alpha}));
        QVERIFY(!s.store().hasChanges());
    }

    void draggedCustomOrder()
    {
        Apps s;
        s.f.existingPaths.append(wechatExPath);
        s.meta(bravo)->setIsHidden(true);
        s.meta(charlie)->setSortIndex(0);
        s.state->refreshSortMeta();
        // Custom order: charlie (index 0), the embedded app (no install date), then alpha, bravo, delta by their
        // install dates. The three on screen are dragged into delta, charlie, alpha.
        s.state->commitCustomOrder({byID(delta), byID(charlie), byID(alpha)});

        QVERIFY(!s.store().hasChanges());
        QCOMPARE(s.store().meta(delta)->sortIndex(), std::optional(0));
        QCOMPARE(s.store().meta(wechatEx)->sortIndex(), std::optional(1));
        QCOMPARE(s.store().meta(charlie)->sortIndex(), std::optional(2));
        QCOMPARE(s.store().meta(bravo)->sortIndex(), std::optional(3)); // hidden: keeps its place
        QCOMPARE(s.store().meta(alpha)->sortIndex(), std::optional(4));
        QCOMPARE(s.shown(), (QStringList{delta, wechatEx, charlie, alpha}));
    }

    void pinHideAndAlias()
    {
        Apps s;
        QSignalSpy changed(s.state, &AppState::changed);
        s.state->togglePin(byID(charlie));
        QVERIFY(s.state->pinnedBundleIDs().contains(charlie));
        QCOMPARE(s.shown().first(), charlie);
        s.state->togglePin(byID(charlie));
        QVERIFY(s.state->pinnedBundleIDs().isEmpty());
        QVERIFY(!s.store().hasChanges());
        QVERIFY(changed.count() >= 2);

        s.state->setSelectedAppID(bravo);
        s.state->hideApp(byID(bravo));
        QVERIFY(!s.state->selectedAppID());
        QCOMPARE(s.shown(), (QStringList{alpha, charlie, delta}));
        s.state->setSelectedAppID(alpha);
        s.state->hideApp(byID(charlie));
        QCOMPARE(s.state->selectedAppID(), std::optional(alpha)); // another app's hiding keeps the selection
        s.state->unhideApp(byID(bravo));
        s.state->unhideApp(byID(charlie));
        QCOMPARE(s.shown(), (QStringList{alpha, bravo, charlie, delta}));
        QCOMPARE(s.store().meta(bravo)->isHidden(), std::optional(false));
    }

    void setAlias_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored"); // "-": none
        QTest::newRow("blanks around") << u" \t笔记\u3000"_qs << u"笔记"_qs;
        QTest::newRow("empty removes") << QString() << u"-"_qs;
        QTest::newRow("blanks only remove") << u" \t "_qs << u"-"_qs;
        QTest::newRow("a line break stays") << u"笔记\n"_qs << u"笔记\n"_qs;
    }
    void setAlias()
    {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        Apps s;
        QVERIFY(!s.store().meta(delta)); // the row is made when missing
        s.meta(alpha)->setAliasName(u"旧名"_qs);
        std::ignore = s.store().save();
        QSignalSpy changed(s.state, &AppState::changed);
        for (const QString &id : {alpha, delta}) {
            s.state->setAlias(text, byID(id));
            QCOMPARE(s.store().meta(id)->aliasName(), stored == u"-" ? std::nullopt : std::optional(stored));
            QCOMPARE(s.state->alias(byID(id)).value_or(u"-"_qs),
                     stored);
        }
        QVERIFY(!s.store().hasChanges());
        QVERIFY(changed.count() >= 2);
    }

    void focusControlList()
    {
        Apps s;
        QSignalSpy changed(s.state, &AppState::changed);
        s.f.preferences.setStringList(u"focusControlBundleIDs"_qs, {bravo, alpha, bravo});
        s.state->toggleFocusControl(byID(charlie));
        QCOMPARE(s.f.preferences.stringList(u"focusControlBundleIDs"_qs), (QStringList{bravo, alpha, bravo, charlie}));
        s.state->toggleFocusControl(byID(bravo));
        QCOMPARE(s.f.preferences.stringList(u"focusControlBundleIDs"_qs), (QStringList{alpha, charlie}));
        QVERIFY(s.state->isFocusControlled(alpha));
        QVERIFY(!s.state->isFocusControlled(bravo));
        QCOMPARE(changed.count(), 2);

        s.state->setFocusControlled({delta, alpha, charlie});
        QCOMPARE(s.f.preferences.stringList(u"focusControlBundleIDs"_qs), (QStringList{alpha, charlie, delta}));
        QCOMPARE(changed.count(), 3);

        s.f.preferences.setValue(u"focusControlBundleIDs"_qs, QJsonValue(7)); // not a list: empty
        QVERIFY(!s.state->isFocusControlled(alpha));
        s.state->toggleFocusControl(byID(alpha));
        QCOMPARE(s.f.preferences.stringList(u"focusControlBundleIDs"_qs), QStringList{alpha});
    }

    // The dock's calls leave the main thread: nothing happens before the executor runs them, requests run in order,
    // and each toast comes with its result.
    void keepInDock()
    {
        Apps s;
        s.meta(alpha)->setAliasName(u"甲"_qs); // the toast names the app, not its alias
        s.state->refreshSortMeta();
        s.state->pinToDock(byID(alpha));
        s.state->pinToDock(byID(alpha));
        QCOMPARE(s.f.dockExecutor.pendingCount(), 2);
        QVERIFY(s.f.dock.kept().isEmpty());

        QVERIFY(s.f.dockExecutor.runNext());
        QCOMPARE(s.f.dock.kept(), QStringList{alpha});
        QCOMPARE(s.toastText(), u"「Alpha」已置入程序坞常驻"_qs);
        QVERIFY(s.f.dockExecutor.runNext());
        QCOMPARE(s.f.dock.kept(), QStringList{alpha});
        QCOMPARE(s.toastText(), u"「Alpha」已在程序坞常驻"_qs);

        s.f.dock.setAcceptsWrites(false);
        s.state->pinToDock(byID(bravo));
        QVERIFY(s.f.dockExecutor.runNext());
        QCOMPARE(s.toastText(), u"置入失败：当前桌面不支持在程序坞常驻应用"_qs);
        QCOMPARE(s.f.dock.kept(), QStringList{alpha});
    }

    void dockResultAfterTheStateIsGone()
    {
        auto s = std::make_unique<Apps>();
        s->state->pinToDock(byID(alpha));
        ManualExecutor &executor = s->f.dockExecutor;
        FakeDockPinning &dock = s->f.dock;
        s->f.state.reset();
        QVERIFY(executor.runNext()); // the work touches only the dock; no toast for a state that is gone
        QCOMPARE(dock.kept(), QStringList{alpha});
    }

    void sortRefreshAfterGoingToTheBackground()
    {
        Apps s;
        s.f.activation.setActive(true);
        s.meta(alpha)->setIsPinned(true);
        std::ignore = s.store().save();

        s.f.activation.setActive(false);
        s.f.clock.advanceBy(std::chrono::milliseconds{299});
        QVERIFY(s.state->pinnedBundleIDs().isEmpty());
        s.f.clock.advanceBy(std::chrono::milliseconds{1});
        QCOMPARE(s.state->pinnedBundleIDs(), QSet<QString>{alpha});

        // Active again within the delay: no refresh.
        s.f.activation.setActive(true);
        s.meta(bravo)->setIsPinned(true);
        s.f.activation.setActive(false);
        s.f.activation.setActive(true);
        s.f.clock.advanceBy(std::chrono::seconds{1});
        QCOMPARE(s.state->pinnedBundleIDs(), QSet<QString>{alpha});
    }

    void refreshSortMetaTakesTheBlockedSet()
    {
        Apps s;
        s.block(charlie);
        QVERIFY(!s.state->blockedBundleIDCache().contains(charlie));
        QSignalSpy changed(s.state, &AppState::changed);
        s.state->refreshSortMeta();
        QCOMPARE(s.state->blockedBundleIDCache(), QSet<QString>{charlie});
        QCOMPARE(changed.count(), 1);
    }
};

QTEST_MAIN(TestAppStateApps)
#include "tst_appstate_apps.moc"
