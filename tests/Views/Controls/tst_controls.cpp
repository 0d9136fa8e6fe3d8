#include "viewtest.h"

#include <QAccessible>
#include <QLocale>
#include <QTest>

#include <algorithm>
#include <cmath>

namespace {

QString accessibleName(QQuickItem *item)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(item);
    return iface ? iface->text(QAccessible::Name) : QString();
}

} // namespace

// Every shared control on one page, owned by the page: clicks, typing, keys, enablement at the bounds, the pointer,
// what they announce, and screenshots of their states.
class TestControls : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void stepperHoldsItsRange();
    void stepperAnnouncesItself();
    void numberFieldArrows_data();
    void numberFieldArrows();
    void numberFieldTypedText_data();
    void numberFieldTypedText();
    void fieldArrowsStayInsideTheBorder();
    void weekdayChipsToggle();
    void returnPressesTheFrontSheetsButtonOnly();
    void returnInANumberFieldCommitsThenPressesTheDefault_data();
    void returnInANumberFieldCommitsThenPressesTheDefault();
    void closeButtonReactsInsideItsCircleOnly();
    void chipsAndLinks();
    void arrowComesBackAtAStepperBound();
    void rowLayout();
    void statesScreenshots();

private:
    int pageInt(const char *name) const { return m_test->root()->property(name).toInt(); }
    QQuickItem *child(const QString &owner, const QString &name) const;
    std::unique_ptr<ViewTest> m_test;
};

void TestControls::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestControls::init()
{
    m_test = std::make_unique<ViewTest>(u"tst_controls"_qs);
    QVERIFY2(m_test->loadFile(TARNWICK_TEST_QML_DIR u"/ControlsPage.qml"_qs), qPrintable(m_test->errors()));
}

QQuickItem *TestControls::child(const QString &owner, const QString &name) const
{
    return ViewTest::itemIn(m_test->item(owner), name);
}

void TestControls::stepperHoldsItsRange()
{
    QQuickItem *minus = child(u"stepper"_qs, u"minus"_qs);
    QQuickItem *plus = child(u"stepper"_qs, u"plus"_qs);
    QVERIFY(minus && plus);
    // 4 in 5...12: minus is off, plus is on and its first press gives 5.
    QVERIFY(!minus->isEnabled());
    QCOMPARE(minus->opacity(), 0.35);
    QVERIFY(plus->isEnabled());
    m_test->click(ViewTest::centreOf(minus));
    QCOMPARE(pageInt("stepperValue"), 4);
    m_test->click(ViewTest::centreOf(plus));
    QCOMPARE(pageInt("stepperValue"), 5);
    QVERIFY(!minus->isEnabled());
    for (int i = 0; i < 10; ++i)
        m_test->click(ViewTest::centreOf(plus));
    QCOMPARE(pageInt("stepperValue"), 12);
    QVERIFY(!plus->isEnabled());
    QCOMPARE(plus->opacity(), 0.35);
    m_test->click(ViewTest::centreOf(minus));
    QCOMPARE(pageInt("stepperValue"), 11);
}

void TestControls::stepperAnnouncesItself()
{
    QCOMPARE(accessibleName(child(u"stepper"_qs, u"minus"_qs)), u"减少列数"_qs);
    QCOMPARE(accessibleName(child(u"stepper"_qs, u"plus"_qs)), u"增加列数"_qs);
    QQuickItem *stepper = m_test->item(u"stepper"_qs);
    QCOMPARE(accessibleName(stepper), u"列数"_qs);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(stepper);
    QVERIFY(iface && iface->valueInterface());
    QCOMPARE(iface->valueInterface()->currentValue().toInt(), 4);
}

void TestControls::numberFieldArrows_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("afterUp");
    QTest::addColumn<int>("afterDown");
    QTest::newRow("inside") << 60 << 61 << 59;
    QTest::newRow("999 typed into 1...120") << 999 << 120 << 998;
    QTest::newRow("0 typed into 1...120") << 0 << 1 << 1;
}

