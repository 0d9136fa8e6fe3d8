#include "internetdatetime.h"
#include "strictjsonreader.h"

#include <QTest>

#include <chrono>

using namespace Qt::StringLiterals;

namespace {

Instant utc(int y, unsigned mo, unsigned d, int h = 0, int mi = 0, int s = 0)
{
    using namespace std::chrono;
    return Instant{sys_days{year{y} / month{mo} / day{d}} + hours{h} + minutes{mi} + seconds{s}};
}

} // namespace

// The strict reader's grammar on its own, and the date form of the rules file.
class TestStrictJsonReader : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void numbers_data();
    void numbers();
    void strings_data();
    void strings();
    void nestingStopsAtTheLimit_data();
    void nestingStopsAtTheLimit();
    void dates_data();
    void dates();
    void writtenDatesDropFractionsTowardsThePast_data();
    void writtenDatesDropFractionsTowardsThePast();
};

void TestStrictJsonReader::numbers_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("wellFormed");
    QTest::addColumn<std::optional<qint32>>("integer");
    const std::optional<qint32> none;
    QTest::newRow("zero") << "0"_ba << true << std::optional<qint32>(0);
    QTest::newRow("minus zero") << "-0"_ba << true << std::optional<qint32>(0);
    QTest::newRow("largest 32-bit") << "2147483647"_ba << true << std::optional<qint32>(INT32_MAX);
    QTest::newRow("smallest 32-bit") << "-2147483648"_ba << true << std::optional<qint32>(INT32_MIN);
    QTest::newRow("one beyond the largest") << "2147483648"_ba << true << none;
    QTest::newRow("one beyond the smallest") << "-2147483649"_ba << true << none;
    QTest::newRow("2^32 wraps to nothing") << "4294967296"_ba << true << none;
    QTest::newRow("2^64 + 1") << "18446744073709551617"_ba << true << none;
    QTest::newRow("a fraction of zero") << "1.0"_ba << true << none;
    QTest::newRow("an exponent") << "1E2"_ba << true << none;
    QTest::newRow("a negative exponent") << "10e-1"_ba << true << none;
    QTest::newRow("a lone minus") << "-"_ba << false << none;
    QTest::newRow("a point without digits") << "1."_ba << false << none;
    QTest::newRow("an exponent without digits") << "1e+"_ba << false << none;
    QTest::newRow("a leading point") << ".5"_ba << false << none;
    QTest::newRow("a leading zero") << "007"_ba << false << none;
    QTest::newRow("infinity") << "Infinity"_ba << false << none;
}

void TestStrictJsonReader::numbers()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, wellFormed);
    QFETCH(std::optional<qint32>, integer);
    StrictJsonReader r(text);
    std::optional<qint32> value = 12345;
    const bool ok = r.next() == StrictJsonReader::Kind::number && r.readNumber(value) && r.atEnd();
    QCOMPARE(ok, wellFormed);
    if (wellFormed)
        QCOMPARE(value, integer);
}

void TestStrictJsonReader::strings_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("wellFormed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << R"("abc")"_ba << true << u"abc"_s;
    QTest::newRow("empty") << R"("")"_ba << true << QString();
    QTest::newRow("short escapes") << R"("\"\\\/\b\f\n\r\t")"_ba << true << u"\"\\/\b\f\n\r\t"_s;
    QTest::newRow("upper and lower hex") << R"("\u00E9\u00e9")"_ba << true << u"éé"_s;
    QTest::newRow("escaped NUL") << R"("a\u0000b")"_ba << true << QString(u"a\0b"_s);
    QTest::newRow("surrogate pair") << R"("\uD83D\uDE00")"_ba << true << u"😀"_s;
    QTest::newRow("raw UTF-8 of every length") << "\"a\xC3\xA9\xE5\xA8\xB1\xF0\x9F\x98\x80\""_ba << true
                                               << u"aé娱😀"_s;
    QTest::newRow("largest code point") << "\"\xF4\x8F\xBF\xBF\""_ba << true << QString::fromUcs4(U"\U0010FFFF");
    QTest::newRow("beyond the largest code point") << "\"\xF4\x90\x80\x80\""_ba << false << QString();
    QTest::newRow("overlong three bytes") << "\"\xE0\x80\xAF\""_ba << false << QString();
    QTest::newRow("overlong four bytes") << "\"\xF0\x80\x80\xAF\""_ba << false << QString();
    QTest::newRow("a continuation byte alone") << "\"\x80\""_ba << false << QString();
    QTest::newRow("a sequence cut short") << "\"\xE5\xA8\""_ba << false << QString();
    QTest::newRow("a sequence cut by the end") << "\"\xE5"_ba << false << QString();
    QTest::newRow("high surrogate then a letter") << R"("\uD83Dx")"_ba << false << QString();
    QTest::newRow("two high surrogates") << R"("\uD83D\uD83D")"_ba << false << QString();
    QTest::newRow("a short escape") << R"("\u12")"_ba << false << QString();
    QTest::newRow("DEL is allowed") << "\"\x7F\""_ba << true << u"\u007F"_s;
    QTest::newRow("unit separator is not") << "\"\x1F\""_ba << false << QString();
    QTest::newRow("unterminated") << R"("abc)"_ba << false << QString();
}

