#include "settingspalette.h"

QColor SettingsPalette::resolve(Pair pair, Appearance appearance)
{
    const QRgb value = appearance == Appearance::Dark ? pair.dark : pair.light;
    return QColor(int((value >> 16) & 0xFF), int((value >> 8) & 0xFF), int(value & 0xFF));
}

void SettingsPalette::setAppearance(Appearance appearance)
{
    if (m_appearance == appearance)
        return;
    m_appearance = appearance;
    Q_EMIT appearanceChanged();
}
