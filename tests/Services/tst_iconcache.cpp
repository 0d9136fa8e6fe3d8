#include "fake/fakeiconsource.h"
#include "fake/manualexecutor.h"
#include "iconcache.h"
#include "threadpoolexecutor.h"

#include <QTest>

#include <random>
#include <thread>

namespace {

AppInfo app(const QString &id)
{
    AppInfo a;
    a.bundleID = id;
    a.name = id;
    a.url = QUrl::fromLocalFile(u"/apps/"_qs + id + u".desktop"_qs);
    return a;
}

QList<AppInfo> apps(const QString &prefix, int count, int from = 0)
{
    QList<AppInfo> out;
    for (int i = from; i < from + count; ++i)
        out.append(app(prefix + QString::number(i)));
    return out;
}

QStringList pathsOf(const QList<AppInfo> &list)
{
    QStringList out;
    for (const auto &a : list)
        out.append(a.path());
    return out;
}

bool hasColourOf(const QImage &image, const QString &path)
{
    return image.size() == QSize(IconCache::iconSize, IconCache::iconSize)
           && image.pixelColor(IconCache::iconSize / 2, IconCache::iconSize / 2) == FakeIconSource::colourOf(path);
}

} // namespace

class TestIconCache : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cachedIconIsServedWithoutLoading();
    void asyncLookUpLoadsInTheBackgroundOnlyOnAMiss();
    void asyncResultArrivesOnTheMainThread();
    void bothLookUpsShareOneEntry_data();
    void bothLookUpsShareOneEntry();
    void genericIconIsNeverStoredUnderAnApp();
    void finishedLookUpCountsWhateverItFound_data();
    void finishedLookUpCountsWhateverItFound();
    void clearForgetsIconsAndMisses();
    void neverHoldsMoreThanTheLimit();
    void iconsAreBroughtToSize_data();
    void iconsAreBroughtToSize();
    void warmupSplitsTheList_data();
    void warmupSplitsTheList();
    void warmupSkipsWhatIsCached();
    void newWarmupCancelsTheBackgroundHalf_data();
    void newWarmupCancelsTheBackgroundHalf();
    void cancelledWarmupFinishesTheIconItIsLoading();
    void warmupStopsWhenTheCacheIsGone();
    void concurrentLookUpsStayConsistent();
    void sharedInstanceKeepsItsFirstSetUp();
};

void TestIconCache::cachedIconIsServedWithoutLoading()
{
    FakeIconSource source;
    ManualExecutor executor;
    IconCache cache(source, executor);
    const AppInfo a = app(u"a"_qs);

    QVERIFY(!cache.cachedIcon(a.bundleID));
    const QImage first = cache.icon(a);
    QVERIFY(hasColourOf(first, a.path()));
    const QImage second = cache.icon(a);
    QCOMPARE(second.cacheKey(), first.cacheKey());
    QCOMPARE(cache.cachedIcon(a.bundleID)->cacheKey(), first.cacheKey());
    QCOMPARE(source.loadCount(a.path()), 1);
}

void TestIconCache::asyncLookUpLoadsInTheBackgroundOnlyOnAMiss()
{
    FakeIconSource source;
    ManualExecutor executor;
    IconCache cache(source, executor);
    const AppInfo a = app(u"a"_qs);
    const QImage stored = cache.icon(a);

    std::optional<qint64> got;
    cache.iconAsync(a, this, [&](const QImage &image) { got = image.cacheKey(); });
    QCOMPARE(got, stored.cacheKey()); // at once, the stored image itself
    QCOMPARE(executor.submittedCount(), 0);

    const AppInfo b = app(u"b"_qs);
    std::optional<QImage> late;
    cache.iconAsync(b, this, [&](const QImage &image) { late = image; });
    QVERIFY(!late);
    QCOMPARE(source.loadCount(b.path()), 0);
    QVERIFY(executor.runNext());
    QVERIFY(late && hasColourOf(*late, b.path()));
    QCOMPARE(cache.cachedIcon(b.bundleID)->cacheKey(), late->cacheKey());
}

void TestIconCache::asyncResultArrivesOnTheMainThread()
{
    FakeIconSource source;
    ThreadPoolExecutor executor;
    IconCache cache(source, executor);
    QThread *loadedOn = nullptr;
    source.setLoadHook([&](const QString &) { loadedOn = QThread::currentThread(); });
    QThread *deliveredOn = nullptr;
    QImage delivered;
    cache.iconAsync(app(u"a"_qs), this, [&](const QImage &image) {
        deliveredOn = QThread::currentThread();
        delivered = image;
    });
    QTRY_VERIFY(deliveredOn != nullptr);
    QCOMPARE(deliveredOn, QThread::currentThread());
    QVERIFY(loadedOn != QThread::currentThread());
    QVERIFY(hasColourOf(delivered, app(u"a"_qs).path()));
}

