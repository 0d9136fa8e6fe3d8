#include "appiconprovider.h"
#include "apptilerules.h"
#include "fake/fakeiconsource.h"
#include "fake/manualexecutor.h"
#include "iconcache.h"
#include "theme.h"
#include "tilemetrics.h"
#include "viewtest.h"

#include <QAccessible>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>

namespace {

AppInfo appAt(const QString &id, const QString &name)
{
    AppInfo app;
    app.bundleID = id;
    app.name = name;
    app.url = QUrl::fromLocalFile(u"/usr/share/applications/"_qs + id + u".desktop"_qs);
    return app;
}

QVariantMap tileRow(const AppInfo &app, const QString &shownName, bool cached, bool pinned = false,
                    bool blocked = false, bool selected = false)
{
    return {{u"id"_qs, app.bundleID},          {u"name"_qs, shownName},
            {u"source"_qs, AppTileRules::iconSource(app)}, {u"cached"_qs, cached},
            {u"pinned"_qs, pinned},            {u"blocked"_qs, blocked},
            {u"selected"_qs, selected}};
}

// The colour `top` at `alpha` over the opaque `backdrop`.
QColor over(const QColor &top, double alpha, const QColor &backdrop)
{
    auto mix = [&](int a, int b) { return int(std::lround(a * alpha + b * (1 - alpha))); };
    return QColor(mix(top.red(), backdrop.red()), mix(top.green(), backdrop.green()), mix(top.blue(), backdrop.blue()));
}

bool near(const QColor &a, const QColor &b, int tolerance = 3)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
           && qAbs(a.blue() - b.blue()) <= tolerance;
}

QString describe(const QColor &a, const QColor &b)
{
    return a.name() + u" vs "_qs + b.name();
}

} // namespace

// The app tile: its label and lift rules, and in a window its click, hover lift, icon loading and look.
class TestAppIconCell : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void label_data();
    void label();
    void lift_data();
    void lift();
    void providerScalesEachIconOnce();
    void iconSourceCarriesWhatTheCacheNeeds_data();
    void iconSourceCarriesWhatTheCacheNeeds();
    void clickAnywhereActivatesOnce_data();
    void clickAnywhereActivatesOnce();
    void hoverLiftsUnlessBlockedOrPaging_data();
    void hoverLiftsUnlessBlockedOrPaging();
    void hoverIsLatchedWhilePagesMove();
    void withoutAGridTheScaleIsNeutral();
    void announcedByItsShownNameAlone();
    void cachedIconIsInTheFirstFrame();
    void uncachedIconShowsThePlaceholderWhileItLoads();
    void appWithoutIconGetsTheGenericOne();
    void blockedAndSelectedColours();
    void screenshots_data();
    void screenshots();

private:
    bool loadTiles(double scale, const QVariantList &apps);

    std::unique_ptr<FakeIconSource> m_source;
    std::unique_ptr<ManualExecutor> m_executor;
    std::unique_ptr<IconCache> m_cache;
    std::unique_ptr<ViewTest> m_test;
};

void TestAppIconCell::init()
{
    m_source = std::make_unique<FakeIconSource>();
    m_executor = std::make_unique<ManualExecutor>();
    m_cache = std::make_unique<IconCache>(*m_source, *m_executor);
    m_test = std::make_unique<ViewTest>(u"tst_appiconcell"_qs);
    m_test->setIconCache(*m_cache);
}

void TestAppIconCell::cleanup()
{
    m_test.reset();
    m_cache.reset();
}

