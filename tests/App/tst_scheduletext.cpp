#include "iconscale.h"
#include "fake/memorypreferences.h"
#include "schedulecalendar.h"
#include "scheduletext.h"
#include "timerpanelcontent.h"

#include <QTest>
#include <QTimeZone>

#include <cmath>
#include <limits>

// The small shared rules: the schedule texts, the remaining-time format and the icon scale.
class TestScheduleText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void weekdays_data();
    void weekdays();
    void repeatSummary_data();
    void repeatSummary();
    void time_data();
    void time();
    void paused_data();
    void paused();
    void format_data();
    void format();
    void storedScale_data();
    void storedScale();
    void clampedScale_data();
    void clampedScale();
};

namespace {

// Shanghai keeps one offset all year (UTC+8), so local times in the rows are plain.
ScheduleCalendar shanghai()
{
    return ScheduleCalendar(QTimeZone("Asia/Shanghai"));
}

Instant local(int y, unsigned mo, unsigned d, int h, int mi, int s = 0)
{
    using namespace std::chrono;
    return Instant{sys_days{year{y} / month{mo} / day{d}} + hours{h - 8} + minutes{mi} + seconds{s}};
}

} // namespace

void TestScheduleText::weekdays_data()
{
    QTest::addColumn<QList<int>>("days");
    QTest::addColumn<QString>("expected");
    QTest::newRow("all seven in order") << QList<int>{1, 2, 3, 4, 5, 6, 7} << u"每天"_qs;
    QTest::newRow("all seven shuffled with repeats") << QList<int>{7, 3, 1, 2, 2, 4, 6, 5} << u"每天"_qs;
    QTest::newRow("Monday to Friday with a repeat") << QList<int>{6, 2, 3, 4, 5, 2} << u"周一～周五"_qs;
    QTest::newRow("Saturday and Sunday: Sunday first") << QList<int>{7, 1} << u"周日 周六"_qs;
    QTest::newRow("repeats kept") << QList<int>{3, 3} << u"周二 周二"_qs;
    QTest::newRow("none") << QList<int>{} << QString();
    QTest::newRow("Monday to Thursday") << QList<int>{5, 4, 3, 2} << u"周一 周二 周三 周四"_qs;
    // Numbers outside 1-7 are no days at all: they neither make "every day" nor show up.
    QTest::newRow("six days and an eighth number") << QList<int>{1, 2, 3, 4, 5, 6, 8} << u"周日 周一 周二 周三 周四 周五"_qs;
    QTest::newRow("workdays and a zero") << QList<int>{0, 2, 3, 4, 5, 6} << u"周一～周五"_qs;
    QTest::newRow("only out of range") << QList<int>{-1, 0, 9} << QString();
}

void TestScheduleText::weekdays()
{
    QFETCH(QList<int>, days);
    QFETCH(QString, expected);
    QCOMPARE(ScheduleText::weekdays(days), expected);
}

void TestScheduleText::repeatSummary_data()
{
    QTest::addColumn<std::optional<Instant>>("onceDate");
    QTest::addColumn<QList<int>>("days");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one-off date wins over workdays")
        << std::optional<Instant>(local(2026, 3, 5, 7, 0)) << QList<int>{2, 3, 4, 5, 6} << u"单次 3月5日"_qs;
    QTest::newRow("one-off late in the local day")
        << std::optional<Instant>(local(2026, 12, 31, 23, 59)) << QList<int>{} << u"单次 12月31日"_qs;
    QTest::newRow("weekly") << std::optional<Instant>() << QList<int>{2, 3, 4, 5, 6} << u"周一～周五"_qs;
}

void TestScheduleText::repeatSummary()
{
    QFETCH(std::optional<Instant>, onceDate);
    QFETCH(QList<int>, days);
    QFETCH(QString, expected);
    QCOMPARE(ScheduleText::repeatSummary(onceDate, days, shanghai()), expected);
}

void TestScheduleText::time_data()
{
    QTest::addColumn<Instant>("t");
    QTest::addColumn<QString>("expected");
    QTest::newRow("midnight") << local(2026, 3, 5, 0, 0) << u"00:00"_qs;
    QTest::newRow("a minute before midnight") << local(2026, 3, 5, 23, 59, 59) << u"23:59"_qs;
    QTest::newRow("five past seven") << local(2026, 3, 5, 7, 5) << u"07:05"_qs;
}

void TestScheduleText::time()
{
    QFETCH(Instant, t);
    QFETCH(QString, expected);
    QCOMPARE(ScheduleText::time(t, shanghai()), expected);
}

