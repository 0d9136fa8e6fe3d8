#include "../support/fixturetree.h"

#include "appidentity.h"
#include "appscanner.h"
#include "desktopentryindex.h"
#include "fake/fakeappdirectorysearch.h"
#include "fake/fakebundlereader.h"
#include "fake/fakefolderwatcher.h"
#include "fake/manualexecutor.h"
#include "fake/virtualclock.h"
#include "pinyinmatcher.h"
#include "portablebundlereader.h"
#include "threadpoolexecutor.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

// The scanner over fixture trees: what is listed and under which name, which copy of an app wins, which rebuild is
// published, and how folder events and search notices turn into reloads.
class TestAppScanner : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void ownBundleNeverListed_data();
    void ownBundleNeverListed();
    void nestedSearchHitDropped();
    void walkFindsOneLevelDownOnly();
    void oneEntryPerIdentifier_data();
    void oneEntryPerIdentifier();
    void searchHitNames_data();
    void searchHitNames();
    void aliases();
    void installDatesFromTheReader();
    void staleRebuildDropped_data();
    void staleRebuildDropped();
    void burstOfFolderEventsGivesOneReload();
    void initialScanDone();
    void watchesOnlyRootsThatExistAtStart();
    void indexAndRootWatchersReloadOnce();
    void desktopEntries_data();
    void desktopEntries();
    void droppedScannerPublishesNothing();
    void rebuildsOnWorkerThreads();
};

namespace {

using Hit = AppDirectorySearch::Hit;
const QStringList chinese{u"zh-CN"_qs, u"zh-Hans-CN"_qs, u"zh"_qs};

// Everything a scanner stands on; the roots are folders of the tree unless they are absolute.
struct Harness
{
    FixtureTree tree;
    FakeFolderWatcher watcher;
    VirtualClock clock;
    ManualExecutor executor;
    FakeAppDirectorySearch fakeSearch;
    std::unique_ptr<DesktopEntryIndex> index;
    std::unique_ptr<PortableBundleReader> reader;
    std::unique_ptr<AppScanner> scanner;
    QStringList roots;

    AppScanner &make(const QStringList &rootNames, bool realIndex = false, const QStringList &desktops = {})
    {
        for (const auto &name : rootNames)
            roots << (QDir::isAbsolutePath(name) ? name : tree.path(name));
        reader = std::make_unique<PortableBundleReader>(DesktopEntryReader::Options{
            roots, desktops,
            [](const QString &program) { return program == u"present-program" || program == u"true"; }});
        AppDirectorySearch *search = &fakeSearch;
        if (realIndex) {
            index = std::make_unique<DesktopEntryIndex>(watcher, clock, executor, chinese);
            search = index.get();
        }
        scanner = std::make_unique<AppScanner>(*search, *reader, watcher, clock, executor, roots);
        scanner->setPreferredLanguages(chinese);
        return *scanner;
    }
    QString root(int i) const { return roots[i]; }
    Hit hit(const QString &relative, std::optional<QString> displayName = std::nullopt) const
    {
        return {tree.path(relative), std::move(displayName)};
    }
    // Starts, lets the search finish with `hits` and publishes.
    void startWith(const QList<Hit> &hits = {})
    {
        fakeSearch.setResults(hits);
        scanner->start();
        fakeSearch.finishGathering();
        executor.runAll();
    }
    // "id name location" per app, sorted by id; locations relative to the tree.
    QStringList listed() const
    {
        QStringList out;
        for (const auto &app : scanner->apps()) {
            QString where = app.path();
            if (where.startsWith(tree.path()))
                where = where.sliced(tree.path().size() + 1);
            out << app.bundleID + u' ' + app.name + u' ' + where;
        }
        std::sort(out.begin(), out.end());
        return out;
    }
};

QByteArray desktopEntry(const QString &name, const QByteArray &extra = {})
{
    return "[Desktop Entry]\nType=Application\nName=" + name.toUtf8() + "\nExec=true\n" + extra;
}

} // namespace