void TestIconCache::bothLookUpsShareOneEntry_data()
{
    QTest::addColumn<bool>("byIdentifierFirst");
    QTest::newRow("by app, then by identifier") << false;
    QTest::newRow("by identifier, then by app") << true;
}

void TestIconCache::bothLookUpsShareOneEntry()
{
    QFETCH(bool, byIdentifierFirst);
    FakeIconSource source;
    ManualExecutor executor;
    IconCache cache(source, executor);
    const AppInfo a = app(u"a"_qs);
    source.setLocation(a.bundleID, a.path());

    const QImage first = byIdentifierFirst ? cache.iconForBundleID(a.bundleID) : cache.icon(a);
    const QImage second = byIdentifierFirst ? cache.icon(a) : cache.iconForBundleID(a.bundleID);
    QVERIFY(hasColourOf(first, a.path()));
    QCOMPARE(second.cacheKey(), first.cacheKey());
    QCOMPARE(source.loads(), QStringList{a.path()});
    QCOMPARE(cache.count(), 1);
}

void TestIconCache::genericIconIsNeverStoredUnderAnApp()
{
    FakeIconSource source;
    ManualExecutor executor;
    IconCache cache(source, executor);
    const AppInfo a = app(u"a"_qs);

    // Nobody answers to the identifier yet: the generic icon, the same one each time, and nothing stored.
    const QImage unknown = cache.iconForBundleID(a.bundleID);
    QCOMPARE(unknown.cacheKey(), cache.genericIcon().cacheKey());
    QCOMPARE(cache.iconForBundleID(a.bundleID).cacheKey(), unknown.cacheKey());
    QVERIFY(!cache.cachedIcon(a.bundleID));

    // The app's own icon wins as soon as it can be found, by either look-up.
    QVERIFY(hasColourOf(cache.icon(a), a.path()));
    const AppInfo b = app(u"b"_qs);
    QCOMPARE(cache.iconForBundleID(b.bundleID).cacheKey(), cache.genericIcon().cacheKey());
    source.setLocation(b.bundleID, b.path());
    QVERIFY(hasColourOf(cache.iconForBundleID(b.bundleID), b.path()));

    // An app whose icon cannot be read is not pinned to the generic icon either, not even by a warm-up.
    const AppInfo c = app(u"c"_qs);
    source.setMissing(c.path());
    QCOMPARE(cache.icon(c).cacheKey(), cache.genericIcon().cacheKey());
    cache.warmup({c});
    QVERIFY(!cache.cachedIcon(c.bundleID));
    QCOMPARE(source.loadCount(c.path()), 2);
}

void TestIconCache::finishedLookUpCountsWhateverItFound_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("readable");
    for (const auto how : {u"icon", u"iconAsync", u"warmup"}) {
        const QString name = QString::fromUtf16(how);
        QTest::addRow("%s, own icon", qPrintable(name)) << name << true;
        QTest::addRow("%s, generic icon", qPrintable(name)) << name << false;
    }
}

void TestIconCache::finishedLookUpCountsWhateverItFound()
{
    QFETCH(QString, how);
    QFETCH(bool, readable);
    FakeIconSource source;
    ManualExecutor executor;
    IconCache cache(source, executor);
    const AppInfo a = app(u"a"_qs);
    if (!readable)
        source.setMissing(a.path());
    QVERIFY(!cache.lookupFinished(a.bundleID));

    if (how == u"icon") {
        std::ignore = cache.icon(a);
    } else if (how == u"iconAsync") {
        cache.iconAsync(a, this, [](const QImage &) {});
        QVERIFY(!cache.lookupFinished(a.bundleID)); // still waiting for the executor
        executor.runAll();
    } else {
        cache.warmup({a});
    }
    QVERIFY(cache.lookupFinished(a.bundleID));
    QCOMPARE(cache.cachedIcon(a.bundleID).has_value(), readable);
    QVERIFY(!cache.lookupFinished(u"b"_qs));

    // An icon found later replaces the miss.
    source.setMissing(a.path(), false);
    QVERIFY(hasColourOf(cache.icon(a), a.path()));
    QVERIFY(cache.lookupFinished(a.bundleID));
}

