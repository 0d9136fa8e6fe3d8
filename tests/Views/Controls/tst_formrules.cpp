#include "formrules.h"

#include <QTest>

#include <limits>

namespace {

constexpr int intMax = std::numeric_limits<int>::max();
constexpr int intMin = std::numeric_limits<int>::min();

} // namespace

// The form controls' rules: the stepper, the number field's arrows and typed text, the weekday chips.
class TestFormRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void stepper_data();
    void stepper();
    void numberFieldArrows_data();
    void numberFieldArrows();
    void typedText_data();
    void typedText();
    void shownTextReadsBack_data();
    void shownTextReadsBack();
    void weekdayToggle_data();
    void weekdayToggle();
    void weekdayNamesStartOnSunday();
    void stepperAnnouncesItsButtons();
};

void TestFormRules::stepper_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::addColumn<bool>("minusEnabled");
    QTest::addColumn<bool>("plusEnabled");
    QTest::addColumn<int>("afterMinus");
    QTest::addColumn<int>("afterPlus");
    QTest::newRow("at the lower bound") << 5 << 5 << 12 << false << true << 5 << 6;
    QTest::newRow("inside") << 8 << 5 << 12 << true << true << 7 << 9;
    QTest::newRow("at the upper bound") << 12 << 5 << 12 << true << false << 11 << 12;
    QTest::newRow("below the range: plus brings it in") << 4 << 5 << 12 << false << true << 5 << 5;
    QTest::newRow("above the range: minus brings it in") << 20 << 5 << 12 << true << false << 12 << 12;
    QTest::newRow("integer maximum does not wrap") << intMax << 0 << intMax << true << false << intMax - 1 << intMax;
    QTest::newRow("integer minimum does not wrap") << intMin << intMin << 0 << false << true << intMin << intMin + 1;
}

void TestFormRules::stepper()
{
    QFETCH(int, value);
    QFETCH(int, lower);
    QFETCH(int, upper);
    QFETCH(bool, minusEnabled);
    QFETCH(bool, plusEnabled);
    QFETCH(int, afterMinus);
    QFETCH(int, afterPlus);
    QCOMPARE(FormRules::canDecrease(value, lower), minusEnabled);
    QCOMPARE(FormRules::canIncrease(value, upper), plusEnabled);
    QCOMPARE(FormRules::adjust(value, -1, lower, upper), afterMinus);
    QCOMPARE(FormRules::adjust(value, 1, lower, upper), afterPlus);
}

void TestFormRules::numberFieldArrows_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::addColumn<int>("up");
    QTest::addColumn<int>("down");
    QTest::newRow("inside") << 60 << 1 << 120 << 61 << 59;
    QTest::newRow("999 typed into 1...120") << 999 << 1 << 120 << 120 << 998;
    QTest::newRow("0 typed into 1...120") << 0 << 1 << 120 << 1 << 1;
    QTest::newRow("at the upper bound") << 120 << 1 << 120 << 120 << 119;
    QTest::newRow("at the lower bound") << 1 << 1 << 120 << 2 << 1;
    QTest::newRow("integer maximum goes up to the bound") << intMax << 1 << 120 << 120 << intMax - 1;
    QTest::newRow("integer maximum as the bound") << intMax << 0 << intMax << intMax << intMax - 1;
    QTest::newRow("integer minimum goes down to the bound") << intMin << 1 << 120 << intMin + 1 << 1;
}

void TestFormRules::numberFieldArrows()
{
    QFETCH(int, value);
    QFETCH(int, lower);
    QFETCH(int, upper);
    QFETCH(int, up);
    QFETCH(int, down);
    QCOMPARE(FormRules::stepUp(value, upper), up);
    QCOMPARE(FormRules::stepDown(value, lower), down);
}

void TestFormRules::typedText_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // -1: does not parse
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QTest::newRow("plain") << english << u"45"_qs << 45;
    QTest::newRow("with group separator") << english << u"1,234"_qs << 1234;
    QTest::newRow("without group separator") << english << u"1234"_qs << 1234;
    QTest::newRow("German groups") << german << u"1.234"_qs << 1234;
    QTest::newRow("Chinese groups") << chinese << u"12,345"_qs << 12345;
    QTest::newRow("spaces around") << english << u"  7 "_qs << 7;
    QTest::newRow("negative") << english << u"-3"_qs << -3;
    QTest::newRow("out of range is kept as typed") << english << u"999"_qs << 999;
    QTest::newRow("letters") << english << u"abc"_qs << -1;
    QTest::newRow("empty") << english << QString() << -1;
    QTest::newRow("fraction") << english << u"1.5"_qs << -1;
    QTest::newRow("beyond the integer range") << english << u"99999999999"_qs << -1;
}

void TestFormRules::typedText()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(int, expected);
    const auto parsed = FormRules::parseInteger(text, locale);
    QCOMPARE(parsed.value_or(-1), expected);
}

void TestFormRules::shownTextReadsBack_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("small") << QLocale(QLocale::English, QLocale::UnitedStates) << 45 << u"45"_qs;
    QTest::newRow("grouped") << QLocale(QLocale::English, QLocale::UnitedStates) << 1234 << u"1,234"_qs;
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << 1234 << u"1.234"_qs;
}

void TestFormRules::shownTextReadsBack()
{
    QFETCH(QLocale, locale);
    QFETCH(int, value);
    QFETCH(QString, shown);
    QCOMPARE(FormRules::formatInteger(value, locale), shown);
    QCOMPARE(FormRules::parseInteger(shown, locale), std::optional<int>(value));
}

void TestFormRules::weekdayToggle_data()
{
    QTest::addColumn<QList<int>>("selection");
    QTest::addColumn<int>("day");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("Sunday on the empty set") << QList<int>{} << 1 << QList<int>{1};
    QTest::newRow("the only day off leaves none") << QList<int>{3} << 3 << QList<int>{};
    QTest::newRow("added in order") << QList<int>{2, 6} << 4 << QList<int>{2, 4, 6};
    QTest::newRow("removed from the middle") << QList<int>{1, 4, 7} << 4 << QList<int>{1, 7};
    QTest::newRow("unsorted input comes back sorted") << QList<int>{7, 1} << 3 << QList<int>{1, 3, 7};
}

void TestFormRules::weekdayToggle()
{
    QFETCH(QList<int>, selection);
    QFETCH(int, day);
    QFETCH(QList<int>, expected);
    QCOMPARE(FormRules::toggle(selection, day), expected);
    // Toggling twice gives the set back.
    QCOMPARE(FormRules::toggle(FormRules::toggle(expected, day), day), expected);
}

void TestFormRules::weekdayNamesStartOnSunday()
{
    QCOMPARE(FormRules::weekdayNames(),
             (QStringList{u"日"_qs, u"一"_qs, u"二"_qs, u"三"_qs, u"四"_qs, u"五"_qs, u"六"_qs}));
}

void TestFormRules::stepperAnnouncesItsButtons()
{
    QCOMPARE(FormRules::decreaseLabel(u"每行列数"_qs), u"减少每行列数"_qs);
    QCOMPARE(FormRules::increaseLabel(u"每行列数"_qs), u"增加每行列数"_qs);
}

QTEST_GUILESS_MAIN(TestFormRules)
#include "tst_formrules.moc"
