#include "../support/fixturetree.h"

#include "desktopentryindex.h"
#include "fake/fakefolderwatcher.h"
#include "fake/manualexecutor.h"
#include "fake/virtualclock.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

// The desktop-entry search: one gathering notice, hits in root order with the first entry of an id, names for the
// user's language, the folders it watches, and which changes it reports, how often.
class TestDesktopEntryIndex : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void finishesOnceWithNothingFound();
    void hitsInRootOrderFirstOfEachId();
    void linksCountAsWhatTheyPointTo();
    void watchesWhatItWalked();
    void noticesOfChanges_data();
    void noticesOfChanges();
    void burstGivesOneNoticePerInterval();
    void lateRootIsNoticedThroughItsParent();
    void changeDuringGatheringGathersAgain();
    void droppedIndexStopsWatching();
};

namespace {

using Hit = AppDirectorySearch::Hit;

struct Harness
{
    FixtureTree tree;
    FakeFolderWatcher watcher;
    VirtualClock clock;
    ManualExecutor executor;
    DesktopEntryIndex index{watcher, clock, executor, {u"zh-CN"_qs, u"zh-Hans-CN"_qs, u"zh"_qs}};
    QSignalSpy finished{&index, &AppDirectorySearch::gatheringFinished};
    QSignalSpy updated{&index, &AppDirectorySearch::updated};

    QString root(int i) const { return tree.path(u"root"_qs + QString::number(i)); }
    void start(int roots = 2)
    {
        QStringList scopes;
        for (int i = 1; i <= roots; ++i)
            scopes << root(i);
        index.start(scopes);
        executor.runAll();
    }
    QStringList hitPaths() const
    {
        QStringList paths;
        for (const auto &hit : index.results())
            paths << hit.path.sliced(tree.path().size() + 1);
        return paths;
    }
};

} // namespace

void TestDesktopEntryIndex::finishesOnceWithNothingFound()
{
    Harness h;
    h.index.start({h.root(1), h.root(2)}); // neither exists
    QCOMPARE(h.finished.count(), 0);       // never from inside start()
    h.executor.runAll();
    QCOMPARE(h.finished.count(), 1);
    QVERIFY(h.index.results().isEmpty());

    h.index.start({h.root(1)});
    h.executor.runAll();
    h.clock.advanceBy(10s);
    QCOMPARE(h.executor.submittedCount(), 1);
    QCOMPARE(h.finished.count(), 1);
    QCOMPARE(h.updated.count(), 0);
}

void TestDesktopEntryIndex::hitsInRootOrderFirstOfEachId()
{
    Harness h;
    h.tree.desktopEntry(u"root1/b.desktop"_qs, u"B"_qs);
    h.tree.write(u"root1/a.desktop"_qs, "[Desktop Entry]\nType=Application\nName=Fox\nName[zh_CN]=火狐\n"
                                        "Name[zh]=狐\n");
    h.tree.desktopEntry(u"root1/vendor/deep/x.desktop"_qs, u"X"_qs);
    h.tree.desktopEntry(u"root1/.hidden.desktop"_qs, u"Hidden file"_qs);
    h.tree.desktopEntry(u"root1/.cache/y.desktop"_qs, u"In a hidden folder"_qs);
    h.tree.write(u"root1/broken.desktop"_qs, "\xEF\xBB\xBF[Desktop Entry]\nName=Broken\n");
    h.tree.write(u"root1/notes.txt"_qs, "x");
    h.tree.desktopEntry(u"root2/a.desktop"_qs, u"Masked"_qs);
    h.tree.desktopEntry(u"root2/vendor-deep-x.desktop"_qs, u"Masked too"_qs);
    h.tree.desktopEntry(u"root2/c.desktop"_qs, u"C"_qs, u"NoDisplay=true"_qs);
    h.start();

    // Every entry counts as found, even one that will not open; only the first of an id is a hit.
    QCOMPARE(h.hitPaths(), (QStringList{u"root1/a.desktop"_qs, u"root1/b.desktop"_qs, u"root1/broken.desktop"_qs,
                                        u"root1/vendor/deep/x.desktop"_qs, u"root2/c.desktop"_qs}));
    const auto hits = h.index.results();
    QCOMPARE(hits[0].displayName, std::optional<QString>(u"火狐"_qs));
    QCOMPARE(hits[1].displayName, std::optional<QString>(u"B"_qs));
    QCOMPARE(hits[2].displayName, std::nullopt);
    QCOMPARE(hits[4].displayName, std::optional<QString>(u"C"_qs));
}

