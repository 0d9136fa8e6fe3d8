#include "wheelpancontroller.h"

#include "fake/virtualclock.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickView>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

namespace {

// A paged grid of five pages 800 wide with its drag state and hit area under a wheel controller.
struct Fixture
{
    VirtualClock clock;
    PagerModel pager{clock};
    GridDragState drag;
    QQuickItem area;
    WheelPanController wheel{clock};
    qint64 elapsedMs = 0;
    int passed = 0;

    explicit Fixture(int count = 5)
    {
        pager.updateLayout(800, 500, count);
        wheel.setPager(&pager);
        wheel.setDrag(&drag);
        wheel.setHitArea(&area);
    }

    // One step of a sequence:
    //   "wait MS", "page P" (settled on page P), "cover", "uncover";
    //   "line DX DY" (wheel angle units), "precise DX DY" (points), "began", "changed DX", "ended", "cancelled",
    //   "momentum DX" (trackpad phases, horizontal points);
    //   an event may add "@MS" (its own stamp; else 1000 plus the time so far), "outside", "other" (another window)
    //   or "ctrl".
    bool run(const QString &step)
    {
        const QStringList words = step.split(u' ', Qt::SkipEmptyParts);
        const QString kind = words.value(0);
        if (kind == u"wait") {
            elapsedMs += words.at(1).toInt();
            clock.advanceBy(std::chrono::milliseconds(words.at(1).toInt()));
            return true;
        }
        if (kind == u"page") {
            pager.snap(words.at(1).toInt(), 0);
            pager.settleNow();
            return true;
        }
        if (kind == u"cover" || kind == u"uncover") {
            wheel.setCovered(kind == u"cover");
            return true;
        }

        WheelSample s;
        s.timestamp = std::uint64_t(1000 + elapsedMs);
        QList<double> numbers;
        for (const QString &word : words.mid(1)) {
            if (word.startsWith(u'@'))
                s.timestamp = word.mid(1).toULongLong();
            else if (word == u"outside")
                s.insideHitArea = false;
            else if (word == u"other")
                s.sameWindow = false;
            else if (word == u"ctrl")
                s.ctrlHeld = true;
            else
                numbers.append(word.toDouble());
        }
        using Phase = WheelSample::Phase;
        if (kind == u"line" || kind == u"precise") {
            s.precise = kind == u"precise";
            s.dx = numbers.value(0);
            s.dy = numbers.value(1);
        } else if (kind == u"began") {
            s.precise = true;
            s.phase = Phase::Began;
        } else if (kind == u"changed" || kind == u"momentum") {
            s.precise = true;
            s.phase = kind == u"changed" ? Phase::Changed : Phase::Momentum;
            s.dx = numbers.value(0);
        } else if (kind == u"ended" || kind == u"cancelled") {
            s.precise = true;
            s.phase = kind == u"ended" ? Phase::Ended : Phase::Cancelled;
        } else {
            return false;
        }
        if (!wheel.filter(s))
            ++passed;
        return true;
    }
};

// n copies of a step, `gapMs` apart.
QStringList times(int n, const QString &step, int gapMs)
{
    QStringList steps;
    for (int i = 0; i < n; ++i) {
        if (i > 0)
            steps.append(u"wait "_qs + QString::number(gapMs));
        steps.append(step);
    }
    return steps;
}

QStringList operator+(QStringList a, const QString &b)
{
    a.append(b);
    return a;
}

} // namespace