void TestIconCache::clearForgetsIconsAndMisses()
{
    FakeIconSource source;
    ManualExecutor executor;
    IconCache cache(source, executor);
    const AppInfo a = app(u"a"_qs);
    const AppInfo b = app(u"b"_qs);
    source.setMissing(b.path());
    std::ignore = cache.icon(a);
    std::ignore = cache.icon(b);
    cache.clear();
    QCOMPARE(cache.count(), 0);
    QVERIFY(!cache.lookupFinished(a.bundleID));
    QVERIFY(!cache.lookupFinished(b.bundleID));
    std::ignore = cache.icon(a);
    QCOMPARE(source.loadCount(a.path()), 2); // read again
}

void TestIconCache::neverHoldsMoreThanTheLimit()
{
    FakeIconSource source;
    ManualExecutor executor;
    IconCache cache(source, executor);
    QCOMPARE(cache.countLimit(), 500);
    int most = 0;
    for (const auto &a : apps(u"app"_qs, 650)) {
        QVERIFY(hasColourOf(cache.icon(a), a.path()));
        most = std::max(most, cache.count());
    }
    QCOMPARE(most, 500);
    QCOMPARE(cache.count(), 500);
}

void TestIconCache::iconsAreBroughtToSize_data()
{
    QTest::addColumn<QSize>("native");
    QTest::addColumn<QRect>("painted"); // where the icon's own pixels land
    QTest::newRow("exact size") << QSize(128, 128) << QRect(0, 0, 128, 128);
    QTest::newRow("small square") << QSize(48, 48) << QRect(0, 0, 128, 128);
    QTest::newRow("large square") << QSize(512, 512) << QRect(0, 0, 128, 128);
    QTest::newRow("wide") << QSize(256, 128) << QRect(0, 32, 128, 64);
    QTest::newRow("tall") << QSize(64, 128) << QRect(32, 0, 64, 128);
}

void TestIconCache::iconsAreBroughtToSize()
{
    QFETCH(QSize, native);
    QFETCH(QRect, painted);
    FakeIconSource source;
    source.setNativeSize(native);
    ManualExecutor executor;
    IconCache cache(source, executor);
    const AppInfo a = app(u"a"_qs);
    const QImage image = cache.icon(a);
    QCOMPARE(image.size(), QSize(128, 128));
    const QColor colour = FakeIconSource::colourOf(a.path());
    QCOMPARE(image.pixelColor(painted.center()), colour);
    if (painted.top() > 0)
        QCOMPARE(image.pixelColor(64, 2).alpha(), 0);
    if (painted.left() > 0)
        QCOMPARE(image.pixelColor(2, 64).alpha(), 0);
}

void TestIconCache::warmupSplitsTheList_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("loadedAtOnce");
    QTest::addColumn<bool>("startsBackgroundTask");
    QTest::newRow("empty list") << 0 << 0 << false;
    QTest::newRow("one app") << 1 << 1 << false;
    QTest::newRow("exactly thirty") << 30 << 30 << false;
    QTest::newRow("thirty-one") << 31 << 30 << true;
    QTest::newRow("a hundred") << 100 << 30 << true;
}

void TestIconCache::warmupSplitsTheList()
{
    QFETCH(int, count);
    QFETCH(int, loadedAtOnce);
    QFETCH(bool, startsBackgroundTask);
    FakeIconSource source;
    ManualExecutor executor;
    IconCache cache(source, executor);
    const auto list = apps(u"app"_qs, count);

    cache.warmup(list);
    QCOMPARE(source.loads(), pathsOf(list.mid(0, loadedAtOnce)));
    QCOMPARE(executor.pendingCount(), startsBackgroundTask ? 1 : 0);
    executor.runAll();
    QCOMPARE(source.loads(), pathsOf(list));
    QCOMPARE(cache.count(), count);
}

void TestIconCache::warmupSkipsWhatIsCached()
{
    FakeIconSource source;
    ManualExecutor executor;
    IconCache cache(source, executor);
    const auto list = apps(u"app"_qs, 60);
    const QImage early = cache.icon(list[3]);
    const QImage late = cache.icon(list[45]);
    source.clearLoads();

    cache.warmup(list);
    executor.runAll();
    QCOMPARE(source.loads().size(), 58);
    QCOMPARE(source.loadCount(list[3].path()), 0);
    QCOMPARE(source.loadCount(list[45].path()), 0);
    QCOMPARE(cache.cachedIcon(list[45].bundleID)->cacheKey(), late.cacheKey());
}

