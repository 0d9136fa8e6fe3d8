#include "schedulecalendar.h"
#include "scheduletesting.h"

#include <QTest>

using namespace ScheduleTesting;

Q_DECLARE_METATYPE(Instant)

class TestScheduleCalendar : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void components_data();
    void components();
    void nextMatching_data();
    void nextMatching();
    void timeOnDayOf_data();
    void timeOnDayOf();
    void nextWallClockTime_data();
    void nextWallClockTime();
    void searchesAgreeOverAYearOfDays_data();
    void searchesAgreeOverAYearOfDays();
    void extremeInstants_data();
    void extremeInstants();
    void systemFollowsTheZoneOfTheMoment();
    void unknownZoneIsUtc();
};

void TestScheduleCalendar::components_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("at");
    QTest::addColumn<int>("weekday");
    QTest::addColumn<int>("minuteOfDay");

    QTest::newRow("seconds are ignored") << QByteArray("Asia/Shanghai") << "2026-03-04T08:59:59.999+08:00" << 4 << 539;
    QTest::newRow("sunday is one") << QByteArray("UTC") << "2026-03-08T00:00:00Z" << 1 << 0;
    QTest::newRow("saturday is seven") << QByteArray("UTC") << "2026-03-07T23:59:00Z" << 7 << 1439;
    QTest::newRow("local day differs from the utc day") << QByteArray("Asia/Shanghai") << "2026-03-07T20:00:00Z" << 1 << 240;
    QTest::newRow("new york just before the gap") << QByteArray("America/New_York") << "2026-03-08T01:59:59-05:00" << 1 << 119;
    QTest::newRow("new york at the gap end") << QByteArray("America/New_York") << "2026-03-08T03:00:00-04:00" << 1 << 180;
    QTest::newRow("new york first pass of the fold") << QByteArray("America/New_York") << "2026-11-01T01:10:00-04:00" << 1 << 70;
    QTest::newRow("new york second pass of the fold") << QByteArray("America/New_York") << "2026-11-01T01:10:00-05:00" << 1 << 70;
    QTest::newRow("lord howe half hour offset") << QByteArray("Australia/Lord_Howe") << "2026-10-04T02:30:00+11:00" << 1 << 150;
    QTest::newRow("before 1970") << QByteArray("Europe/Berlin") << "1969-12-31T23:30:00+01:00" << 4 << 1410;
}

void TestScheduleCalendar::components()
{
    QFETCH(QByteArray, zone);
    QFETCH(QString, at);
    QFETCH(int, weekday);
    QFETCH(int, minuteOfDay);
    const auto c = calendar(zone).components(instant(at));
    QCOMPARE(c.weekday, weekday);
    QCOMPARE(c.minuteOfDay(), minuteOfDay);
}