void TestStrictJsonReader::strings()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, wellFormed);
    QFETCH(QString, expected);
    StrictJsonReader r(text);
    QString value;
    const bool ok = r.readString(value) && r.atEnd();
    QCOMPARE(ok, wellFormed);
    if (wellFormed)
        QCOMPARE(value, expected);
}

void TestStrictJsonReader::nestingStopsAtTheLimit_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("wellFormed");
    QTest::newRow("three lists at limit three") << "[[[]]]"_ba << true;
    QTest::newRow("four lists at limit three") << "[[[[]]]]"_ba << false;
    QTest::newRow("objects and lists at the limit") << R"({"a": [{"b": 1}]})"_ba << true;
    QTest::newRow("objects and lists beyond it") << R"({"a": [{"b": []}]})"_ba << false;
    QTest::newRow("siblings do not add up") << "[[[]], [[]], [[]]]"_ba << true;
}

void TestStrictJsonReader::nestingStopsAtTheLimit()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, wellFormed);
    StrictJsonReader r(text, 3);
    QCOMPARE(r.skipValue() && r.atEnd(), wellFormed);
}

void TestStrictJsonReader::dates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<Instant>>("expected");
    const std::optional<Instant> refused;
    QTest::newRow("UTC") << u"2026-03-07T10:00:00Z"_s << std::optional(utc(2026, 3, 7, 10));
    QTest::newRow("east of UTC across midnight") << u"2026-03-08T01:30:00+02:00"_s
                                                 << std::optional(utc(2026, 3, 7, 23, 30));
    QTest::newRow("west of UTC across a year") << u"2025-12-31T20:00:00-05:00"_s << std::optional(utc(2026, 1, 1, 1));
    QTest::newRow("minus zero offset") << u"2026-03-07T10:00:00-00:00"_s << std::optional(utc(2026, 3, 7, 10));
    QTest::newRow("leap day of a century divisible by 400") << u"2000-02-29T00:00:00Z"_s
                                                             << std::optional(utc(2000, 2, 29));
    QTest::newRow("February 29 of 1900") << u"1900-02-29T00:00:00Z"_s << refused;
    QTest::newRow("April 31") << u"2026-04-31T00:00:00Z"_s << refused;
    QTest::newRow("day 0") << u"2026-04-00T00:00:00Z"_s << refused;
    QTest::newRow("minute 60") << u"2026-04-01T00:60:00Z"_s << refused;
    QTest::newRow("offset minute 60") << u"2026-04-01T00:00:00+01:60"_s << refused;
    QTest::newRow("an offset that leaves year 0") << u"0000-01-01T00:30:00+01:00"_s << refused;
    QTest::newRow("an offset that passes year 9999") << u"9999-12-31T23:30:00-01:00"_s << refused;
    QTest::newRow("a five-digit year") << u"10000-01-01T00:00:00Z"_s << refused;
    QTest::newRow("a signed year") << u"+2026-03-07T10:00:00Z"_s << refused;
    QTest::newRow("trailing space") << u"2026-03-07T10:00:00Z "_s << refused;
    QTest::newRow("Arabic-Indic digits") << u"٢٠٢٦-03-07T10:00:00Z"_s << refused;
}

void TestStrictJsonReader::dates()
{
    QFETCH(QString, text);
    QFETCH(std::optional<Instant>, expected);
    QCOMPARE(InternetDateTime::parse(text), expected);
}

void TestStrictJsonReader::writtenDatesDropFractionsTowardsThePast_data()
{
    QTest::addColumn<Instant>("at");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole second") << utc(2026, 3, 7, 10) << u"2026-03-07T10:00:00Z"_s;
    QTest::newRow("just before the next second") << utc(2026, 3, 7, 10) + 999999us << u"2026-03-07T10:00:00Z"_s;
    QTest::newRow("just before midnight") << utc(2026, 3, 7, 23, 59, 59) + 500ms << u"2026-03-07T23:59:59Z"_s;
    QTest::newRow("before 1970") << utc(1960, 1, 1) - 1us << u"1959-12-31T23:59:59Z"_s;
    QTest::newRow("year 1") << utc(1, 1, 1) << u"0001-01-01T00:00:00Z"_s;
}

void TestStrictJsonReader::writtenDatesDropFractionsTowardsThePast()
{
    QFETCH(Instant, at);
    QFETCH(QString, expected);
    QCOMPARE(InternetDateTime::format(at), std::optional(expected));
    QCOMPARE(InternetDateTime::parse(expected), std::optional(std::chrono::floor<std::chrono::seconds>(at)));
}

QTEST_GUILESS_MAIN(TestStrictJsonReader)
#include "tst_strictjsonreader.moc"