void TestAppIconCell::label_data()
{
    const QString pin = QChar(0x2009) + u"<img src=\""_qs + u"image://symbol/pin.fill?color=ffb9b9be"_qs
                        + u"\" width=\"9\" height=\"9\" align=\"top\">"_qs;
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("pinned");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << u"微信"_qs << false << u"微信"_qs;
    QTest::newRow("pinned gets a thin space and the glyph") << u"微信"_qs << true << u"微信"_qs + pin;
    QTest::newRow("markup shows as typed") << u"A<b>B</b>"_qs << false << u"A&lt;b&gt;B&lt;/b&gt;"_qs;
    QTest::newRow("ampersand and quotes") << u"R&D \"Tools\""_qs << false << u"R&amp;D &quot;Tools&quot;"_qs;
    QTest::newRow("an entity is not decoded") << u"&lt;"_qs << false << u"&amp;lt;"_qs;
    QTest::newRow("double spaces are kept") << u"A  B"_qs << false << u"A &nbsp;B"_qs;
    QTest::newRow("pinned markup") << u"<i>"_qs << true << u"&lt;i&gt;"_qs + pin;
}

void TestAppIconCell::label()
{
    QFETCH(QString, name);
    QFETCH(bool, pinned);
    QFETCH(QString, expected);
    QCOMPARE(AppTileRules::label(name, pinned), expected);
}

void TestAppIconCell::lift_data()
{
    QTest::addColumn<bool>("hovering");
    QTest::addColumn<bool>("blocked");
    QTest::addColumn<bool>("pageAnimating");
    QTest::addColumn<bool>("lifted");
    QTest::newRow("hovered") << true << false << false << true;
    QTest::newRow("resting") << false << false << false << false;
    QTest::newRow("hovered but blocked") << true << true << false << false;
    QTest::newRow("hovered while pages move") << true << false << true << false;
    QTest::newRow("blocked and paging") << true << true << true << false;
}

void TestAppIconCell::lift()
{
    QFETCH(bool, hovering);
    QFETCH(bool, blocked);
    QFETCH(bool, pageAnimating);
    QFETCH(bool, lifted);
    QCOMPARE(AppTileRules::lifted(hovering, blocked, pageAnimating), lifted);
    // While pages move the tile keeps its hover state; otherwise it follows the pointer.
    QCOMPARE(AppTileRules::latchedHover(hovering, !hovering, pageAnimating), pageAnimating ? hovering : !hovering);
}

void TestAppIconCell::iconSourceCarriesWhatTheCacheNeeds_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("path");
    QTest::newRow("desktop entry") << u"org.gnome.Calculator"_qs << u"/usr/share/applications/calc.desktop"_qs;
    QTest::newRow("spaces, question mark and hash") << u"a b?c#d"_qs << u"/opt/My Apps/x?y#z&w=1.app"_qs;
    QTest::newRow("Chinese") << u"com.tencent.微信"_qs << u"/Applications/微信.app"_qs;
}

void TestAppIconCell::iconSourceCarriesWhatTheCacheNeeds()
{
    QFETCH(QString, id);
    QFETCH(QString, path);
    AppInfo app = appAt(id, id);
    app.url = QUrl::fromLocalFile(path);
    const QString source = AppTileRules::iconSource(app);
    QVERIFY(source.startsWith(u"image://appicon/"_qs));
    // Qt hands the provider the part after the host; the URL must survive QUrl on the way.
    const QUrl url(source);
    QVERIFY(url.isValid());
    const QString providerId = url.toString(QUrl::RemoveScheme | QUrl::RemoveAuthority).mid(1);
    const auto back = AppTileRules::appOfIconId(providerId);
    QVERIFY(back);
    QCOMPARE(back->bundleID, id);
    QCOMPARE(back->path(), path);
    QCOMPARE(AppTileRules::iconSourceFor(id, path), source);
}

void TestAppIconCell::clickAnywhereActivatesOnce_data()
{
    QTest::addColumn<QPointF>("where"); // in tile coordinates, fractions of width and height
    QTest::newRow("on the icon") << QPointF(0.5, 0.3);
    QTest::newRow("on the name") << QPointF(0.5, 0.85);
    QTest::newRow("blank corner") << QPointF(0.03, 0.97);
}

