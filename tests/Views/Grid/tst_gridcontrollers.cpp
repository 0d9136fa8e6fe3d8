#include "fakegridhost.h"
#include "pagedgridcontroller.h"
#include "verticalgridcontroller.h"

#include "../support/applists.h"
#include "fake/virtualclock.h"

#include <QSignalSpy>
#include <QTest>

using AppLists::idsOf;

// Both grids' gesture machines and reactions, driven through their controllers over a host in memory and the
// virtual clock.
class TestGridControllers : public QObject
{
    Q_OBJECT

    static QList<AppInfo> apps(int n)
    {
        QList<AppInfo> result;
        for (int i = 0; i < n; ++i)
            result.append(AppLists::app(u"app%1"_qs.arg(i, 2, 10, QChar(u'0')), u"应用%1"_qs.arg(i)));
        return result;
    }

    // A paged grid of 1000 x 620: pages of 1000 x 600 with 7 x 4 tiles of 110 x 114, spaced 25 and 40, padding 40 and
    // 8. Cell (column, row) starts at (40 + 135 column, 8 + 154 row).
    struct Paged
    {
        VirtualClock clock;
        FakeGridHost host;
        std::unique_ptr<PagedGridController> grid;

        explicit Paged(int n, bool group = false)
        {
            host.apps = apps(n);
            host.groupSelected = group;
            grid = std::make_unique<PagedGridController>(host, clock, clock);
            grid->setWidth(1000);
            grid->setHeight(620);
            grid->shown(nullptr);
        }
        static QPointF cell(int column, int row) { return {40 + 135.0 * column + 55, 8 + 154.0 * row + 57}; }
        void drag(QPointF press, QPointF to) { grid->dragChanged(press, to, to - press); }
        void settle()
        {
            clock.advanceBy(1s);
            QCoreApplication::processEvents();
        }
    };

    // The vertical grid at width 1000: 7 columns of 110 spaced 25, left margin 40, rows of 114 spaced 24 from y 24.
    struct Vertical
    {
        VirtualClock clock;
        FakeGridHost host;
        std::unique_ptr<VerticalGridController> grid;

        explicit Vertical(int n, bool group = false)
        {
            host.apps = apps(n);
            host.groupSelected = group;
            grid = std::make_unique<VerticalGridController>(host, clock);
            grid->setWidth(1000);
            grid->shown();
            // The scroll view applies what it is asked for.
            QObject::connect(grid.get(), &VerticalGridController::scrollRequested, grid.get(), [this](double y) {
                const auto m = grid->scrollMetrics();
                grid->setScrollMetrics(y, m.contentHeight, m.containerHeight, 500);
            });
            grid->setScrollMetrics(0, grid->contentHeight(), 500, 500);
        }
        static QPointF cell(int column, int row) { return {40 + 135.0 * column + 55, 24 + 138.0 * row + 57}; }
    };

private Q_SLOTS:
    void pagedLayoutAndWrites()
    {
        Paged p(60);
        QCOMPARE(p.grid->columns(), 7);
        QCOMPARE(p.grid->rows(), 4);
        QCOMPARE(p.grid->perPage(), 28);
        QCOMPARE(p.grid->pageCount(), 3);
        QCOMPARE(p.grid->zoomCeiling(), 1.13);
        QCOMPARE(p.host.writtenColumns, QList<int>({7}));
        QCOMPARE(p.host.writtenCeilings, QList<double>({1.13}));
        QCOMPARE(p.grid->pager()->pageWidth(), 1000.0);
        QCOMPARE(p.grid->pager()->pageCount(), 3);

        // Narrower: the columns and the ceiling are written through, the page count follows.
        p.grid->setWidth(800);
        QCOMPARE(p.grid->columns(), 5);
        QCOMPARE(p.host.writtenColumns, QList<int>({7, 5}));
        QCOMPARE(p.grid->pageCount(), 3);
        QCOMPARE(p.grid->pager()->pageWidth(), 800.0);
    }

