#include "controllook.h"
#include "settingspalette.h"
#include "symbols.h"
#include "theme.h"

#include <QDirIterator>
#include <QFile>
#include <QTest>

namespace {

QColor at(const QColor &colour, double opacity)
{
    return Theme::withOpacity(colour, opacity);
}

const QColor clear(Qt::transparent);

} // namespace

// The looks of the shared controls in each state, the sheet palette, and the symbol table.
class TestControlLook : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void colours_data();
    void colours();
    void opacities_data();
    void opacities();
    void rowButtonVariants_data();
    void rowButtonVariants();
    void palettePairs_data();
    void palettePairs();
    void paletteFollowsItsAppearance();
    void everySymbolOfTheTableDraws();
    void everySymbolFileIsInTheTable();
    void symbolIsTintedAndSized_data();
    void symbolIsTintedAndSized();
    void symbolIdsRoundTrip_data();
    void symbolIdsRoundTrip();
};

void TestControlLook::colours_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QColor>("expected");
    // Row button overlay: arguments are pressed, hovered, enabled.
    QTest::newRow("row button resting") << ControlLook::actionOverlay(false, false, true) << clear;
    QTest::newRow("row button hovered") << ControlLook::actionOverlay(false, true, true) << at(Theme::primary(), 0.06);
    QTest::newRow("row button pressed replaces hover")
        << ControlLook::actionOverlay(true, true, true) << at(Theme::primary(), 0.12);
    QTest::newRow("row button pressed, pointer gone")
        << ControlLook::actionOverlay(true, false, true) << at(Theme::primary(), 0.12);
    QTest::newRow("disabled row button hovered") << ControlLook::actionOverlay(false, true, false) << clear;
    QTest::newRow("disabled row button pressed") << ControlLook::actionOverlay(true, true, false) << clear;
    // Row button border: iconOnly, hovered, enabled.
    QTest::newRow("text border resting") << ControlLook::actionBorder(false, false, true) << at(Theme::primary(), 0.1);
    QTest::newRow("text border hovered") << ControlLook::actionBorder(false, true, true) << at(Theme::primary(), 0.2);
    QTest::newRow("disabled text border stays faint")
        << ControlLook::actionBorder(false, true, false) << at(Theme::primary(), 0.1);
    QTest::newRow("icon button has no border") << ControlLook::actionBorder(true, true, true) << clear;
    // Chip.
    QTest::newRow("chip selected") << ControlLook::chipFill(true) << at(Theme::accent(), 0.18);
    QTest::newRow("chip unselected") << ControlLook::chipFill(false) << at(Theme::quaternaryLabel(), 0.5);
    // Number field.
    QTest::newRow("arrow hovered") << ControlLook::stepArrowGlyph(true) << Theme::accent();
    QTest::newRow("arrow resting") << ControlLook::stepArrowGlyph(false) << Theme::secondary();
    QTest::newRow("arrow background hovered")
        << ControlLook::stepArrowBackground(true) << QColor::fromRgbF(0.95f, 0.95f, 0.95f);
    QTest::newRow("arrow background resting") << ControlLook::stepArrowBackground(false) << clear;
    QTest::newRow("field highlighted") << ControlLook::numberFieldBorder(true) << Theme::accent();
    QTest::newRow("field plain") << ControlLook::numberFieldBorder(false) << QColor::fromRgbF(0.85f, 0.85f, 0.85f);
    // Weekday chip: selected, hovered.
    QTest::newRow("weekday selected") << ControlLook::weekdayChipFill(true, false) << at(Theme::accent(), 0.14);
    QTest::newRow("weekday selected, hovered") << ControlLook::weekdayChipFill(true, true) << at(Theme::accent(), 0.14);
    QTest::newRow("weekday hovered") << ControlLook::weekdayChipFill(false, true) << at(Theme::primary(), 0.09);
    QTest::newRow("weekday resting") << ControlLook::weekdayChipFill(false, false) << at(Theme::primary(), 0.05);
    QTest::newRow("weekday label selected") << ControlLook::weekdayChipLabel(true) << Theme::accent();
    QTest::newRow("weekday label plain") << ControlLook::weekdayChipLabel(false) << Theme::secondary();
    // Close button.
    QTest::newRow("close glyph hovered") << ControlLook::closeGlyph(true) << Theme::primary();
    QTest::newRow("close glyph resting") << ControlLook::closeGlyph(false) << QColor(146, 146, 146);
    QTest::newRow("close circle hovered") << ControlLook::closeFill(true) << at(Theme::primary(), 0.08);
    QTest::newRow("close circle resting") << ControlLook::closeFill(false) << clear;
}

