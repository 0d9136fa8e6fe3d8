#include "../App/appstatefixture.h"
#include "iconscalecontrolrules.h"
#include "viewtest.h"

#include <QAccessible>
#include <QTest>

#include <limits>

namespace {

// Written scale or nothing, for table rows.
constexpr double none = -1;

double orNone(std::optional<double> value)
{
    return value.value_or(none);
}

} // namespace

// The icon-size control: its range, enablement, percentage and writes, as rules and in a window over a state.
class TestIconScaleControl : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void enablement_data();
    void enablement();
    void writes_data();
    void writes();
    void percentage_data();
    void percentage();
    void buttonsWriteTheState();
    void screenshots();
    void sliderAnnouncesThePercentage_data();
    void sliderAnnouncesThePercentage();
};

void TestIconScaleControl::enablement_data()
{
    QTest::addColumn<double>("s");
    QTest::addColumn<double>("c");
    QTest::addColumn<bool>("minus");
    QTest::addColumn<bool>("plus");
    QTest::addColumn<bool>("reset");
    QTest::addColumn<double>("sliderTo");
    QTest::newRow("neutral under the largest ceiling") << 1.0 << 1.6 << true << true << false << 1.6;
    QTest::newRow("ceiling 1.23, just below the stop") << 1.228 << 1.23 << true << true << true << 1.23;
    QTest::newRow("ceiling 1.23, plus off from 1.229") << 1.229 << 1.23 << true << false << true << 1.23;
    QTest::newRow("ceiling 2.0, just below the stop") << 1.598 << 2.0 << true << true << true << 1.6;
    QTest::newRow("ceiling 2.0, plus off from 1.599") << 1.599 << 2.0 << true << false << true << 1.6;
    QTest::newRow("minus off at the floor") << 0.75 << 1.6 << false << true << true << 1.6;
    QTest::newRow("minus on just above the floor") << 0.76 << 1.6 << true << true << true << 1.6;
    QTest::newRow("reset on a hair from neutral") << 1.0000001 << 1.6 << true << true << true << 1.6;
    QTest::newRow("scale above a shrunk ceiling stays on the slider") << 1.5 << 1.2 << true << false << true << 1.5;
    QTest::newRow("ceiling under 1: slider and plus stop at 0.8") << 0.78 << 0.5 << true << true << true << 0.8;
    QTest::newRow("ceiling under 1: plus off at 0.8") << 0.8 << 0.5 << true << false << true << 0.8;
}

void TestIconScaleControl::enablement()
{
    QFETCH(double, s);
    QFETCH(double, c);
    QFETCH(bool, minus);
    QFETCH(bool, plus);
    QFETCH(bool, reset);
    QFETCH(double, sliderTo);
    QCOMPARE(IconScaleControlRules::canShrink(s), minus);
    QCOMPARE(IconScaleControlRules::canGrow(s, c), plus);
    QCOMPARE(IconScaleControlRules::canReset(s), reset);
    QCOMPARE(IconScaleControlRules::sliderFrom(), 0.75);
    QCOMPARE(IconScaleControlRules::sliderTo(s, c), sliderTo);
}

void TestIconScaleControl::writes_data()
{
    QTest::addColumn<double>("s");
    QTest::addColumn<double>("c");
    QTest::addColumn<double>("slideTo");
    QTest::addColumn<double>("afterSlide");
    QTest::addColumn<double>("afterMinus");
    QTest::addColumn<double>("afterPlus");
    QTest::addColumn<double>("afterReset");
    QTest::newRow("neutral") << 1.0 << 1.6 << 1.234 << 1.23 << 0.95 << 1.05 << none;
    QTest::newRow("at the floor minus writes nothing") << 0.75 << 1.6 << 0.75 << none << none << 0.8 << 1.0;
    QTest::newRow("at the ceiling plus writes nothing") << 1.3 << 1.3 << 1.5 << none << 1.25 << none << 1.0;
    QTest::newRow("reset from any scale, whatever the ceiling") << 0.8 << 0.5 << 0.9 << 0.9 << 0.75 << 0.85 << 1.0;
    QTest::newRow("slide within rounding writes nothing") << 1.2 << 1.6 << 1.2049 << none << 1.15 << 1.25 << 1.0;
    QTest::newRow("scale above the ceiling is pulled in") << 1.5 << 1.2 << 1.5 << 1.2 << 1.2 << 1.2 << 1.0;
}

void TestIconScaleControl::writes()
{
    QFETCH(double, s);
    QFETCH(double, c);
    QFETCH(double, slideTo);
    QFETCH(double, afterSlide);
    QFETCH(double, afterMinus);
    QFETCH(double, afterPlus);
    QFETCH(double, afterReset);
    QCOMPARE(orNone(IconScaleControlRules::afterSlide(slideTo, s, c)), afterSlide);
    QCOMPARE(orNone(IconScaleControlRules::afterShrink(s, c)), afterMinus);
    QCOMPARE(orNone(IconScaleControlRules::afterGrow(s, c)), afterPlus);
    QCOMPARE(orNone(IconScaleControlRules::afterReset(s, c)), afterReset);
}

void TestIconScaleControl::percentage_data()
{
    QTest::addColumn<double>("s");
    QTest::addColumn<QString>("text");
    QTest::newRow("neutral") << 1.0 << u"100%"_qs;
    QTest::newRow("floor") << 0.75 << u"75%"_qs;
    QTest::newRow("half rounds up") << 1.235 << u"124%"_qs;
    QTest::newRow("below half rounds down") << 1.234 << u"123%"_qs;
    QTest::newRow("largest") << 1.6 << u"160%"_qs;
}

