#include "applauncher.h"
#include "appmeta.h"
#include "appsearchdeeplink.h"
#include "fake/fakeappopener.h"
#include "fake/memorypreferences.h"
#include "fake/virtualclock.h"
#include "storecontainer.h"

#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

namespace {

AppInfo app(const QString &id)
{
    AppInfo a;
    a.bundleID = id;
    a.name = id;
    a.url = QUrl::fromLocalFile(u"/apps/"_qs + id + u".desktop"_qs);
    return a;
}

// A launcher over a store file in a temporary folder (or in memory), the virtual clock and the fake opener.
struct Fixture
{
    explicit Fixture(const QString &storeFile = {})
        : opened(StoreContainer::open(storeFile, [this] { return clock.now(); }))
    {
    }
    StoreContext &context() { return opened.container->mainContext(); }

    VirtualClock clock;
    MemoryPreferences prefs;
    AppSearchDeepLink deepLinks{prefs};
    FakeAppOpener opener;
    ContainerResult opened;
    AppLauncher launcher{context(), opener, deepLinks, clock};
};

} // namespace

class TestAppLauncher : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void firstLaunchMakesTheRecord();
    void laterLaunchesCountAndAreSaved();
    void searchPageOnlyForEnabledAppsWithALink_data();
    void searchPageOnlyForEnabledAppsWithALink();
    void refusedLaunchIsNotCounted();
    void failedSaveKeepsTheCountForTheNextSave();
};

void TestAppLauncher::firstLaunchMakesTheRecord()
{
    Fixture f;
    const AppInfo editor = app(u"org.example.Editor"_qs);
    QVERIFY(!f.context().meta(editor.bundleID));
    QCOMPARE(f.launcher.launch(editor), AppLauncher::LaunchResult::launched);
    QCOMPARE(f.opener.requests(), QStringList{u"open /apps/org.example.Editor.desktop"_qs});
    const AppMeta *meta = f.context().meta(editor.bundleID);
    QVERIFY(meta);
    QCOMPARE(meta->launchCount(), 1);
    QCOMPARE(meta->lastLaunchedAt(), std::optional(f.clock.now()));
    QCOMPARE(meta->firstSeenAt(), f.clock.now());
    QVERIFY(!f.context().hasChanges());
}

void TestAppLauncher::laterLaunchesCountAndAreSaved()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"Tarnwick.store"_qs);
    const Instant first = VirtualClock::defaultStart();
    {
        Fixture f(file);
        QVERIFY(f.opened.container);
        const AppInfo editor = app(u"org.example.Editor"_qs);
        QCOMPARE(f.launcher.launch(editor), AppLauncher::LaunchResult::launched);
        f.clock.advanceBy(3h);
        QCOMPARE(f.launcher.launch(editor), AppLauncher::LaunchResult::launched);
        f.clock.advanceBy(1min);
        QCOMPARE(f.launcher.launch(editor), AppLauncher::LaunchResult::launched);
    }
    Fixture reopened(file);
    const AppMeta *meta = reopened.context().meta(u"org.example.Editor"_qs);
    QVERIFY(meta);
    QCOMPARE(meta->launchCount(), 3);
    QCOMPARE(meta->lastLaunchedAt(), std::optional(first + 3h + 1min));
    QCOMPARE(meta->firstSeenAt(), first);
}

void TestAppLauncher::searchPageOnlyForEnabledAppsWithALink_data()
{
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QString>("bundleID");
    QTest::addColumn<QString>("request");
    QTest::newRow("enabled, with a link")
        << QStringList{u"tv.danmaku.bili"_qs} << u"tv.danmaku.bili"_qs
        << u"open bilibili://search?keyword=%20 with /apps/tv.danmaku.bili.desktop"_qs;
    QTest::newRow("a link, not enabled")
        << QStringList{} << u"tv.danmaku.bili"_qs << u"open /apps/tv.danmaku.bili.desktop"_qs;
    QTest::newRow("enabled, without a link")
        << QStringList{u"org.example.Editor"_qs} << u"org.example.Editor"_qs
        << u"open /apps/org.example.Editor.desktop"_qs;
    QTest::newRow("only another app enabled")
        << QStringList{u"com.xingin.xhs"_qs} << u"tv.danmaku.bili"_qs << u"open /apps/tv.danmaku.bili.desktop"_qs;
}

void TestAppLauncher::searchPageOnlyForEnabledAppsWithALink()
{
    QFETCH(QStringList, enabled);
    QFETCH(QString, bundleID);
    QFETCH(QString, request);
    Fixture f;
    for (const auto &id : enabled)
        f.deepLinks.setEnabled(true, id);
    QCOMPARE(f.launcher.launch(app(bundleID)), AppLauncher::LaunchResult::launched);
    QCOMPARE(f.opener.requests(), QStringList{request});
    QCOMPARE(f.context().meta(bundleID)->launchCount(), 1);
}

void TestAppLauncher::refusedLaunchIsNotCounted()
{
    Fixture f;
    const AppInfo fresh = app(u"org.example.Gone"_qs);
    const AppInfo known = app(u"org.example.Known"_qs);
    AppMeta *meta = f.context().fetchOrCreateMeta(known.bundleID);
    meta->setLaunchCount(4);
    meta->setLastLaunchedAt(f.clock.now() - 24h);
    QVERIFY(f.context().save() == SaveResult::saved);
    f.opener.refuse(fresh.path());
    f.opener.refuse(known.path());
    f.deepLinks.setEnabled(true, known.bundleID);

    QCOMPARE(f.launcher.launch(fresh), AppLauncher::LaunchResult::refused);
    QCOMPARE(f.launcher.launch(known), AppLauncher::LaunchResult::refused);
    QVERIFY(!f.context().meta(fresh.bundleID));
    QCOMPARE(meta->launchCount(), 4);
    QCOMPARE(meta->lastLaunchedAt(), std::optional(f.clock.now() - 24h));
    QVERIFY(!f.context().hasChanges());
}

void TestAppLauncher::failedSaveKeepsTheCountForTheNextSave()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"Tarnwick.store"_qs);
    const AppInfo editor = app(u"org.example.Editor"_qs);
    {
        Fixture f(file);
        QVERIFY(f.opened.container);
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(file).constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

        QCOMPARE(f.launcher.launch(editor), AppLauncher::LaunchResult::launched);
        QCOMPARE(f.context().meta(editor.bundleID)->launchCount(), 1);
        QVERIFY(f.context().hasChanges());

        QCOMPARE(sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(other);
        QCOMPARE(f.launcher.launch(editor), AppLauncher::LaunchResult::launched);
        QVERIFY(!f.context().hasChanges());
    }
    Fixture reopened(file);
    QCOMPARE(reopened.context().meta(editor.bundleID)->launchCount(), 2);
}

QTEST_GUILESS_MAIN(TestAppLauncher)
#include "tst_applauncher.moc"