void TestAppScanner::ownBundleNeverListed_data()
{
    QTest::addColumn<QString>("ownLocation");
    QTest::addColumn<bool>("searchFindsIt");
    QTest::newRow("a desktop entry the walk finds") << u"apps/tarnwick.desktop"_qs << false;
    QTest::newRow("a bundle the walk finds") << u"apps/Tarnwick.app"_qs << false;
    QTest::newRow("a bundle only the search finds") << u"apps/Deep/Er/Tarnwick.app"_qs << true;
    QTest::newRow("a desktop entry the search finds") << u"apps/tarnwick.desktop"_qs << true;
}

void TestAppScanner::ownBundleNeverListed()
{
    QFETCH(QString, ownLocation);
    QFETCH(bool, searchFindsIt);
    Harness h;
    if (ownLocation.endsWith(u".desktop"))
        h.tree.desktopEntry(ownLocation, u"Tarnwick"_qs);
    else
        h.tree.appBundle(ownLocation, {{u"CFBundleIdentifier"_qs, AppIdentity::bundleID()}});
    h.tree.appBundle(u"apps/Other.app"_qs, {{u"CFBundleIdentifier"_qs, u"com.example.other"_qs}});
    h.make({u"apps"_qs});
    QList<Hit> hits;
    if (searchFindsIt)
        hits << h.hit(ownLocation, u"Tarnwick"_qs);
    h.startWith(hits);
    QCOMPARE(h.listed(), QStringList{u"com.example.other Other apps/Other.app"_qs});
}

void TestAppScanner::nestedSearchHitDropped()
{
    Harness h;
    h.tree.appBundle(u"apps/Tool.app"_qs, {{u"CFBundleIdentifier"_qs, u"com.example.tool"_qs}});
    h.tree.appBundle(u"apps/Tool.app/Contents/Library/Agent.app"_qs,
                     {{u"CFBundleIdentifier"_qs, u"com.example.agent"_qs}});
    h.make({u"apps"_qs});
    h.startWith({h.hit(u"apps/Tool.app/Contents/Library/Agent.app"_qs, u"Agent"_qs), h.hit(u"apps/Tool.app"_qs)});
    QCOMPARE(h.listed(), QStringList{u"com.example.tool Tool apps/Tool.app"_qs});
}

void TestAppScanner::walkFindsOneLevelDownOnly()
{
    Harness h;
    h.tree.appBundle(u"apps/Utilities/Terminal.app"_qs, {{u"CFBundleIdentifier"_qs, u"com.example.terminal"_qs}});
    h.tree.appBundle(u"apps/A/B/C.app"_qs, {{u"CFBundleIdentifier"_qs, u"com.example.c"_qs}});
    h.make({u"apps"_qs});
    h.startWith();
    QCOMPARE(h.listed(), QStringList{u"com.example.terminal Terminal apps/Utilities/Terminal.app"_qs});

    // Three levels down only the search finds it.
    h.fakeSearch.setResults({h.hit(u"apps/A/B/C.app"_qs, u"C"_qs)});
    h.fakeSearch.postUpdate();
    h.executor.runAll();
    QCOMPARE(h.listed(), (QStringList{u"com.example.c C apps/A/B/C.app"_qs,
                                      u"com.example.terminal Terminal apps/Utilities/Terminal.app"_qs}));
}

