#include "timerpanelgeometry.h"

#include <QTest>

using namespace TimerPanelGeometry;

// Where the floating timer panel stands: its first place on the primary screen, how far a drag may take its top edge,
// the drag itself, and the refit that keeps the bottom-left corner when lines come or go.
class TestTimerPanelGeometry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void firstPlace_data();
    void firstPlace();
    void constraint_data();
    void constraint();
    void drag_data();
    void drag();
    void refit_data();
    void refit();
};

using OptRect = std::optional<QRect>;
Q_DECLARE_METATYPE(OptRect)

void TestTimerPanelGeometry::firstPlace_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("topLeft");
    // A top bar of 27 and a dock on the right of 64.
    QTest::newRow("laptop under a top bar") << QRect(0, 27, 1280, 773) << QPoint(976, 43);
    QTest::newRow("dock on the right") << QRect(0, 0, 1856, 1080) << QPoint(1552, 16);
    QTest::newRow("primary screen right of another") << QRect(1920, 0, 2560, 1440) << QPoint(4176, 16);
}

void TestTimerPanelGeometry::firstPlace()
{
    QFETCH(QRect, available);
    QFETCH(QPoint, topLeft);
    QCOMPARE(firstTopLeft(available), topLeft);
    // At the initial width the right edge stands 16 from the available area's edge.
    const QRect frame(firstTopLeft(available), initialSize);
    QCOMPARE(available.x() + available.width() - (frame.x() + frame.width()), 16);
}

void TestTimerPanelGeometry::constraint_data()
{
    QTest::addColumn<QRect>("proposed");
    QTest::addColumn<OptRect>("available");
    QTest::addColumn<QRect>("expected");
    const OptRect screen = QRect(0, 27, 1280, 773);
    const OptRect second = QRect(1280, -200, 1920, 1080); // right of the first, its top higher
    QTest::newRow("inside stays") << QRect(500, 300, 264, 150) << screen << QRect(500, 300, 264, 150);
    QTest::newRow("at the available top") << QRect(500, 27, 264, 150) << screen << QRect(500, 27, 264, 150);
    QTest::newRow("rising 11 above") << QRect(500, 16, 264, 150) << screen << QRect(500, 16, 264, 150);
    QTest::newRow("at the limit, 12 above") << QRect(500, 15, 264, 150) << screen << QRect(500, 15, 264, 150);
    QTest::newRow("13 above holds at the limit") << QRect(500, 14, 264, 150) << screen << QRect(500, 15, 264, 150);
    QTest::newRow("far above the screen") << QRect(500, -400, 264, 150) << screen << QRect(500, 15, 264, 150);
    QTest::newRow("x is never held") << QRect(-900, 100, 264, 150) << screen << QRect(-900, 100, 264, 150);
    QTest::newRow("low, top edge still on the screen")
        << QRect(500, 790, 264, 150) << screen << QRect(500, 790, 264, 150);
    QTest::newRow("below the screen, top edge kept on it")
        << QRect(500, 1000, 264, 150) << screen << QRect(500, 799, 264, 150);
    QTest::newRow("second screen: its own limit")
        << QRect(1400, -300, 264, 150) << second << QRect(1400, -212, 264, 150);
    QTest::newRow("second screen: above the first's top is fine there")
        << QRect(1400, -100, 264, 150) << second << QRect(1400, -100, 264, 150);
    QTest::newRow("no screen: kept as proposed") << QRect(500, -400, 264, 150) << OptRect() << QRect(500, -400, 264, 150);
}

void TestTimerPanelGeometry::constraint()
{
    QFETCH(QRect, proposed);
    QFETCH(OptRect, available);
    QFETCH(QRect, expected);
    QCOMPARE(constrained(proposed, available), expected);
}

void TestTimerPanelGeometry::drag_data()
{
    QTest::addColumn<QPoint>("windowAtPress");
    QTest::addColumn<QPoint>("pointerAtPress");
    QTest::addColumn<QPoint>("pointerNow");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("moves with the pointer")
        << QPoint(900, 60) << QPoint(950, 80) << QPoint(700, 300) << QRect(650, 280, 264, 82);
    QTest::newRow("no move, no change")
        << QPoint(900, 60) << QPoint(950, 80) << QPoint(950, 80) << QRect(900, 60, 264, 82);
    QTest::newRow("into negative coordinates")
        << QPoint(10, 10) << QPoint(20, 30) << QPoint(5, 5) << QRect(-5, -15, 264, 82);
}

void TestTimerPanelGeometry::drag()
{
    QFETCH(QPoint, windowAtPress);
    QFETCH(QPoint, pointerAtPress);
    QFETCH(QPoint, pointerNow);
    QFETCH(QRect, expected);
    const QPoint offset = grabOffset(windowAtPress, pointerAtPress);
    QCOMPARE(dragged(offset, pointerNow, QSize(264, 82)), expected);
}

void TestTimerPanelGeometry::refit_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QSize>("content");
    QTest::addColumn<OptRect>("expected");
    QTest::newRow("first refit from the made size")
        << QRect(976, 43, 288, 96) << QSize(264, 82) << OptRect(QRect(976, 57, 264, 82));
    QTest::newRow("a line comes: the top rises") << QRect(976, 57, 264, 82) << QSize(264, 141)
                                                 << OptRect(QRect(976, -2, 264, 141));
    QTest::newRow("a line goes: the top drops") << QRect(976, -2, 264, 141) << QSize(264, 82)
                                                << OptRect(QRect(976, 57, 264, 82));
    QTest::newRow("same size, same frame") << QRect(10, 20, 264, 82) << QSize(264, 82)
                                           << OptRect(QRect(10, 20, 264, 82));
    QTest::newRow("no height yet: skipped") << QRect(976, 43, 288, 96) << QSize(264, 0) << OptRect();
    QTest::newRow("no width yet: skipped") << QRect(976, 43, 288, 96) << QSize(0, 82) << OptRect();
}

void TestTimerPanelGeometry::refit()
{
    QFETCH(QRect, frame);
    QFETCH(QSize, content);
    QFETCH(OptRect, expected);
    const auto result = refitted(frame, content);
    QCOMPARE(result, expected);
    if (result)
        QCOMPARE(result->y() + result->height(), frame.y() + frame.height());
}

QTEST_APPLESS_MAIN(TestTimerPanelGeometry)
#include "tst_timerpanelgeometry.moc"
