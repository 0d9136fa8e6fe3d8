#include "instant.h"

#include <QTest>

class TestInstant : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void conversions_data();
    void conversions();
    void distantPastIsBeforeEverything();
};

void TestInstant::conversions_data()
{
    QTest::addColumn<double>("since1970");
    QTest::addColumn<double>("sinceReference");
    QTest::newRow("the reference date") << 978307200.0 << 0.0;
    QTest::newRow("fractions survive") << 1772452800.123456 << 794145600.123456;
    QTest::newRow("before 1970") << -86400.5 << -978393600.5;
}

void TestInstant::conversions()
{
    QFETCH(double, since1970);
    QFETCH(double, sinceReference);
    const auto t = Instants::fromSecondsSince1970(since1970);
    QCOMPARE(Instants::secondsSince1970(t), since1970);
    QCOMPARE(Instants::secondsSinceReferenceDate(t), sinceReference);
    QCOMPARE(Instants::fromSecondsSinceReferenceDate(sinceReference), t);
    QCOMPARE(Instants::fromDateTime(Instants::toDateTime(t)), std::chrono::floor<std::chrono::milliseconds>(t));
}

void TestInstant::distantPastIsBeforeEverything()
{
    QVERIFY(Instants::distantPast() < Instants::fromSecondsSince1970(-1e10));
    QCOMPARE(Instants::toDateTime(Instants::distantPast()).date().year(), 1);
}

QTEST_GUILESS_MAIN(TestInstant)
#include "tst_instant.moc"