void TestAppScanner::oneEntryPerIdentifier_data()
{
    QTest::addColumn<QStringList>("roots");
    QTest::addColumn<QStringList>("copies"); // the same app, in these locations
    QTest::addColumn<QString>("searched");   // the copy the search finds; empty: none
    QTest::addColumn<QString>("expected");   // the location listed

    const QString home = QDir::homePath() + u"/Applications"_qs;
    QTest::newRow("equal places: the first root")
        << QStringList{u"first"_qs, u"second"_qs}
        << QStringList{u"first/Notes.app"_qs, u"second/Notes.app"_qs} << QString() << u"first/Notes.app"_qs;
    QTest::newRow("equal places: first root also one level down")
        << QStringList{u"first"_qs, u"second"_qs}
        << QStringList{u"first/Office/Notes.app"_qs, u"second/Notes.app"_qs} << QString()
        << u"first/Office/Notes.app"_qs;
    QTest::newRow("the home Applications folder beats an earlier root")
        << QStringList{u"first"_qs, home} << QStringList{u"first/Notes.app"_qs, home + u"/Notes.app"_qs}
        << QString() << home + u"/Notes.app"_qs;
    // The walk adds only what the search missed: a better place that only the walk finds does not count.
    QTest::newRow("a search hit stays against a better place of the walk")
        << QStringList{u"first"_qs, home} << QStringList{u"first/Notes.app"_qs, home + u"/Notes.app"_qs}
        << u"first/Notes.app"_qs << u"first/Notes.app"_qs;
}

void TestAppScanner::oneEntryPerIdentifier()
{
    QFETCH(QStringList, roots);
    QFETCH(QStringList, copies);
    QFETCH(QString, searched);
    QFETCH(QString, expected);
    // The home folder is the test's own (tests/run-isolated); never write into a real one.
    if (!QDir::homePath().startsWith(qEnvironmentVariable("TARNWICK_TEST_ROOT")) || qEnvironmentVariableIsEmpty("TARNWICK_TEST_ROOT"))
        QSKIP("needs the private home of tests/run-isolated");
    Harness h;
    for (const auto &copy : copies) {
        const QString location = QDir::isAbsolutePath(copy) ? copy : h.tree.path(copy);
        QDir().mkpath(location + u"/Contents"_qs);
        QFile info(location + u"/Contents/Info.plist"_qs);
        QVERIFY(info.open(QIODevice::WriteOnly));
        info.write("<plist><dict><key>CFBundleIdentifier</key><string>com.example.notes</string></dict></plist>");
    }
    h.make(roots);
    h.startWith(searched.isEmpty() ? QList<Hit>() : QList<Hit>{h.hit(searched, u"Notes"_qs)});
    QCOMPARE(h.listed(), QStringList{u"com.example.notes Notes "_qs + expected});
}

void TestAppScanner::searchHitNames_data()
{
    QTest::addColumn<QString>("location");
    QTest::addColumn<QString>("displayName"); // null: the search has none
    QTest::addColumn<QString>("expected");
    QTest::newRow("display name with the bundle suffix") << u"apps/Safari.app"_qs << u"Safari.app"_qs
                                                         << u"Safari"_qs;
    QTest::newRow("display name with a dot keeps it") << u"apps/draw.io.app"_qs << u"draw.io"_qs << u"draw.io"_qs;
    QTest::newRow("display name with a version") << u"apps/Xcode.app"_qs << u"Xcode 15.2"_qs << u"Xcode 15.2"_qs;
    QTest::newRow("no display name: the file name") << u"apps/Tool.app"_qs << QString() << u"Tool"_qs;
    QTest::newRow("no display name: the file name keeps inner dots") << u"apps/draw.io.app"_qs << QString()
                                                                     << u"draw.io"_qs;
    QTest::newRow("empty display name stays empty") << u"apps/Blank.app"_qs << u""_qs << QString();
}

void TestAppScanner::searchHitNames()
{
    QFETCH(QString, location);
    QFETCH(QString, displayName);
    QFETCH(QString, expected);
    Harness h;
    // The walk would name it by its Info dictionary; the search's name must be the one that shows.
    h.tree.appBundle(location, {{u"CFBundleIdentifier"_qs, u"com.example.app"_qs}, {u"CFBundleName"_qs, u"Info"_qs}});
    h.make({u"apps"_qs});
    h.startWith({h.hit(location, displayName.isNull() ? std::nullopt : std::optional<QString>(displayName))});
    QCOMPARE(h.scanner->apps().size(), 1);
    QCOMPARE(h.scanner->apps().first().name, expected);
}

