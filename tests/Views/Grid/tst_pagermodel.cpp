#include "pagermodel.h"
#include "pagerspring.h"
#include "pagewindow.h"
#include "numberedrowsmodel.h"

#include "griddragstate.h"

#include "fake/virtualclock.h"

#include <QAbstractItemModelTester>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

#include <memory>

namespace {

// A pager of `count` pages 800 wide with a settle counter.
struct Fixture
{
    VirtualClock clock;
    PagerModel pager{clock};
    int settles = 0;

    explicit Fixture(int count = 5, double width = 800)
    {
        pager.setOnSettle([this] { ++settles; });
        if (width > 0 || count != 1)
            pager.updateLayout(width, 500, count);
    }
};

} // namespace

Q_IMPORT_QML_PLUGIN(Tarnwick_ViewModelsPlugin)

class TestPagerModel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void currentPage_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("drag");
        QTest::addColumn<double>("offset");
        QTest::addColumn<int>("page");

        QTest::newRow("1.5 pages rounds up") << 800.0 << 5 << 1200.0 << 1200.0 << 2;
        QTest::newRow("0.49 pages rounds down") << 800.0 << 5 << 392.0 << 392.0 << 0;
        QTest::newRow("half a page rounds away from zero") << 800.0 << 5 << 400.0 << 400.0 << 1;
        QTest::newRow("negative") << 800.0 << 5 << -300.0 << -105.0 << 0;
        QTest::newRow("never above the last page") << 800.0 << 3 << 5000.0 << 2790.0 << 2;
        QTest::newRow("before the first layout") << 0.0 << 1 << 500.0 << 175.0 << 0;
    }
    void currentPage()
    {
        QFETCH(double, width);
        QFETCH(int, count);
        QFETCH(double, drag);
        QFETCH(double, offset);
        QFETCH(int, page);
        Fixture f(count, width);
        f.pager.setDragOffset(drag);
        QCOMPARE(f.pager.offsetX(), offset);
        QCOMPARE(f.pager.currentPage(), page);
        QCOMPARE(f.pager.property("currentPage").toInt(), page);
    }

    void setDragOffset_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("drag");
        QTest::addColumn<double>("offset");

        QTest::newRow("before the first page: 0.35 of the way") << 3 << -100.0 << -35.0;
        QTest::newRow("past the last page: 0.35 of the way beyond") << 3 << 1700.0 << 1635.0;
        QTest::newRow("inside: one to one") << 3 << 1234.0 << 1234.0;
        QTest::newRow("exactly the end") << 3 << 1600.0 << 1600.0;
        QTest::newRow("one page ends at 0") << 1 << 100.0 << 35.0;
    }
    void setDragOffset()
    {
        QFETCH(int, count);
        QFETCH(double, drag);
        QFETCH(double, offset);
        Fixture f(count);
        f.pager.setDragOffset(drag);
        QCOMPARE(f.pager.offsetX(), offset);
        QCOMPARE(f.pager.drawnOffsetX(), offset);
    }

    void updateLayout_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("offset");
        QTest::addColumn<int>("pageCount");
        QTest::addColumn<int>("page");

        // Each row starts on page 3 of 5 pages 800 wide.
        QTest::newRow("a new width keeps the page") << 1000.0 << 5 << 3000.0 << 5 << 3;
        QTest::newRow("two pages: the new last page") << 800.0 << 2 << 800.0 << 2 << 1;
        QTest::newRow("no pages: one page") << 800.0 << 0 << 0.0 << 1 << 0;
        QTest::newRow("no width yet") << 0.0 << 5 << 0.0 << 5 << 0;
    }
    void updateLayout()
    {
        QFETCH(double, width);
        QFETCH(int, count);
        QFETCH(double, offset);
        QFETCH(int, pageCount);
        QFETCH(int, page);
        Fixture f;
        PageWindow window;
        f.pager.setWindow(&window);
        f.pager.snap(3, 0);
        QCOMPARE(f.pager.currentPage(), 3);

        f.pager.updateLayout(width, 420, count);
        QCOMPARE(f.pager.offsetX(), offset);
        QCOMPARE(f.pager.drawnOffsetX(), offset);
        QCOMPARE(f.pager.pageCount(), pageCount);
        QCOMPARE(f.pager.currentPage(), page);
        QCOMPARE(f.pager.pageWidth(), width);
        QCOMPARE(f.pager.gridHeight(), 420.0);
        QCOMPARE(window.center(), page);
    }

    // Steps: "snap P" (velocity 0), "wait MS", "settleNow", "drag X". After each step: the settles so far and
    // whether a snap animates ("A" or "-").
    void settle_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QList<int>>("settles");
        QTest::addColumn<QString>("animating");
        QTest::addColumn<double>("offset");

        QTest::newRow("a neighbour animates and settles after 0.6 s")
            << 800.0 << QStringList{u"snap 1"_qs, u"wait 599"_qs, u"wait 1"_qs, u"wait 5000"_qs}
            << QList<int>{0, 0, 1, 1} << u"AA--"_qs << 800.0;
        QTest::newRow("a second snap restarts the 0.6 s")
            << 800.0 << QStringList{u"snap 1"_qs, u"wait 400"_qs, u"snap 2"_qs, u"wait 599"_qs, u"wait 1"_qs}
            << QList<int>{0, 0, 0, 0, 1} << u"AAAA-"_qs << 1600.0;
        QTest::newRow("two pages away jumps and settles at once")
            << 800.0 << QStringList{u"snap 3"_qs, u"wait 1000"_qs} << QList<int>{1, 1} << u"--"_qs << 2400.0;
        QTest::newRow("a jump during a snap settles once")
            << 800.0 << QStringList{u"snap 1"_qs, u"snap 4"_qs, u"wait 1000"_qs} << QList<int>{0, 1, 1} << u"A--"_qs
            << 3200.0;
        QTest::newRow("settleNow ends a snap once")
            << 800.0 << QStringList{u"snap 1"_qs, u"settleNow"_qs, u"settleNow"_qs, u"wait 1000"_qs}
            << QList<int>{0, 1, 1, 1} << u"A---"_qs << 800.0;
        QTest::newRow("settleNow when idle does nothing")
            << 800.0 << QStringList{u"settleNow"_qs, u"wait 1000"_qs} << QList<int>{0, 0} << u"--"_qs << 0.0;
        QTest::newRow("a target beyond the pages is clamped")
            << 800.0 << QStringList{u"snap 3"_qs, u"snap 9"_qs, u"wait 600"_qs} << QList<int>{1, 1, 2} << u"-A-"_qs
            << 3200.0;
        QTest::newRow("a target before the first page is clamped")
            << 800.0 << QStringList{u"drag 700"_qs, u"snap -4"_qs, u"wait 600"_qs} << QList<int>{0, 0, 1}
            << u"-A-"_qs << 0.0;
        QTest::newRow("a snap onto the page it shows still settles")
            << 800.0 << QStringList{u"snap 0"_qs, u"wait 600"_qs} << QList<int>{0, 1} << u"A-"_qs << 0.0;
        QTest::newRow("a drag during a snap leaves its settle running")
            << 800.0 << QStringList{u"snap 1"_qs, u"drag 900"_qs, u"wait 600"_qs} << QList<int>{0, 0, 1} << u"AA-"_qs
            << 900.0;
        QTest::newRow("nothing before the first layout")
            << 0.0 << QStringList{u"snap 1"_qs, u"snap 3"_qs, u"wait 1000"_qs} << QList<int>{0, 0, 0} << u"---"_qs
            << 0.0;
    }
    void settle()
    {
        QFETCH(double, width);
        QFETCH(QStringList, steps);
        QFETCH(QList<int>, settles);
        QFETCH(QString, animating);
        QFETCH(double, offset);
        Fixture f(5, width);
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const QStringList step = steps.at(i).split(u' ');
            if (step.at(0) == u"snap")
                f.pager.snap(step.at(1).toInt(), 0);
            else if (step.at(0) == u"wait")
                f.clock.advanceBy(std::chrono::milliseconds(step.at(1).toInt()));
            else if (step.at(0) == u"settleNow")
                f.pager.settleNow();
            else if (step.at(0) == u"drag")
                f.pager.setDragOffset(step.at(1).toDouble());
            else
                QFAIL("unknown step");
            QVERIFY2(f.settles == settles.at(i), qPrintable(u"after "_qs + steps.at(i)));
            QVERIFY2(f.pager.isPagingAnimating() == (animating.at(i) == u'A'), qPrintable(u"after "_qs + steps.at(i)));
        }
        QCOMPARE(f.pager.offsetX(), offset);
    }

    void settleOfAModelThatIsGone()
    {
        VirtualClock clock;
        int settles = 0;
        auto pager = std::make_unique<PagerModel>(clock);
        pager->setOnSettle([&] { ++settles; });
        pager->updateLayout(800, 500, 3);
        pager->snap(1, 0);
        pager.reset();
        clock.advanceBy(1s);
        QCOMPARE(settles, 0);
        QCOMPARE(clock.pendingTimerCount(), 0);
    }

    void notifications()
    {
        Fixture f;
        QSignalSpy offset(&f.pager, &PagerModel::offsetXChanged);
        QSignalSpy count(&f.pager, &PagerModel::pageCountChanged);
        QSignalSpy page(&f.pager, &PagerModel::currentPageChanged);
        QSignalSpy animating(&f.pager, &PagerModel::isPagingAnimatingChanged);

        f.pager.updateLayout(800, 500, 5); // the same layout: nothing changes
        f.pager.setDragOffset(0);
        QCOMPARE(offset.count() + count.count() + page.count() + animating.count(), 0);

        f.pager.setDragOffset(300); // still page 0
        QCOMPARE(offset.count(), 1);
        QCOMPARE(page.count(), 0);
        f.pager.snap(1, 0);
        QCOMPARE(offset.count(), 2);
        QCOMPARE(page.count(), 1);
        QCOMPARE(animating.count(), 1);
        f.clock.advanceBy(600ms);
        QCOMPARE(animating.count(), 2);

        // A smaller count moves the page.
        f.pager.updateLayout(800, 500, 1);
        QCOMPARE(count.count(), 1);
        QCOMPARE(page.count(), 2);
        QCOMPARE(f.pager.currentPage(), 0);
    }

    void pageWindow()
    {
        Fixture f;
        auto window = std::make_unique<PageWindow>();
        QSignalSpy centre(window.get(), &PageWindow::centerChanged);
        f.pager.setWindow(window.get());
        f.pager.syncWindow();
        QCOMPARE(centre.count(), 0); // already 0
        f.pager.snap(1, 0);
        QCOMPARE(window->center(), 1);
        f.pager.setDragOffset(900);  // still page 1
        QCOMPARE(centre.count(), 1);
        f.pager.setDragOffset(1300); // 1.625 pages
        QCOMPARE(window->center(), 2);
        QCOMPARE(centre.count(), 2);
        window.reset();
        f.pager.setDragOffset(2400); // the window is gone: nothing to keep in step
        QCOMPARE(f.pager.window(), nullptr);
    }

    // The pages that build their tiles: within 2 of the centre, and of the pages the strip is drawn over.
    void placeholder_data()
    {
        QTest::addColumn<int>("center");
        QTest::addColumn<int>("drawnFirst");
        QTest::addColumn<int>("drawnLast");
        QTest::addColumn<int>("firstPage");
        QTest::addColumn<int>("lastPage");
        QTest::newRow("the centre and two on each side") << 4 << 4 << 4 << 2 << 6;
        QTest::newRow("none before the first page") << 1 << 1 << 1 << 0 << 3;
        QTest::newRow("far away") << 1000 << 1000 << 1000 << 998 << 1002;
        QTest::newRow("drawn between two pages") << 4 << 3 << 4 << 1 << 6;
        QTest::newRow("still drawn three pages back") << 3 << 0 << 0 << 0 << 5;
        QTest::newRow("still drawn further on") << 2 << 5 << 6 << 0 << 8;
    }
    void placeholder()
    {
        QFETCH(int, center);
        QFETCH(int, drawnFirst);
        QFETCH(int, drawnLast);
        QFETCH(int, firstPage);
        QFETCH(int, lastPage);
        PageWindow window;
        window.setPages(center, drawnFirst, drawnLast);
        QCOMPARE(window.center(), center);
        QCOMPARE(window.firstPage(), firstPage);
        QCOMPARE(window.lastPage(), lastPage);
        for (int page = 0; page < lastPage + 4; ++page)
            QCOMPARE(window.isPlaceholder(page), page < firstPage || page > lastPage);
        // Without the drawn pages only the centre's neighbours remain.
        window.setCenter(center);
        QCOMPARE(window.firstPage(), std::max(center - 2, 0));
        QCOMPARE(window.lastPage(), center + 2);
    }

    // The shown apps of the pages that are not placeholders.
    void tilesOfThePages_data()
    {
        QTest::addColumn<int>("center");
        QTest::addColumn<int>("perPage");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::newRow("the first page and the next two") << 0 << 35 << 0 << 105;
        QTest::newRow("the second page and both sides") << 1 << 35 << 0 << 140;
        QTest::newRow("further on") << 5 << 35 << 105 << 175;
        QTest::newRow("before the layout") << 3 << 0 << 0 << 0;
    }
    void tilesOfThePages()
    {
        QFETCH(int, center);
        QFETCH(int, perPage);
        QFETCH(int, first);
        QFETCH(int, count);
        PageWindow window;
        window.setCenter(center);
        QCOMPARE(window.tiles(perPage), (TileWindow{first, count}));
        for (int page = 0; perPage > 0 && page < center + 4; ++page) {
            const bool built = page * perPage >= first && page * perPage < first + count;
            QCOMPARE(built, !window.isPlaceholder(page));
        }
    }

    // Page dots tapped in quick succession: every snap after the first starts from a strip still drawn near where
    // it was, so the pages it is drawn over, and all up to the target, keep their tiles until the spring rests.
    void tapsInQuickSuccession_data()
    {
        QTest::addColumn<QList<int>>("taps"); // page dots, 30 ms apart, from page 0
        QTest::newRow("one dot") << QList<int>{1};
        QTest::newRow("two dots") << QList<int>{1, 2};
        QTest::newRow("three dots") << QList<int>{1, 2, 3};
        QTest::newRow("four dots") << QList<int>{1, 2, 3, 4};
        QTest::newRow("there and back") << QList<int>{1, 2, 3, 2, 1};
    }
    void tapsInQuickSuccession()
    {
        QFETCH(QList<int>, taps);
        Fixture f(8);
        PageWindow window;
        f.pager.setWindow(&window);
        QAbstractAnimation &spring = f.pager.drawnAnimation();
        auto shown = [&] { // the pages the strip covers in the frame drawn now
            const double at = f.pager.drawnOffsetX() / 800;
            return std::pair{int(std::floor(at)), int(std::ceil(at))};
        };
        for (int tap : taps) {
            spring.setCurrentTime(30);
            f.pager.snap(tap, 0);
            QVERIFY(f.pager.isPagingAnimating());
            for (int page = std::min(shown().first, tap); page <= std::max(shown().second, tap); ++page)
                QVERIFY2(!window.isPlaceholder(page), qPrintable(u"page %1 on the way to %2"_qs.arg(page).arg(tap)));
        }
        for (int ms = 0; ms < spring.duration(); ms += 16) {
            spring.setCurrentTime(ms);
            QVERIFY2(!window.isPlaceholder(shown().first) && !window.isPlaceholder(shown().second),
                     qPrintable(u"at %1 ms"_qs.arg(ms)));
        }
        // At rest the window is the centre's again.
        spring.setCurrentTime(spring.duration());
        QCOMPARE(spring.state(), QAbstractAnimation::Stopped);
        QCOMPARE(f.pager.drawnOffsetX(), taps.last() * 800.0);
        QCOMPARE(window.firstPage(), std::max(taps.last() - 2, 0));
        QCOMPARE(window.lastPage(), taps.last() + 2);
    }

    // The page dots' rows: a new page count adds or removes dots at the end, the others stay.
    void dotRows_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("inserted");
        QTest::addColumn<int>("removed");
        QTest::newRow("more pages") << 3 << 143 << 140 << 0;
        QTest::newRow("fewer pages") << 143 << 2 << 0 << 141;
        QTest::newRow("the same") << 5 << 5 << 0 << 0;
        QTest::newRow("none") << 4 << -1 << 0 << 4;
    }
    void dotRows()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, inserted);
        QFETCH(int, removed);
        NumberedRowsModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setCount(from);
        const QPersistentModelIndex first(model.index(0));
        QSignalSpy insertedSpy(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removedSpy(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy resetSpy(&model, &QAbstractItemModel::modelReset);
        model.setCount(to);
        auto rows = [](const QSignalSpy &spy) {
            int n = 0;
            for (const QList<QVariant> &args : spy)
                n += args.at(2).toInt() - args.at(1).toInt() + 1;
            return n;
        };
        QCOMPARE(rows(insertedSpy), inserted);
        QCOMPARE(rows(removedSpy), removed);
        QCOMPARE(resetSpy.size(), 0);
        QCOMPARE(model.rowCount(), std::max(to, 0));
        for (int row = 0; row < model.rowCount(); ++row)
            QCOMPARE(model.index(row).data().toInt(), row);
        QCOMPARE(first.isValid(), to > 0);
    }

    void startVelocity_data()
    {
        QTest::addColumn<double>("distance");
        QTest::addColumn<double>("velocity");
        QTest::addColumn<double>("expected");
        QTest::newRow("a distance of one point starts at rest") << 1.0 << 5000.0 << 0.0;
        QTest::newRow("less than a point back starts at rest") << -0.5 << 5000.0 << 0.0;
        QTest::newRow("in whole distances per second") << 800.0 << 4000.0 << 5.0;
        QTest::newRow("against the way") << -800.0 << 4000.0 << -5.0;
        QTest::newRow("limited to 25") << 10.0 << 10000.0 << 25.0;
        QTest::newRow("limited to -25") << 10.0 << -10000.0 << -25.0;
    }
    void startVelocity()
    {
        QFETCH(double, distance);
        QFETCH(double, velocity);
        QFETCH(double, expected);
        QCOMPARE(PagerSpring::startVelocity(distance, velocity), expected);
    }

    // The strip starts where it is, at the snap's speed, and is within a thousandth of the way from the page when
    // the settle fires.
    void spring_data()
    {
        QTest::addColumn<double>("distance");
        QTest::addColumn<double>("startVelocity"); // distances per second
        QTest::newRow("from rest") << 800.0 << 0.0;
        QTest::newRow("a flick at the limit") << 800.0 << 25.0;
        QTest::newRow("back a page") << -800.0 << 3.0;
        QTest::newRow("a short way") << 12.0 << -4.0;
    }
    void spring()
    {
        QFETCH(double, distance);
        QFETCH(double, startVelocity);
        const double u0 = -distance;
        const double v0 = startVelocity * distance;
        QCOMPARE(PagerSpring::displacement(u0, v0, 0), u0);
        QCOMPARE(PagerSpring::velocity(u0, v0, 0), v0);
        const double h = 1e-6;
        const double slope = (PagerSpring::displacement(u0, v0, h) - PagerSpring::displacement(u0, v0, 0)) / h;
        QVERIFY2(std::abs(slope - v0) <= 1e-3 * std::abs(distance) + 1e-3, qPrintable(QString::number(slope)));
        for (double t : {0.1, 0.25, 0.4}) { // the velocity is the slope of the displacement
            const double numeric = (PagerSpring::displacement(u0, v0, t + h) - PagerSpring::displacement(u0, v0, t - h)) / (2 * h);
            QVERIFY(std::abs(numeric - PagerSpring::velocity(u0, v0, t)) <= 1e-4 * std::abs(distance));
        }
        QVERIFY(std::abs(PagerSpring::displacement(u0, v0, 0.6)) <= 1e-3 * std::abs(distance));
    }

    void drawnOffset()
    {
        Fixture f;
        QAbstractAnimation &spring = f.pager.drawnAnimation();

        f.pager.snap(1, 4000); // 5 distances per second
        QCOMPARE(f.pager.offsetX(), 800.0);
        QCOMPARE(f.pager.drawnOffsetX(), 0.0); // the strip is still drawn where it was
        QCOMPARE(spring.state(), QAbstractAnimation::Running);
        spring.setCurrentTime(100);
        QCOMPARE(f.pager.drawnOffsetX(), 800 + PagerSpring::displacement(-800, 4000, 0.1));

        // A snap on the way carries on from where the strip is drawn.
        const double drawn = f.pager.drawnOffsetX();
        f.pager.snap(2, 0);
        QVERIFY(std::abs(f.pager.drawnOffsetX() - drawn) < 1e-9);
        spring.setCurrentTime(spring.duration());
        QCOMPARE(f.pager.drawnOffsetX(), 1600.0);

        // Writes without animation stop the spring and draw the logical offset.
        f.pager.snap(1, 0);
        f.pager.setDragOffset(700);
        QCOMPARE(spring.state(), QAbstractAnimation::Stopped);
        QCOMPARE(f.pager.drawnOffsetX(), 700.0);

        f.pager.snap(1, 0);
        f.pager.snap(3, 0); // a jump
        QCOMPARE(spring.state(), QAbstractAnimation::Stopped);
        QCOMPARE(f.pager.drawnOffsetX(), 2400.0);

        f.pager.snap(2, 0);
        f.pager.updateLayout(1000, 500, 5);
        QCOMPARE(spring.state(), QAbstractAnimation::Stopped);
        QCOMPARE(f.pager.drawnOffsetX(), 2000.0);
    }

    // What the page strip, the dots and the drag ghost bind to from QML.
    void qmlBindings()
    {
        Fixture f;
        PageWindow window;
        f.pager.setWindow(&window);
        GridDragState drag;
        QQmlEngine engine;
        engine.addImportPath(u"qrc:/"_qs);
        QQmlComponent component(&engine);
        component.setData(R"(
            import QtQml
            import Tarnwick.ViewModels
            QtObject {
                required property PagerModel pager
                required property PageWindow pageWindow
                required property GridDragState drag
                readonly property real stripX: -pager.drawnOffsetX
                readonly property int current: pager.currentPage
                readonly property int pages: pager.pageCount
                readonly property bool animating: pager.isPagingAnimating
                readonly property int firstBuilt: pageWindow.firstPage
                readonly property int lastBuilt: pageWindow.lastPage
                readonly property string dragging: drag.draggingID
                readonly property int previewLength: drag.previewOrder ? drag.previewOrder.length : -1
                function select(page) { pager.snap(page, 0) }
            })",
                          QUrl());
        std::unique_ptr<QObject> view(component.createWithInitialProperties(
            {{u"pager"_qs, QVariant::fromValue(&f.pager)},
             {u"pageWindow"_qs, QVariant::fromValue(&window)},
             {u"drag"_qs, QVariant::fromValue(&drag)}}));
        QVERIFY2(view, qPrintable(component.errorString()));
        auto read = [&](const char *name) { return view->property(name); };
        QCOMPARE(read("pages").toInt(), 5);
        QCOMPARE(read("lastBuilt").toInt(), 2);

        QMetaObject::invokeMethod(view.get(), "select", Q_ARG(QVariant, 1));
        QCOMPARE(f.pager.offsetX(), 800.0);
        QCOMPARE(read("current").toInt(), 1);
        QCOMPARE(read("animating").toBool(), true);
        QCOMPARE(read("lastBuilt").toInt(), 3);
        QCOMPARE(read("stripX").toDouble(), 0.0);
        f.pager.snap(2, 0); // still drawn on page 0: it keeps its tiles
        QCOMPARE(read("firstBuilt").toInt(), 0);
        QCOMPARE(read("lastBuilt").toInt(), 4);
        f.pager.drawnAnimation().setCurrentTime(f.pager.drawnAnimation().duration());
        QCOMPARE(read("stripX").toDouble(), -1600.0);
        QCOMPARE(read("current").toInt(), 2);
        f.clock.advanceBy(600ms);
        QCOMPARE(read("animating").toBool(), false);

        QCOMPARE(read("dragging").toString(), QString());
        QCOMPARE(read("previewLength").toInt(), -1);
        AppInfo a, b;
        a.bundleID = u"a"_qs;
        b.bundleID = u"b"_qs;
        QVERIFY(drag.startReorder({a, b}, 1));
        GridDragGeometry grid;
        grid.columns = 2;
        grid.rows = 1;
        grid.cellWidth = grid.cellHeight = 100;
        grid.itemCount = 2;
        drag.updatePreview({10, 10}, grid);
        QCOMPARE(read("dragging").toString(), u"b"_qs);
        QCOMPARE(read("previewLength").toInt(), 2);
    }
};

QTEST_MAIN(TestPagerModel)
#include "tst_pagermodel.moc"
