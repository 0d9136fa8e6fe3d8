#include "fake/memorypreferences.h"
#include "theme.h"
#include "tilemetrics.h"

#include <QFont>
#include <QGuiApplication>
#include <QJsonValue>
#include <QTest>

class TestTheme : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fixedColours_data();
    void fixedColours();
    void colourRules_data();
    void colourRules();
    void opacityMultipliesTheColoursOwn_data();
    void opacityMultipliesTheColoursOwn();
    void brandGradientHasTwoStopsCornerToCorner();
    void storedAppearanceChoice_data();
    void storedAppearanceChoice();
    void appearanceIsAlwaysLight_data();
    void appearanceIsAlwaysLight();
    void tileMetrics_data();
    void tileMetrics();
};

void TestTheme::fixedColours_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("brand start") << Theme::brandStart() << QColor(0x5B, 0x6C, 0xFF);
    QTest::newRow("brand end") << Theme::brandEnd() << QColor(0x7A, 0x5C, 0xFF);
    QTest::newRow("danger") << Theme::danger() << QColor(0xFF, 0x3B, 0x30);
    QTest::newRow("success") << Theme::success() << QColor(0x34, 0xC7, 0x59);
    QTest::newRow("primary") << Theme::primary() << QColor::fromRgbF(0, 0, 0, 0.85f);
    QTest::newRow("secondary") << Theme::secondary() << QColor(146, 146, 146);
    QTest::newRow("tertiary label") << Theme::tertiaryLabel() << QColor::fromRgbF(0, 0, 0, 0.26f);
    QTest::newRow("quaternary label") << Theme::quaternaryLabel() << QColor::fromRgbF(0, 0, 0, 0.10f);
    QTest::newRow("separator") << Theme::separator() << QColor::fromRgbF(0, 0, 0, 0.10f);
    QTest::newRow("accent") << Theme::accent() << QColor(0, 122, 255);
    QTest::newRow("window background") << Theme::windowBackground() << QColor(236, 236, 236);
    QTest::newRow("text background") << Theme::textBackground() << QColor(Qt::white);
    QTest::newRow("thick material") << Theme::thickMaterial() << QColor::fromRgbF(1, 1, 1, 0.9f);
    QTest::newRow("pin mark") << Theme::pinMark() << QColor(185, 185, 190);
}

void TestTheme::fixedColours()
{
    QFETCH(QColor, colour);
    QFETCH(QColor, expected);
    QCOMPARE(colour.rgba(), expected.rgba());
}

void TestTheme::colourRules_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("add tile stroke, hovering") << Theme::addTileStroke(true) << QColor(138, 138, 138);
    QTest::newRow("add tile stroke, resting") << Theme::addTileStroke(false) << QColor(200, 200, 200);
    QTest::newRow("add tile plus, hovering") << Theme::addTilePlus(true) << QColor(69, 69, 69);
    QTest::newRow("add tile plus, resting") << Theme::addTilePlus(false) << QColor(146, 146, 146);
    QTest::newRow("group tab, selected and hovering") << Theme::groupTabFill(true, true) << QColor(Qt::transparent);
    QTest::newRow("group tab, selected") << Theme::groupTabFill(true, false) << QColor(Qt::transparent);
    QTest::newRow("group tab, hovering") << Theme::groupTabFill(false, true) << QColor(Qt::transparent);
    QTest::newRow("group tab, resting") << Theme::groupTabFill(false, false) << QColor(Qt::transparent);
}

void TestTheme::colourRules()
{
    QFETCH(QColor, colour);
    QFETCH(QColor, expected);
    QCOMPARE(colour.rgba(), expected.rgba());
}

void TestTheme::opacityMultipliesTheColoursOwn_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<double>("opacity");
    QTest::addColumn<double>("expectedAlpha");
    QTest::newRow("opaque accent at 0.18") << Theme::accent() << 0.18 << 0.18;
    QTest::newRow("primary at 0.12") << Theme::primary() << 0.12 << 0.85 * 0.12;
    QTest::newRow("quaternary at 0.5") << Theme::quaternaryLabel() << 0.5 << 0.05;
    QTest::newRow("at 0 is clear") << Theme::accent() << 0.0 << 0.0;
}

void TestTheme::opacityMultipliesTheColoursOwn()
{
    QFETCH(QColor, colour);
    QFETCH(double, opacity);
    QFETCH(double, expectedAlpha);
    const QColor result = Theme::withOpacity(colour, opacity);
    QVERIFY2(qAbs(result.alphaF() - expectedAlpha) < 0.002, qPrintable(QString::number(result.alphaF())));
    QCOMPARE(result.rgb(), colour.rgb());
}