void TestScheduleCalendar::nextMatching_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("weekday"); // 0: any day
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<QString>("expected");

    const QByteArray sh("Asia/Shanghai");
    const QByteArray ny("America/New_York");
    const QByteArray be("Europe/Berlin");
    const QByteArray lh("Australia/Lord_Howe");

    QTest::newRow("later today") << sh << "2026-03-04T08:00:00+08:00" << 0 << 9 << 0 << "2026-03-04T09:00:00+08:00";
    QTest::newRow("exactly at the time is not after") << sh << "2026-03-04T09:00:00+08:00" << 0 << 9 << 0 << "2026-03-05T09:00:00+08:00";
    QTest::newRow("a microsecond before") << sh << "2026-03-04T08:59:59.999+08:00" << 0 << 9 << 0 << "2026-03-04T09:00:00+08:00";
    QTest::newRow("weekday later this week") << sh << "2026-03-04T12:00:00+08:00" << 6 << 22 << 0 << "2026-03-06T22:00:00+08:00";
    QTest::newRow("same weekday passed rolls a week") << sh << "2026-03-04T12:00:00+08:00" << 4 << 8 << 0 << "2026-03-11T08:00:00+08:00";
    QTest::newRow("saturday to sunday") << QByteArray("UTC") << "2026-03-07T23:59:00Z" << 1 << 0 << 0 << "2026-03-08T00:00:00Z";

    QTest::newRow("new york gap time resolves to gap end") << ny << "2026-03-08T00:00:00-05:00" << 0 << 2 << 30 << "2026-03-08T03:00:00-04:00";
    QTest::newRow("new york gap start resolves to gap end") << ny << "2026-03-08T00:00:00-05:00" << 0 << 2 << 0 << "2026-03-08T03:00:00-04:00";
    QTest::newRow("new york time after the gap") << ny << "2026-03-08T00:00:00-05:00" << 0 << 3 << 30 << "2026-03-08T03:30:00-04:00";
    QTest::newRow("new york gap on its weekday") << ny << "2026-03-06T12:00:00-05:00" << 1 << 2 << 30 << "2026-03-08T03:00:00-04:00";
    QTest::newRow("new york at the gap end looks to tomorrow") << ny << "2026-03-08T03:00:00-04:00" << 0 << 2 << 30 << "2026-03-09T02:30:00-04:00";
    QTest::newRow("new york fold first occurrence") << ny << "2026-11-01T00:00:00-04:00" << 0 << 1 << 30 << "2026-11-01T01:30:00-04:00";
    QTest::newRow("new york between the occurrences skips the second") << ny << "2026-11-01T01:45:00-04:00" << 0 << 1 << 30 << "2026-11-02T01:30:00-05:00";
    QTest::newRow("new york inside the second pass") << ny << "2026-11-01T01:10:00-05:00" << 0 << 1 << 30 << "2026-11-02T01:30:00-05:00";
    QTest::newRow("berlin gap") << be << "2026-03-29T00:00:00+01:00" << 1 << 2 << 15 << "2026-03-29T03:00:00+02:00";
    QTest::newRow("berlin fold first occurrence") << be << "2026-10-25T00:00:00+02:00" << 1 << 2 << 30 << "2026-10-25T02:30:00+02:00";
    QTest::newRow("berlin after the first occurrence") << be << "2026-10-25T02:30:00+02:00" << 0 << 2 << 30 << "2026-10-26T02:30:00+01:00";
    QTest::newRow("lord howe half hour gap") << lh << "2026-10-04T00:00:00+10:30" << 0 << 2 << 15 << "2026-10-04T02:30:00+11:00";
    QTest::newRow("lord howe half hour fold") << lh << "2026-04-05T00:00:00+11:00" << 0 << 1 << 45 << "2026-04-05T01:45:00+11:00";

    QTest::newRow("hour 24 finds nothing") << sh << "2026-03-04T08:00:00+08:00" << 0 << 24 << 0 << "";
    QTest::newRow("negative hour finds nothing") << sh << "2026-03-04T08:00:00+08:00" << 0 << -1 << 0 << "";
    QTest::newRow("minute 60 finds nothing") << sh << "2026-03-04T08:00:00+08:00" << 0 << 9 << 60 << "";
    QTest::newRow("weekday 8 finds nothing") << sh << "2026-03-04T08:00:00+08:00" << 8 << 9 << 0 << "";
    QTest::newRow("weekday minus one finds nothing") << sh << "2026-03-04T08:00:00+08:00" << -1 << 9 << 0 << "";
}

void TestScheduleCalendar::nextMatching()
{
    QFETCH(QByteArray, zone);
    QFETCH(QString, after);
    QFETCH(int, weekday);
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(QString, expected);
    const std::optional<int> day = weekday == 0 ? std::nullopt : std::optional<int>(weekday);
    QCOMPARE(show(calendar(zone).nextMatching(instant(after), day, hour, minute)), show(maybeInstant(expected)));
}