void TestControls::numberFieldArrows()
{
    QFETCH(int, start);
    QFETCH(int, afterUp);
    QFETCH(int, afterDown);
    QQuickItem *input = child(u"field"_qs, u"input"_qs);
    QVERIFY(input);
    m_test->click(ViewTest::centreOf(input));
    m_test->key(Qt::Key_A, Qt::ControlModifier);
    m_test->type(QString::number(start));
    m_test->key(Qt::Key_Return);
    QCOMPARE(pageInt("fieldValue"), start);
    m_test->click(ViewTest::centreOf(child(u"field"_qs, u"up"_qs)));
    QCOMPARE(pageInt("fieldValue"), afterUp);
    m_test->root()->setProperty("fieldValue", start);
    m_test->click(ViewTest::centreOf(child(u"field"_qs, u"down"_qs)));
    QCOMPARE(pageInt("fieldValue"), afterDown);
    QCOMPARE(input->property("text").toString(), QLocale().toString(afterDown));
}

void TestControls::numberFieldTypedText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("byReturn"); // else by moving the focus away
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain, Return") << u"45"_qs << true << 45 << u"45"_qs;
    QTest::newRow("plain, focus leaves") << u"45"_qs << false << 45 << u"45"_qs;
    QTest::newRow("grouped") << u"1,234"_qs << true << 1234 << u"1,234"_qs;
    QTest::newRow("ungrouped is shown grouped") << u"1234"_qs << true << 1234 << u"1,234"_qs;
    QTest::newRow("letters keep the value") << u"abc"_qs << true << 60 << u"60"_qs;
    QTest::newRow("empty keeps the value") << QString() << false << 60 << u"60"_qs;
}

void TestControls::numberFieldTypedText()
{
    QFETCH(QString, typed);
    QFETCH(bool, byReturn);
    QFETCH(int, value);
    QFETCH(QString, shown);
    QQuickItem *field = m_test->item(u"field"_qs);
    QQuickItem *input = child(u"field"_qs, u"input"_qs);
    m_test->click(ViewTest::centreOf(input));
    QVERIFY(field->property("editing").toBool());
    QVERIFY(field->property("highlighted").toBool());
    m_test->key(Qt::Key_A, Qt::ControlModifier);
    m_test->key(Qt::Key_Backspace);
    m_test->type(typed);
    if (byReturn)
        m_test->key(Qt::Key_Return);
    else
        m_test->click(ViewTest::centreOf(m_test->item(u"chipPlain"_qs)));
    QCOMPARE(pageInt("fieldValue"), value);
    QCOMPARE(input->property("text").toString(), shown);
}

// A hovered arrow shades only what lies inside the field's border: the 1-point line and the corners outside the
// rounded shape look the same whether an arrow is hovered or not.
void TestControls::fieldArrowsStayInsideTheBorder()
{
    QQuickItem *field = m_test->item(u"field"_qs);
    const double radius = field->property("radius").toDouble();
    QCOMPARE(radius, 8.0);
    m_test->mouseMove(ViewTest::centreOf(m_test->item(u"blank"_qs)));
    const QImage resting = m_test->grab(u"field-arrows-resting"_qs);
    const double dpr = resting.devicePixelRatio();
    // Whether a point of the field lies on or outside its border line, half a pixel clear of the line's inner edge.
    auto onOrOutsideTheBorder = [&](QPointF p) {
        const double inset = 1;
        const double r = radius - inset;
        const double x = std::clamp(p.x(), inset + r, field->width() - inset - r);
        const double y = std::clamp(p.y(), inset + r, field->height() - inset - r);
        return std::hypot(p.x() - x, p.y() - y) - r > 0.4 / dpr;
    };
    for (const QString &name : {u"up"_qs, u"down"_qs}) {
        QQuickItem *arrow = child(u"field"_qs, name);
        m_test->mouseMove(ViewTest::centreOf(arrow));
        QVERIFY(arrow->property("hovered").toBool());
        const QImage hovered = m_test->grab(u"field-arrow-hovered-"_qs + name);
        // The shade is there, next to the border.
        const QPointF shaded = arrow->mapToScene(QPointF(arrow->width() - 2, arrow->height() / 2)) * dpr;
        QVERIFY(hovered.pixel(shaded.toPoint()) != resting.pixel(shaded.toPoint()));
        int checked = 0;
        for (int py = 0; py < int(field->height() * dpr); ++py) {
            for (int px = 0; px < int(field->width() * dpr); ++px) {
                const QPointF local((px + 0.5) / dpr, (py + 0.5) / dpr);
                if (!onOrOutsideTheBorder(local))
                    continue;
                const QPoint at = (field->mapToScene(QPointF(0, 0)) * dpr).toPoint() + QPoint(px, py);
                const QColor a = resting.pixelColor(at), b = hovered.pixelColor(at);
                const int difference = std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                                                 std::abs(a.blue() - b.blue())});
                QVERIFY2(difference <= 2, qPrintable(u"%1 hovered: pixel (%2, %3) of the field went from %4 to %5"_qs
                                                         .arg(name).arg(px).arg(py).arg(a.name(), b.name())));
                ++checked;
            }
        }
        QVERIFY(checked > 2 * (field->width() + field->height()));
    }
}

