#include "fakegridhost.h"
#include "fixtureapps.h"
#include "pagedgridcontroller.h"
#include "verticalgridcontroller.h"
#include "viewtest.h"

#include "../support/applists.h"
#include "fake/virtualclock.h"

#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using AppLists::idsOf;

// Both grids on an offscreen window, driven by real mouse and wheel events over a host in memory.
class TestGridViews : public QObject
{
    Q_OBJECT

    QTemporaryDir m_icons;

    // Repeater delegates are children of their parent item only, not of its object tree.
    static QQuickItem *findVisual(QQuickItem *item, const QString &name)
    {
        if (!item)
            return nullptr;
        if (item->objectName() == name)
            return item;
        for (QQuickItem *child : item->childItems()) {
            if (QQuickItem *found = findVisual(child, name))
                return found;
        }
        return nullptr;
    }

    class IconHost : public FakeGridHost
    {
    public:
        QString dir;
        QString iconSource(const AppInfo &app) const override
        {
            const int i = app.bundleID.right(3).toInt();
            return QUrl::fromLocalFile(FixtureApps::iconPath(dir, i)).toString();
        }
    };

    struct Paged
    {
        VirtualClock clock;
        IconHost host;
        std::unique_ptr<PagedGridController> grid;
        ViewTest view{u"tst_gridviews"_qs};

        Paged(int n, const QString &iconDir, QSize size = QSize(1030, 580))
        {
            host.dir = iconDir;
            host.apps = FixtureApps::make(n, iconDir);
            grid = std::make_unique<PagedGridController>(host, clock, clock);
            QVERIFY2(view.loadView(u"PagedGridView"_qs, {{u"controller"_qs, QVariant::fromValue(grid.get())}}, size),
                     qPrintable(view.errors()));
        }
        QQuickItem *tile(int i) const { return findVisual(view.root(), u"tile:"_qs + host.apps.at(i).bundleID); }
        QPointF centreOfTile(int i) const { return ViewTest::centreOf(tile(i)); }
    };

    struct Vertical
    {
        VirtualClock clock;
        IconHost host;
        std::unique_ptr<VerticalGridController> grid;
        ViewTest view{u"tst_gridviews"_qs};

        Vertical(int n, const QString &iconDir, QSize size = QSize(1030, 560))
        {
            host.dir = iconDir;
            host.apps = FixtureApps::make(n, iconDir);
            grid = std::make_unique<VerticalGridController>(host, clock);
            QVERIFY2(view.loadView(u"AppGridView"_qs, {{u"controller"_qs, QVariant::fromValue(grid.get())}}, size),
                     qPrintable(view.errors()));
        }
        QQuickItem *tile(int i) const { return findVisual(view.root(), u"tile:"_qs + host.apps.at(i).bundleID); }
    };