class TestWheelPanController : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void wheel_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("passed");

        QTest::newRow("a notch flips one page") << QStringList{u"line 0 -120"_qs} << 1 << 0;
        QTest::newRow("a notch up goes back") << QStringList{u"page 2"_qs, u"line 0 120"_qs} << 1 << 0;
        QTest::newRow("a sideways notch") << QStringList{u"line -120 0"_qs} << 1 << 0;
        QTest::newRow("two notches within 0.35 s flip one page") << times(2, u"line 0 -120"_qs, 200) << 1 << 0;
        QTest::newRow("two notches 0.35 s apart flip two pages") << times(2, u"line 0 -120"_qs, 350) << 2 << 0;
        QTest::newRow("a notch on the last page stays there") << QStringList{u"page 4"_qs, u"line 0 -120"_qs} << 4 << 0;
        QTest::newRow("a wheel event without a delta") << QStringList{u"line 0 0"_qs} << 0 << 0;
        QTest::newRow("a high-resolution notch: 8 × 15 units flip one page")
            << times(8, u"line 0 -15"_qs, 10) << 1 << 0;
        QTest::newRow("7 × 15 units flip none") << times(7, u"line 0 -15"_qs, 10) << 0 << 0;
        QTest::newRow("two high-resolution notches within the cooldown flip one page")
            << times(16, u"line 0 -15"_qs, 10) << 1 << 0;
        QTest::newRow("a high-resolution notch split by a pause flips none")
            << times(4, u"line 0 -15"_qs, 10) + u"wait 300"_qs + times(4, u"line 0 -15"_qs, 10) << 0 << 0;
        QTest::newRow("precise 20 then 20 within 0.25 s flip one page")
            << times(2, u"precise 0 -20"_qs, 200) << 1 << 0;
        QTest::newRow("precise 20, a 0.3 s pause, 20 flip none") << times(2, u"precise 0 -20"_qs, 300) << 0 << 0;
        QTest::newRow("precise sideways") << QStringList{u"precise -40 10"_qs} << 1 << 0;
        QTest::newRow("precise: the larger delta counts") << QStringList{u"precise -10 40"_qs} << 0 << 0;
        QTest::newRow("precise back and forth cancel out")
            << QStringList{u"precise 0 20"_qs, u"precise 0 -20"_qs, u"precise 0 -20"_qs} << 0 << 0;
        QTest::newRow("events in the cooldown do not count towards the next flip")
            << times(3, u"precise 0 -40"_qs, 100) + u"wait 150"_qs + u"precise 0 -20"_qs << 1 << 0;
        QTest::newRow("a steady precise stream flips once per 0.35 s")
            << times(40, u"precise 0 -20"_qs, 20) << 3 << 0;
        // The window system's own stamps play no part in the cooldown: a synthesized event carries 0, and 32-bit
        // stamps wrap.
        QTest::newRow("the first notch flips, with stamp 0") << QStringList{u"line 0 -120 @0"_qs} << 1 << 0;
        QTest::newRow("stamps that wrap do not refuse a flip")
            << QStringList{u"line 0 -120 @4294967000"_qs, u"wait 400"_qs, u"line 0 -120 @104"_qs} << 2 << 0;
        QTest::newRow("stamps that stand still do not refuse a flip")
            << QStringList{u"line 0 -120 @0"_qs, u"wait 400"_qs, u"line 0 -120 @0"_qs} << 2 << 0;
    }
    void wheel()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, page);
        QFETCH(int, passed);
        Fixture f;
        for (const QString &step : steps)
            QVERIFY2(f.run(step), qPrintable(step));
        QCOMPARE(f.pager.currentPage(), page);
        QCOMPARE(f.pager.offsetX(), page * 800.0);
        QCOMPARE(f.passed, passed);
    }

    void swipe_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("passed");
        QTest::addColumn<bool>("tracking");

        const QString began = u"began"_qs;
        const QString w = u"wait 100"_qs;
        QTest::newRow("a 31-point swipe flips")
            << QStringList{began, w, u"changed -10"_qs, w, u"changed -10"_qs, w, u"changed -10"_qs, w,
                           u"changed -1"_qs, u"ended"_qs}
            << 1 << 0 << false;
        QTest::newRow("a slow 20-point swipe returns")
            << QStringList{began, w, u"changed -10"_qs, w, u"changed -10"_qs, u"ended"_qs} << 0 << 0 << false;
        QTest::newRow("a quick 16-point swipe flips")
            << QStringList{began, u"wait 16"_qs, u"changed -8"_qs, u"wait 16"_qs, u"changed -8"_qs, u"ended"_qs} << 1
            << 0 << false;
        QTest::newRow("a long swipe lands where it was let go")
            << QStringList{began, u"wait 200"_qs, u"changed -700"_qs, u"wait 200"_qs, u"changed -700"_qs,
                           u"wait 2000"_qs, u"changed 0"_qs, u"ended"_qs}
            << 2 << 0 << false;
        QTest::newRow("a swipe the other way")
            << QStringList{u"page 2"_qs, began, w, u"changed 20"_qs, w, u"changed 20"_qs, u"ended"_qs} << 1 << 0
            << false;
        QTest::newRow("a cancelled swipe returns")
            << QStringList{began, w, u"changed -300"_qs, w, u"changed -300"_qs, u"cancelled"_qs} << 0 << 0 << false;
        QTest::newRow("a swipe that leaves the hit area is still followed")
            << QStringList{began, w, u"changed -20 outside"_qs, w, u"changed -20 outside"_qs, u"ended outside"_qs}
            << 1 << 0 << false;
        QTest::newRow("a sheet opening mid-swipe returns")
            << QStringList{began, w, u"changed -300"_qs, u"cover"_qs, w, u"changed -300"_qs, u"ended"_qs} << 0 << 2
            << false;
        QTest::newRow("momentum during a swipe does not end it")
            << QStringList{began, w, u"changed -300"_qs, u"momentum -40"_qs, u"momentum -40"_qs} << 0 << 0 << true;
        QTest::newRow("momentum after a swipe is swallowed and moves nothing")
            << QStringList{began, w, u"changed -20"_qs, w, u"changed -20"_qs, u"ended"_qs}
                   + times(5, u"momentum -30"_qs, 16)
            << 1 << 0 << false;
        QTest::newRow("changes without a start are swallowed")
            << QStringList{u"changed -300"_qs, u"ended"_qs} << 0 << 0 << false;
        // Events that one loop turn handles arrive together (1 ms apart here); their own stamps, 40 ms apart, give
        // the speed: 3 × 8 points at 200 points per second is neither far nor fast enough.
        QTest::newRow("the speed comes from the stamps")
            << QStringList{u"began @5000"_qs, u"wait 1"_qs, u"changed -8 @5040"_qs, u"wait 1"_qs,
                           u"changed -8 @5080"_qs, u"wait 1"_qs, u"changed -8 @5120"_qs, u"ended @5120"_qs}
            << 0 << 0 << false;
        QTest::newRow("without stamps the speed comes from the clock")
            << QStringList{u"began @0"_qs, u"wait 20"_qs, u"changed -10 @0"_qs, u"wait 20"_qs, u"changed -10 @0"_qs,
                           u"ended @0"_qs}
            << 1 << 0 << false;
        QTest::newRow("after a wrapped stamp the speed comes from the clock")
            << QStringList{u"began @4294967290"_qs, u"wait 20"_qs, u"changed -10 @4294967295"_qs, u"wait 20"_qs,
                           u"changed -10 @15"_qs, u"ended @15"_qs}
            << 1 << 0 << false;
    }
    void swipe()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, page);
        QFETCH(int, passed);
        QFETCH(bool, tracking);
        Fixture f;
        for (const QString &step : steps)
            QVERIFY2(f.run(step), qPrintable(step));
        QCOMPARE(f.wheel.isTracking(), tracking);
        QCOMPARE(f.passed, passed);
        QCOMPARE(f.pager.currentPage(), page);
        if (!tracking) // never left between pages
            QCOMPARE(f.pager.offsetX(), page * 800.0);
    }

    // The strip follows the fingers one to one and snaps with the swipe's speed.
    void swipeFollowsTheFingers()
    {
        Fixture f;
        f.run(u"page 1"_qs);
        f.run(u"began"_qs);
        f.run(u"wait 50"_qs);
        f.run(u"changed -100"_qs);
        QCOMPARE(f.pager.offsetX(), 900.0);
        f.run(u"wait 50"_qs);
        f.run(u"changed 300"_qs);
        QCOMPARE(f.pager.offsetX(), 600.0);
        f.run(u"ended"_qs);
        // Projected (600 − 0.08 × 1920) / 800 = 0.56: the start page, but the swipe went 200 points: one page back.
        QCOMPARE(f.pager.offsetX(), 0.0);
        QVERIFY(f.pager.isPagingAnimating());
        // The strip sets off at the swipe's own speed, 1920 points per second towards page 0.
        QCOMPARE(static_cast<PagerSpringAnimation &>(f.pager.drawnAnimation()).currentVelocity(), -1920.0);
    }

    void passOn_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("event");
        QTest::addColumn<bool>("handled");

        const QString notch = u"line 0 -120"_qs;
        QTest::newRow("one page") << u"onePage"_qs << notch << false;
        QTest::newRow("a tile drag runs") << u"tileDrag"_qs << notch << false;
        QTest::newRow("a pan runs") << u"pan"_qs << notch << false;
        QTest::newRow("outside the hit area") << u""_qs << u"line 0 -120 outside"_qs << false;
        QTest::newRow("another window") << u""_qs << u"line 0 -120 other"_qs << false;
        QTest::newRow("Ctrl held") << u""_qs << u"line 0 -120 ctrl"_qs << false;
        QTest::newRow("covered") << u"covered"_qs << notch << false;
        QTest::newRow("the hit area is gone") << u"noHitArea"_qs << notch << false;
        QTest::newRow("the pager is gone") << u"noPager"_qs << notch << false;
        QTest::newRow("the drag state is gone") << u"noDrag"_qs << notch << false;
        QTest::newRow("a plain notch is taken") << u""_qs << notch << true;
        QTest::newRow("tracking: outside the hit area is taken") << u"tracking"_qs << u"changed -5 outside"_qs << true;
        QTest::newRow("tracking: during a tile drag is taken") << u"tracking tileDrag"_qs << u"changed -5"_qs << true;
        QTest::newRow("tracking: another window passes on") << u"tracking"_qs << u"changed -5 other"_qs << false;
        QTest::newRow("tracking: Ctrl held passes on") << u"tracking"_qs << u"changed -5 ctrl"_qs << false;
    }
    void passOn()
    {
        QFETCH(QString, setup);
        QFETCH(QString, event);
        QFETCH(bool, handled);
        const QStringList flags = setup.split(u' ', Qt::SkipEmptyParts);
        Fixture f(flags.contains(u"onePage"_qs) ? 1 : 5);
        if (flags.contains(u"tracking"_qs))
            f.run(u"began"_qs);
        if (flags.contains(u"tileDrag"_qs)) {
            AppInfo app;
            app.bundleID = u"a"_qs;
            QVERIFY(f.drag.startReorder({app}, 0));
        }
        if (flags.contains(u"pan"_qs))
            f.drag.setPanning(true);
        if (flags.contains(u"covered"_qs))
            f.wheel.setCovered(true);
        std::unique_ptr<PagerModel> otherPager;
        if (flags.contains(u"noHitArea"_qs))
            f.wheel.setHitArea(nullptr);
        if (flags.contains(u"noDrag"_qs))
            f.wheel.setDrag(nullptr);
        if (flags.contains(u"noPager"_qs)) {
            otherPager = std::make_unique<PagerModel>(f.clock);
            f.wheel.setPager(otherPager.get());
            otherPager.reset(); // gone: the controller's reference empties itself
            QCOMPARE(f.wheel.pager(), nullptr);
        }

        const double before = f.pager.offsetX();
        QVERIFY(f.run(event));
        QCOMPARE(f.passed, handled ? 0 : 1);
        if (!handled)
            QCOMPARE(f.pager.offsetX(), before);
    }

    // Real scroll events sent to an offscreen Qt Quick window: the controller filters them there, swallows what it
    // handles and passes the rest on to the scene (a WheelHandler here counts what reaches it).
    void filtersTheWindowsWheelEvents()
    {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        QQuickView view;
        QQmlComponent component(view.engine());
        component.setData(R"(
            import QtQuick
            Item {
                id: root
                width: 800; height: 600
                property int reached: 0
                Item { objectName: "strip"; x: 0; y: 40; width: 800; height: 500 }
                WheelHandler { onWheel: root.reached++ }
            })",
                          QUrl());
        std::unique_ptr<QObject> root(component.create());
        QVERIFY2(root, qPrintable(component.errorString()));
        auto *rootItem = qobject_cast<QQuickItem *>(root.get());
        rootItem->setParentItem(view.contentItem());
        view.resize(800, 600);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        VirtualClock clock;
        PagerModel pager(clock);
        pager.updateLayout(800, 500, 3);
        GridDragState drag;
        WheelPanController wheel(clock);
        wheel.setPager(&pager);
        wheel.setDrag(&drag);
        wheel.setHitArea(rootItem->findChild<QQuickItem *>(u"strip"_qs));
        wheel.start(nullptr); // no window yet: nothing to filter, and the next start tries again
        QVERIFY(!wheel.isStarted());
        wheel.start(&view);
        QVERIFY(wheel.isStarted());

        auto send = [&](QPointF at, QPoint pixels, QPoint angle, Qt::ScrollPhase phase,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QWheelEvent event(at, view.mapToGlobal(at), pixels, angle, Qt::NoButton, modifiers, phase, false);
            event.setTimestamp(ulong(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         clock.monotonicNow().time_since_epoch())
                                         .count()));
            QCoreApplication::sendEvent(&view, &event);
        };
        auto reachedNow = [&] { return root->property("reached").toInt(); };

        // A classic notch down over the strip: the next page, and the scene never sees it.
        send({400, 300}, {}, {0, -120}, Qt::NoScrollPhase);
        QCOMPARE(pager.offsetX(), 800.0);
        QCOMPARE(reachedNow(), 0);

        // Over the margin above the strip, or with Ctrl (the icon zoom): passed on untouched.
        clock.advanceBy(400ms);
        send({400, 20}, {}, {0, -120}, Qt::NoScrollPhase);
        send({400, 300}, {}, {0, -120}, Qt::NoScrollPhase, Qt::ControlModifier);
        QCOMPARE(pager.offsetX(), 800.0);
        QCOMPARE(reachedNow(), 2);

        // A mouse's notch that also carries points: read in angle units, it flips a page.
        clock.advanceBy(400ms);
        send({400, 300}, {0, 15}, {0, 120}, Qt::NoScrollPhase);
        QCOMPARE(pager.offsetX(), 0.0);
        clock.advanceBy(400ms);
        send({400, 300}, {0, -15}, {0, -120}, Qt::NoScrollPhase);
        QCOMPARE(pager.offsetX(), 800.0);

        // A high-resolution wheel's notch in eight events.
        clock.advanceBy(400ms);
        for (int i = 0; i < 8; ++i) {
            clock.advanceBy(8ms);
            send({400, 300}, {}, {0, -15}, Qt::NoScrollPhase);
        }
        QCOMPARE(pager.offsetX(), 1600.0);

        // A two-finger swipe back with phases and point deltas; the coasting after it is swallowed.
        clock.advanceBy(1s);
        send({400, 300}, {}, {}, Qt::ScrollBegin);
        clock.advanceBy(100ms);
        send({400, 300}, {30, 2}, {240, 16}, Qt::ScrollUpdate);
        QCOMPARE(pager.offsetX(), 1570.0);
        QVERIFY(wheel.isTracking());
        clock.advanceBy(100ms);
        send({400, 300}, {10, 0}, {80, 0}, Qt::ScrollUpdate);
        send({400, 300}, {}, {}, Qt::ScrollEnd);
        QVERIFY(!wheel.isTracking());
        QCOMPARE(pager.offsetX(), 800.0);
        send({400, 300}, {20, 0}, {160, 0}, Qt::ScrollMomentum);
        QCOMPARE(pager.offsetX(), 800.0);
        QCOMPARE(reachedNow(), 2);

        // Once stopped, everything reaches the scene.
        wheel.stop();
        QVERIFY(!wheel.isStarted());
        clock.advanceBy(1s);
        send({400, 300}, {}, {0, -120}, Qt::NoScrollPhase);
        QCOMPARE(pager.offsetX(), 800.0);
        QCOMPARE(reachedNow(), 3);
    }
};

QTEST_MAIN(TestWheelPanController)
#include "tst_wheelpancontroller.moc"
