#include "viewtest.h"

#include <QTest>

// The pieces the sheets that edit apps share, in a window: the field frame follows the focus, the prominent button
// answers Return only while enabled, "取消" answers Escape, and the sizes of the shared anatomy.
class TestAppSheetKit : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void sizesOfTheAnatomy();
    void fieldBorderFollowsTheFocus();
    void returnPressesOnlyAnEnabledButton_data();
    void returnPressesOnlyAnEnabledButton();
    void escapeCancels();

private:
    std::unique_ptr<ViewTest> m_test;
};

void TestAppSheetKit::init()
{
    m_test = std::make_unique<ViewTest>(u"tst_appsheetkit"_qs);
    QVERIFY2(m_test->loadFile(TARNWICK_TEST_QML_DIR u"/AppSheetKitPage.qml"_qs), qPrintable(m_test->errors()));
}

void TestAppSheetKit::sizesOfTheAnatomy()
{
    QQuickItem *title = m_test->item(u"sheetTitle"_qs);
    QVERIFY(title);
    QCOMPARE(ViewTest::pointIn(title, {0, 0}).y(), 24.0);
    QCOMPARE(m_test->item(u"frame"_qs)->height(), 34.0);
    QCOMPARE(m_test->item(u"button"_qs)->height(), 40.0);
    QCOMPARE(m_test->item(u"button"_qs)->width(), 480.0 - 56);
    m_test->grab(u"标题_字段_按钮"_qs);
}

void TestAppSheetKit::fieldBorderFollowsTheFocus()
{
    QQuickItem *frame = m_test->item(u"frame"_qs);
    m_test->click(ViewTest::centreOf(m_test->item(u"field"_qs)));
    QTRY_VERIFY(m_test->item(u"field"_qs)->hasActiveFocus());
    m_test->type(u"abc"_qs);
    QTRY_COMPARE(m_test->item(u"field"_qs)->property("text").toString(), u"abc"_qs);
    // The border eases over 0.15 s; sample the frame's top edge once it has settled.
    QTest::qWait(250);
    const QImage focused = m_test->grab(u"字段_有焦点"_qs);
    const QPointF top = ViewTest::pointIn(frame, {frame->width() / 2, 0.2});
    const QColor edge = focused.pixelColor(int(top.x()), int(top.y()));
    QVERIFY2(edge.blue() > edge.red() + 40, qPrintable(edge.name()));
}

void TestAppSheetKit::returnPressesOnlyAnEnabledButton_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("presses");
    QTest::newRow("enabled") << true << 1;
    QTest::newRow("disabled") << false << 0;
}

void TestAppSheetKit::returnPressesOnlyAnEnabledButton()
{
    QFETCH(bool, enabled);
    QFETCH(int, presses);
    m_test->root()->setProperty("buttonEnabled", enabled);
    m_test->key(Qt::Key_Return);
    QCOMPARE(m_test->root()->property("presses").toInt(), presses);
    QCOMPARE(m_test->root()->property("cancels").toInt(), 0);
}

void TestAppSheetKit::escapeCancels()
{
    m_test->key(Qt::Key_Escape);
    QCOMPARE(m_test->root()->property("cancels").toInt(), 1);
    QCOMPARE(m_test->root()->property("presses").toInt(), 0);
}

QTEST_MAIN(TestAppSheetKit)
#include "tst_appsheetkit.moc"