void TestScheduleCalendar::timeOnDayOf_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("day");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<QString>("expected");

    QTest::newRow("earlier on the day") << QByteArray("Asia/Shanghai") << "2026-03-05T12:34:56+08:00" << 0 << 0 << "2026-03-05T00:00:00+08:00";
    QTest::newRow("local day, not utc day") << QByteArray("Asia/Shanghai") << "2026-03-04T20:00:00Z" << 23 << 0 << "2026-03-05T23:00:00+08:00";
    QTest::newRow("new york gap") << QByteArray("America/New_York") << "2026-03-08T12:00:00-04:00" << 2 << 30 << "2026-03-08T03:00:00-04:00";
    QTest::newRow("new york fold from the second pass") << QByteArray("America/New_York") << "2026-11-01T01:40:00-05:00" << 1 << 30 << "2026-11-01T01:30:00-04:00";
    QTest::newRow("berlin fold") << QByteArray("Europe/Berlin") << "2026-10-25T23:00:00+01:00" << 2 << 0 << "2026-10-25T02:00:00+02:00";
    QTest::newRow("lord howe gap") << QByteArray("Australia/Lord_Howe") << "2026-10-04T12:00:00+11:00" << 2 << 0 << "2026-10-04T02:30:00+11:00";
    QTest::newRow("minute out of range") << QByteArray("UTC") << "2026-03-05T12:00:00Z" << 12 << 75 << "";
}

void TestScheduleCalendar::timeOnDayOf()
{
    QFETCH(QByteArray, zone);
    QFETCH(QString, day);
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(QString, expected);
    QCOMPARE(show(calendar(zone).timeOnDayOf(instant(day), hour, minute)), show(maybeInstant(expected)));
}

void TestScheduleCalendar::nextWallClockTime_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<QString>("expected");

    const QByteArray ny("America/New_York");
    QTest::newRow("plain day") << QByteArray("Asia/Shanghai") << "2026-03-03T23:00:00+08:00" << 7 << 0 << "2026-03-04T07:00:00+08:00";
    QTest::newRow("new york skipped end is the gap end") << ny << "2026-03-08T01:00:00-05:00" << 2 << 30 << "2026-03-08T03:00:00-04:00";
    QTest::newRow("new york first reading of a repeated time") << ny << "2026-11-01T01:10:00-04:00" << 1 << 30 << "2026-11-01T01:30:00-04:00";
    QTest::newRow("new york between readings takes the second") << ny << "2026-11-01T01:45:00-04:00" << 1 << 30 << "2026-11-01T01:30:00-05:00";
    QTest::newRow("new york inside the second pass") << ny << "2026-11-01T01:10:00-05:00" << 1 << 30 << "2026-11-01T01:30:00-05:00";
    QTest::newRow("new york after both readings") << ny << "2026-11-01T01:30:00-05:00" << 1 << 30 << "2026-11-02T01:30:00-05:00";
    QTest::newRow("berlin second reading") << QByteArray("Europe/Berlin") << "2026-10-25T02:40:00+02:00" << 2 << 30 << "2026-10-25T02:30:00+01:00";
    QTest::newRow("lord howe second reading") << QByteArray("Australia/Lord_Howe") << "2026-04-05T01:50:00+11:00" << 1 << 45 << "2026-04-05T01:45:00+10:30";
    QTest::newRow("lord howe skipped end") << QByteArray("Australia/Lord_Howe") << "2026-10-04T01:00:00+10:30" << 2 << 10 << "2026-10-04T02:30:00+11:00";
    QTest::newRow("hour out of range") << ny << "2026-11-01T01:10:00-04:00" << 25 << 0 << "";
}

void TestScheduleCalendar::nextWallClockTime()
{
    QFETCH(QByteArray, zone);
    QFETCH(QString, after);
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(QString, expected);
    QCOMPARE(show(calendar(zone).nextWallClockTime(instant(after), hour, minute)), show(maybeInstant(expected)));
}

// Over every day of a year with two clock changes: a found time reads as asked (or lies just after a gap), lies
// strictly after the start of the search and leaves no earlier first occurrence unfound.
void TestScheduleCalendar::searchesAgreeOverAYearOfDays_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::newRow("new york") << QByteArray("America/New_York");
    QTest::newRow("berlin") << QByteArray("Europe/Berlin");
    QTest::newRow("lord howe") << QByteArray("Australia/Lord_Howe");
    QTest::newRow("shanghai") << QByteArray("Asia/Shanghai");
}

