#include "../App/appstatefixture.h"
#include "fake/virtualclock.h"
#include "iconzoomwheelcontroller.h"
#include "viewtest.h"
#include "wheelnotches.h"

#include <QTest>

namespace {

constexpr double none = -1;

} // namespace

// Zooming with Ctrl and the wheel: the step of each event, the notch counting, the write rule, and the filter on a
// real window (what it takes, what it passes on, and that it goes with its controller).
class TestIconZoom : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void stepOfOneEvent_data();
    void stepOfOneEvent();
    void notchCounting_data();
    void notchCounting();
    void filterOnTheWindow_data();
    void filterOnTheWindow();
    void startAndStopAreIdempotent();
    void filterGoesWithItsController();
    void noHitAreaPassesEverythingOn();
    void zoomWritesTheStateOnlyWhenTheScaleChanges();

private:
    struct Run
    {
        VirtualClock clock;
        ViewTest test{u"tst_iconzoom"_qs};
        std::unique_ptr<IconZoomWheelController> controller;
        QList<double> steps;
    };
    std::unique_ptr<Run> startRun();
};

void TestIconZoom::stepOfOneEvent_data()
{
    QTest::addColumn<QPoint>("angle");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QList<double>>("steps");
    QTest::addColumn<double>("written"); // the scale written under ceiling 1.6, or none
    QTest::newRow("one notch forward") << QPoint(0, 120) << QPoint() << 1.0 << QList<double>{0.05} << 1.05;
    QTest::newRow("one notch back at the floor") << QPoint(0, -120) << QPoint() << 0.75 << QList<double>{-0.05} << none;
    QTest::newRow("precise 10") << QPoint(0, 120) << QPoint(0, 10) << 1.0 << QList<double>{0.02} << 1.02;
    QTest::newRow("precise 2 rounds back to where it was")
        << QPoint(0, 24) << QPoint(0, 2) << 1.0 << QList<double>{0.004} << none;
    QTest::newRow("precise horizontal swipe") << QPoint(-120, 0) << QPoint(-25, 3) << 1.2 << QList<double>{-0.05}
                                              << 1.15;
    QTest::newRow("notched horizontal") << QPoint(120, 0) << QPoint() << 1.0 << QList<double>{0.05} << 1.05;
    QTest::newRow("tie picks vertical") << QPoint(120, -120) << QPoint() << 1.0 << QList<double>{-0.05} << 0.95;
    QTest::newRow("precise tie picks vertical") << QPoint() << QPoint(10, -10) << 1.0 << QList<double>{-0.02}
                                                << 0.98;
    QTest::newRow("zero is swallowed and does nothing") << QPoint(0, 0) << QPoint() << 1.0 << QList<double>{} << none;
    QTest::newRow("two notches at once") << QPoint(0, 240) << QPoint() << 1.0 << QList<double>{0.05, 0.05} << 1.1;
}

void TestIconZoom::stepOfOneEvent()
{
    QFETCH(QPoint, angle);
    QFETCH(QPoint, pixel);
    QFETCH(double, scale);
    QFETCH(QList<double>, steps);
    QFETCH(double, written);
    auto run = startRun();
    QVERIFY(run);
    const QPointF inside = ViewTest::centreOf(run->test.item(u"gridArea"_qs));
    run->test.wheel(inside, angle, pixel, Qt::ControlModifier);
    QCOMPARE(run->steps.size(), steps.size());
    for (int i = 0; i < steps.size(); ++i)
        QVERIFY2(qAbs(run->steps.at(i) - steps.at(i)) < 1e-12, qPrintable(QString::number(run->steps.at(i))));
    // What the main window writes: the scale plus each step, clamped, only when it changes.
    double s = scale;
    bool wrote = false;
    for (double step : std::as_const(run->steps)) {
        if (const auto next = IconZoomWheelController::scaleAfterStep(s, step, 1.6)) {
            s = *next;
            wrote = true;
        }
    }
    QCOMPARE(wrote ? s : none, written);
    QCOMPARE(run->test.root()->property("wheelsSeen").toInt(), 0);
}

void TestIconZoom::notchCounting_data()
{
    QTest::addColumn<QList<int>>("deltas");
    QTest::addColumn<QList<int>>("gapsMs"); // before each event but the first
    QTest::addColumn<QList<int>>("notches");
    QTest::newRow("classic wheel") << QList<int>{120, 120, -120} << QList<int>{50, 50} << QList<int>{1, 1, -1};
    QTest::newRow("high resolution: 8 x 15 is one notch") << QList<int>{15, 15, 15, 15, 15, 15, 15, 15}
                                                          << QList<int>{8, 8, 8, 8, 8, 8, 8}
                                                          << QList<int>{0, 0, 0, 0, 0, 0, 0, 1};
    QTest::newRow("remainder dropped after a quarter second")
        << QList<int>{60, 60} << QList<int>{251} << QList<int>{0, 0};
    QTest::newRow("remainder kept within a quarter second") << QList<int>{60, 60} << QList<int>{250}
                                                            << QList<int>{0, 1};
    QTest::newRow("remainder dropped when the direction turns")
        << QList<int>{90, -60, -60} << QList<int>{10, 10} << QList<int>{0, 0, -1};
    QTest::newRow("leftover carries into the next notch") << QList<int>{100, 100, 40} << QList<int>{10, 10}
                                                          << QList<int>{0, 1, 1};
}

void TestIconZoom::notchCounting()
{
    QFETCH(QList<int>, deltas);
    QFETCH(QList<int>, gapsMs);
    QFETCH(QList<int>, notches);
    WheelNotches counter;
    MonotonicInstant now{};
    QList<int> got;
    for (int i = 0; i < deltas.size(); ++i) {
        if (i > 0)
            now += std::chrono::milliseconds(gapsMs.at(i - 1));
        got.append(counter.add(deltas.at(i), now));
    }
    QCOMPARE(got, notches);
}