void TestDesktopEntryIndex::linksCountAsWhatTheyPointTo()
{
    Harness h;
    h.tree.desktopEntry(u"elsewhere/files/linked.desktop"_qs, u"Linked"_qs);
    h.tree.desktopEntry(u"elsewhere/tool.desktop"_qs, u"Tool"_qs);
    h.tree.mkdir(u"root1"_qs);
    h.tree.mkdir(u"root1/folder.desktop"_qs);
    h.tree.desktopEntry(u"root1/folder.desktop/inner.desktop"_qs, u"Inner"_qs);
    QVERIFY(QFile::link(h.tree.path(u"elsewhere/files"_qs), h.tree.path(u"root1/vendor"_qs)));
    QVERIFY(QFile::link(h.tree.path(u"elsewhere/tool.desktop"_qs), h.tree.path(u"root1/tool.desktop"_qs)));
    QVERIFY(QFile::link(h.tree.path(u"elsewhere/gone.desktop"_qs), h.tree.path(u"root1/gone.desktop"_qs)));
    QVERIFY(QFile::link(h.tree.path(u"elsewhere/files"_qs), h.tree.path(u"root1/dir-link.desktop"_qs)));
    h.start(1);

    // A link to a folder is walked once (by the first link met), a link to an entry is one, a dangling link is
    // nothing, and a folder is a folder whatever its name.
    QCOMPARE(h.hitPaths(), (QStringList{u"root1/dir-link.desktop/linked.desktop"_qs,
                                        u"root1/folder.desktop/inner.desktop"_qs, u"root1/tool.desktop"_qs}));
    QCOMPARE(h.index.results()[2].displayName, std::optional<QString>(u"Tool"_qs));
}

void TestDesktopEntryIndex::watchesWhatItWalked()
{
    Harness h;
    h.tree.desktopEntry(u"root1/vendor/deep/x.desktop"_qs, u"X"_qs);
    h.tree.mkdir(u"root1/.git"_qs);
    h.index.start({h.root(1), h.tree.path(u"share/applications"_qs)}); // the second is missing
    h.executor.runAll();
    QCOMPARE(h.watcher.watchedFolders(), (QStringList{h.tree.path(), h.root(1), h.root(1) + u"/vendor"_qs,
                                                      h.root(1) + u"/vendor/deep"_qs}));
    QCOMPARE(h.index.watchedFolders(), h.watcher.watchedFolders());
}

void TestDesktopEntryIndex::noticesOfChanges_data()
{
    QTest::addColumn<QString>("file");     // written after the first gathering
    QTest::addColumn<QString>("folder");   // the change event
    QTest::addColumn<int>("notices");

    // A root's own entries are the root watchers' to report; the index only brings its results up to date.
    QTest::newRow("entry added directly in a root") << u"root1/new.desktop"_qs << u"root1"_qs << 0;
    QTest::newRow("entry added in a sub-folder") << u"root1/vendor/new.desktop"_qs << u"root1/vendor"_qs << 1;
    QTest::newRow("entry added in the second root") << u"root2/new.desktop"_qs << u"root2"_qs << 0;
    QTest::newRow("a file that is no entry") << u"root1/vendor/readme.txt"_qs << u"root1/vendor"_qs << 0;
    QTest::newRow("an entry masked by the first root") << u"root2/vendor-old.desktop"_qs << u"root2"_qs << 0;
}

void TestDesktopEntryIndex::noticesOfChanges()
{
    QFETCH(QString, file);
    QFETCH(QString, folder);
    QFETCH(int, notices);
    Harness h;
    h.tree.desktopEntry(u"root1/vendor/old.desktop"_qs, u"Old"_qs);
    h.tree.mkdir(u"root2"_qs);
    h.start();
    const auto before = h.index.results();

    h.tree.desktopEntry(file, u"New"_qs);
    QVERIFY(h.watcher.change(h.tree.path(folder)));
    h.executor.runAll(); // the index gathers again at once ...
    const bool isNewHit = file.endsWith(u".desktop") && !file.startsWith(u"root2/vendor-");
    QCOMPARE(h.index.results().size(), before.size() + (isNewHit ? 1 : 0));
    QCOMPARE(h.updated.count(), 0); // ... and tells of it only after the batching interval
    h.clock.advanceBy(DesktopEntryIndex::batchingInterval);
    QCOMPARE(h.updated.count(), notices);
}