void TestAppScanner::aliases()
{
    Harness h;
    h.tree.appBundle(u"apps/Draw.app"_qs,
                     {{u"CFBundleIdentifier"_qs, u"com.example.draw"_qs},
                      {u"CFBundleDisplayName"_qs, u"Draw "_qs},
                      {u"CFBundleName"_qs, u"draw"_qs}},
                     {{u"zh_CN.lproj"_qs, "\"CFBundleDisplayName\" = \"画图\";\n\"CFBundleName\" = \"绘图\";"},
                      {u"de.lproj"_qs, "\"CFBundleName\" = \"\tZeichnen \";"},
                      {u"fr.lproj"_qs, "\"CFBundleDisplayName\" = \"画图\";"},
                      {u"en.lproj"_qs, "\"CFBundleName\" = \"  \";"},
                      {u".lproj"_qs, "\"CFBundleName\" = \"Dot\";"},
                      {u"ja.lproj"_qs, "\"CFBundleName\" = \"壊れた\""}});
    h.make({u"apps"_qs});
    h.startWith();
    QCOMPARE(h.scanner->apps().size(), 1);
    const AppInfo app = h.scanner->apps().first();
    QCOMPARE(app.name, u"画图"_qs);
    // Every other name once, in code-point order: "Draw" trimmed, "draw" differs in case, and the listed name, the
    // blank one, the ".lproj" folder's and the unreadable table's are left out.
    QCOMPARE(app.aliases, (QStringList{u"Draw"_qs, u"Zeichnen"_qs, u"draw"_qs, u"绘图"_qs}));
    // Published with the search's forms of these names already made, for the pinyin of the name and of an alias.
    QVERIFY(app.searchForms);
    const auto before = app.searchForms;
    QCOMPARE(PinyinMatcher::rankedFilter(h.scanner->apps(), u"huitu"_qs, {}).size(), 1);
    QCOMPARE(PinyinMatcher::rankedFilter(h.scanner->apps(), u"ht"_qs, {}).size(), 1);
    QCOMPARE(h.scanner->apps().first().searchForms, before);
}

void TestAppScanner::installDatesFromTheReader()
{
    FakeFolderWatcher watcher;
    VirtualClock clock;
    ManualExecutor executor;
    FakeAppDirectorySearch search;
    FakeBundleReader reader;
    Bundle dated{u"/x/Dated.app"_qs, u"com.example.dated"_qs, {{u"CFBundleName"_qs, u"Dated"_qs}}, {}};
    Bundle undated{u"/x/Undated.app"_qs, u"com.example.undated"_qs, {}, {}};
    reader.addBundle(dated);
    reader.addBundle(undated);
    const Instant born = VirtualClock::defaultStart() - 24h;
    reader.setCreationDate(dated.path, born);
    AppScanner scanner(search, reader, watcher, clock, executor, {});
    search.setResults({{dated.path, u"Dated"_qs}, {undated.path, std::nullopt}});
    scanner.start();
    search.finishGathering();
    executor.runAll();
    const QList<AppInfo> expected{
        {u"com.example.dated"_qs, u"Dated"_qs, QUrl::fromLocalFile(dated.path), born, {}},
        {u"com.example.undated"_qs, u"Undated"_qs, QUrl::fromLocalFile(undated.path), std::nullopt, {}},
    };
    QCOMPARE(scanner.apps(), expected);
}

void TestAppScanner::staleRebuildDropped_data()
{
    QTest::addColumn<bool>("olderFinishesFirst");
    QTest::newRow("older rebuild finishes first") << true;
    QTest::newRow("older rebuild finishes last") << false;
}