    static void dragMouse(ViewTest &view, QPointF from, QPointF to, int steps = 12)
    {
        view.mousePress(from);
        for (int i = 1; i <= steps; ++i) {
            view.mouseMove(from + (to - from) * i / steps);
            QTest::qWait(5);
        }
        view.mouseRelease(to);
        QCoreApplication::processEvents();
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_icons.isValid()); }

    void pagedTilesStandWhereTheLayoutSays()
    {
        Paged p(40, m_icons.path());
        QCOMPARE(p.grid->columns(), 7);
        QCOMPARE(p.grid->pageCount(), 2);
        QQuickItem *viewport = p.view.item(u"pagedViewport"_qs);
        for (int i : {0, 1, 8, 27}) {
            QQuickItem *t = p.tile(i);
            QVERIFY(t);
            QCOMPARE(t->mapToItem(viewport, QPointF(0, 0)), p.grid->cellPosition(i));
            QCOMPARE(t->size(), QSizeF(p.grid->cellWidth(), p.grid->cellHeight()));
        }
        p.view.grab(u"paged-grid"_qs);
    }

    void pagedClickLaunches()
    {
        Paged p(10, m_icons.path());
        p.view.click(p.centreOfTile(3));
        QCOMPARE(p.host.launched, QStringList({p.host.apps.at(3).bundleID}));
        p.view.click(p.centreOfTile(3), Qt::RightButton);
        QCOMPARE(p.host.launched.size(), 1); // a right click opens the menu, it launches nothing
    }

    void pagedMouseDragReordersWithoutLaunching()
    {
        Paged p(10, m_icons.path());
        const QStringList before = idsOf(p.host.apps);
        const QPointF from = p.centreOfTile(0);
        const QPointF to = p.centreOfTile(2);
        p.view.mousePress(from);
        for (int i = 1; i <= 12; ++i) {
            p.view.mouseMove(from + (to - from) * i / 12);
            QTest::qWait(5);
        }
        p.view.grab(u"paged-drag"_qs);
        p.view.mouseRelease(to);
        QCoreApplication::processEvents();
        QVERIFY(p.host.launched.isEmpty());
        QCOMPARE(p.host.customOrders.size(), 1);
        QCOMPARE(idsOf(p.host.customOrders.first()).mid(0, 3), QStringList({before[1], before[2], before[0]}));
    }

    void pagedWheelNotchFlipsAPage()
    {
        Paged p(40, m_icons.path());
        QCOMPARE(p.grid->pager()->currentPage(), 0);
        QVERIFY(p.grid->wheel()->isStarted());
        QVERIFY(p.grid->wheel()->hitArea());
        p.view.wheel(QPointF(500, 300), QPoint(0, -120));
        QCOMPARE(p.grid->pager()->currentPage(), 1);
        QTest::qWait(700);
        p.view.grab(u"paged-second-page"_qs);
    }

    void pagedEmptySpaceDragPans()
    {
        Paged p(40, m_icons.path());
        dragMouse(p.view, QPointF(1020, 300), QPointF(400, 300));
        QCOMPARE(p.grid->pager()->currentPage(), 1);
        QVERIFY(p.host.customOrders.isEmpty());
    }

    void emptyStates_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<QString>("search");
        QTest::addColumn<bool>("group");
        QTest::addColumn<QString>("title");
        QTest::newRow("hidden") << u"empty-hidden"_qs << true << QString() << false << u"没有隐藏的应用"_qs;
        QTest::newRow("search") << u"empty-search"_qs << false << u"不存在"_qs << false << u"没有匹配的应用"_qs;
        QTest::newRow("all apps") << u"empty-all"_qs << false << QString() << false << u"此分组还没有应用"_qs;
        QTest::newRow("group") << u"empty-group"_qs << false << QString() << true << u"此分组还没有应用"_qs;
    }
    void emptyStates()
    {
        QFETCH(QString, name);
        QFETCH(bool, hidden);
        QFETCH(QString, search);
        QFETCH(bool, group);
        QFETCH(QString, title);
        Paged p(0, m_icons.path());
        p.host.hidden = hidden;
        p.host.search = search;
        p.host.groupSelected = group;
        Q_EMIT p.host.appsChanged();
        QCoreApplication::processEvents();
        QVERIFY(p.grid->hasEmptyState());
        QCOMPARE(p.grid->emptyTitle(), title);
        QCOMPARE(p.view.item(u"addTile"_qs)->isVisible(), group);
        p.view.grab(name);
    }

    // The add tile after the last app of a group, in both grids: it stands in the next cell, recolours and lifts
    // under the pointer, and a click asks for the add sheet once.
    void addTileInBothGrids_data()
    {
        QTest::addColumn<bool>("paged");
        QTest::newRow("paged") << true;
        QTest::newRow("vertical") << false;
    }
    void addTileInBothGrids()
    {
        QFETCH(bool, paged);
        std::unique_ptr<Paged> p;
        std::unique_ptr<Vertical> v;
        FakeGridHost *host = nullptr;
        ViewTest *view = nullptr;
        if (paged) {
            p = std::make_unique<Paged>(5, m_icons.path());
            host = &p->host;
            view = &p->view;
        } else {
            v = std::make_unique<Vertical>(5, m_icons.path());
            host = &v->host;
            view = &v->view;
        }
        host->groupSelected = true;
        Q_EMIT host->appsChanged();
        QCoreApplication::processEvents();
        QQuickItem *addTile = view->item(u"addTile"_qs);
        QVERIFY(addTile && addTile->isVisible());
        QQuickItem *last = paged ? p->tile(4) : v->tile(4);
        // The next cell of the same row.
        QCOMPARE(addTile->y(), last->y());
        QVERIFY(addTile->x() > last->x());
        view->mouseMove(ViewTest::centreOf(addTile));
        QVERIFY(addTile->property("hovering").toBool());
        QTRY_COMPARE(view->item(u"plate"_qs)->scale(), 1.08);
        view->grab(paged ? u"添加格_分页网格_悬停"_qs : u"添加格_竖排网格_悬停"_qs);
        view->click(ViewTest::centreOf(addTile));
        QCOMPARE(host->addSheetRequests, 1);
    }

    void verticalTilesStandWhereTheDragGeometrySays()
    {
        Vertical v(40, m_icons.path());
        QQuickItem *content = v.view.item(u"verticalContent"_qs);
        QVERIFY(content);
        for (int i : {0, 1, 7, 13, 20}) {
            QQuickItem *t = v.tile(i);
            QVERIFY(t);
            QCOMPARE(t->mapToItem(content, QPointF(0, 0)), v.grid->cellPosition(i));
            // The drag code hits this very tile at its centre.
            const auto hit = GridDragReorder::hitTestIndex(t->mapToItem(content, QPointF(t->width() / 2, t->height() / 2)),
                                                           dragGeometry(v.grid->geometry()));
            QCOMPARE(hit.value_or(-1), i);
        }
        QVERIFY(v.grid->knobVisible());
        v.view.grab(u"vertical-grid"_qs);
    }

    void verticalWheelScrollsAndDragReorders()
    {
        Vertical v(40, m_icons.path());
        v.view.wheel(QPointF(500, 300), QPoint(0, -120));
        QTest::qWait(400);
        QVERIFY(v.grid->scrollMetrics().offset > 0);
        v.view.grab(u"vertical-scrolled"_qs);

        Vertical w(10, m_icons.path());
        const QStringList before = idsOf(w.host.apps);
        dragMouse(w.view, ViewTest::centreOf(w.tile(0)), ViewTest::centreOf(w.tile(2)));
        QCOMPARE(w.host.customOrders.size(), 1);
        QCOMPARE(idsOf(w.host.customOrders.first()).mid(0, 3), QStringList({before[1], before[2], before[0]}));
        QVERIFY(w.host.launched.isEmpty());
    }

    // Tiles exist for the pages next to the current one, or the rows near the view, and come as the view moves.
    void tilesOnlyNearTheView()
    {
        Paged p(200, m_icons.path());
        const int perPage = p.grid->perPage();
        QCOMPARE(perPage, 28);
        QVERIFY(p.tile(0));
        QVERIFY(p.tile(3 * perPage - 1));
        QVERIFY(!p.tile(3 * perPage));
        p.grid->pager()->snap(3, 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!p.tile(perPage - 1));
        for (int i : {perPage, 4 * perPage + 3, 6 * perPage - 1}) {
            QQuickItem *t = p.tile(i);
            QVERIFY(t);
            QCOMPARE(t->position(), p.grid->cellPosition(i)); // in the page strip
        }
        QVERIFY(!p.tile(6 * perPage));

        Vertical v(200, m_icons.path());
        QVERIFY(v.tile(0));
        QVERIFY(!v.tile(199));
        auto *scroll = qobject_cast<QQuickItem *>(v.view.item(u"verticalScroll"_qs));
        scroll->setProperty("contentY", scroll->property("contentHeight").toDouble() - scroll->height());
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(v.tile(199));
        QVERIFY(!v.tile(0));
        QCOMPARE(v.tile(199)->mapToItem(v.view.item(u"verticalContent"_qs), QPointF(0, 0)), v.grid->cellPosition(199));
    }

    // Page dots clicked 30 ms apart: each spring starts where the strip is drawn, and every page it is drawn over
    // shows its tiles from the first frame, the page being left included.
    void quickDotClicksShowEveryPageOnTheWay()
    {
        Paged p(300, m_icons.path());
        const int perPage = p.grid->perPage();
        const double width = p.grid->width();
        PagerModel *pager = p.grid->pager();
        auto expectTilesUnderTheStrip = [&](const QString &when) {
            const double at = pager->drawnOffsetX() / width;
            for (int page = int(std::floor(at)); page <= int(std::ceil(at)); ++page)
                for (int i : {page * perPage, page * perPage + perPage - 1}) {
                    QQuickItem *t = p.tile(i);
                    QVERIFY2(t && t->isVisible(), qPrintable(when + u": page %1 drawn at %2"_qs.arg(page).arg(at)));
                }
        };
        for (int dot : {1, 2, 3, 4}) {
            p.view.click(ViewTest::centreOf(p.view.item(u"pageDot"_qs + QString::number(dot))));
            QCOMPARE(pager->currentPage(), dot);
            QVERIFY(pager->isPagingAnimating());
            expectTilesUnderTheStrip(u"dot %1"_qs.arg(dot));
            if (dot == 4)
                p.view.grab(u"quick-dot-clicks"_qs);
            QTest::qWait(30);
            expectTilesUnderTheStrip(u"30 ms after dot %1"_qs.arg(dot));
        }
        QTRY_COMPARE(pager->drawnOffsetX(), 4 * width);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!p.tile(2 * perPage - 1)); // at rest only the pages within two of page 4 are built
        QVERIFY(p.tile(2 * perPage));
    }

    // While its app stays in view a tile is the same item: a narrower search moves it to its new place.
    void aTileStaysThroughANarrowerSearch()
    {
        Paged p(40, m_icons.path());
        QQuickItem *tile = p.tile(5);
        QVERIFY(tile);
        p.host.search = u"x"_qs;
        p.host.apps = {p.host.apps.at(1), p.host.apps.at(5), p.host.apps.at(9)};
        Q_EMIT p.host.appsChanged();
        QCoreApplication::processEvents();
        QCOMPARE(p.grid->apps()->count(), 3);
        QCOMPARE(p.tile(1), tile);
        QTest::qWait(250);
        QCOMPARE(tile->mapToItem(p.view.item(u"pagedViewport"_qs), QPointF(0, 0)), p.grid->cellPosition(1));
    }

    // A narrower search hides the dots of the pages it drops, and a wider one shows them again: the row shows and
    // measures one dot per page, and the dots kept are the same items.
    void pageDotsFollowTheSearch()
    {
        Paged p(100, m_icons.path());
        QQuickItem *row = findVisual(p.view.root(), u"pageDots"_qs);
        QVERIFY(row);
        auto shownDots = [row] {
            QList<QQuickItem *> dots;
            for (QQuickItem *child : row->childItems()) {
                if (child->property("index").isValid() && child->isVisible())
                    dots.append(child);
            }
            return dots;
        };
        const int pages = p.grid->pageCount();
        QVERIFY(pages >= 3);
        const QList<QQuickItem *> first = shownDots();
        QCOMPARE(first.size(), pages);
        const QList<AppInfo> all = p.host.apps;
        const auto searchTo = [&p](const QString &text, const QList<AppInfo> &apps) {
            p.host.search = text;
            p.host.apps = apps;
            Q_EMIT p.host.appsChanged();
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
        };
        const int perPage = p.grid->perPage();
        searchTo(u"x"_qs, all.mid(0, perPage + 1));
        QCOMPARE(p.grid->pageCount(), 2);
        QCOMPARE(shownDots(), first.mid(0, 2));
        QTRY_COMPARE(row->width(), 2 * 8 + 10); // the row lays out at the next frame
        p.view.grab(u"dots-narrowed"_qs);
        searchTo(QString(), all);
        QCOMPARE(shownDots(), first);
        QTRY_COMPARE(row->width(), pages * 8 + (pages - 1) * 10);
        QCOMPARE(shownDots().last()->x(), (pages - 1) * 18.0);
    }

    void searchWithHits()
    {
        Paged p(40, m_icons.path());
        p.host.search = u"微"_qs;
        QList<AppInfo> hits;
        for (const AppInfo &a : std::as_const(p.host.apps)) {
            if (a.name.contains(u"微"_qs))
                hits.append(a);
        }
        p.host.apps = hits;
        Q_EMIT p.host.appsChanged();
        QCoreApplication::processEvents();
        QCOMPARE(p.grid->apps()->count(), 3);
        QTest::qWait(250);
        p.view.grab(u"search-hits"_qs);
    }
};

QTEST_MAIN(TestGridViews)
#include "tst_gridviews.moc"