void TestAppIconCell::clickAnywhereActivatesOnce()
{
    QFETCH(QPointF, where);
    const AppInfo app = appAt(u"a"_qs, u"计算器"_qs);
    QVERIFY2(loadTiles(1.0, {tileRow(app, app.name, false)}), qPrintable(m_test->errors()));
    QQuickItem *tile = m_test->item(u"a"_qs);
    QSignalSpy activated(tile, SIGNAL(activated()));
    const QPointF pos = ViewTest::pointIn(tile, QPointF(where.x() * tile->width(), where.y() * tile->height()));
    m_test->click(pos, Qt::RightButton);
    QCOMPARE(activated.size(), 0);
    m_test->click(pos);
    QCOMPARE(activated.size(), 1);
    // A press that leaves the tile before it is released is no click.
    m_test->mousePress(pos);
    m_test->mouseMove(ViewTest::pointIn(tile, QPointF(-30, -30)));
    m_test->mouseRelease(ViewTest::pointIn(tile, QPointF(-30, -30)));
    QCOMPARE(activated.size(), 1);
}

void TestAppIconCell::hoverLiftsUnlessBlockedOrPaging_data()
{
    QTest::addColumn<bool>("blocked");
    QTest::addColumn<bool>("pageAnimating");
    QTest::addColumn<double>("scale");
    QTest::newRow("free") << false << false << 1.08;
    QTest::newRow("blocked") << true << false << 1.0;
    QTest::newRow("pages moving") << false << true << 1.0;
}

void TestAppIconCell::hoverLiftsUnlessBlockedOrPaging()
{
    QFETCH(bool, blocked);
    QFETCH(bool, pageAnimating);
    QFETCH(double, scale);
    const AppInfo app = appAt(u"a"_qs, u"计算器"_qs);
    QVERIFY2(loadTiles(1.0, {tileRow(app, app.name, false, false, blocked)}), qPrintable(m_test->errors()));
    QQuickItem *tile = m_test->item(u"a"_qs);
    tile->setProperty("pageAnimating", pageAnimating);
    QQuickItem *group = tile->findChild<QQuickItem *>(u"iconGroup"_qs);
    QQuickItem *name = tile->findChild<QQuickItem *>(u"name"_qs);
    const QPointF nameAt = name->mapToScene(QPointF(0, 0));
    m_test->mouseMove(ViewTest::centreOf(tile));
    QTRY_COMPARE(group->scale(), scale);
    QCOMPARE(tile->property("lifted").toBool(), scale > 1);
    // The name does not move.
    QCOMPARE(name->mapToScene(QPointF(0, 0)), nameAt);
    m_test->mouseMove(ViewTest::pointIn(tile, QPointF(-20, -20)));
    QTRY_COMPARE(group->scale(), 1.0);
}

void TestAppIconCell::hoverIsLatchedWhilePagesMove()
{
    const AppInfo app = appAt(u"a"_qs, u"计算器"_qs);
    QVERIFY2(loadTiles(1.0, {tileRow(app, app.name, false)}), qPrintable(m_test->errors()));
    QQuickItem *tile = m_test->item(u"a"_qs);
    m_test->mouseMove(ViewTest::centreOf(tile));
    QVERIFY(tile->property("hovering").toBool());
    tile->setProperty("pageAnimating", true);
    m_test->mouseMove(ViewTest::pointIn(tile, QPointF(-20, -20)));
    QVERIFY(tile->property("hovering").toBool());
    QVERIFY(!tile->property("lifted").toBool());
    tile->setProperty("pageAnimating", false);
    QVERIFY(tile->property("hovering").toBool());
    m_test->mouseMove(ViewTest::centreOf(tile));
    m_test->mouseMove(ViewTest::pointIn(tile, QPointF(-20, -20)));
    QVERIFY(!tile->property("hovering").toBool());
}

void TestAppIconCell::withoutAGridTheScaleIsNeutral()
{
    QVERIFY2(m_test->loadView(u"AppIconCell"_qs, {{u"bundleID"_qs, u"a"_qs}, {u"name"_qs, u"计算器"_qs}}),
             qPrintable(m_test->errors()));
    QQuickItem *tile = m_test->root();
    QCOMPARE(tile->property("iconScale").toDouble(), 1.0);
    QVERIFY(!tile->property("pageAnimating").toBool());
    QCOMPARE(tile->implicitWidth(), 110.0);
    QCOMPARE(tile->implicitHeight(), 114.0);
    QCOMPARE(ViewTest::itemIn(tile, u"iconGroup"_qs)->width(), 58.0);
}

