#include "appsheetlook.h"

#include "theme.h"

QColor AppSheetLook::fieldFill()
{
    return Theme::withOpacity(Theme::quaternaryLabel(), 0.35);
}

QColor AppSheetLook::fieldBorder(bool focused)
{
    return focused ? Theme::withOpacity(Theme::accent(), 0.55) : Theme::withOpacity(Theme::separator(), 0.5);
}

QColor AppSheetLook::prominentFill(bool pressed)
{
    return pressed ? Theme::accent().darker(115) : Theme::accent();
}

QColor AppSheetLook::listCardBorder()
{
    return Theme::withOpacity(Theme::separator(), 0.5);
}

QColor AppSheetLook::multiPickerSearchFill()
{
    return Theme::withOpacity(Theme::quaternaryLabel(), 0.3);
}

QColor AppSheetLook::memberBadgeFill()
{
    return Theme::withOpacity(Theme::quaternaryLabel(), 0.45);
}

QColor AppSheetLook::multiPickerRowFill(bool checked)
{
    return checked ? Theme::withOpacity(Theme::accent(), 0.06) : QColor(Qt::transparent);
}

QColor AppSheetLook::pickRowFill(bool selected, bool hovering)
{
    if (selected)
        return Theme::withOpacity(Theme::accent(), 0.1);
    if (hovering)
        return QColor::fromRgbF(0, 0, 0, 0.05f);
    return QColor(Qt::transparent);
}

QColor AppSheetLook::addRowFill(bool checked, bool hovering, bool member)
{
    if (checked)
        return Theme::withOpacity(Theme::accent(), 0.09);
    if (hovering && !member)
        return QColor::fromRgbF(0, 0, 0, 0.045f);
    return QColor(Qt::transparent);
}
