#include "theme.h"

#include "preferences.h"

#include <QFont>
#include <QGuiApplication>

QGradientStops Theme::brandGradientStops()
{
    return {{0.0, brandStart()}, {1.0, brandEnd()}};
}

QLinearGradient Theme::brandGradient()
{
    QLinearGradient gradient(0, 0, 1, 1);
    gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
    gradient.setStops(brandGradientStops());
    return gradient;
}

QColor Theme::withOpacity(const QColor &color, double opacity)
{
    QColor result = color;
    result.setAlphaF(float(color.alphaF() * opacity));
    return result;
}

QColor Theme::addTileStroke(bool hovering)
{
    return hovering ? QColor(138, 138, 138) : QColor(200, 200, 200);
}

QColor Theme::addTilePlus(bool hovering)
{
    return hovering ? QColor(69, 69, 69) : QColor(146, 146, 146);
}

QColor Theme::addTileFill(bool hovering)
{
    return QColor::fromRgbF(hovering ? 0.94f : 0.965f, hovering ? 0.94f : 0.965f, hovering ? 0.94f : 0.965f);
}

QColor Theme::groupTabFill(bool selected, bool hovering)
{
    Q_UNUSED(selected);
    Q_UNUSED(hovering);
    return QColor(Qt::transparent);
}

QPalette Theme::lightPalette()
{
    QPalette palette;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, windowBackground());
        palette.setColor(group, QPalette::WindowText, primary());
        palette.setColor(group, QPalette::Base, textBackground());
        palette.setColor(group, QPalette::AlternateBase, windowBackground());
        palette.setColor(group, QPalette::Text, primary());
        palette.setColor(group, QPalette::PlaceholderText, tertiaryLabel());
        palette.setColor(group, QPalette::Button, QColor(0xF1, 0xF2, 0xF4));
        palette.setColor(group, QPalette::ButtonText, primary());
        palette.setColor(group, QPalette::BrightText, QColor(Qt::white));
        palette.setColor(group, QPalette::Highlight, accent());
        palette.setColor(group, QPalette::HighlightedText, QColor(Qt::white));
        palette.setColor(group, QPalette::Link, accent());
        palette.setColor(group, QPalette::ToolTipBase, textBackground());
        palette.setColor(group, QPalette::ToolTipText, primary());
        palette.setColor(group, QPalette::Light, QColor(Qt::white));
        palette.setColor(group, QPalette::Midlight, QColor(0xF2, 0xF2, 0xF4));
        palette.setColor(group, QPalette::Mid, QColor(200, 200, 200));
        palette.setColor(group, QPalette::Dark, secondary());
        palette.setColor(group, QPalette::Shadow, QColor(0, 0, 0));
    }
    palette.setColor(QPalette::Disabled, QPalette::WindowText, tertiaryLabel());
    palette.setColor(QPalette::Disabled, QPalette::Text, tertiaryLabel());
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, tertiaryLabel());
    return palette;
}

void Theme::applyAppAppearance(bool followsSystem)
{
    // Following the desktop's dark mode needs the newer look, which this program does not have.
    Q_UNUSED(followsSystem);
    QGuiApplication::setPalette(lightPalette());
    QFont font = QGuiApplication::font();
    font.setFamily(fontFamily());
    QGuiApplication::setFont(font);
}

void Theme::applyAppAppearance(const Preferences &preferences)
{
    applyAppAppearance(followsSystemPreference(preferences));
}

bool Theme::followsSystemPreference(const Preferences &preferences)
{
    return preferences.boolValue(appearanceFollowsSystemKey).value_or(true);
}