void TestAppScanner::staleRebuildDropped()
{
    QFETCH(bool, olderFinishesFirst);
    Harness h;
    h.tree.appBundle(u"deep/1/2/One.app"_qs, {{u"CFBundleIdentifier"_qs, u"one"_qs}});
    h.tree.appBundle(u"deep/1/2/Two.app"_qs, {{u"CFBundleIdentifier"_qs, u"two"_qs}});
    AppScanner &scanner = h.make({u"deep"_qs});
    QSignalSpy appsChanged(&scanner, &AppScanner::appsChanged);
    h.fakeSearch.setResults({h.hit(u"deep/1/2/One.app"_qs)});
    scanner.start();
    h.fakeSearch.finishGathering();
    h.fakeSearch.setResults({h.hit(u"deep/1/2/One.app"_qs), h.hit(u"deep/1/2/Two.app"_qs)});
    h.fakeSearch.postUpdate();
    QCOMPARE(h.executor.pendingCount(), 2);

    h.executor.runTask(olderFinishesFirst ? 0 : 1);
    QCOMPARE(appsChanged.count(), olderFinishesFirst ? 0 : 1);
    QCOMPARE(scanner.isInitialScanDone(), !olderFinishesFirst);
    h.executor.runAll();
    QCOMPARE(appsChanged.count(), 1);
    QCOMPARE(h.listed(), (QStringList{u"one One deep/1/2/One.app"_qs, u"two Two deep/1/2/Two.app"_qs}));
}

void TestAppScanner::burstOfFolderEventsGivesOneReload()
{
    Harness h;
    h.tree.mkdir(u"apps"_qs);
    h.make({u"apps/"_qs}); // as a root may be written; events name the folder in clean form
    h.startWith();
    const int reloadsBefore = h.fakeSearch.resultReads();

    for (int i = 0; i < 10; ++i) {
        if (i > 0)
            h.clock.advanceBy(500ms);
        QVERIFY(h.watcher.change(h.root(0)));
    }
    h.tree.appBundle(u"apps/New.app"_qs, {{u"CFBundleIdentifier"_qs, u"com.example.new"_qs}});
    h.clock.advanceBy(AppScanner::rescanQuietPeriod - 1ms);
    QCOMPARE(h.fakeSearch.resultReads(), reloadsBefore);
    h.clock.advanceBy(1ms);
    QCOMPARE(h.fakeSearch.resultReads(), reloadsBefore + 1);
    h.executor.runAll();
    QCOMPARE(h.listed(), QStringList{u"com.example.new New apps/New.app"_qs});
    h.clock.advanceBy(1min);
    QCOMPARE(h.fakeSearch.resultReads(), reloadsBefore + 1);
}

void TestAppScanner::initialScanDone()
{
    Harness h;
    AppScanner &scanner = h.make({u"missing"_qs});
    QSignalSpy flagChanged(&scanner, &AppScanner::isInitialScanDoneChanged);
    QList<bool> flagWhenAppsChanged;
    connect(&scanner, &AppScanner::appsChanged, &scanner,
            [&] { flagWhenAppsChanged << scanner.isInitialScanDone(); });

    scanner.start();
    QVERIFY(!scanner.isInitialScanDone());
    h.fakeSearch.finishGathering();
    QVERIFY(!scanner.isInitialScanDone()); // the rebuild has not come back yet
    h.executor.runAll();
    QVERIFY(scanner.isInitialScanDone()); // an empty list counts
    QVERIFY(scanner.apps().isEmpty());
    QCOMPARE(flagWhenAppsChanged, QList<bool>{false}); // the list is assigned before the flag
    QCOMPARE(flagChanged.count(), 1);

    h.fakeSearch.postUpdate();
    h.executor.runAll();
    QCOMPARE(flagWhenAppsChanged, (QList<bool>{false, true})); // every publish assigns the list
    QCOMPARE(flagChanged.count(), 1);
    QVERIFY(scanner.isInitialScanDone());
}