    void pagedPanStarts_data()
    {
        QTest::addColumn<int>("apps");
        QTest::addColumn<bool>("group");
        QTest::addColumn<QString>("search");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<QPointF>("press");
        QTest::addColumn<bool>("pans");
        QTest::newRow("empty space") << 60 << false << QString() << false << QPointF(10, 300) << true;
        QTest::newRow("gap between tiles") << 60 << false << QString() << false << QPointF(40 + 110 + 10, 50) << true;
        QTest::newRow("an empty slot") << 10 << false << QString() << false << Paged::cell(5, 1) << true;
        QTest::newRow("the add tile") << 10 << true << QString() << false << Paged::cell(3, 1) << true;
        QTest::newRow("a tile while searching") << 60 << false << u"微"_qs << false << Paged::cell(0, 0) << true;
        QTest::newRow("a tile in the hidden view") << 60 << false << QString() << true << Paged::cell(0, 0) << true;
        QTest::newRow("a tile reorders") << 60 << false << QString() << false << Paged::cell(0, 0) << false;
    }
    void pagedPanStarts()
    {
        QFETCH(int, apps);
        QFETCH(bool, group);
        QFETCH(QString, search);
        QFETCH(bool, hidden);
        QFETCH(QPointF, press);
        QFETCH(bool, pans);
        Paged p(apps, group);
        p.host.search = search;
        p.host.hidden = hidden;
        p.drag(press, press + QPointF(-300, 0));
        QCOMPARE(p.grid->drag()->isPanning(), pans);
        QCOMPARE(p.grid->drag()->draggingID().has_value(), !pans);
        if (pans)
            QCOMPARE(p.grid->pager()->offsetX(), p.grid->pageCount() > 1 ? 300.0 : 300 * 0.35);
    }

    void pagedPanEndsOnThePredictedPage()
    {
        Paged p(60);
        const QPointF press(10, 300);
        p.drag(press, press + QPointF(-300, 0));
        // 300 points dragged; at 1200 points per second a quarter second more makes 600: the next page.
        p.grid->dragEnded(QPointF(-300, 0), QPointF(-1200, 0));
        p.grid->gestureEnded();
        QVERIFY(!p.grid->drag()->isPanning());
        QCOMPARE(p.grid->pager()->currentPage(), 1);

        // Slowly, the same distance stays.
        p.settle();
        p.drag(press, press + QPointF(-300, 0));
        p.grid->dragEnded(QPointF(-300, 0), QPointF(0, 0));
        QCOMPARE(p.grid->pager()->currentPage(), 1);
    }

    void cancelledPanReturnsToTheNearestPage()
    {
        Paged p(60);
        const QPointF press(10, 300);
        p.drag(press, press + QPointF(-700, 0));
        p.grid->gestureEnded();
        QVERIFY(!p.grid->drag()->isPanning());
        QCOMPARE(p.grid->pager()->offsetX(), 1000.0);
    }

    void reorderCommitsTheNewOrder()
    {
        Paged p(10);
        const QPointF press = Paged::cell(0, 0);
        p.drag(press, press + QPointF(10, 0));
        QCOMPARE(p.grid->drag()->draggingIDText(), u"app00"_qs);
        p.drag(press, Paged::cell(2, 0));
        QCOMPARE(p.grid->drag()->previewOrder().value_or(QStringList()).mid(0, 3),
                 AppLists::ids(u"app01 app02 app00"_qs));
        QCoreApplication::processEvents();
        QCOMPARE(p.grid->apps()->bundleIDAt(2), u"app00"_qs); // the tiles show the preview
        p.grid->dragEnded({}, {});
        p.grid->gestureEnded();
        QCOMPARE(p.host.customOrders.size(), 1);
        QCOMPARE(idsOf(p.host.customOrders.first()).mid(0, 3), AppLists::ids(u"app01 app02 app00"_qs));
        QVERIFY(!p.grid->drag()->draggingID());
    }

    void reorderInAGroupCommitsTheGroupOrder()
    {
        Paged p(10, true);
        p.drag(Paged::cell(1, 0), Paged::cell(0, 0));
        p.grid->dragEnded({}, {});
        QCOMPARE(p.host.groupOrders.size(), 1);
        QCOMPARE(p.host.groupOrders.first().mid(0, 2), AppLists::ids(u"app01 app00"_qs));
        QVERIFY(p.host.customOrders.isEmpty());
    }

    void cancelledReorderCommitsItsPreview()
    {
        Paged p(10);
        p.drag(Paged::cell(0, 0), Paged::cell(3, 0));
        p.grid->gestureEnded(); // no normal end: a sheet took the grab
        QCOMPARE(p.host.customOrders.size(), 1);
        QCOMPARE(idsOf(p.host.customOrders.first()).mid(0, 4), AppLists::ids(u"app01 app02 app03 app00"_qs));
    }

    void edgeFlipsWhileATileIsHeldAtTheSide()
    {
        Paged p(80);
        const QPointF press = Paged::cell(0, 0);
        p.drag(press, QPointF(980, 200));
        QCOMPARE(p.grid->edgeFlip().direction(), 1);
        p.clock.advanceBy(549ms);
        QCOMPARE(p.grid->pager()->currentPage(), 0);
        p.clock.advanceBy(1ms);
        QCOMPARE(p.grid->pager()->currentPage(), 1);
        p.clock.advanceBy(550ms); // 1.10 s
        QCOMPARE(p.grid->pager()->currentPage(), 2);
        // The settle redid the preview on the page now shown: the tile would land on the third page.
        p.clock.advanceBy(600ms);
        const QStringList order = p.grid->drag()->previewOrder().value_or(QStringList());
        QVERIFY(order.indexOf(u"app00"_qs) >= 56);
        p.grid->dragEnded({}, {});
        QVERIFY(!p.grid->edgeFlip().isPending());
        QCOMPARE(p.host.customOrders.size(), 1);
    }

