#include "pagededgeflip.h"
#include "verticalautoscroll.h"
#include "fake/virtualclock.h"

#include <QTest>

#include <algorithm>

// The grids' timed reactions during a tile drag, on the virtual clock: the paged grid's edge flips and the vertical
// grid's auto-scroll.
class TestGridTimers : public QObject
{
    Q_OBJECT

    struct Pager
    {
        double width = 1000;
        int count = 3;
        int current = 0;
        double pointerX = 500;
        bool reordering = true;
        int flips = 0; // previews redone after a flip
        QList<int> snaps;
    };

    static PagedEdgeFlip makeFlip(VirtualClock &clock, Pager &p)
    {
        return PagedEdgeFlip(clock, {[&p] { return p.width; }, [&p] { return p.count; }, [&p] { return p.current; },
                                     [&p](int page) {
                                         p.snaps.append(page);
                                         p.current = page;
                                     },
                                     [&p] { return p.pointerX; }, [&p] { return p.reordering; }, [&p] { ++p.flips; }});
    }

    struct Scroller
    {
        double offset = 0;
        double content = 1000;
        double visible = 500;
        double pointerY = 250;
        bool reordering = true;
        bool applies = true; // the scroll view reaches what it is asked for
        QList<double> requests;
    };

    static VerticalAutoScroll makeScroll(VirtualClock &clock, Scroller &s)
    {
        return VerticalAutoScroll(clock, {[&s] { return ScrollBarMetrics{s.offset, s.content, s.visible}; },
                                          [&s](double y) {
                                              s.requests.append(y);
                                              if (s.applies)
                                                  s.offset = y;
                                          },
                                          [&s] { return s.pointerY; }, [&s] { return s.reordering; },
                                          [&s](double dy) { s.pointerY += dy; }});
    }

private Q_SLOTS:
    void heldAtTheRightEdgeFlipsEvery055Seconds()
    {
        VirtualClock clock;
        Pager p;
        auto flip = makeFlip(clock, p);
        p.pointerX = 980;
        flip.update();
        QCOMPARE(flip.direction(), 1);
        clock.advanceBy(549ms);
        QCOMPARE(p.current, 0);
        flip.update(); // a move while pending leaves the pending flip alone
        clock.advanceBy(1ms);
        QCOMPARE(p.current, 1);
        QCOMPARE(p.flips, 1);
        clock.advanceBy(550ms); // 1.10 s
        QCOMPARE(p.current, 2);
        QCOMPARE(p.flips, 2);
        // At the last page it flips nothing but keeps checking.
        clock.advanceBy(550ms);
        QCOMPARE(p.snaps, QList<int>({1, 2}));
        QVERIFY(flip.isPending());
        p.pointerX = 500;
        clock.advanceBy(550ms);
        QVERIFY(!flip.isPending());
    }

    void leavingTheZoneCancels()
    {
        VirtualClock clock;
        Pager p;
        auto flip = makeFlip(clock, p);
        p.pointerX = 980;
        flip.update();
        clock.advanceBy(300ms);
        p.pointerX = 500;
        flip.update();
        QVERIFY(!flip.isPending());
        QCOMPARE(flip.direction(), 0);
        clock.advanceBy(2s);
        QVERIFY(p.snaps.isEmpty());
    }

    void reversingRestartsTheWait()
    {
        VirtualClock clock;
        Pager p;
        p.current = 1;
        auto flip = makeFlip(clock, p);
        p.pointerX = 980;
        flip.update();
        clock.advanceBy(300ms);
        p.pointerX = 10;
        flip.update();
        QCOMPARE(flip.direction(), -1);
        clock.advanceBy(300ms); // the right flip would have come at 0.55 s
        QVERIFY(p.snaps.isEmpty());
        clock.advanceBy(250ms);
        QCOMPARE(p.snaps, QList<int>({0}));
    }