void TestIconCache::newWarmupCancelsTheBackgroundHalf_data()
{
    QTest::addColumn<bool>("secondIsEmpty");
    QTest::newRow("by a new list") << false;
    QTest::newRow("by an empty list") << true;
}

void TestIconCache::newWarmupCancelsTheBackgroundHalf()
{
    QFETCH(bool, secondIsEmpty);
    FakeIconSource source;
    ManualExecutor executor;
    IconCache cache(source, executor);
    const auto first = apps(u"a"_qs, 100);
    cache.warmup(first);
    QCOMPARE(executor.pendingCount(), 1);

    // The new list starts with 30 other apps, then holds ten that the first warm-up had left for the background.
    const QList<AppInfo> second = secondIsEmpty ? QList<AppInfo>() : apps(u"b"_qs, 30) + first.mid(60, 10);
    cache.warmup(second);
    executor.runAll();

    for (int i = 0; i < 100; ++i) {
        const bool loaded = i < 30 || (!secondIsEmpty && i >= 60 && i < 70);
        QCOMPARE(source.loadCount(first[i].path()), loaded ? 1 : 0);
        QCOMPARE(cache.cachedIcon(first[i].bundleID).has_value(), loaded);
    }
    QCOMPARE(cache.count(), secondIsEmpty ? 30 : 70);
}

void TestIconCache::cancelledWarmupFinishesTheIconItIsLoading()
{
    FakeIconSource source;
    ManualExecutor executor;
    IconCache cache(source, executor);
    const auto list = apps(u"app"_qs, 100);
    cache.warmup(list);
    source.setLoadHook([&](const QString &path) {
        if (path == list[40].path())
            cache.warmup({});
    });
    executor.runAll();
    QVERIFY(cache.cachedIcon(list[40].bundleID));
    QVERIFY(!cache.cachedIcon(list[41].bundleID));
    QCOMPARE(source.loads().size(), 41);
}

void TestIconCache::warmupStopsWhenTheCacheIsGone()
{
    FakeIconSource source;
    ManualExecutor executor;
    {
        IconCache cache(source, executor);
        cache.warmup(apps(u"app"_qs, 100));
    }
    source.clearLoads();
    executor.runAll();
    QCOMPARE(source.loads(), QStringList());
}

void TestIconCache::concurrentLookUpsStayConsistent()
{
    FakeIconSource source;
    ThreadPoolExecutor executor;
    IconCache cache(source, executor);
    const auto list = apps(u"app"_qs, 800);
    for (const auto &a : list.mid(0, 400))
        source.setLocation(a.bundleID, a.path());

    std::atomic<int> wrong = 0;
    std::atomic<int> overLimit = 0;
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            std::mt19937 random(t);
            for (int i = 0; i < 3000; ++i) {
                const AppInfo &a = list[qsizetype(random() % list.size())];
                QImage image;
                switch (random() % 3) {
                case 0:
                    image = cache.icon(a);
                    break;
                case 1:
                    image = cache.iconForBundleID(a.bundleID);
                    if (image.cacheKey() == cache.genericIcon().cacheKey())
                        continue; // not located: the generic icon is right
                    break;
                default:
                    if (auto cached = cache.cachedIcon(a.bundleID))
                        image = *cached;
                    else
                        continue;
                }
                if (!hasColourOf(image, a.path()))
                    ++wrong;
                if (cache.count() > cache.countLimit())
                    ++overLimit;
            }
        });
    }
    cache.warmup(list); // meanwhile, from the main thread
    for (auto &thread : threads)
        thread.join();
    executor.waitForDone();
    QCOMPARE(wrong.load(), 0);
    QCOMPARE(overLimit.load(), 0);
    QVERIFY(cache.count() <= cache.countLimit());
}

void TestIconCache::sharedInstanceKeepsItsFirstSetUp()
{
    static FakeIconSource source;
    static ManualExecutor executor;
    QVERIFY(IconCache::setUpShared(source, executor));
    IconCache &shared = IconCache::shared();
    QCOMPARE(&IconCache::shared(), &shared);
    FakeIconSource other;
    QVERIFY(!IconCache::setUpShared(other, executor));
    const AppInfo a = app(u"a"_qs);
    QVERIFY(hasColourOf(shared.icon(a), a.path()));
    QCOMPARE(source.loadCount(a.path()), 1);
    QCOMPARE(other.loadCount(a.path()), 0);
}

QTEST_MAIN(TestIconCache)
#include "tst_iconcache.moc"