void TestAppIconCell::announcedByItsShownNameAlone()
{
    const AppInfo app = appAt(u"a"_qs, u"Visual Studio Code"_qs);
    QVERIFY2(loadTiles(1.0, {tileRow(app, u"A<b>"_qs, false, true)}), qPrintable(m_test->errors()));
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(m_test->item(u"a"_qs));
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::Button);
    QCOMPARE(iface->text(QAccessible::Name), u"A<b>"_qs);
}

void TestAppIconCell::cachedIconIsInTheFirstFrame()
{
    const AppInfo app = appAt(u"a"_qs, u"计算器"_qs);
    (void)m_cache->icon(app);
    QVERIFY(m_cache->cachedIcon(app.bundleID));
    m_source->clearLoads();
    QVERIFY2(loadTiles(1.0, {tileRow(app, app.name, true)}), qPrintable(m_test->errors()));
    QQuickItem *tile = m_test->item(u"a"_qs);
    QQuickItem *group = tile->findChild<QQuickItem *>(u"iconGroup"_qs);
    // The first frame after the window was shown, with no waiting for loads.
    const QImage frame = m_test->view()->grabWindow();
    const QPoint centre = ViewTest::centreOf(group).toPoint();
    QVERIFY2(near(frame.pixelColor(centre), FakeIconSource::colourOf(app.path())),
             qPrintable(describe(frame.pixelColor(centre), FakeIconSource::colourOf(app.path()))));
    QVERIFY(!tile->findChild<QQuickItem *>(u"placeholder"_qs)->isVisible());
    QCOMPARE(m_source->loads(), QStringList());
}

void TestAppIconCell::uncachedIconShowsThePlaceholderWhileItLoads()
{
    const AppInfo app = appAt(u"a"_qs, u"计算器"_qs);
    QSemaphore loading;
    QSemaphore release;
    m_source->setLoadHook([&](const QString &) {
        loading.release();
        release.acquire();
    });
    QVERIFY2(loadTiles(1.0, {tileRow(app, app.name, false)}), qPrintable(m_test->errors()));
    QQuickItem *tile = m_test->item(u"a"_qs);
    QQuickItem *group = tile->findChild<QQuickItem *>(u"iconGroup"_qs);
    QVERIFY(loading.tryAcquire(1, 5000)); // the load runs off the main thread while the window is live
    const QImage waiting = m_test->grab(u"loading-placeholder"_qs);
    const QPoint centre = ViewTest::centreOf(group).toPoint();
    QVERIFY2(near(waiting.pixelColor(centre), QColor(235, 235, 235)),
             qPrintable(waiting.pixelColor(centre).name()));
    release.release();
    QTRY_VERIFY(!tile->findChild<QQuickItem *>(u"placeholder"_qs)->isVisible());
    const QImage loaded = m_test->grab(u"loaded"_qs);
    QVERIFY(near(loaded.pixelColor(centre), FakeIconSource::colourOf(app.path())));
    QVERIFY(m_cache->cachedIcon(app.bundleID));
}

void TestAppIconCell::appWithoutIconGetsTheGenericOne()
{
    const AppInfo app = appAt(u"a"_qs, u"无图标"_qs);
    m_source->setMissing(app.path());
    QVERIFY2(loadTiles(1.0, {tileRow(app, app.name, false)}), qPrintable(m_test->errors()));
    QQuickItem *tile = m_test->item(u"a"_qs);
    QTRY_VERIFY(!tile->findChild<QQuickItem *>(u"placeholder"_qs)->isVisible());
    const QImage frame = m_test->view()->grabWindow();
    const QPoint centre = ViewTest::centreOf(tile->findChild<QQuickItem *>(u"iconGroup"_qs)).toPoint();
    const QColor generic = m_cache->genericIcon().pixelColor(IconCache::iconSize / 2, IconCache::iconSize / 2);
    QVERIFY2(near(frame.pixelColor(centre), generic), qPrintable(describe(frame.pixelColor(centre), generic)));
}

