#include "griddragreorder.h"

#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(GridDragGeometry)

namespace {

// Seven columns of 110 × 114 tiles, gaps 16 and 20 (pitches 126 and 134), margins 40 and 8. Paged: four rows on pages
// 1000 wide, 28 tiles a page.
GridDragGeometry paged(int itemCount)
{
    GridDragGeometry g;
    g.columns = 7;
    g.rows = 4;
    g.cellWidth = 110;
    g.cellHeight = 114;
    g.columnSpacing = 16;
    g.rowSpacing = 20;
    g.paddingH = 40;
    g.paddingV = 8;
    g.pageWidth = 1000;
    g.itemCount = itemCount;
    return g;
}

GridDragGeometry vertical(int itemCount)
{
    GridDragGeometry g = paged(itemCount);
    g.rows = 0;
    g.pageWidth = 0;
    return g;
}

// Left and top edges of column c and row r on page 0.
double colX(int c) { return 40 + 126.0 * c; }
double rowY(int r) { return 8 + 134.0 * r; }

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

} // namespace

class TestGridDragReorder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void geometry()
    {
        QCOMPARE(paged(30).columnPitch(), 126.0);
        QCOMPARE(paged(30).rowPitch(), 134.0);
        QCOMPARE(paged(30).perPage(), 28);
        QCOMPARE(paged(28).pageCount(), 1);
        QCOMPARE(paged(29).pageCount(), 2);
        QCOMPARE(paged(0).pageCount(), 0);
        GridDragGeometry noRows = paged(5);
        noRows.rows = 0;
        QCOMPARE(noRows.pageCount(), 0);
    }

    void hitTestIndex_data()
    {
        QTest::addColumn<GridDragGeometry>("grid");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<int>("expected"); // -1: no tile

        const GridDragGeometry g = paged(30); // page 2 holds apps 28 and 29, then the add tile
        QTest::newRow("first tile's top left corner") << g << QPointF(40, 8) << 0;
        QTest::newRow("inside the second tile") << g << QPointF(colX(1) + 50, 60) << 1;
        QTest::newRow("second row") << g << QPointF(colX(0) + 10, rowY(1) + 10) << 7;
        QTest::newRow("exactly on a right edge") << g << QPointF(colX(0) + 110, 60) << 0;
        QTest::newRow("exactly on a bottom edge") << g << QPointF(60, rowY(0) + 114) << 0;
        QTest::newRow("the gap after a tile") << g << QPointF(colX(0) + 110.5, 60) << -1;
        QTest::newRow("the gap below a tile") << g << QPointF(60, rowY(0) + 114.5) << -1;
        QTest::newRow("left of the padding") << g << QPointF(39.9, 60) << -1;
        QTest::newRow("above the padding") << g << QPointF(60, 7.9) << -1;
        QTest::newRow("right of the last column") << g << QPointF(colX(7) + 1, 60) << -1;
        QTest::newRow("below the last row of a page") << g << QPointF(60, rowY(4) + 1) << -1;
        QTest::newRow("the last row's bottom edge") << g << QPointF(60, rowY(3) + 114) << 21;
        QTest::newRow("first tile of the second page") << g << QPointF(1000 + 40, 8) << 28;
        QTest::newRow("last app") << g << QPointF(1000 + colX(1) + 5, 60) << 29;
        QTest::newRow("the add tile") << g << QPointF(1000 + colX(2) + 5, 60) << -1;
        QTest::newRow("an empty slot of the last page") << g << QPointF(1000 + colX(3) + 5, 60) << -1;
        QTest::newRow("left of 0") << g << QPointF(-0.5, 60) << -1;
        QTest::newRow("a page beyond the last") << g << QPointF(2000 + 45, 60) << -1;
        QTest::newRow("far beyond the pages") << g << QPointF(1e300, 60) << -1;

        const GridDragGeometry v = vertical(30);
        QTest::newRow("vertical: rows have no limit") << v << QPointF(60, rowY(4) + 5) << 28;
        QTest::newRow("vertical: the slot after the last app") << v << QPointF(colX(2) + 5, rowY(4) + 5) << -1;
        QTest::newRow("vertical: left of the padding") << v << QPointF(-5, 60) << -1;
        QTest::newRow("vertical: right of the last column") << v << QPointF(colX(7) + 1, 60) << -1;
        QTest::newRow("vertical: far below") << v << QPointF(60, 1e300) << -1;
    }
    void hitTestIndex()
    {
        QFETCH(GridDragGeometry, grid);
        QFETCH(QPointF, point);
        QFETCH(int, expected);
        QCOMPARE(GridDragReorder::hitTestIndex(point, grid).value_or(-1), expected);
    }

    void targetIndex_data()
    {
        QTest::addColumn<GridDragGeometry>("grid");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<int>("expected");

        const GridDragGeometry g = paged(30);
        QTest::newRow("the middle of the gap after the first tile gives column 1") << g << QPointF(158, 8) << 1;
        QTest::newRow("just left of that middle stays in column 0") << g << QPointF(157.9, 8) << 0;
        QTest::newRow("x = 0 gives column 0") << g << QPointF(0, 8) << 0;
        QTest::newRow("beyond the last column gives the last column") << g << QPointF(999, 8) << 6;
        QTest::newRow("half a row gap above the second row") << g << QPointF(40, rowY(1) - 10) << 7;
        QTest::newRow("just above that stays in the first row") << g << QPointF(40, rowY(1) - 10.1) << 0;
        QTest::newRow("above the grid gives row 0") << g << QPointF(40, -50) << 0;
        QTest::newRow("below a page stays in its last row") << g << QPointF(40, 5000) << 21;
        QTest::newRow("second page") << g << QPointF(1000 + 40, 8) << 28;
        QTest::newRow("below the last tile gives the last index") << g << QPointF(1000 + colX(1), 5000) << 29;
        QTest::newRow("left of 0 gives the first page") << g << QPointF(-300, 8) << 0;
        QTest::newRow("a page beyond the last clamps to the last page") << g << QPointF(2000 + 40, 8) << 29;
        // 28 apps fill one page; the add tile alone makes a second page that the drag code does not count.
        QTest::newRow("the add tile's page lands in the last column of the last app page")
            << paged(28) << QPointF(1000 + 40, 8) << 6;
        QTest::newRow("far but finite coordinates") << g << QPointF(1e300, 1e300) << 29;

        const GridDragGeometry v = vertical(30);
        QTest::newRow("vertical: rows have no limit") << v << QPointF(40, rowY(3)) << 21;
        QTest::newRow("vertical: below the last tile gives the last index") << v << QPointF(40, 5000) << 29;
        QTest::newRow("vertical: the origin") << v << QPointF(0, 0) << 0;
        QTest::newRow("vertical: far but finite coordinates") << v << QPointF(-1e300, 1e300) << 29;
    }
    void targetIndex()
    {
        QFETCH(GridDragGeometry, grid);
        QFETCH(QPointF, point);
        QFETCH(int, expected);
        QCOMPARE(GridDragReorder::targetIndex(point, grid), expected);
    }

    // Layouts and points the grids never make: no tile is hit and the target is 0.
    void guard_data()
    {
        QTest::addColumn<GridDragGeometry>("grid");
        QTest::addColumn<QPointF>("point");

        const QPointF onFirstTile(colX(0), rowY(0));
        auto with = [](GridDragGeometry g, auto change) {
            change(g);
            return g;
        };
        QTest::newRow("no columns") << with(paged(30), [](auto &g) { g.columns = 0; }) << onFirstTile;
        QTest::newRow("no apps") << paged(0) << onFirstTile;
        QTest::newRow("zero column pitch")
            << with(paged(30), [](auto &g) { g.cellWidth = 0; g.columnSpacing = 0; }) << onFirstTile;
        QTest::newRow("negative row pitch") << with(paged(30), [](auto &g) { g.rowSpacing = -200; }) << onFirstTile;
        QTest::newRow("vertical zero row pitch")
            << with(vertical(30), [](auto &g) { g.cellHeight = 0; g.rowSpacing = 0; }) << onFirstTile;
        QTest::newRow("paged without rows") << with(paged(30), [](auto &g) { g.rows = 0; }) << onFirstTile;
        QTest::newRow("x not a number") << paged(30) << QPointF(notANumber, rowY(0));
        QTest::newRow("y infinite") << vertical(30) << QPointF(colX(0), infinity);
        QTest::newRow("page width infinite") << with(paged(30), [](auto &g) { g.pageWidth = infinity; }) << onFirstTile;
        QTest::newRow("cell height not a number")
            << with(paged(30), [](auto &g) { g.cellHeight = notANumber; }) << onFirstTile;
        QTest::newRow("padding infinite") << with(vertical(30), [](auto &g) { g.paddingH = -infinity; }) << onFirstTile;
    }
    void guard()
    {
        QFETCH(GridDragGeometry, grid);
        QFETCH(QPointF, point);
        QCOMPARE(GridDragReorder::hitTestIndex(point, grid), std::nullopt);
        QCOMPARE(GridDragReorder::targetIndex(point, grid), 0);
    }
};

QTEST_GUILESS_MAIN(TestGridDragReorder)
#include "tst_griddragreorder.moc"