void TestScheduleText::paused_data()
{
    QTest::addColumn<Instant>("until");
    QTest::addColumn<QString>("expected");
    // Now is 2026-03-05 22:00 local.
    QTest::newRow("later today") << local(2026, 3, 5, 23, 30) << u"已暂停至 23:30"_qs;
    QTest::newRow("tomorrow") << local(2026, 3, 6, 7, 0) << u"已暂停至明日 07:00"_qs;
    QTest::newRow("the day after") << local(2026, 3, 7, 7, 0) << u"已暂停至 3月7日 07:00"_qs;
    QTest::newRow("yesterday") << local(2026, 3, 4, 7, 0) << u"已暂停至 3月4日 07:00"_qs;
    QTest::newRow("earlier today") << local(2026, 3, 5, 0, 5) << u"已暂停至 00:05"_qs;
}

void TestScheduleText::paused()
{
    QFETCH(Instant, until);
    QFETCH(QString, expected);
    QCOMPARE(ScheduleText::paused(until, shanghai(), local(2026, 3, 5, 22, 0)), expected);
}

void TestScheduleText::format_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << 0.0 << u"00:00"_qs;
    QTest::newRow("59.99 truncates") << 59.99 << u"00:59"_qs;
    QTest::newRow("one minute") << 60.0 << u"01:00"_qs;
    QTest::newRow("negative") << -3.0 << u"00:00"_qs;
    QTest::newRow("just under a second below zero") << -0.5 << u"00:00"_qs;
    QTest::newRow("59:59") << 3599.0 << u"59:59"_qs;
    QTest::newRow("an hour is sixty minutes") << 3600.0 << u"60:00"_qs;
    QTest::newRow("three digits of minutes") << 6000.0 << u"100:00"_qs;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << u"00:00"_qs;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << u"00:00"_qs;
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << u"00:00"_qs;
    QTest::newRow("beyond 64 bits") << 1e30 << u"153722867280912930:07"_qs;
}

void TestScheduleText::format()
{
    QFETCH(double, seconds);
    QFETCH(QString, expected);
    QCOMPARE(TimerPanelContent::format(seconds), expected);
}

void TestScheduleText::storedScale_data()
{
    QTest::addColumn<QJsonValue>("stored");
    QTest::addColumn<double>("expected");
    QTest::newRow("nothing stored") << QJsonValue(QJsonValue::Undefined) << 1.0;
    QTest::newRow("1.61") << QJsonValue(1.61) << 1.0;
    QTest::newRow("0.7") << QJsonValue(0.7) << 1.0;
    QTest::newRow("0.75 as it stands") << QJsonValue(0.75) << 0.75;
    QTest::newRow("1.6 as it stands") << QJsonValue(1.6) << 1.6;
    QTest::newRow("1.234 not rounded") << QJsonValue(1.234) << 1.234;
    QTest::newRow("a text") << QJsonValue(u"1.2"_qs) << 1.0;
    QTest::newRow("a Boolean") << QJsonValue(true) << 1.0;
}

void TestScheduleText::storedScale()
{
    QFETCH(QJsonValue, stored);
    QFETCH(double, expected);
    MemoryPreferences preferences;
    if (!stored.isUndefined())
        preferences.setValue(u"gridIconScale"_qs, stored);
    QCOMPARE(IconScale::stored(preferences), expected);
}

void TestScheduleText::clampedScale_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("ceiling");
    QTest::addColumn<double>("expected");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("rounded to hundredths") << 1.234 << 1.6 << 1.23;
    QTest::newRow("half rounds away from zero") << 1.125 << 1.6 << 1.13;
    QTest::newRow("below the floor") << 0.5 << 1.4 << 0.75;
    QTest::newRow("held to the ceiling") << 2.0 << 1.3 << 1.3;
    QTest::newRow("a low ceiling still allows 1.0") << 2.0 << 0.9 << 1.0;
    QTest::newRow("no ceiling allows more than 1.6") << 2.0 << 5.0 << 1.6;
    QTest::newRow("rounding after the clamp passes the ceiling") << 1.3 << 1.2567 << 1.26;
    QTest::newRow("not a number") << nan << 1.4 << 1.0;
    QTest::newRow("infinity") << inf << 1.6 << 1.0;
    QTest::newRow("ceiling not a number") << 1.5 << nan << 1.0;
    QTest::newRow("ceiling infinite") << 1.5 << inf << 1.5;
}

void TestScheduleText::clampedScale()
{
    QFETCH(double, value);
    QFETCH(double, ceiling);
    QFETCH(double, expected);
    QCOMPARE(IconScale::clamped(value, ceiling), expected);
}

QTEST_GUILESS_MAIN(TestScheduleText)
#include "tst_scheduletext.moc"
