#include "caretblink.h"
#include "fake/virtualclock.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

#include <chrono>
#include <memory>

using namespace std::chrono_literals;

namespace {

// What the filter was given, and every flash time it set.
struct Fixture
{
    explicit Fixture(int flashTime = 1000)
        : blink(flashTime, [this](int ms) { set.append(ms); }, clock)
    {
    }
    void send(QEvent &event) { blink.eventFilter(&target, &event); }

    VirtualClock clock;
    QList<int> set;
    QObject target;
    CaretBlink blink;
};

std::unique_ptr<QEvent> eventOf(QEvent::Type type)
{
    const QPointF at(10, 10);
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return std::make_unique<QKeyEvent>(type, Qt::Key_A, Qt::NoModifier, u"a"_qs);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        return std::make_unique<QMouseEvent>(type, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    case QEvent::MouseMove:
        return std::make_unique<QMouseEvent>(type, at, at, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    case QEvent::Wheel:
        return std::make_unique<QWheelEvent>(at, at, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                                             Qt::NoScrollPhase, false);
    case QEvent::FocusIn:
        return std::make_unique<QFocusEvent>(type);
    default:
        return std::make_unique<QEvent>(type);
    }
}

} // namespace

// The caret blinks for a while after the last input and then holds still until the next.
class TestCaretBlink : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void holdsStillAfterTheTimeoutAndBlinksAgainOnInput()
    {
        Fixture f;
        QVERIFY(f.blink.isBlinking());
        f.clock.advanceBy(CaretBlink::defaultTimeout - 1ms);
        QVERIFY(f.blink.isBlinking());
        QCOMPARE(f.set, QList<int>{});
        f.clock.advanceBy(1ms);
        QVERIFY(!f.blink.isBlinking());
        QCOMPARE(f.set, QList<int>{0});

        // A key brings the desktop's blink back, and the timeout counts from it.
        auto key = eventOf(QEvent::KeyPress);
        f.send(*key);
        QVERIFY(f.blink.isBlinking());
        QCOMPARE(f.set, (QList<int>{0, 1000}));
        f.clock.advanceBy(CaretBlink::defaultTimeout - 1ms);
        QVERIFY(f.blink.isBlinking());
        f.clock.advanceBy(1ms);
        QCOMPARE(f.set, (QList<int>{0, 1000, 0}));
    }

    void inputWhileBlinkingPostponesTheStop()
    {
        Fixture f;
        f.clock.advanceBy(6s);
        auto click = eventOf(QEvent::MouseButtonPress);
        f.send(*click);
        f.clock.advanceBy(6s);
        QVERIFY(f.blink.isBlinking());
        QCOMPARE(f.set, QList<int>{}); // nothing set while it kept blinking
        f.clock.advanceBy(4s);
        QVERIFY(!f.blink.isBlinking());
    }

    void whatCountsAsInput_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("restarts");
        QTest::newRow("key press") << int(QEvent::KeyPress) << true;
        QTest::newRow("button press") << int(QEvent::MouseButtonPress) << true;
        QTest::newRow("wheel") << int(QEvent::Wheel) << true;
        QTest::newRow("input method") << int(QEvent::InputMethod) << true;
        QTest::newRow("focus in") << int(QEvent::FocusIn) << true;
        QTest::newRow("window activated") << int(QEvent::WindowActivate) << true;
        QTest::newRow("key release") << int(QEvent::KeyRelease) << false;
        QTest::newRow("button release") << int(QEvent::MouseButtonRelease) << false;
        QTest::newRow("pointer moved") << int(QEvent::MouseMove) << false;
        QTest::newRow("hover") << int(QEvent::HoverMove) << false;
        QTest::newRow("paint") << int(QEvent::UpdateRequest) << false;
        QTest::newRow("timer") << int(QEvent::Timer) << false;
    }

    void whatCountsAsInput()
    {
        QFETCH(int, type);
        QFETCH(bool, restarts);
        Fixture f;
        f.clock.advanceBy(CaretBlink::defaultTimeout);
        QVERIFY(!f.blink.isBlinking());
        auto event = eventOf(QEvent::Type(type));
        f.send(*event);
        QCOMPARE(f.blink.isBlinking(), restarts);
    }

    void aDesktopWithoutBlinkingIsLeftAlone()
    {
        Fixture f(0);
        f.clock.advanceBy(CaretBlink::defaultTimeout * 2);
        auto key = eventOf(QEvent::KeyPress);
        f.send(*key);
        f.clock.advanceBy(CaretBlink::defaultTimeout * 2);
        QCOMPARE(f.set, QList<int>{});
        QCOMPARE(f.clock.pendingTimerCount(), 0);
    }
};

QTEST_MAIN(TestCaretBlink)
#include "tst_caretblink.moc"
