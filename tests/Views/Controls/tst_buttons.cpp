#include "viewtest.h"

#include <QTest>

// The shared buttons in a window: clicks, the pointing hand only over enabled buttons, and the arrow back after a
// button is disabled or removed under the pointer.
class TestButtons : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void clickCountsOnce_data();
    void clickCountsOnce();
    void pointingHandOnlyOverEnabledButtons();
    void arrowComesBackWhenTheButtonGoesAwayUnderThePointer_data();
    void arrowComesBackWhenTheButtonGoesAwayUnderThePointer();

private:
    std::unique_ptr<ViewTest> m_test;
};

void TestButtons::init()
{
    m_test = std::make_unique<ViewTest>(u"tst_buttons"_qs);
    QVERIFY2(m_test->loadFile(TARNWICK_TEST_QML_DIR u"/ButtonsPage.qml"_qs), qPrintable(m_test->errors()));
}

void TestButtons::clickCountsOnce_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("counter");
    QTest::newRow("row button") << u"textButton"_qs << u"textClicks"_qs;
    QTest::newRow("link") << u"link"_qs << u"linkClicks"_qs;
}

void TestButtons::clickCountsOnce()
{
    QFETCH(QString, button);
    QFETCH(QString, counter);
    QQuickItem *item = m_test->item(button);
    QVERIFY(item);
    m_test->click(ViewTest::centreOf(item), Qt::RightButton);
    QCOMPARE(m_test->root()->property(counter.toUtf8()).toInt(), 0);
    m_test->click(ViewTest::centreOf(item));
    QCOMPARE(m_test->root()->property(counter.toUtf8()).toInt(), 1);
}

void TestButtons::pointingHandOnlyOverEnabledButtons()
{
    QQuickItem *button = m_test->item(u"textButton"_qs);
    m_test->mouseMove(ViewTest::centreOf(m_test->item(u"empty"_qs)));
    QCOMPARE(m_test->cursorShape(), Qt::ArrowCursor);
    m_test->mouseMove(ViewTest::centreOf(button));
    QCOMPARE(m_test->cursorShape(), Qt::PointingHandCursor);
    m_test->grab(u"text-button-hovered"_qs);

    button->setEnabled(false);
    m_test->mouseMove(ViewTest::centreOf(m_test->item(u"empty"_qs)));
    m_test->mouseMove(ViewTest::centreOf(button));
    QCOMPARE(m_test->cursorShape(), Qt::ArrowCursor);
    m_test->grab(u"text-button-disabled-hovered"_qs);
}

void TestButtons::arrowComesBackWhenTheButtonGoesAwayUnderThePointer_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("removeIt"); // else disable it
    QTest::newRow("row button disabled") << u"textButton"_qs << false;
    QTest::newRow("row button removed") << u"textButton"_qs << true;
    QTest::newRow("link disabled") << u"link"_qs << false;
    QTest::newRow("link removed") << u"link"_qs << true;
    QTest::newRow("plain view disabled") << u"plainClickable"_qs << false;
    QTest::newRow("plain view removed") << u"plainClickable"_qs << true;
}

void TestButtons::arrowComesBackWhenTheButtonGoesAwayUnderThePointer()
{
    QFETCH(QString, button);
    QFETCH(bool, removeIt);
    QQuickItem *item = m_test->item(button);
    const QPointF centre = ViewTest::centreOf(item);
    m_test->mouseMove(centre);
    QCOMPARE(m_test->cursorShape(), Qt::PointingHandCursor);
    if (removeIt)
        item->setVisible(false);
    else
        item->setEnabled(false);
    // The next pointer move, even one that stays where the button was, shows the arrow.
    m_test->mouseMove(centre + QPointF(1, 0));
    QCOMPARE(m_test->cursorShape(), Qt::ArrowCursor);
    // and nothing is left behind over the rest of the window
    m_test->mouseMove(ViewTest::centreOf(m_test->item(u"empty"_qs)));
    QCOMPARE(m_test->cursorShape(), Qt::ArrowCursor);
}

QTEST_MAIN(TestButtons)
#include "tst_buttons.moc"