void TestControls::weekdayChipsToggle()
{
    m_test->root()->setProperty("weekdays", QVariantList());
    QQuickItem *sunday = child(u"weekdays"_qs, u"day1"_qs);
    QVERIFY(sunday);
    QCOMPARE(sunday->property("text").toString(), u"日"_qs);
    QVERIFY(!sunday->property("selected").toBool());
    m_test->click(ViewTest::centreOf(sunday));
    QCOMPARE(m_test->root()->property("weekdays").toList(), QVariantList{1});
    QVERIFY(sunday->property("selected").toBool());
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(sunday);
    QVERIFY(iface && iface->state().selected);
    m_test->click(ViewTest::centreOf(child(u"weekdays"_qs, u"day7"_qs)));
    QCOMPARE(m_test->root()->property("weekdays").toList(), (QVariantList{1, 7}));
    m_test->click(ViewTest::centreOf(sunday));
    m_test->click(ViewTest::centreOf(child(u"weekdays"_qs, u"day7"_qs)));
    QCOMPARE(m_test->root()->property("weekdays").toList(), QVariantList());
    // The seven chips share the row equally, Sunday first.
    const double width = sunday->width();
    for (int day = 2; day <= 7; ++day)
        QCOMPARE(child(u"weekdays"_qs, u"day"_qs + QString::number(day))->width(), width);
    QCOMPARE(child(u"weekdays"_qs, u"day2"_qs)->property("text").toString(), u"一"_qs);
}

void TestControls::returnPressesTheFrontSheetsButtonOnly()
{
    m_test->key(Qt::Key_Return);
    QCOMPARE(pageInt("primaryClicks"), 1);
    QCOMPARE(pageInt("otherPrimaryClicks"), 0);
    m_test->item(u"primary"_qs)->setProperty("answersReturn", false);
    m_test->item(u"otherPrimary"_qs)->setProperty("answersReturn", true);
    m_test->key(Qt::Key_Enter);
    QCOMPARE(pageInt("primaryClicks"), 1);
    QCOMPARE(pageInt("otherPrimaryClicks"), 1);
    m_test->item(u"otherPrimary"_qs)->setEnabled(false);
    m_test->key(Qt::Key_Return);
    QCOMPARE(pageInt("otherPrimaryClicks"), 1);
}

void TestControls::returnInANumberFieldCommitsThenPressesTheDefault_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("defaultAnswers");
    QTest::newRow("Return") << int(Qt::Key_Return) << true;
    QTest::newRow("Enter") << int(Qt::Key_Enter) << true;
    QTest::newRow("Return, no default button") << int(Qt::Key_Return) << false;
}