void TestIconZoom::filterOnTheWindow_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("covered");
    QTest::addColumn<bool>("zooms");
    QTest::newRow("Ctrl over the grid") << u"gridArea"_qs << int(Qt::ControlModifier) << false << true;
    QTest::newRow("Ctrl+Shift over the grid") << u"gridArea"_qs << int(Qt::ControlModifier | Qt::ShiftModifier)
                                              << false << true;
    QTest::newRow("Ctrl outside the grid") << u"outside"_qs << int(Qt::ControlModifier) << false << false;
    QTest::newRow("no Ctrl over the grid") << u"gridArea"_qs << int(Qt::NoModifier) << false << false;
    QTest::newRow("Alt over the grid") << u"gridArea"_qs << int(Qt::AltModifier) << false << false;
    QTest::newRow("Ctrl while a sheet covers the grid") << u"gridArea"_qs << int(Qt::ControlModifier) << true
                                                        << false;
}

void TestIconZoom::filterOnTheWindow()
{
    QFETCH(QString, where);
    QFETCH(int, modifiers);
    QFETCH(bool, covered);
    QFETCH(bool, zooms);
    auto run = startRun();
    QVERIFY(run);
    run->controller->setOverlayShown(covered);
    const QPointF pos = ViewTest::centreOf(run->test.item(where));
    run->test.wheel(pos, QPoint(0, 120), QPoint(), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(run->steps.size(), zooms ? 1 : 0);
    // What is not zoomed reaches the items unchanged.
    const int seen = run->test.root()->property("wheelsSeen").toInt();
    QCOMPARE(seen, !zooms && where == u"gridArea"_qs ? 1 : 0);
}

void TestIconZoom::startAndStopAreIdempotent()
{
    auto run = startRun();
    QVERIFY(run);
    run->controller->start(); // running already: nothing more is installed
    const QPointF inside = ViewTest::centreOf(run->test.item(u"gridArea"_qs));
    run->test.wheel(inside, QPoint(0, 120), QPoint(), Qt::ControlModifier);
    QCOMPARE(run->steps.size(), 1);
    run->controller->stop();
    run->controller->stop();
    QVERIFY(!run->controller->isRunning());
    run->test.wheel(inside, QPoint(0, 120), QPoint(), Qt::ControlModifier);
    QCOMPARE(run->steps.size(), 1);
    QCOMPARE(run->test.root()->property("wheelsSeen").toInt(), 1);
    run->controller->start();
    run->test.wheel(inside, QPoint(0, 120), QPoint(), Qt::ControlModifier);
    QCOMPARE(run->steps.size(), 2);
}

void TestIconZoom::filterGoesWithItsController()
{
    auto run = startRun();
    QVERIFY(run);
    const QPointF inside = ViewTest::centreOf(run->test.item(u"gridArea"_qs));
    run->controller.reset(); // released while running
    run->test.wheel(inside, QPoint(0, 120), QPoint(), Qt::ControlModifier);
    QCOMPARE(run->steps.size(), 0);
    QCOMPARE(run->test.root()->property("wheelsSeen").toInt(), 1);
}

void TestIconZoom::noHitAreaPassesEverythingOn()
{
    auto run = startRun();
    QVERIFY(run);
    run->controller->setHitArea(nullptr);
    run->test.wheel(ViewTest::centreOf(run->test.item(u"gridArea"_qs)), QPoint(0, 120), QPoint(), Qt::ControlModifier);
    QCOMPARE(run->steps.size(), 0);
    QCOMPARE(run->test.root()->property("wheelsSeen").toInt(), 1);
}

void TestIconZoom::zoomWritesTheStateOnlyWhenTheScaleChanges()
{
    auto run = startRun();
    QVERIFY(run);
    AppStateFixture f;
    AppState &state = f.start();
    state.gridZoomCeiling = 1.1;
    run->controller->zoomState(state);
    int writes = 0;
    connect(&state, &AppState::gridIconScaleChanged, this, [&] { ++writes; });
    const QPointF inside = ViewTest::centreOf(run->test.item(u"gridArea"_qs));
    run->test.wheel(inside, QPoint(0, 120), QPoint(), Qt::ControlModifier);
    QCOMPARE(state.gridIconScale(), 1.05);
    run->test.wheel(inside, QPoint(0, 120), QPoint(), Qt::ControlModifier);
    run->test.wheel(inside, QPoint(0, 120), QPoint(), Qt::ControlModifier);
    QCOMPARE(state.gridIconScale(), 1.1);
    QCOMPARE(writes, 2);
    // A touchpad's small deltas are each rounded away: no zoom at all.
    for (int i = 0; i < 5; ++i)
        run->test.wheel(inside, QPoint(0, -12), QPoint(0, -2), Qt::ControlModifier);
    QCOMPARE(state.gridIconScale(), 1.1);
    QCOMPARE(writes, 2);
}

std::unique_ptr<TestIconZoom::Run> TestIconZoom::startRun()
{
    auto run = std::make_unique<Run>();
    if (!run->test.loadFile(TARNWICK_TEST_QML_DIR u"/ZoomPage.qml"_qs)) {
        qWarning("%s", qPrintable(run->test.errors()));
        return nullptr;
    }
    run->controller = std::make_unique<IconZoomWheelController>(*run->test.view(), run->clock);
    run->controller->setHitArea(run->test.item(u"gridArea"_qs));
    Run *r = run.get();
    run->controller->onZoom = [r](double step) { r->steps.append(step); };
    run->controller->start();
    return run;
}

QTEST_MAIN(TestIconZoom)
#include "tst_iconzoom.moc"
