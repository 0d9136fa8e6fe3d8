#include "supervisionlook.h"

#include "theme.h"

#include <QFont>

namespace {

QColor faded(QColor color, double alpha)
{
    color.setAlphaF(float(color.alphaF() * alpha));
    return color;
}

} // namespace

QColor SupervisionLook::tabTrack()
{
    return faded(Theme::primary(), 0.06);
}

QColor SupervisionLook::tabTitle(bool selected)
{
    return selected ? Theme::primary() : quietGrey();
}

int SupervisionLook::tabTitleWeight(bool selected)
{
    return selected ? QFont::Medium : QFont::Normal;
}

QColor SupervisionLook::rowFill(bool hovering)
{
    return faded(Theme::primary(), hovering ? 0.03 : 0.0);
}

QColor SupervisionLook::iconButtonGlyph(bool destructive, bool hovering)
{
    if (!hovering)
        return quietGrey();
    return destructive ? Theme::danger() : Theme::primary();
}

QColor SupervisionLook::iconButtonFill(bool hovering)
{
    return faded(Theme::primary(), hovering ? 0.08 : 0.0);
}

QColor SupervisionLook::badgeText()
{
    return Theme::accent();
}

QColor SupervisionLook::badgeFill()
{
    return faded(Theme::accent(), 0.12);
}

QColor SupervisionLook::hintOutline()
{
    return faded(Theme::primary(), 0.15);
}

QColor SupervisionLook::fieldBorder()
{
    return faded(Theme::primary(), 0.10);
}

QColor SupervisionLook::switchTrack(bool on)
{
    return on ? Theme::accent() : QColor(0, 0, 0, 28);
}

QColor SupervisionLook::scrim()
{
    return QColor::fromRgbF(0, 0, 0, 0.25f);
}

QColor SupervisionLook::quietGrey()
{
    return QColor(146, 146, 146);
}
