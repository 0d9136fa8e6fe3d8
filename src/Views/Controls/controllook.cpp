#include "controllook.h"

#include "theme.h"

int ControlLook::actionFontWeight(bool iconOnly)
{
    return iconOnly ? QFont::Medium : QFont::Normal;
}

QSizeF ControlLook::actionMinimumSize(bool iconOnly)
{
    return iconOnly ? QSizeF(26, 26) : QSizeF(44, 24);
}

QColor ControlLook::actionOverlay(bool pressed, bool hovered, bool enabled)
{
    if (enabled && pressed)
        return Theme::withOpacity(Theme::primary(), 0.12);
    if (enabled && hovered)
        return Theme::withOpacity(Theme::primary(), 0.06);
    return QColor(Qt::transparent);
}

QColor ControlLook::actionBorder(bool iconOnly, bool hovered, bool enabled)
{
    if (iconOnly)
        return QColor(Qt::transparent);
    return Theme::withOpacity(Theme::primary(), hovered && enabled ? 0.2 : 0.1);
}

QColor ControlLook::chipFill(bool selected)
{
    return selected ? Theme::withOpacity(Theme::accent(), 0.18) : Theme::withOpacity(Theme::quaternaryLabel(), 0.5);
}

int ControlLook::chipFontWeight(bool selected)
{
    return selected ? QFont::DemiBold : QFont::Normal;
}

QColor ControlLook::primaryButtonFill(bool pressed)
{
    return pressed ? Theme::accent().darker(115) : Theme::accent();
}

QColor ControlLook::stepArrowGlyph(bool hovered)
{
    return hovered ? Theme::accent() : Theme::secondary();
}

QColor ControlLook::stepArrowBackground(bool hovered)
{
    return hovered ? QColor::fromRgbF(0.95f, 0.95f, 0.95f) : QColor(Qt::transparent);
}

QColor ControlLook::numberFieldBorder(bool highlighted)
{
    return highlighted ? Theme::accent() : QColor::fromRgbF(0.85f, 0.85f, 0.85f);
}

QColor ControlLook::weekdayChipFill(bool selected, bool hovered)
{
    if (selected)
        return Theme::withOpacity(Theme::accent(), 0.14);
    return Theme::withOpacity(Theme::primary(), hovered ? 0.09 : 0.05);
}

QColor ControlLook::weekdayChipLabel(bool selected)
{
    return selected ? Theme::accent() : Theme::secondary();
}

int ControlLook::weekdayChipFontWeight(bool selected)
{
    return selected ? QFont::DemiBold : QFont::Normal;
}

QColor ControlLook::closeGlyph(bool hovered)
{
    return hovered ? Theme::primary() : QColor(146, 146, 146);
}

QColor ControlLook::closeFill(bool hovered)
{
    return hovered ? Theme::withOpacity(Theme::primary(), 0.08) : QColor(Qt::transparent);
}