void TestAppScanner::watchesOnlyRootsThatExistAtStart()
{
    Harness h;
    h.tree.mkdir(u"present/Utilities"_qs);
    h.tree.mkdir(u"refused"_qs);
    h.watcher.refuse(h.tree.path(u"refused"_qs));
    AppScanner &scanner = h.make({u"present"_qs, u"missing"_qs, u"refused"_qs});
    h.startWith();
    QCOMPARE(h.watcher.watchedFolders(), QStringList{h.root(0)});
    QCOMPARE(h.fakeSearch.scopes(), h.roots);
    QCOMPARE(h.fakeSearch.startCount(), 1);

    // Only the root's own entries are watched: a deeper folder's events (someone else's watch) are not the
    // scanner's.
    QVERIFY(h.watcher.watch(h.tree.path(u"present/Utilities"_qs)));
    const int reloads = h.fakeSearch.resultReads();
    h.watcher.change(h.tree.path(u"present/Utilities"_qs));
    h.clock.advanceBy(1min);
    QCOMPARE(h.fakeSearch.resultReads(), reloads);

    // A root that appears later is never watched, but every later rebuild walks it.
    h.tree.appBundle(u"missing/Late.app"_qs, {{u"CFBundleIdentifier"_qs, u"com.example.late"_qs}});
    QVERIFY(!h.watcher.change(h.root(1)));
    h.fakeSearch.postUpdate();
    h.executor.runAll();
    QCOMPARE(h.listed(), QStringList{u"com.example.late Late missing/Late.app"_qs});

    scanner.start(); // once only
    QCOMPARE(h.fakeSearch.startCount(), 1);
    QCOMPARE(h.watcher.watchCount(h.root(0)), 1);
}

void TestAppScanner::indexAndRootWatchersReloadOnce()
{
    Harness h;
    h.tree.desktopEntry(u"root1/vendor/old.desktop"_qs, u"Old"_qs);
    h.tree.mkdir(u"root2"_qs);
    AppScanner &scanner = h.make({u"root1"_qs, u"root2"_qs}, true);
    QSignalSpy appsChanged(&scanner, &AppScanner::appsChanged);
    scanner.start();
    h.executor.runAll();
    QCOMPARE(appsChanged.count(), 1);
    QCOMPARE(h.watcher.watchCount(h.root(0)), 2); // the index and the scanner share the one watch

    // An entry in a root: the scanner's own watch reloads, the index stays quiet.
    h.tree.desktopEntry(u"root1/new.desktop"_qs, u"New"_qs);
    h.watcher.change(h.root(0));
    h.executor.runAll();
    h.clock.advanceBy(AppScanner::rescanQuietPeriod);
    h.executor.runAll();
    h.clock.advanceBy(1min);
    h.executor.runAll();
    QCOMPARE(h.executor.submittedCount(&scanner), 2); // reloads
    QCOMPARE(appsChanged.count(), 2);
    QCOMPARE(h.listed(), (QStringList{u"new New root1/new.desktop"_qs, u"vendor-old Old root1/vendor/old.desktop"_qs}));

    // An entry deeper down: only the index tells.
    h.tree.desktopEntry(u"root1/vendor/deeper.desktop"_qs, u"Deeper"_qs);
    h.watcher.change(h.root(0) + u"/vendor"_qs);
    h.executor.runAll();
    h.clock.advanceBy(DesktopEntryIndex::batchingInterval);
    h.executor.runAll();
    h.clock.advanceBy(1min);
    h.executor.runAll();
    QCOMPARE(h.executor.submittedCount(&scanner), 3);
    QCOMPARE(appsChanged.count(), 3);
    QVERIFY(h.listed().contains(u"vendor-deeper Deeper root1/vendor/deeper.desktop"_qs));
}

