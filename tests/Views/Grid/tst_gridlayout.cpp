#include "flatscrollbarlayout.h"
#include "gridemptystate.h"
#include "pagedgridlayout.h"
#include "verticalgridlayout.h"

#include <QTest>

// The two grids' layout rules, with the numbers a person can check by hand.
class TestGridLayout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pagedCeiling_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("pageHeight");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<double>("expected");
        QTest::newRow("1000 x 600, 7 x 4") << 1000.0 << 600.0 << 7 << 4 << 1.13;
        QTest::newRow("default window's page area") << 1030.0 << 540.0 << 7 << 4 << 1.15;
        QTest::newRow("zero size") << 0.0 << 0.0 << 7 << 4 << 1.6;
        QTest::newRow("height limits") << 3000.0 << 400.0 << 7 << 4 << 1.0;
        QTest::newRow("huge window stops at 1.6") << 5000.0 << 3000.0 << 7 << 4 << 1.6;
        QTest::newRow("no columns preferred") << 1000.0 << 0.0 << 0 << 0 << 1.6;
        QTest::newRow("narrow gives the floor") << 300.0 << 600.0 << 7 << 4 << 1.0;
    }
    void pagedCeiling()
    {
        QFETCH(double, width);
        QFETCH(double, pageHeight);
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(double, expected);
        QCOMPARE(PagedGridLayout::zoomCeiling(width, pageHeight, columns, rows), expected);
    }

    void pagedGeometry_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("pageHeight");
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<double>("columnSpacing");
        QTest::addColumn<double>("rowSpacing");
        QTest::addColumn<double>("paddingH");
        QTest::addColumn<double>("paddingV");
        QTest::newRow("1000 x 600") << 1000.0 << 600.0 << 1.0 << 7 << 4 << 25.0 << 40.0 << 40.0 << 8.0;
        QTest::newRow("default window") << 1030.0 << 540.0 << 1.0 << 7 << 4 << 30.0 << 20.0 << 40.0 << 8.0;
        QTest::newRow("near the least window") << 694.0 << 272.0 << 1.0 << 5 << 2 << 16.0 << 20.0 << 40.0 << 8.0;
        // Four columns would fit; five show, wider than the page.
        QTest::newRow("four fit, five show") << 600.0 << 600.0 << 1.0 << 5 << 4 << 16.0 << 40.0 << 40.0 << 8.0;
        QTest::newRow("zero size") << 0.0 << 0.0 << 1.0 << 5 << 2 << 16.0 << 20.0 << 40.0 << 8.0;
        QTest::newRow("large icons, forced 5 x 2, least spacing 8")
            << 600.0 << 250.0 << 1.13 << 5 << 2 << 8.0 << 8.0 << 40.0 << 8.0;
        QTest::newRow("spacing stops at 80 and 68, centred")
            << 2000.0 << 1200.0 << 1.0 << 7 << 4 << 80.0 << 68.0 << (2000 - (770 + 480)) / 2.0 << 8 + (1176 - (456 + 204)) / 2.0;
    }
    void pagedGeometry()
    {
        QFETCH(double, width);
        QFETCH(double, pageHeight);
        QFETCH(double, scale);
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(double, columnSpacing);
        QFETCH(double, rowSpacing);
        QFETCH(double, paddingH);
        QFETCH(double, paddingV);
        const GridLayoutGeometry g = PagedGridLayout::geometry(width, pageHeight, scale, 3, 7, 4);
        QCOMPARE(g.columns, columns);
        QCOMPARE(g.rows, rows);
        QCOMPARE(g.columnSpacing, columnSpacing);
        QCOMPARE(g.rowSpacing, rowSpacing);
        QCOMPARE(g.paddingH, paddingH);
        QCOMPARE(g.paddingV, paddingV);
        QCOMPARE(g.pageWidth, width);
        QCOMPARE(g.itemCount, 3);
        QCOMPARE(g.cellWidth, 110 * scale);
        QCOMPARE(g.cellHeight, 58 * scale + 56);
    }

    void zeroSizeGridIsWiderThanItsPage()
    {
        const GridLayoutGeometry g = PagedGridLayout::geometry(0, 0, 1, 0, 7, 4);
        QVERIFY(g.paddingH + g.contentWidth() > g.pageWidth);
    }

    void pages_data()
    {
        // 7 x 4 = 28 per page.
        QTest::addColumn<int>("apps");
        QTest::addColumn<bool>("addTile");
        QTest::addColumn<int>("pageCount");
        QTest::addColumn<int>("lastPageApps");
        QTest::addColumn<int>("addTileCell"); // on the last page, -1 for none
        QTest::newRow("28 apps, one page") << 28 << false << 1 << 28 << -1;
        QTest::newRow("28 apps and the add tile, two pages") << 28 << true << 2 << 0 << 0;
        QTest::newRow("27 apps and the add tile share a page") << 27 << true << 1 << 27 << 27;
        QTest::newRow("no apps, one page") << 0 << false << 1 << 0 << -1;
        QTest::newRow("empty group, add tile first") << 0 << true << 1 << 0 << 0;
        QTest::newRow("57 apps, three pages") << 57 << false << 3 << 1 << -1;
    }
    void pages()
    {
        QFETCH(int, apps);
        QFETCH(bool, addTile);
        QFETCH(int, pageCount);
        QFETCH(int, lastPageApps);
        QFETCH(int, addTileCell);
        const GridLayoutGeometry g = PagedGridLayout::geometry(1000, 600, 1, apps, 7, 4);
        QCOMPARE(PagedGridLayout::pageCount(g, apps, addTile), pageCount);
        const auto last = PagedGridLayout::page(g, pageCount - 1, apps, addTile);
        QCOMPARE(last.count, lastPageApps);
        QCOMPARE(last.first, (pageCount - 1) * 28);
        QCOMPARE(last.addTileCell, addTileCell);
        for (int p = 0; p < pageCount - 1; ++p)
            QCOMPARE(PagedGridLayout::page(g, p, apps, addTile).addTileCell, -1);
    }

    void pagedCellPositions()
    {
        const GridLayoutGeometry g = PagedGridLayout::geometry(1000, 600, 1, 60, 7, 4);
        QCOMPARE(PagedGridLayout::cellPosition(g, 0), QPointF(40, 8));
        QCOMPARE(PagedGridLayout::cellPosition(g, 8), QPointF(40 + 135, 8 + 154));
        QCOMPARE(PagedGridLayout::cellPosition(g, 29), QPointF(1000 + 40 + 135, 8));
    }

    void edgeDirection_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("width");
        QTest::addColumn<int>("expected");
        QTest::newRow("left zone") << 39.9 << 1000.0 << -1;
        QTest::newRow("at 40 is outside") << 40.0 << 1000.0 << 0;
        QTest::newRow("middle") << 500.0 << 1000.0 << 0;
        QTest::newRow("at the right zone's edge") << 960.0 << 1000.0 << 0;
        QTest::newRow("right zone") << 960.5 << 1000.0 << 1;
        QTest::newRow("no width") << 10.0 << 0.0 << 0;
    }
    void edgeDirection()
    {
        QFETCH(double, x);
        QFETCH(double, width);
        QFETCH(int, expected);
        QCOMPARE(PagedGridLayout::edgeDirection(x, width), expected);
    }

    void panEnd_data()
    {
        QTest::addColumn<double>("startOffset");
        QTest::addColumn<double>("translation");
        QTest::addColumn<double>("velocity");
        QTest::addColumn<int>("page");
        QTest::addColumn<double>("snapVelocity");
        QTest::newRow("slow short pan stays") << 1000.0 << -300.0 << 0.0 << 1 << 0.0;
        QTest::newRow("slow long pan moves on") << 1000.0 << -600.0 << 0.0 << 2 << 0.0;
        // 300 points plus 0.25 s at 1000 points per second is past the half.
        QTest::newRow("fast flick moves on") << 1000.0 << -300.0 << -1000.0 << 2 << 1000.0;
        QTest::newRow("flick back") << 1000.0 << 300.0 << 1000.0 << 0 << -1000.0;
        QTest::newRow("exactly half rounds away") << 0.0 << -500.0 << 0.0 << 1 << 0.0;
        QTest::newRow("beyond the first page is negative") << 0.0 << 700.0 << 0.0 << -1 << 0.0;
    }
    void panEnd()
    {
        QFETCH(double, startOffset);
        QFETCH(double, translation);
        QFETCH(double, velocity);
        QFETCH(int, page);
        QFETCH(double, snapVelocity);
        const auto end = PagedGridLayout::panEnd(startOffset, translation, velocity, 1000);
        QVERIFY(end);
        QCOMPARE(end->page, page);
        QCOMPARE(end->velocity + 0.0, snapVelocity);
        QVERIFY(!PagedGridLayout::panEnd(startOffset, translation, velocity, 0));
    }

    void verticalColumns_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("preferred");
        QTest::addColumn<int>("columns");
        QTest::addColumn<double>("spacing");
        QTest::newRow("1000") << 1000.0 << 1.0 << 7 << 7 << 25.0;
        QTest::newRow("900") << 900.0 << 1.0 << 7 << 6 << 30.0;
        QTest::newRow("800") << 800.0 << 1.0 << 7 << 5 << 30.0;
        QTest::newRow("1200 stops at 30") << 1200.0 << 1.0 << 7 << 7 << 30.0;
        QTest::newRow("2000 at 1.6 with 12") << 2000.0 << 1.6 << 12 << 10 << 160.0 / 9;
        QTest::newRow("preference above 12 counts as 12") << 5000.0 << 1.0 << 20 << 12 << 30.0;
        QTest::newRow("preference of 5") << 2000.0 << 1.0 << 5 << 5 << 30.0;
        QTest::newRow("width 0") << 0.0 << 1.0 << 7 << 5 << 30.0;
        QTest::newRow("least window fits five") << 694.0 << 1.0 << 7 << 5 << 16.0;
    }
    void verticalColumns()
    {
        QFETCH(double, width);
        QFETCH(double, scale);
        QFETCH(int, preferred);
        QFETCH(int, columns);
        QFETCH(double, spacing);
        QCOMPARE(VerticalGridLayout::preferredColumns(width, scale, preferred), columns);
        QCOMPARE(VerticalGridLayout::columnSpacing(columns, width, scale), spacing);
    }

    void verticalCeiling_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<int>("preferred");
        QTest::addColumn<double>("expected");
        QTest::newRow("1000 with 7") << 1000.0 << 7 << 1.13;
        QTest::newRow("width 0") << 0.0 << 7 << 1.0;
        QTest::newRow("never above 1.6") << 4000.0 << 7 << 1.6;
        QTest::newRow("no preference") << 800.0 << 0 << 1.6;
    }
    void verticalCeiling()
    {
        QFETCH(double, width);
        QFETCH(int, preferred);
        QFETCH(double, expected);
        QCOMPARE(VerticalGridLayout::zoomCeiling(width, preferred), expected);
    }

    void verticalGeometry()
    {
        const GridLayoutGeometry g = VerticalGridLayout::geometry(1200, 1, 30, 7);
        QCOMPARE(g.columns, 7);
        QCOMPARE(g.rows, 0);
        QCOMPARE(g.pageWidth, 0.0);
        QCOMPARE(g.paddingH, (1200 - (770 + 180)) / 2.0);
        QCOMPARE(g.paddingV, 24.0);
        QCOMPARE(g.rowSpacing, 24.0);
        QCOMPARE(VerticalGridLayout::cellPosition(g, 8), QPointF(125 + 140, 24 + 138));
        QCOMPARE(VerticalGridLayout::contentHeight(g, 8), 48 + 2 * 114 + 24.0);
        QCOMPARE(VerticalGridLayout::contentHeight(g, 0), 48.0);

        const GridLayoutGeometry unmeasured = VerticalGridLayout::geometry(0, 1, 3, 7);
        QCOMPARE(unmeasured.columns, 5);
        QCOMPARE(unmeasured.columnSpacing, 30.0);
        QCOMPARE(unmeasured.paddingH, 40.0);
    }

    // The tiles the vertical grid builds: the rows in view and one row more on each side (7 columns, rows 138 apart
    // from 24 down, cells 114 high).
    void verticalTileWindow_data()
    {
        QTest::addColumn<double>("offset");
        QTest::addColumn<double>("visible");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::newRow("at the top") << 0.0 << 500.0 << 0 << 35;
        QTest::newRow("five rows down") << 690.0 << 500.0 << 21 << 49;
        QTest::newRow("a row further above than one row is left out") << 300.0 << 138.0 << 7 << 28;
        QTest::newRow("not measured yet") << 0.0 << 0.0 << 0 << 0;
    }
    void verticalTileWindow()
    {
        QFETCH(double, offset);
        QFETCH(double, visible);
        QFETCH(int, first);
        QFETCH(int, count);
        const GridLayoutGeometry g = VerticalGridLayout::geometry(1200, 1, 300, 7);
        QCOMPARE(VerticalGridLayout::tileWindow(g, offset, visible), (TileWindow{first, count}));
        // No cell that shows lies outside the window.
        for (int i = 0; i < 300; ++i) {
            const double top = VerticalGridLayout::cellPosition(g, i).y();
            if (top + g.cellHeight >= offset && top <= offset + visible && visible > 0)
                QVERIFY2(i >= first && i < first + count, qPrintable(QString::number(i)));
        }
    }

    void scrollbarKnob_data()
    {
        QTest::addColumn<double>("offset");
        QTest::addColumn<double>("content");
        QTest::addColumn<double>("visible");
        QTest::addColumn<double>("height");
        QTest::addColumn<bool>("drawn");
        QTest::addColumn<double>("top");
        QTest::addColumn<double>("knob");
        QTest::addColumn<double>("travel");
        QTest::newRow("example at 750") << 750.0 << 2000.0 << 500.0 << 500.0 << true << 188.25 << 123.5 << 370.5;
        QTest::newRow("at the top") << 0.0 << 2000.0 << 500.0 << 500.0 << true << 3.0 << 123.5 << 370.5;
        QTest::newRow("bounced past the end") << 1700.0 << 2000.0 << 500.0 << 500.0 << true << 373.5 << 123.5 << 370.5;
        QTest::newRow("least knob") << 0.0 << 100000.0 << 500.0 << 500.0 << true << 3.0 << 32.0 << 462.0;
        QTest::newRow("content one point taller") << 0.0 << 501.0 << 500.0 << 500.0 << false << 0.0 << 0.0 << 0.0;
        QTest::newRow("content fits") << 0.0 << 400.0 << 500.0 << 500.0 << false << 0.0 << 0.0 << 0.0;
        QTest::newRow("track too short") << 0.0 << 2000.0 << 38.0 << 38.0 << false << 0.0 << 0.0 << 0.0;
    }
    void scrollbarKnob()
    {
        QFETCH(double, offset);
        QFETCH(double, content);
        QFETCH(double, visible);
        QFETCH(double, height);
        QFETCH(bool, drawn);
        QFETCH(double, top);
        QFETCH(double, knob);
        QFETCH(double, travel);
        const auto k = FlatScrollbarLayout::knob({offset, content, visible}, height);
        QCOMPARE(k.has_value(), drawn);
        if (!k)
            return;
        QCOMPARE(k->top, top);
        QCOMPARE(k->height, knob);
        QCOMPARE(k->travel, travel);
    }

    void scrollbarDrag_data()
    {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("dy");
        QTest::addColumn<double>("expected");
        QTest::newRow("whole travel scrolls the whole way") << 0.0 << 370.5 << 1500.0;
        QTest::newRow("half") << 0.0 << 185.25 << 750.0;
        QTest::newRow("beyond stops at the end") << 750.0 << 1000.0 << 1500.0;
        QTest::newRow("above stops at the top") << 750.0 << -1000.0 << 0.0;
    }
    void scrollbarDrag()
    {
        QFETCH(double, start);
        QFETCH(double, dy);
        QFETCH(double, expected);
        QCOMPARE(FlatScrollbarLayout::dragOffset(start, dy, {start, 2000, 500}, 370.5), expected);
    }

    void emptyState_data()
    {
        QTest::addColumn<bool>("shownEmpty");
        QTest::addColumn<bool>("scanDone");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<QString>("search");
        QTest::addColumn<bool>("group");
        QTest::addColumn<QString>("title"); // empty: none shows
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("description");
        QTest::newRow("apps shown") << false << true << false << QString() << false << QString() << QString() << QString();
        QTest::newRow("before the first scan") << true << false << false << QString() << false << QString() << QString() << QString();
        QTest::newRow("hidden view") << true << true << true << u"x"_qs << true << u"没有隐藏的应用"_qs << u"eye.slash"_qs
                                     << u"在应用图标上右键，选择「隐藏」"_qs;
        QTest::newRow("search") << true << true << false << u"微"_qs << true << u"没有匹配的应用"_qs << u"magnifyingglass"_qs
                                << u"换个关键词试试"_qs;
        QTest::newRow("all apps") << true << true << false << QString() << false << u"此分组还没有应用"_qs
                                  << u"square.grid.2x2"_qs << u"在应用图标上右键，选择「移入分组」"_qs;
        QTest::newRow("empty group") << true << true << false << QString() << true << u"此分组还没有应用"_qs
                                     << u"square.grid.2x2"_qs << u"点击「+」批量添加应用，或在应用图标上右键移入分组"_qs;
    }
    void emptyState()
    {
        QFETCH(bool, shownEmpty);
        QFETCH(bool, scanDone);
        QFETCH(bool, hidden);
        QFETCH(QString, search);
        QFETCH(bool, group);
        QFETCH(QString, title);
        QFETCH(QString, symbol);
        QFETCH(QString, description);
        const auto state = GridEmptyState::forInput({shownEmpty, scanDone, hidden, search, group});
        QCOMPARE(state.has_value(), !title.isEmpty());
        if (!state)
            return;
        QCOMPARE(state->title, title);
        QCOMPARE(state->symbol, symbol);
        QCOMPARE(state->description, description);
    }
};

QTEST_GUILESS_MAIN(TestGridLayout)
#include "tst_gridlayout.moc"