void TestControls::returnInANumberFieldCommitsThenPressesTheDefault()
{
    QFETCH(int, key);
    QFETCH(bool, defaultAnswers);
    m_test->item(u"primary"_qs)->setProperty("answersReturn", defaultAnswers);
    QQuickItem *input = child(u"field"_qs, u"input"_qs);
    m_test->click(ViewTest::centreOf(input));
    m_test->key(Qt::Key_A, Qt::ControlModifier);
    m_test->type(u"45"_qs);
    m_test->key(Qt::Key(key));
    QCOMPARE(pageInt("fieldValue"), 45);
    QCOMPARE(input->property("text").toString(), u"45"_qs);
    QCOMPARE(pageInt("primaryClicks"), defaultAnswers ? 1 : 0);
    // The button saw the typed value, not the one before it.
    QCOMPARE(pageInt("fieldValueAtPrimaryClick"), defaultAnswers ? 45 : -1);
    QCOMPARE(pageInt("otherPrimaryClicks"), 0);
}

void TestControls::closeButtonReactsInsideItsCircleOnly()
{
    QQuickItem *close = m_test->item(u"close"_qs);
    const QPointF corner = ViewTest::pointIn(close, QPointF(1.5, 1.5));
    m_test->mouseMove(corner);
    QCOMPARE(m_test->cursorShape(), Qt::ArrowCursor);
    QVERIFY(!close->property("hovered").toBool());
    m_test->click(corner);
    QCOMPARE(pageInt("closeClicks"), 0);
    m_test->mouseMove(ViewTest::centreOf(close));
    QCOMPARE(m_test->cursorShape(), Qt::PointingHandCursor);
    QVERIFY(close->property("hovered").toBool());
    m_test->click(ViewTest::centreOf(close));
    QCOMPARE(pageInt("closeClicks"), 1);
}

void TestControls::chipsAndLinks()
{
    QQuickItem *chip = m_test->item(u"chip"_qs);
    QCOMPARE(chip->height(), 34.0);
    m_test->mouseMove(ViewTest::centreOf(chip));
    QCOMPARE(m_test->cursorShape(), Qt::PointingHandCursor);
    m_test->mousePress(ViewTest::centreOf(chip));
    QCOMPARE(chip->opacity(), 0.6);
    m_test->mouseRelease(ViewTest::centreOf(chip));
    QCOMPARE(chip->opacity(), 1.0);
    QVERIFY(!m_test->root()->property("chipSelected").toBool());
    QQuickItem *link = m_test->item(u"link"_qs);
    m_test->mousePress(ViewTest::centreOf(link));
    QCOMPARE(link->opacity(), 0.5);
    m_test->mouseRelease(ViewTest::centreOf(link));
    QCOMPARE(pageInt("linkClicks"), 1);
    m_test->mouseMove(ViewTest::centreOf(m_test->item(u"linkDisabled"_qs)));
    QCOMPARE(m_test->cursorShape(), Qt::ArrowCursor);
    m_test->mouseMove(ViewTest::centreOf(m_test->item(u"chipDisabled"_qs)));
    QCOMPARE(m_test->cursorShape(), Qt::ArrowCursor);
}

void TestControls::arrowComesBackAtAStepperBound()
{
    m_test->root()->setProperty("stepperValue", 11);
    QQuickItem *plus = child(u"stepper"_qs, u"plus"_qs);
    const QPointF centre = ViewTest::centreOf(plus);
    m_test->mouseMove(centre);
    QCOMPARE(m_test->cursorShape(), Qt::PointingHandCursor);
    m_test->click(centre);
    QCOMPARE(pageInt("stepperValue"), 12);
    QVERIFY(!plus->isEnabled());
    m_test->mouseMove(centre + QPointF(1, 0));
    QCOMPARE(m_test->cursorShape(), Qt::ArrowCursor);
    // Away and back over the disabled button: still the arrow; elsewhere nothing is left behind.
    m_test->mouseMove(ViewTest::centreOf(m_test->item(u"blank"_qs)));
    m_test->mouseMove(centre);
    QCOMPARE(m_test->cursorShape(), Qt::ArrowCursor);
    m_test->mouseMove(ViewTest::centreOf(m_test->item(u"blank"_qs)));
    QCOMPARE(m_test->cursorShape(), Qt::ArrowCursor);
}

