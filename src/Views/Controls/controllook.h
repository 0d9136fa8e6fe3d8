#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QSizeF>
#include <QtQml/qqml.h>

// How the shared buttons and controls look in each state: fonts, sizes, fills, borders and opacities of the row
// button, the chip, the link, the step arrow, the weekday chip, the close button, the number field and the row divider.
// Pure functions; QML binds to them through the singleton, which only forwards.
class ControlLook : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
public:
    using QObject::QObject;

    // A disabled control is drawn faded and keeps its look otherwise.
    [[nodiscard]] Q_INVOKABLE static double enabledOpacity(bool enabled) { return enabled ? 1.0 : 0.35; }

    // The row button (icon variant or text variant) and its surface.
    [[nodiscard]] Q_INVOKABLE static int actionFontSize(bool iconOnly) { return iconOnly ? 10 : 11; }
    [[nodiscard]] Q_INVOKABLE static int actionFontWeight(bool iconOnly);
    [[nodiscard]] Q_INVOKABLE static double actionHorizontalPadding(bool iconOnly) { return iconOnly ? 0 : 10; }
    [[nodiscard]] Q_INVOKABLE static QSizeF actionMinimumSize(bool iconOnly);
    // The overlay over the button fill: pressed wins over hovered, and a disabled button has none.
    [[nodiscard]] Q_INVOKABLE static QColor actionOverlay(bool pressed, bool hovered, bool enabled);
    [[nodiscard]] Q_INVOKABLE static double actionBorderWidth(bool iconOnly) { return iconOnly ? 0 : 0.5; }
    [[nodiscard]] Q_INVOKABLE static QColor actionBorder(bool iconOnly, bool hovered, bool enabled);

    // The selectable chip.
    [[nodiscard]] Q_INVOKABLE static QColor chipFill(bool selected);
    [[nodiscard]] Q_INVOKABLE static double chipBorderWidth(bool selected) { return selected ? 1.5 : 0; }
    [[nodiscard]] Q_INVOKABLE static int chipFontWeight(bool selected);
    [[nodiscard]] Q_INVOKABLE static double chipOpacity(bool pressed) { return pressed ? 0.6 : 1.0; }

    // The default action of a sheet: the accent colour, a little darker while pressed.
    [[nodiscard]] Q_INVOKABLE static QColor primaryButtonFill(bool pressed);

    // The text link.
    [[nodiscard]] Q_INVOKABLE static double linkOpacity(bool pressed) { return pressed ? 0.5 : 1.0; }

    // The number field's arrows and frame.
    [[nodiscard]] Q_INVOKABLE static QColor stepArrowGlyph(bool hovered);
    [[nodiscard]] Q_INVOKABLE static QColor stepArrowBackground(bool hovered);
    [[nodiscard]] Q_INVOKABLE static QColor numberFieldBorder(bool highlighted);

    // The weekday chip.
    [[nodiscard]] Q_INVOKABLE static QColor weekdayChipFill(bool selected, bool hovered);
    [[nodiscard]] Q_INVOKABLE static QColor weekdayChipLabel(bool selected);
    [[nodiscard]] Q_INVOKABLE static int weekdayChipFontWeight(bool selected);

    // The round close button of floating panels.
    [[nodiscard]] Q_INVOKABLE static QColor closeGlyph(bool hovered);
    [[nodiscard]] Q_INVOKABLE static QColor closeFill(bool hovered);

    // Where a divider between card rows begins: under the row's title.
    [[nodiscard]] Q_INVOKABLE static double dividerLeadingInset(bool hasIcon) { return hasIcon ? 12 + 17 + 10 : 12; }
    [[nodiscard]] Q_INVOKABLE static double dividerTrailingInset() { return 12; }
};