    void leavingOrReversingCancelsTheFlip()
    {
        Paged p(80);
        const QPointF press = Paged::cell(0, 0);
        p.drag(press, QPointF(980, 200));
        p.clock.advanceBy(300ms);
        p.drag(press, QPointF(500, 200));
        p.clock.advanceBy(1s);
        QCOMPARE(p.grid->pager()->currentPage(), 0);

        p.drag(press, QPointF(980, 200));
        p.clock.advanceBy(300ms);
        p.drag(press, QPointF(10, 200)); // reversed: towards page -1, nothing to flip to
        p.clock.advanceBy(300ms);
        QCOMPARE(p.grid->pager()->currentPage(), 0);
        QCOMPARE(p.grid->edgeFlip().direction(), -1);
    }

    void selectionAndSearchMoveThePage()
    {
        Paged p(80);
        p.host.selected = u"app60"_qs;
        Q_EMIT p.host.selectedAppIDChanged();
        QCOMPARE(p.grid->pager()->currentPage(), 2);
        p.host.selected = u"nothing"_qs;
        Q_EMIT p.host.selectedAppIDChanged();
        QCOMPARE(p.grid->pager()->currentPage(), 2);
        Q_EMIT p.host.pagerResetRequested();
        QCOMPARE(p.grid->pager()->currentPage(), 0);
    }

    void resizingKeepsThePage()
    {
        Paged p(80);
        p.grid->pager()->snap(2, 0);
        p.grid->setWidth(1200);
        QCOMPARE(p.grid->pager()->currentPage(), 2);
        QCOMPARE(p.grid->pager()->offsetX(), 2400.0);
    }

    void zeroSizeIgnoresDrags()
    {
        Paged p(10);
        p.grid->setWidth(0);
        p.grid->setHeight(0);
        QCOMPARE(p.grid->columns(), 5);
        QCOMPARE(p.grid->rows(), 2);
        QCOMPARE(p.grid->zoomCeiling(), 1.6);
        p.drag(QPointF(10, 10), QPointF(300, 10));
        QVERIFY(!p.grid->drag()->isPanning());
        QVERIFY(!p.grid->drag()->draggingID());
    }

    void pagedEmptyStates()
    {
        Paged p(0);
        QVERIFY(p.grid->hasEmptyState());
        QCOMPARE(p.grid->emptyTitle(), u"此分组还没有应用"_qs);
        p.host.scanDone = false;
        Q_EMIT p.host.initialScanDoneChanged();
        QVERIFY(!p.grid->hasEmptyState());
        p.host.scanDone = true;
        p.host.search = u"xyz"_qs;
        Q_EMIT p.host.appsChanged();
        QCoreApplication::processEvents();
        QCOMPARE(p.grid->emptyTitle(), u"没有匹配的应用"_qs);
        p.host.apps = apps(1);
        Q_EMIT p.host.appsChanged();
        QCoreApplication::processEvents();
        QVERIFY(!p.grid->hasEmptyState());
    }

    void emptyGroupStillShowsTheAddTile()
    {
        Paged p(0, true);
        QVERIFY(p.grid->showAddTile());
        QCOMPARE(p.grid->pageCount(), 1);
        QCOMPARE(p.grid->emptyDescription(), u"点击「+」批量添加应用，或在应用图标上右键移入分组"_qs);
        p.grid->addTileTapped();
        QCOMPARE(p.host.addSheetRequests, 1);
    }

    void verticalDragsThatDoNothing_data()
    {
        QTest::addColumn<bool>("group");
        QTest::addColumn<QString>("search");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<QPointF>("press");
        QTest::newRow("between tiles") << false << QString() << false << QPointF(40 + 110 + 10, 80);
        QTest::newRow("on the add tile") << true << QString() << false << Vertical::cell(3, 1);
        QTest::newRow("while searching") << false << u"a"_qs << false << Vertical::cell(0, 0);
        QTest::newRow("in the hidden view") << false << QString() << true << Vertical::cell(0, 0);
    }
    void verticalDragsThatDoNothing()
    {
        QFETCH(bool, group);
        QFETCH(QString, search);
        QFETCH(bool, hidden);
        QFETCH(QPointF, press);
        Vertical v(10, group);
        v.host.search = search;
        v.host.hidden = hidden;
        Q_EMIT v.host.appsChanged();
        QCoreApplication::processEvents();
        v.grid->dragChanged(press, press + QPointF(200, 0));
        QVERIFY(!v.grid->drag()->draggingID());
        v.grid->dragEnded();
        QVERIFY(v.host.customOrders.isEmpty());
    }