void TestControls::rowLayout()
{
    auto sceneX = [](QQuickItem *item) { return item->mapToScene(QPointF(0, 0)).x(); };
    // The divider under rows with icons starts where their titles start: 39 in.
    QQuickItem *stepperRow = m_test->item(u"stepperRow"_qs);
    QQuickItem *title = child(u"stepperRow"_qs, u"title"_qs);
    QQuickItem *line = child(u"dividerWithIcon"_qs, u"line"_qs);
    QCOMPARE(sceneX(title) - sceneX(stepperRow), 39.0);
    QCOMPARE(sceneX(line), sceneX(title));
    QCOMPARE(sceneX(line) + line->width(), sceneX(stepperRow) + stepperRow->width() - 12);
    // Without icons the divider starts 12 in, with the titles.
    QQuickItem *plainRow = m_test->item(u"plainRow"_qs);
    QCOMPARE(sceneX(child(u"dividerPlain"_qs, u"line"_qs)) - sceneX(plainRow), 12.0);
    QCOMPARE(sceneX(child(u"plainRow"_qs, u"title"_qs)) - sceneX(plainRow), 12.0);
    // An empty detail leaves no gap under the title.
    QCOMPARE(child(u"plainRow"_qs, u"texts"_qs)->height(), child(u"plainRow"_qs, u"title"_qs)->height());
    // The control beside the texts ends 12 from the row's edge, centred on them.
    QQuickItem *stepper = m_test->item(u"stepper"_qs);
    QCOMPARE(sceneX(stepper) + stepper->width(), sceneX(stepperRow) + stepperRow->width() - 12);
    // With controlsBelow the control stands under the texts, as wide as they are, and nothing stands beside them.
    QQuickItem *belowRow = m_test->item(u"belowRow"_qs);
    QQuickItem *texts = child(u"belowRow"_qs, u"texts"_qs);
    QQuickItem *picker = m_test->item(u"weekdays"_qs);
    QCOMPARE(sceneX(picker), sceneX(texts));
    QCOMPARE(picker->width(), texts->width());
    QCOMPARE(sceneX(texts) + texts->width(), sceneX(belowRow) + belowRow->width() - 12);
    QCOMPARE(picker->mapToScene(QPointF(0, 0)).y(), texts->mapToScene(QPointF(0, texts->height() + 6)).y());
    QCOMPARE(belowRow->height(), texts->height() + 6 + picker->height() + 18);
}

void TestControls::statesScreenshots()
{
    m_test->grab(u"resting"_qs);
    const QStringList hovered = {u"textButton"_qs, u"iconButton"_qs, u"textButtonDisabled"_qs, u"close"_qs,
                                 u"chip"_qs, u"weekdays"_qs};
    for (const QString &name : hovered) {
        QQuickItem *item = name == u"weekdays"_qs ? child(name, u"day1"_qs) : m_test->item(name);
        m_test->mouseMove(ViewTest::centreOf(item));
        m_test->grab(u"hovered-"_qs + name);
    }
    m_test->mouseMove(ViewTest::centreOf(child(u"field"_qs, u"up"_qs)));
    m_test->grab(u"hovered-field-arrow"_qs);
    const QStringList pressed = {u"textButton"_qs, u"iconButton"_qs, u"chip"_qs, u"link"_qs, u"primary"_qs};
    for (const QString &name : pressed) {
        const QPointF centre = ViewTest::centreOf(m_test->item(name));
        m_test->mouseMove(centre);
        m_test->mousePress(centre);
        m_test->grab(u"pressed-"_qs + name);
        m_test->mouseMove(ViewTest::centreOf(m_test->item(u"blank"_qs)));
        m_test->mouseRelease(ViewTest::centreOf(m_test->item(u"blank"_qs)));
    }
    m_test->click(ViewTest::centreOf(child(u"field"_qs, u"input"_qs)));
    m_test->grab(u"field-editing-highlighted"_qs);
}

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