void TestIconScaleControl::percentage()
{
    QFETCH(double, s);
    QFETCH(QString, text);
    QCOMPARE(IconScaleControlRules::percentText(s), text);
}

void TestIconScaleControl::buttonsWriteTheState()
{
    AppStateFixture f;
    AppState &state = f.start();
    state.gridZoomCeiling = 1.1;
    ViewTest test(u"tst_iconscalecontrol"_qs);
    QVERIFY2(test.loadView(u"IconScaleControl"_qs, {{u"appState"_qs, QVariant::fromValue(&state)}}, QSize(420, 40)),
             qPrintable(test.errors()));
    QQuickItem *grow = test.item(u"grow"_qs);
    QQuickItem *shrink = test.item(u"shrink"_qs);
    QQuickItem *reset = test.item(u"reset"_qs);
    QQuickItem *percent = test.item(u"percent"_qs);
    QVERIFY(grow && shrink && reset && percent);
    QVERIFY(!reset->isEnabled());

    test.click(ViewTest::centreOf(grow));
    QCOMPARE(state.gridIconScale(), 1.05);
    QCOMPARE(percent->property("text").toString(), u"105%"_qs);
    test.click(ViewTest::centreOf(grow));
    QCOMPARE(state.gridIconScale(), 1.1);
    // At the ceiling plus turns off under the pointer; the next move shows the arrow again.
    QVERIFY(!grow->isEnabled());
    test.mouseMove(ViewTest::centreOf(grow) + QPointF(1, 1));
    QCOMPARE(test.cursorShape(), Qt::ArrowCursor);
    test.click(ViewTest::centreOf(grow));
    QCOMPARE(state.gridIconScale(), 1.1);
    test.grab(u"at-ceiling"_qs);

    test.click(ViewTest::centreOf(reset));
    QCOMPARE(state.gridIconScale(), 1.0);
    QVERIFY(!reset->isEnabled());
    for (int i = 0; i < 6; ++i)
        test.click(ViewTest::centreOf(shrink));
    QCOMPARE(state.gridIconScale(), 0.75);
    QVERIFY(!shrink->isEnabled());
    test.grab(u"at-floor"_qs);
}

void TestIconScaleControl::screenshots()
{
    AppStateFixture f;
    AppState &state = f.start();
    state.setGridIconScale(1.23);
    ViewTest test(u"tst_iconscalecontrol"_qs);
    QVERIFY2(test.loadView(u"IconScaleControl"_qs, {{u"appState"_qs, QVariant::fromValue(&state)}}, QSize(420, 40)),
             qPrintable(test.errors()));
    QQuickItem *slider = test.item(u"slider"_qs);
    QVERIFY(slider);
    QCOMPARE(slider->property("value").toDouble(), 1.23);
    // Dragging the handle to the slider's left end writes the floor.
    const QPointF handle = test.item(u"slider"_qs)->mapToScene(
        QPointF(slider->property("visualPosition").toDouble() * slider->width(), slider->height() / 2));
    test.mousePress(handle);
    for (int dx = 10; dx <= 400; dx += 10)
        test.mouseMove(handle - QPointF(dx, 0));
    test.mouseRelease(handle - QPointF(400, 0));
    QCOMPARE(state.gridIconScale(), 0.75);
    test.grab(u"after-slide-to-floor"_qs);
}

// The slider is announced by its name and, as its value, the percentage the control shows.
void TestIconScaleControl::sliderAnnouncesThePercentage_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<QString>("value");
    QTest::newRow("95%") << 0.95 << u"95%"_qs;
    QTest::newRow("neutral") << 1.0 << u"100%"_qs;
    QTest::newRow("half rounds away from zero") << 1.235 << u"124%"_qs;
}

void TestIconScaleControl::sliderAnnouncesThePercentage()
{
    QFETCH(double, scale);
    QFETCH(QString, value);
    AppStateFixture f;
    AppState &state = f.start();
    state.setGridIconScale(scale);
    ViewTest test(u"tst_iconscalecontrol"_qs);
    QVERIFY2(test.loadView(u"IconScaleControl"_qs, {{u"appState"_qs, QVariant::fromValue(&state)}}, QSize(420, 40)),
             qPrintable(test.errors()));
    QAccessibleInterface *slider = QAccessible::queryAccessibleInterface(test.item(u"slider"_qs));
    QVERIFY(slider);
    QCOMPARE(slider->role(), QAccessible::Slider);
    QCOMPARE(slider->text(QAccessible::Name), u"图标大小"_qs);
    QCOMPARE(slider->text(QAccessible::Value), value);
    QCOMPARE(slider->text(QAccessible::Description), QString());
    // Still a slider in the window's tree: found among its parent's children, where it is drawn, with its number.
    QAccessibleInterface *parent = slider->parent();
    QVERIFY(parent);
    QVERIFY(parent->indexOfChild(slider) >= 0);
    const QQuickItem *item = test.item(u"slider"_qs);
    QCOMPARE(slider->rect().size(), item->size().toSize());
    QVERIFY(slider->valueInterface());
    QCOMPARE(slider->valueInterface()->currentValue().toDouble(), scale);
    QCOMPARE(slider->valueInterface()->minimumValue().toDouble(), 0.75);
    // A value set through it moves the slider as the user would: clamped into the state, and announced anew.
    state.gridZoomCeiling = 1.3;
    slider->valueInterface()->setCurrentValue(1.5);
    QCOMPARE(state.gridIconScale(), 1.3);
    QCOMPARE(slider->text(QAccessible::Value), u"130%"_qs);
    QCOMPARE(slider->valueInterface()->currentValue().toDouble(), 1.3);
}

QTEST_MAIN(TestIconScaleControl)
#include "tst_iconscalecontrol.moc"