void TestAppScanner::desktopEntries_data()
{
    QTest::addColumn<QByteArrayList>("files"); // "path|content"
    QTest::addColumn<QStringList>("expected");

    const auto file = [](const QByteArray &path, const QByteArray &content) { return path + '|' + content; };
    QTest::newRow("no display") << QByteArrayList{file("root1/a.desktop", desktopEntry(u"A"_qs, "NoDisplay=true\n"))}
                                << QStringList{};
    QTest::newRow("only shown in another desktop")
        << QByteArrayList{file("root1/a.desktop", desktopEntry(u"A"_qs, "OnlyShowIn=KDE;\n"))} << QStringList{};
    QTest::newRow("only shown in this desktop")
        << QByteArrayList{file("root1/a.desktop", desktopEntry(u"A"_qs, "OnlyShowIn=KDE;GNOME;\n"))}
        << QStringList{u"a A root1/a.desktop"_qs};
    QTest::newRow("not shown in this desktop")
        << QByteArrayList{file("root1/a.desktop", desktopEntry(u"A"_qs, "NotShowIn=GNOME;\n"))} << QStringList{};
    QTest::newRow("try-exec program missing")
        << QByteArrayList{file("root1/a.desktop", desktopEntry(u"A"_qs, "TryExec=missing-program\n"))}
        << QStringList{};
    QTest::newRow("try-exec program present")
        << QByteArrayList{file("root1/a.desktop", desktopEntry(u"A"_qs, "TryExec=present-program\n"))}
        << QStringList{u"a A root1/a.desktop"_qs};
    QTest::newRow("a leftover entry whose program is gone")
        << QByteArrayList{file("root1/a.desktop", desktopEntry(u"A"_qs)),
                          file("root1/b.desktop", "[Desktop Entry]\nType=Application\nName=B\nExec=removed %U\n")}
        << QStringList{u"a A root1/a.desktop"_qs};
    QTest::newRow("hidden masks a later root")
        << QByteArrayList{file("root1/a.desktop", desktopEntry(u"A"_qs, "Hidden=true\n")),
                          file("root2/a.desktop", desktopEntry(u"Later A"_qs))}
        << QStringList{};
    QTest::newRow("hidden in a sub-folder masks a later root")
        << QByteArrayList{file("root1/vendor/a.desktop", desktopEntry(u"A"_qs, "Hidden=true\n")),
                          file("root2/vendor-a.desktop", desktopEntry(u"Later A"_qs))}
        << QStringList{};
    QTest::newRow("the first root's entry counts")
        << QByteArrayList{file("root1/a.desktop", desktopEntry(u"First"_qs)),
                          file("root2/a.desktop", desktopEntry(u"Second"_qs))}
        << QStringList{u"a First root1/a.desktop"_qs};
    QTest::newRow("broken files skipped")
        << QByteArrayList{file("root1/bad.desktop", "[Desktop Entry]\nType=Application\nName=\xC0\xAF\n"),
                          file("root1/bom.desktop", "\xEF\xBB\xBF" + desktopEntry(u"Bom"_qs)),
                          file("root1/nogroup.desktop", "Type=Application\nName=No group\n"),
                          file("root1/good.desktop", desktopEntry(u"Good"_qs))}
        << QStringList{u"good Good root1/good.desktop"_qs};
    QTest::newRow("a broken file masks a later root")
        << QByteArrayList{file("root1/a.desktop", "\xFF"), file("root2/a.desktop", desktopEntry(u"Later A"_qs))}
        << QStringList{};
    QTest::newRow("chinese name for a chinese user")
        << QByteArrayList{file("root1/fox.desktop", desktopEntry(u"Firefox"_qs, "Name[zh_CN]=火狐\nName[de]=Feuerfuchs\n"))}
        << QStringList{u"fox 火狐 root1/fox.desktop"_qs};
    QTest::newRow("sub-folder entries get dashed ids")
        << QByteArrayList{file("root2/vendor/tool.desktop", desktopEntry(u"Tool"_qs))}
        << QStringList{u"vendor-tool Tool root2/vendor/tool.desktop"_qs};
    QTest::newRow("deep entries found through the index")
        << QByteArrayList{file("root1/a/b/c.desktop", desktopEntry(u"C"_qs))} << QStringList{u"a-b-c C root1/a/b/c.desktop"_qs};
    QTest::newRow("a link is no app")
        << QByteArrayList{file("root1/site.desktop", "[Desktop Entry]\nType=Link\nName=Site\nURL=https://example.org\n")}
        << QStringList{};
}