void TestControlLook::colours()
{
    QFETCH(QColor, colour);
    QFETCH(QColor, expected);
    QCOMPARE(colour.rgba(), expected.rgba());
}

void TestControlLook::opacities_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    QTest::newRow("enabled") << ControlLook::enabledOpacity(true) << 1.0;
    QTest::newRow("disabled") << ControlLook::enabledOpacity(false) << 0.35;
    QTest::newRow("chip pressed") << ControlLook::chipOpacity(true) << 0.6;
    QTest::newRow("chip released") << ControlLook::chipOpacity(false) << 1.0;
    QTest::newRow("link pressed") << ControlLook::linkOpacity(true) << 0.5;
    QTest::newRow("link released") << ControlLook::linkOpacity(false) << 1.0;
    QTest::newRow("chip border selected") << ControlLook::chipBorderWidth(true) << 1.5;
    QTest::newRow("chip border unselected") << ControlLook::chipBorderWidth(false) << 0.0;
    QTest::newRow("divider with icons") << ControlLook::dividerLeadingInset(true) << 39.0;
    QTest::newRow("divider without icons") << ControlLook::dividerLeadingInset(false) << 12.0;
    QTest::newRow("divider trailing") << ControlLook::dividerTrailingInset() << 12.0;
}

void TestControlLook::opacities()
{
    QFETCH(double, value);
    QFETCH(double, expected);
    QCOMPARE(value, expected);
}

void TestControlLook::rowButtonVariants_data()
{
    QTest::addColumn<bool>("iconOnly");
    QTest::addColumn<int>("fontSize");
    QTest::addColumn<int>("weight");
    QTest::addColumn<double>("padding");
    QTest::addColumn<QSizeF>("minimum");
    QTest::addColumn<double>("border");
    QTest::newRow("icon") << true << 10 << int(QFont::Medium) << 0.0 << QSizeF(26, 26) << 0.0;
    QTest::newRow("text") << false << 11 << int(QFont::Normal) << 10.0 << QSizeF(44, 24) << 0.5;
}

void TestControlLook::rowButtonVariants()
{
    QFETCH(bool, iconOnly);
    QFETCH(int, fontSize);
    QFETCH(int, weight);
    QFETCH(double, padding);
    QFETCH(QSizeF, minimum);
    QFETCH(double, border);
    QCOMPARE(ControlLook::actionFontSize(iconOnly), fontSize);
    QCOMPARE(ControlLook::actionFontWeight(iconOnly), weight);
    QCOMPARE(ControlLook::actionHorizontalPadding(iconOnly), padding);
    QCOMPARE(ControlLook::actionMinimumSize(iconOnly), minimum);
    QCOMPARE(ControlLook::actionBorderWidth(iconOnly), border);
}

void TestControlLook::palettePairs_data()
{
    QTest::addColumn<int>("appearance");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QColor>("surface");
    QTest::addColumn<QColor>("button");
    QTest::newRow("light") << int(SettingsPalette::Appearance::Light) << QColor(0xF2, 0xF2, 0xF4)
                           << QColor(0xFF, 0xFF, 0xFF) << QColor(0xF1, 0xF2, 0xF4);
    QTest::newRow("dark") << int(SettingsPalette::Appearance::Dark) << QColor(0x25, 0x26, 0x2A)
                          << QColor(0x30, 0x31, 0x36) << QColor(0x3B, 0x3C, 0x42);
    QTest::newRow("neither gets light") << int(SettingsPalette::Appearance::Unknown) << QColor(0xF2, 0xF2, 0xF4)
                                        << QColor(0xFF, 0xFF, 0xFF) << QColor(0xF1, 0xF2, 0xF4);
}

void TestControlLook::palettePairs()
{
    QFETCH(int, appearance);
    QFETCH(QColor, background);
    QFETCH(QColor, surface);
    QFETCH(QColor, button);
    const auto a = SettingsPalette::Appearance(appearance);
    QCOMPARE(SettingsPalette::resolve(SettingsPalette::backgroundPair, a), background);
    QCOMPARE(SettingsPalette::resolve(SettingsPalette::surfacePair, a), surface);
    QCOMPARE(SettingsPalette::resolve(SettingsPalette::buttonPair, a), button);
}