void TestScheduleCalendar::searchesAgreeOverAYearOfDays()
{
    QFETCH(QByteArray, zone);
    const auto cal = calendar(zone);
    const Instant yearStart = instant(QStringLiteral("2026-01-01T00:00:00Z"));
    for (int step = 0; step < 365 * 8; ++step) {
        const Instant t = yearStart + std::chrono::hours{3} * step + std::chrono::minutes{7};
        for (const int minuteOfDay : {0, 90, 120, 135, 150, 179, 180, 1439}) {
            const int h = minuteOfDay / 60;
            const int n = minuteOfDay % 60;
            const auto found = cal.nextMatching(t, std::nullopt, h, n);
            QVERIFY(found);
            QVERIFY(*found > t);
            QVERIFY(*found - t <= std::chrono::hours{26});
            const auto c = cal.components(*found);
            if (c.minuteOfDay() != minuteOfDay) {
                // Only a skipped time may resolve elsewhere, and then to the instant the clock jumps.
                const auto before = cal.components(*found - std::chrono::seconds{1});
                QVERIFY2(before.minuteOfDay() < minuteOfDay && minuteOfDay < c.minuteOfDay(),
                         qPrintable(show(found)));
            }
            // The end search never comes later than the start search.
            const auto wall = cal.nextWallClockTime(t, h, n);
            QVERIFY(wall && *wall > t && *wall <= *found);
        }
    }
}

// Far beyond any stored date the searches find nothing instead of overflowing; the distant past still works.
void TestScheduleCalendar::extremeInstants_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<Instant>("at");
    QTest::addColumn<bool>("searchable");

    for (const QByteArray &zone : {QByteArray("UTC"), QByteArray("America/New_York")}) {
        QTest::addRow("%s, earliest instant", zone.constData()) << zone << Instant::min() << false;
        QTest::addRow("%s, latest instant", zone.constData()) << zone << Instant::max() << false;
        QTest::addRow("%s, distant past", zone.constData()) << zone << Instants::distantPast() << true;
        QTest::addRow("%s, year 9999", zone.constData()) << zone << instant(QStringLiteral("9999-12-30T12:00:00Z")) << true;
    }
}

void TestScheduleCalendar::extremeInstants()
{
    QFETCH(QByteArray, zone);
    QFETCH(Instant, at);
    QFETCH(bool, searchable);
    const auto cal = calendar(zone);
    const auto c = cal.components(at);
    QVERIFY(c.weekday >= 1 && c.weekday <= 7);
    QVERIFY(c.minuteOfDay() >= 0 && c.minuteOfDay() < 1440);
    const auto next = cal.nextMatching(at, 3, 0, 0);
    const auto wall = cal.nextWallClockTime(at, 0, 0);
    const auto onDay = cal.timeOnDayOf(at, 12, 0);
    QCOMPARE(next.has_value(), searchable);
    QCOMPARE(wall.has_value(), searchable);
    QCOMPARE(onDay.has_value(), searchable);
    if (searchable) {
        QVERIFY(*next > at && *next - at <= std::chrono::days{8});
        QCOMPARE(cal.components(*next).weekday, 3);
        QVERIFY(*wall > at && *wall - at <= std::chrono::days{1});
        QCOMPARE(cal.localDay(*onDay), cal.localDay(at));
    }
}

void TestScheduleCalendar::systemFollowsTheZoneOfTheMoment()
{
    const QByteArray saved = qgetenv("TZ");
    qputenv("TZ", "Asia/Shanghai");
    const auto first = ScheduleCalendar::system().components(instant(QStringLiteral("2026-03-04T00:00:00Z")));
    qputenv("TZ", "America/New_York");
    const auto second = ScheduleCalendar::system().components(instant(QStringLiteral("2026-03-04T00:00:00Z")));
    if (saved.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", saved);
    QCOMPARE(first.minuteOfDay(), 8 * 60);
    QCOMPARE(second.minuteOfDay(), 19 * 60);
    QCOMPARE(second.weekday, 3);
}

void TestScheduleCalendar::unknownZoneIsUtc()
{
    const ScheduleCalendar cal{QTimeZone(QByteArray("Nowhere/Atlantis"))};
    QCOMPARE(cal.components(instant(QStringLiteral("2026-03-04T10:20:00Z"))).minuteOfDay(), 620);
}

QTEST_GUILESS_MAIN(TestScheduleCalendar)
#include "tst_schedulecalendar.moc"
