#include "../../support/fixturetree.h"

#include "linux/linuxfolderwatcher.h"

#include <QSignalSpy>
#include <QTest>

// The inotify side of folder watching, on temporary folders: watches shared between parties and counted.
class TestLinuxFolderWatcher : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sharedWatchIsCounted();
    void eventsGoOnWhileAnotherPartyWatches();
    void missingFolderIsNotWatched();
    void folderRemovedAndMadeAgainIsWatchedAgain();
};

void TestLinuxFolderWatcher::sharedWatchIsCounted()
{
    FixtureTree tree;
    const QString folder = tree.mkdir(u"apps"_qs);
    LinuxFolderWatcher watcher;
    QVERIFY(watcher.watch(folder));
    QVERIFY(watcher.watch(folder));
    QCOMPARE(watcher.watchedFolders(), QStringList{folder});
    watcher.unwatch(folder);
    QCOMPARE(watcher.watchedFolders(), QStringList{folder}); // the other party still watches
    watcher.unwatch(folder);
    QVERIFY(watcher.watchedFolders().isEmpty());
    watcher.unwatch(folder); // one too many does no harm
}

void TestLinuxFolderWatcher::eventsGoOnWhileAnotherPartyWatches()
{
    FixtureTree tree;
    const QString folder = tree.mkdir(u"apps"_qs);
    LinuxFolderWatcher watcher;
    QVERIFY(watcher.watch(folder));
    QVERIFY(watcher.watch(folder));
    watcher.unwatch(folder); // one party leaves; the kernel watch must stay for the other
    QSignalSpy changed(&watcher, &FolderWatcher::folderChanged);
    tree.desktopEntry(u"apps/new.desktop"_qs, u"New"_qs);
    QVERIFY(changed.wait(5000));
    QCOMPARE(changed.first().first().toString(), folder);
}

void TestLinuxFolderWatcher::missingFolderIsNotWatched()
{
    FixtureTree tree;
    LinuxFolderWatcher watcher;
    QVERIFY(!watcher.watch(tree.path(u"missing"_qs)));
    const QString file = tree.write(u"file"_qs, "x");
    QVERIFY(!watcher.watch(file));
    QVERIFY(watcher.watchedFolders().isEmpty());
}

void TestLinuxFolderWatcher::folderRemovedAndMadeAgainIsWatchedAgain()
{
    FixtureTree tree;
    const QString folder = tree.mkdir(u"apps"_qs);
    LinuxFolderWatcher watcher;
    QSignalSpy changed(&watcher, &FolderWatcher::folderChanged);
    QVERIFY(watcher.watch(folder)); // one party stays all along
    QVERIFY(watcher.watch(folder)); // the other leaves when the folder goes and comes back when it is there again
    QVERIFY(QDir(folder).removeRecursively());
    QVERIFY(changed.wait(5000));
    watcher.unwatch(folder);
    QVERIFY(watcher.watchedFolders().isEmpty()); // the kernel dropped its watch with the folder

    tree.mkdir(u"apps"_qs);
    QVERIFY(watcher.watch(folder));
    QCOMPARE(watcher.watchedFolders(), QStringList{folder});
    changed.clear();
    tree.desktopEntry(u"apps/new.desktop"_qs, u"New"_qs);
    QVERIFY(changed.wait(5000));
    QCOMPARE(changed.first().first().toString(), folder);
}

QTEST_GUILESS_MAIN(TestLinuxFolderWatcher)
#include "tst_linuxfolderwatcher.moc"