void TestTheme::brandGradientHasTwoStopsCornerToCorner()
{
    const QGradientStops stops = Theme::brandGradientStops();
    QCOMPARE(stops.size(), 2);
    QCOMPARE(stops.at(0), QGradientStop(0.0, Theme::brandStart()));
    QCOMPARE(stops.at(1), QGradientStop(1.0, Theme::brandEnd()));
    const QLinearGradient gradient = Theme::brandGradient();
    QCOMPARE(gradient.coordinateMode(), QGradient::ObjectBoundingMode);
    QCOMPARE(gradient.start(), QPointF(0, 0));
    QCOMPARE(gradient.finalStop(), QPointF(1, 1));
    QCOMPARE(gradient.stops(), stops);
}

void TestTheme::storedAppearanceChoice_data()
{
    QTest::addColumn<QJsonValue>("stored"); // undefined: nothing stored
    QTest::addColumn<bool>("expected");
    QTest::newRow("nothing stored") << QJsonValue(QJsonValue::Undefined) << true;
    QTest::newRow("true") << QJsonValue(true) << true;
    QTest::newRow("false") << QJsonValue(false) << false;
    QTest::newRow("a number is no Boolean") << QJsonValue(0) << true;
    QTest::newRow("a text is no Boolean") << QJsonValue(u"false"_qs) << true;
}

void TestTheme::storedAppearanceChoice()
{
    QFETCH(QJsonValue, stored);
    QFETCH(bool, expected);
    MemoryPreferences preferences;
    if (!stored.isUndefined())
        preferences.setValue(Theme::appearanceFollowsSystemKey, stored);
    QCOMPARE(Theme::followsSystemPreference(preferences), expected);
}

void TestTheme::appearanceIsAlwaysLight_data()
{
    QTest::addColumn<bool>("followsSystem");
    QTest::newRow("asked to follow the desktop") << true;
    QTest::newRow("asked to stay light") << false;
}

void TestTheme::appearanceIsAlwaysLight()
{
    QFETCH(bool, followsSystem);
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    dark.setColor(QPalette::WindowText, QColor(Qt::white));
    QGuiApplication::setPalette(dark);

    Theme::applyAppAppearance(followsSystem);
    QCOMPARE(QGuiApplication::palette().color(QPalette::Window), Theme::windowBackground());
    QCOMPARE(QGuiApplication::palette().color(QPalette::WindowText), Theme::primary());
    QCOMPARE(QGuiApplication::palette().color(QPalette::Highlight), Theme::accent());
    QCOMPARE(QGuiApplication::font().family(), Theme::fontFamily());

    QGuiApplication::setPalette(dark);
    MemoryPreferences preferences;
    preferences.setBool(Theme::appearanceFollowsSystemKey, followsSystem);
    Theme::applyAppAppearance(preferences);
    QCOMPARE(QGuiApplication::palette().color(QPalette::Window), Theme::windowBackground());
}

void TestTheme::tileMetrics_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("icon");
    QTest::addColumn<double>("reservedHeight");
    QTest::addColumn<double>("placeholderRadius");
    QTest::addColumn<double>("fillRadius");
    QTest::addColumn<double>("fillOutset");
    QTest::addColumn<double>("ringRadius");
    QTest::addColumn<double>("ringOutset");
    QTest::newRow("neutral") << 1.0 << 110.0 << 58.0 << 114.0 << 12.0 << 14.0 << 7.0 << 18.0 << 10.0;
    QTest::newRow("largest") << 1.6 << 176.0 << 92.8 << 148.8 << 19.2 << 22.4 << 11.2 << 28.8 << 16.0;
    QTest::newRow("smallest") << 0.75 << 82.5 << 43.5 << 99.5 << 9.0 << 10.5 << 5.25 << 13.5 << 7.5;
}

void TestTheme::tileMetrics()
{
    QFETCH(double, scale);
    QFETCH(double, width);
    QFETCH(double, icon);
    QFETCH(double, reservedHeight);
    QFETCH(double, placeholderRadius);
    QFETCH(double, fillRadius);
    QFETCH(double, fillOutset);
    QFETCH(double, ringRadius);
    QFETCH(double, ringOutset);
    QCOMPARE(TileMetrics::width(scale), width);
    QCOMPARE(TileMetrics::iconSide(scale), icon);
    QCOMPARE(TileMetrics::reservedHeight(scale), reservedHeight);
    QCOMPARE(TileMetrics::placeholderRadius(scale), placeholderRadius);
    QCOMPARE(TileMetrics::selectionFillRadius(scale), fillRadius);
    QCOMPARE(TileMetrics::selectionFillOutset(scale), fillOutset);
    QCOMPARE(TileMetrics::selectionRingRadius(scale), ringRadius);
    QCOMPARE(TileMetrics::selectionRingOutset(scale), ringOutset);
    // What a grid reserves holds the icon, the two paddings, the gap and two lines of the name.
    QCOMPARE(TileMetrics::reservedHeight(scale) - TileMetrics::iconSide(scale)
                 - 2 * TileMetrics::verticalPadding - TileMetrics::iconNameGap,
             36.0);
}

QTEST_MAIN(TestTheme)
#include "tst_theme.moc"