void TestDesktopEntryIndex::burstGivesOneNoticePerInterval()
{
    Harness h;
    h.tree.mkdir(u"root1/vendor"_qs);
    h.start(1);
    const QString vendor = h.root(1) + u"/vendor"_qs;
    // Ten installs 0.5 s apart: notices 2.0 s after the first change and then at most one per 2.0 s.
    QList<double> noticeTimes;
    const auto t0 = h.clock.monotonicNow();
    connect(&h.index, &AppDirectorySearch::updated, &h.index,
            [&] { noticeTimes << Instants::seconds(h.clock.monotonicNow() - t0); });
    for (int i = 0; i < 10; ++i) {
        h.tree.desktopEntry(u"root1/vendor/app"_qs + QString::number(i) + u".desktop"_qs, u"App"_qs);
        h.watcher.change(vendor);
        h.executor.runAll();
        h.clock.advanceBy(500ms);
    }
    h.clock.advanceBy(10s);
    QCOMPARE(noticeTimes, (QList<double>{2.0, 4.0, 6.0}));
    QCOMPARE(h.index.results().size(), 10);
}

void TestDesktopEntryIndex::lateRootIsNoticedThroughItsParent()
{
    Harness h;
    h.tree.mkdir(u"root1"_qs);
    h.start(2); // root2 is missing: its parent is watched for it
    QVERIFY(h.watcher.watchCount(h.tree.path()) == 1);

    h.tree.desktopEntry(u"root2/late.desktop"_qs, u"Late"_qs);
    h.watcher.change(h.tree.path());
    h.executor.runAll();
    h.clock.advanceBy(DesktopEntryIndex::batchingInterval);
    QCOMPARE(h.hitPaths(), QStringList{u"root2/late.desktop"_qs});
    QCOMPARE(h.updated.count(), 1);
    QCOMPARE(h.watcher.watchCount(h.root(2)), 1);
    QCOMPARE(h.watcher.watchCount(h.tree.path()), 0);

    // Nobody else watches a root that came late, so its own entries are the index's to report.
    h.tree.desktopEntry(u"root2/later.desktop"_qs, u"Later"_qs);
    h.watcher.change(h.root(2));
    h.executor.runAll();
    h.clock.advanceBy(DesktopEntryIndex::batchingInterval);
    QCOMPARE(h.updated.count(), 2);
}

void TestDesktopEntryIndex::changeDuringGatheringGathersAgain()
{
    Harness h;
    h.tree.mkdir(u"root1/vendor"_qs);
    h.start(1);
    h.tree.desktopEntry(u"root1/vendor/one.desktop"_qs, u"One"_qs);
    h.watcher.change(h.root(1) + u"/vendor"_qs);
    QCOMPARE(h.executor.pendingCount(), 1);
    h.tree.desktopEntry(u"root1/vendor/two.desktop"_qs, u"Two"_qs);
    h.watcher.change(h.root(1) + u"/vendor"_qs);
    h.watcher.change(h.root(1) + u"/vendor"_qs);
    QCOMPARE(h.executor.pendingCount(), 1); // one gathering at a time ...
    h.executor.runAll();
    QCOMPARE(h.executor.submittedCount(), 3); // ... and one more for what came meanwhile
    QCOMPARE(h.index.results().size(), 2);
}

void TestDesktopEntryIndex::droppedIndexStopsWatching()
{
    FixtureTree tree;
    tree.desktopEntry(u"root/vendor/x.desktop"_qs, u"X"_qs);
    FakeFolderWatcher watcher;
    VirtualClock clock;
    ManualExecutor executor;
    {
        DesktopEntryIndex index(watcher, clock, executor, {});
        index.start({tree.path(u"root"_qs)});
        executor.runAll();
        QCOMPARE(watcher.watchedFolders().size(), 2);
        watcher.change(tree.path(u"root"_qs));
        QCOMPARE(executor.pendingCount(), 1);
    }
    QVERIFY(watcher.watchedFolders().isEmpty());
    executor.runAll(); // a gathering still under way finds nobody to hand its result to
}

QTEST_GUILESS_MAIN(TestDesktopEntryIndex)
#include "tst_desktopentryindex.moc"