    void verticalEndCommitsCancelDiscards()
    {
        Vertical v(10);
        v.grid->dragChanged(Vertical::cell(0, 0), Vertical::cell(2, 0));
        v.grid->gestureEnded();
        QVERIFY(!v.grid->drag()->draggingID());
        QVERIFY(!v.grid->drag()->previewOrder());
        QVERIFY(v.host.customOrders.isEmpty());

        v.grid->dragChanged(Vertical::cell(0, 0), Vertical::cell(2, 0));
        v.grid->dragEnded();
        v.grid->gestureEnded();
        QCOMPARE(v.host.customOrders.size(), 1);
        QCOMPARE(idsOf(v.host.customOrders.first()).mid(0, 3), AppLists::ids(u"app01 app02 app00"_qs));
    }

    void verticalAutoScrollCarriesThePreview()
    {
        Vertical v(70); // 10 rows: content 24 + 10 x 138 = 1404 + 24 - 24
        const double content = v.grid->contentHeight();
        QCOMPARE(content, 48 + 10 * 114 + 9 * 24.0);
        v.grid->dragChanged(Vertical::cell(0, 0), QPointF(300, 480));
        QCOMPARE(v.grid->autoScroll().direction(), 1);
        v.clock.advanceBy(VerticalAutoScroll::tick * 3);
        QCOMPARE(v.grid->scrollMetrics().offset, 21.0);
        QCOMPARE(v.grid->drag()->pointer(), QPointF(300, 501));
        // Held on: the whole way to the end, and no further.
        v.clock.advanceBy(10s);
        QCOMPARE(v.grid->scrollMetrics().offset, content - 500);
        QVERIFY(!v.grid->autoScroll().isPending());
        v.grid->dragEnded();
        QVERIFY(!v.grid->autoScroll().isPending());
        QCOMPARE(v.host.customOrders.size(), 1);
        QVERIFY(idsOf(v.host.customOrders.first()).indexOf(u"app00"_qs) > 40);
    }

    void verticalScrollbar()
    {
        Vertical v(70);
        v.grid->setScrollMetrics(0, 2000, 500, 500);
        QVERIFY(v.grid->knobVisible());
        QCOMPARE(v.grid->knobHeight(), 123.5);
        QSignalSpy scrolled(v.grid.get(), &VerticalGridController::scrollRequested);
        v.grid->knobDragChanged(185.25);
        QCOMPARE(scrolled.last().first().toDouble(), 750.0);
        // Measured from the start, not from where the knob now is.
        v.grid->knobDragChanged(370.5 + 100);
        QCOMPARE(scrolled.last().first().toDouble(), 1500.0);
        v.grid->knobDragEnded();
        v.grid->knobDragChanged(-370.5);
        QCOMPARE(scrolled.last().first().toDouble(), 1500.0 - 1500);
        v.grid->setScrollMetrics(0, 500.5, 500, 500);
        QVERIFY(!v.grid->knobVisible());
    }

    void verticalSelectionScrollsIntoView()
    {
        Vertical v(70);
        QSignalSpy scrolled(v.grid.get(), &VerticalGridController::scrollRequested);
        v.host.selected = u"app35"_qs; // row 5: 24 + 5 x 138 = 714 to 828
        Q_EMIT v.host.selectedAppIDChanged();
        QCOMPARE(scrolled.size(), 1);
        QCOMPARE(v.grid->scrollMetrics().offset, 828 - 500.0);
        v.host.selected = u"app00"_qs;
        Q_EMIT v.host.selectedAppIDChanged();
        QCOMPARE(v.grid->scrollMetrics().offset, 24.0);
        v.host.selected = u"app07"_qs; // visible already
        Q_EMIT v.host.selectedAppIDChanged();
        QCOMPARE(scrolled.size(), 2);
    }

    void verticalLayoutBeforeTheWidth()
    {
        FakeGridHost host;
        host.scale = 1.4;
        VirtualClock clock;
        VerticalGridController grid(host, clock);
        QCOMPARE(grid.columns(), 5);
        QCOMPARE(grid.columnPitch(), 140.0);
        QCOMPARE(grid.iconScale(), 1.0);
    }
};

QTEST_GUILESS_MAIN(TestGridControllers)
#include "tst_gridcontrollers.moc"