void TestAppIconCell::blockedAndSelectedColours()
{
    const AppInfo blocked = appAt(u"blocked"_qs, u"游戏"_qs);
    const AppInfo selected = appAt(u"selected"_qs, u"笔记"_qs);
    (void)m_cache->icon(blocked);
    (void)m_cache->icon(selected);
    QVERIFY2(loadTiles(1.0, {tileRow(blocked, blocked.name, true, false, true),
                             tileRow(selected, selected.name, true, false, false, true)}),
             qPrintable(m_test->errors()));
    const QImage frame = m_test->grab(u"blocked-and-selected-samples"_qs);
    const double s = 1.0;
    const QColor backdrop = Theme::windowBackground();

    // The blocked icon is drawn at 0.35 over the window; its badge corner is the badge at full opacity.
    QQuickItem *blockedGroup = m_test->item(u"blocked"_qs)->findChild<QQuickItem *>(u"iconGroup"_qs);
    const QPointF topLeft = blockedGroup->mapToScene(QPointF(0, 0));
    const QPoint iconPoint = (topLeft + QPointF(12, 12)).toPoint();
    const QColor dimmed = over(FakeIconSource::colourOf(blocked.path()), 0.35, backdrop);
    QVERIFY2(near(frame.pixelColor(iconPoint), dimmed), qPrintable(describe(frame.pixelColor(iconPoint), dimmed)));
    const QPoint badgeLeftEdge = (topLeft + QPointF(TileMetrics::iconSide(s) - 25 + 3, TileMetrics::iconSide(s) - 12.5))
                                     .toPoint();
    const QColor badge = over(QColor(Qt::white), 0.9, dimmed);
    QVERIFY2(near(frame.pixelColor(badgeLeftEdge), badge), qPrintable(describe(frame.pixelColor(badgeLeftEdge), badge)));

    // The selection fill shows between the icon and the ring; the ring lies 10 x s outside the icon.
    QQuickItem *selectedGroup = m_test->item(u"selected"_qs)->findChild<QQuickItem *>(u"iconGroup"_qs);
    const QPointF origin = selectedGroup->mapToScene(QPointF(0, 0));
    const double mid = TileMetrics::iconSide(s) / 2;
    const QPoint fillPoint = (origin + QPointF(mid, -TileMetrics::selectionFillOutset(s) / 2)).toPoint();
    const QColor fill = over(Theme::accent(), 0.17, backdrop);
    QVERIFY2(near(frame.pixelColor(fillPoint), fill), qPrintable(describe(frame.pixelColor(fillPoint), fill)));
    const QPoint ringPoint = (origin + QPointF(mid, -TileMetrics::selectionRingOutset(s) + 1.2)).toPoint();
    const QColor ring = over(Theme::accent(), 0.85, backdrop);
    QVERIFY2(near(frame.pixelColor(ringPoint), ring, 6), qPrintable(describe(frame.pixelColor(ringPoint), ring)));
}

void TestAppIconCell::screenshots_data()
{
    QTest::addColumn<double>("scale");
    QTest::newRow("scale-1.0") << 1.0;
    QTest::newRow("scale-1.6") << 1.6;
}