void TestAppScanner::desktopEntries()
{
    QFETCH(QByteArrayList, files);
    QFETCH(QStringList, expected);
    Harness h;
    h.tree.mkdir(u"root1"_qs);
    h.tree.mkdir(u"root2"_qs);
    for (const auto &f : files) {
        const qsizetype bar = f.indexOf('|');
        h.tree.write(QString::fromUtf8(f.first(bar)), f.sliced(bar + 1));
    }
    AppScanner &scanner = h.make({u"root1"_qs, u"root2"_qs}, true, {u"GNOME"_qs});
    scanner.start();
    h.executor.runAll();
    QVERIFY(scanner.isInitialScanDone());
    QCOMPARE(h.listed(), expected);
    if (QTest::currentDataTag() == QByteArray("chinese name for a chinese user"))
        QCOMPARE(scanner.apps().first().aliases, (QStringList{u"Feuerfuchs"_qs, u"Firefox"_qs}));
}

void TestAppScanner::droppedScannerPublishesNothing()
{
    Harness h;
    h.tree.mkdir(u"apps"_qs);
    h.make({u"apps"_qs});
    h.startWith();
    h.watcher.change(h.root(0)); // a rescan waiting for its quiet period
    h.fakeSearch.postUpdate();    // and a rebuild under way
    QCOMPARE(h.executor.pendingCount(), 1);
    h.scanner.reset();
    QVERIFY(h.watcher.watchedFolders().isEmpty());
    const int reads = h.fakeSearch.resultReads();
    h.executor.runAll();
    h.clock.advanceBy(1min);
    QCOMPARE(h.fakeSearch.resultReads(), reads);
    h.fakeSearch.postUpdate(); // no observer is left
    QCOMPARE(h.executor.pendingCount(), 0);
}

void TestAppScanner::rebuildsOnWorkerThreads()
{
    FixtureTree tree;
    for (int i = 0; i < 40; ++i)
        tree.desktopEntry(u"root1/vendor/app%1.desktop"_qs.arg(i), u"应用 %1"_qs.arg(i));
    tree.desktopEntry(u"root2/top.desktop"_qs, u"Top"_qs);
    const QStringList roots{tree.path(u"root1"_qs), tree.path(u"root2"_qs)};
    // In the order main.cpp keeps: what the work reads outlives the executor, which outlives its users.
    const PortableBundleReader reader({roots, {}, {}});
    FakeFolderWatcher watcher;
    VirtualClock clock;
    ThreadPoolExecutor executor;
    DesktopEntryIndex index(watcher, clock, executor, chinese);
    auto scanner = std::make_unique<AppScanner>(index, reader, watcher, clock, executor, roots);
    scanner->setPreferredLanguages(chinese);
    QSignalSpy appsChanged(scanner.get(), &AppScanner::appsChanged);
    scanner->start();
    QTRY_VERIFY_WITH_TIMEOUT(scanner->isInitialScanDone(), 10000);
    QCOMPARE(scanner->apps().size(), 41);
    QCOMPARE(appsChanged.count(), 1);

    // Reloads that overlap on the workers, each seeing one more app: only the last one's list is published.
    for (int i = 0; i < 6; ++i) {
        tree.desktopEntry(u"root2/more%1.desktop"_qs.arg(i), u"More"_qs);
        QVERIFY(watcher.change(roots[1]));
        clock.advanceBy(AppScanner::rescanQuietPeriod);
    }
    QTRY_COMPARE_WITH_TIMEOUT(appsChanged.count(), 2, 10000);
    executor.waitForDone();
    QCoreApplication::sendPostedEvents();
    QCOMPARE(appsChanged.count(), 2);
    QCOMPARE(scanner->apps().size(), 47);

    // Gone while its rebuild and the index's gathering run: both finish and are forgotten.
    QVERIFY(watcher.change(roots[1]));
    clock.advanceBy(AppScanner::rescanQuietPeriod);
    scanner.reset();
    executor.waitForDone();
    QCoreApplication::sendPostedEvents();
    QCOMPARE(watcher.watchCount(roots[1]), 1); // the index's own watch
}

QTEST_GUILESS_MAIN(TestAppScanner)
#include "tst_appscanner.moc"