void TestControlLook::paletteFollowsItsAppearance()
{
    SettingsPalette palette;
    QCOMPARE(palette.appearance(), SettingsPalette::Appearance::Light);
    QCOMPARE(palette.surface(), QColor(0xFF, 0xFF, 0xFF));
    int changes = 0;
    connect(&palette, &SettingsPalette::appearanceChanged, this, [&] { ++changes; });
    palette.setAppearance(SettingsPalette::Appearance::Dark);
    QCOMPARE(palette.surface(), QColor(0x30, 0x31, 0x36));
    palette.setAppearance(SettingsPalette::Appearance::Dark);
    QCOMPARE(changes, 1);
}

void TestControlLook::everySymbolOfTheTableDraws()
{
    for (const QString &name : Symbols::names()) {
        QVERIFY2(QFile::exists(Symbols::resourcePath(name)), qPrintable(name));
        const QImage image = Symbols::render(name, QSize(24, 24), Qt::black);
        QVERIFY2(!image.isNull(), qPrintable(name));
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                inked += qAlpha(image.pixel(x, y)) > 128;
        // Something is drawn, and not a filled square.
        QVERIFY2(inked > 8 && inked < 24 * 24 * 3 / 4, qPrintable(name + u' ' + QString::number(inked)));
    }
}

void TestControlLook::everySymbolFileIsInTheTable()
{
    QDirIterator files(u":/Tarnwick/Views/symbols"_qs);
    int count = 0;
    while (files.hasNext()) {
        const QString file = QFileInfo(files.next()).fileName();
        QVERIFY2(file.endsWith(u".svg"_qs), qPrintable(file));
        QVERIFY2(Symbols::contains(file.chopped(4)), qPrintable(file));
        ++count;
    }
    QCOMPARE(count, Symbols::names().size());
}

void TestControlLook::symbolIsTintedAndSized_data()
{
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QSize>("expectedSize");
    QTest::newRow("asked size, opaque") << QSize(13, 13) << QColor(0, 122, 255) << QSize(13, 13);
    QTest::newRow("large, translucent") << QSize(60, 60) << QColor(255, 0, 0, 128) << QSize(60, 60);
    QTest::newRow("no size asked") << QSize() << QColor(Qt::black) << QSize(24, 24);
}

void TestControlLook::symbolIsTintedAndSized()
{
    QFETCH(QSize, requested);
    QFETCH(QColor, colour);
    QFETCH(QSize, expectedSize);
    const QImage image = Symbols::render(u"lock.fill"_qs, requested, colour).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), expectedSize);
    // The body of the lock is solid: its centre-bottom pixel is the colour exactly.
    const QColor body = image.pixelColor(expectedSize.width() / 2, expectedSize.height() * 3 / 4);
    QCOMPARE(body.rgb(), colour.rgb());
    QVERIFY(qAbs(body.alpha() - colour.alpha()) <= 1);
    // Outside the shape stays clear.
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
    QVERIFY(Symbols::render(u"no.such.symbol"_qs, requested, colour).isNull());
}

void TestControlLook::symbolIdsRoundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("opaque") << u"pin.fill"_qs << QColor(185, 185, 190);
    QTest::newRow("translucent") << u"xmark"_qs << QColor::fromRgbF(0, 0, 0, 0.85f);
}

void TestControlLook::symbolIdsRoundTrip()
{
    QFETCH(QString, name);
    QFETCH(QColor, colour);
    const QString source = Symbols::source(name, colour);
    QVERIFY(source.startsWith(u"image://symbol/"_qs));
    const auto [parsedName, parsedColour] = Symbols::parseId(source.mid(15));
    QCOMPARE(parsedName, name);
    QCOMPARE(parsedColour.rgba(), colour.rgba());
    QCOMPARE(Symbols::parseId(name).second, QColor(Qt::black));
    QCOMPARE(Symbols::parseId(name + u"?color=zz"_qs).second, QColor(Qt::black));
}

QTEST_MAIN(TestControlLook)
#include "tst_controllook.moc"