void TestAppIconCell::screenshots()
{
    QFETCH(double, scale);
    const AppInfo plain = appAt(u"plain"_qs, u"计算器"_qs);
    const AppInfo pinned = appAt(u"pinned"_qs, u"微信"_qs);
    const AppInfo blocked = appAt(u"blocked"_qs, u"哔哩哔哩"_qs);
    const AppInfo selected = appAt(u"selected"_qs, u"备忘录"_qs);
    const AppInfo longName = appAt(u"long"_qs, u"一个名字非常非常长的中文应用程序需要两行以上才能显示完整"_qs);
    const AppInfo aliased = appAt(u"aliased"_qs, u"Visual Studio Code"_qs);
    const AppInfo markup = appAt(u"markup"_qs, u"A<b>B</b> & C"_qs);
    for (const AppInfo &app : {plain, pinned, blocked, selected, longName, aliased, markup})
        (void)m_cache->icon(app);
    QVariantMap placeholder = tileRow(appAt(u"placeholder"_qs, u"加载中"_qs), u"加载中"_qs, false);
    placeholder[u"source"_qs] = QString();
    QVERIFY2(loadTiles(scale, {tileRow(plain, plain.name, true), tileRow(pinned, pinned.name, true, true),
                               tileRow(blocked, blocked.name, true, false, true),
                               tileRow(selected, selected.name, true, false, false, true),
                               tileRow(longName, longName.name, true, true),
                               tileRow(aliased, u"代码编辑器"_qs, true), tileRow(markup, markup.name, true),
                               placeholder}),
             qPrintable(m_test->errors()));
    QQuickItem *longTile = m_test->item(u"long"_qs);
    QQuickItem *longText = longTile->findChild<QQuickItem *>(u"name"_qs);
    QVERIFY(longText->property("truncated").toBool());
    QCOMPARE(longText->property("lineCount").toInt(), 2);
    QCOMPARE(longTile->property("width").toDouble(), TileMetrics::width(scale));
    QCOMPARE(m_test->item(u"aliased"_qs)->property("name").toString(), u"代码编辑器"_qs);
    // Hover the selected tile so that its fill and ring lift with the icon.
    m_test->mouseMove(ViewTest::centreOf(m_test->item(u"selected"_qs)));
    QTRY_COMPARE(m_test->item(u"selected"_qs)->findChild<QQuickItem *>(u"iconGroup"_qs)->scale(), 1.08);
    m_test->grab(u"tiles-"_qs + QString::fromLatin1(QTest::currentDataTag()));
}

bool TestAppIconCell::loadTiles(double scale, const QVariantList &apps)
{
    return m_test->loadFile(TARNWICK_TEST_QML_DIR u"/TilesPage.qml"_qs,
                            {{u"iconScale"_qs, scale}, {u"apps"_qs, apps}});
}

// A tile made again takes the icon scaled before; an icon the cache replaced, or another size, is scaled afresh.
void TestAppIconCell::providerScalesEachIconOnce()
{
    FakeIconSource source;
    ManualExecutor executor;
    IconCache cache(source, executor, 1); // room for one icon: a second app evicts the first
    AppIconProvider provider(cache);
    const AppInfo a = appAt(u"a"_qs, u"A"_qs);
    const AppInfo b = appAt(u"b"_qs, u"B"_qs);
    const QString idA = AppTileRules::iconSource(a).mid(QStringLiteral("image://appicon/").size());
    const QString idB = AppTileRules::iconSource(b).mid(QStringLiteral("image://appicon/").size());
    QSize size;

    const QImage first = provider.requestImage(idA, &size, QSize(60, 60));
    QCOMPARE(size, QSize(60, 60));
    QCOMPARE(first.pixelColor(30, 30), FakeIconSource::colourOf(a.path()));
    QCOMPARE(provider.requestImage(idA, &size, QSize(60, 60)).cacheKey(), first.cacheKey());
    QCOMPARE(provider.requestImage(idA, &size, QSize(40, 40)).size(), QSize(40, 40));

    const QImage other = provider.requestImage(idB, &size, QSize(60, 60));
    QCOMPARE(other.pixelColor(30, 30), FakeIconSource::colourOf(b.path()));
    QCOMPARE(source.loadCount(a.path()), 1);
    const QImage again = provider.requestImage(idA, &size, QSize(60, 60)); // read and scaled anew
    QCOMPARE(source.loadCount(a.path()), 2);
    QVERIFY(again.cacheKey() != first.cacheKey());
    QCOMPARE(again, first);
}

QTEST_MAIN(TestAppIconCell)
#include "tst_appiconcell.moc"
