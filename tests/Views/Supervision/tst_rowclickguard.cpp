#include "rowclickguard.h"
#include "fake/virtualclock.h"

#include <QTest>

using namespace std::chrono_literals;

// A row button's click after the last taken one: a double-click's second click that lands on the record that moved
// under the still pointer is refused; every other click is the user's own.
class TestRowClickGuard : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void secondClick_data();
    void secondClick();
    void refusedClickLeavesTheFirstAsTheMeasure();
};

void TestRowClickGuard::secondClick_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<int>("afterMs");
    QTest::addColumn<bool>("taken");
    // The first click was on "a" at (100, 50); the interval is 400 ms, the distance 5 px.
    QTest::newRow("another record, same spot, at once") << u"b"_qs << QPointF(100, 50) << 0 << false;
    QTest::newRow("another record, within the distance, at the interval") << u"b"_qs << QPointF(103, 54) << 400
                                                                          << false;
    QTest::newRow("another record, after the interval") << u"b"_qs << QPointF(100, 50) << 401 << true;
    QTest::newRow("another record, the pointer moved") << u"b"_qs << QPointF(100, 56) << 100 << true;
    QTest::newRow("the same record again") << u"a"_qs << QPointF(100, 50) << 0 << true;
}

void TestRowClickGuard::secondClick()
{
    QFETCH(QString, record);
    QFETCH(QPointF, at);
    QFETCH(int, afterMs);
    QFETCH(bool, taken);
    VirtualClock clock;
    RowClickGuard guard(clock, 400ms, 5);
    QVERIFY(guard.take(u"a"_qs, QPointF(100, 50)));
    clock.advanceBy(std::chrono::milliseconds(afterMs));
    QCOMPARE(guard.take(record, at), taken);
}

void TestRowClickGuard::refusedClickLeavesTheFirstAsTheMeasure()
{
    VirtualClock clock;
    RowClickGuard guard(clock, 400ms, 5);
    QVERIFY(guard.take(u"a"_qs, QPointF(10, 10)));
    clock.advanceBy(300ms);
    QVERIFY(!guard.take(u"b"_qs, QPointF(10, 10)));
    // 500 ms after the first: taken, though only 200 ms after the refused one.
    clock.advanceBy(200ms);
    QVERIFY(guard.take(u"b"_qs, QPointF(10, 10)));
    // And a taken click is the new measure.
    clock.advanceBy(100ms);
    QVERIFY(!guard.take(u"c"_qs, QPointF(10, 10)));
}

QTEST_APPLESS_MAIN(TestRowClickGuard)
#include "tst_rowclickguard.moc"