    void noFlipWithOnePageOrWithoutWidth()
    {
        VirtualClock clock;
        Pager p;
        p.count = 1;
        auto flip = makeFlip(clock, p);
        p.pointerX = 980;
        flip.update();
        QVERIFY(!flip.isPending());
        p.count = 3;
        p.width = 0;
        flip.update();
        QVERIFY(!flip.isPending());
    }

    void aFlipAfterTheDropEndsTheRun()
    {
        VirtualClock clock;
        Pager p;
        auto flip = makeFlip(clock, p);
        p.pointerX = 980;
        flip.update();
        clock.advanceBy(550ms);
        QCOMPARE(p.current, 1);
        p.reordering = false;
        clock.advanceBy(550ms);
        QCOMPARE(p.current, 2); // the flip that was due still ran
        QVERIFY(!flip.isPending());
    }

    void autoScrollsSevenPerTickToTheEnd()
    {
        VirtualClock clock;
        Scroller s;
        s.offset = 480;
        s.pointerY = 480 + 480; // 20 above the bottom of the visible area
        auto scroll = makeScroll(clock, s);
        scroll.update();
        QCOMPARE(scroll.direction(), 1);
        for (int i = 0; i < 5; ++i)
            clock.advanceBy(VerticalAutoScroll::tick);
        QCOMPARE(s.requests, QList<double>({487, 494, 500}));
        QCOMPARE(s.pointerY, 480 + 480 + 20.0); // carried along with the content
        QVERIFY(!scroll.isPending());
        QCOMPARE(scroll.expected(), -1.0);
    }

    void scrollsUpFromTheTopZone()
    {
        VirtualClock clock;
        Scroller s;
        s.offset = 10;
        s.pointerY = 10 + 20;
        auto scroll = makeScroll(clock, s);
        scroll.update();
        QCOMPARE(scroll.direction(), -1);
        clock.advanceBy(VerticalAutoScroll::tick * 4);
        QCOMPARE(s.requests, QList<double>({3, 0}));
        QCOMPARE(s.pointerY, 20.0);
    }

    void contentThatFitsNeverScrolls()
    {
        VirtualClock clock;
        Scroller s;
        s.content = 500;
        s.pointerY = 490;
        auto scroll = makeScroll(clock, s);
        scroll.update();
        QVERIFY(!scroll.isPending());
        clock.advanceBy(1s);
        QVERIFY(s.requests.isEmpty());
    }

    void stopsAfterFourStaleTicks()
    {
        VirtualClock clock;
        Scroller s;
        s.applies = false;
        s.pointerY = 480;
        auto scroll = makeScroll(clock, s);
        scroll.update();
        clock.advanceBy(VerticalAutoScroll::tick * 10);
        // The first tick counts as stale (nothing asked yet); three requests go unanswered, the fourth tick gives up.
        QCOMPARE(s.requests.size(), 3);
        QVERIFY(!scroll.isPending());
        QCOMPARE(scroll.direction(), 0);
        QCOMPARE(scroll.staleTicks(), 0);
    }

    void leavingTheZoneOrDroppingStops()
    {
        VirtualClock clock;
        Scroller s;
        s.pointerY = 480;
        auto scroll = makeScroll(clock, s);
        scroll.update();
        clock.advanceBy(VerticalAutoScroll::tick);
        QCOMPARE(s.requests.size(), 1);
        s.pointerY = s.offset + 250;
        scroll.update();
        QVERIFY(!scroll.isPending());
        clock.advanceBy(VerticalAutoScroll::tick * 3);
        QCOMPARE(s.requests.size(), 1);

        s.pointerY = s.offset + 480;
        scroll.update();
        s.reordering = false;
        clock.advanceBy(VerticalAutoScroll::tick * 3);
        QCOMPARE(s.requests.size(), 1);
        QVERIFY(!scroll.isPending());
    }
};

QTEST_GUILESS_MAIN(TestGridTimers)
#include "tst_gridtimers.moc"
