#pragma once

#include <QColor>
#include <QObject>
#include <QtQml/qqml.h>

// The background, card and button colours of sheets, each a light and a dark value picked by the appearance in force.
// The program is always light, so the singleton QML reads starts light and nothing here changes it; the pair and
// the rule stay so that the dark values are there when a dark look comes. Main thread.
class SettingsPalette : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QColor background READ background NOTIFY appearanceChanged)
    Q_PROPERTY(QColor surface READ surface NOTIFY appearanceChanged)
    Q_PROPERTY(QColor button READ button NOTIFY appearanceChanged)
public:
    enum class Appearance { Light, Dark, Unknown };

    struct Pair
    {
        QRgb light;
        QRgb dark;
    };
    static constexpr Pair backgroundPair{0xF2F2F4, 0x25262A};
    static constexpr Pair surfacePair{0xFFFFFF, 0x303136};
    static constexpr Pair buttonPair{0xF1F2F4, 0x3B3C42};

    using QObject::QObject;

    // The dark value only for the dark appearance; light and unknown appearances get the light value.
    [[nodiscard]] static QColor resolve(Pair pair, Appearance appearance);

    [[nodiscard]] Appearance appearance() const { return m_appearance; }
    void setAppearance(Appearance appearance);

    [[nodiscard]] QColor background() const { return resolve(backgroundPair, m_appearance); }
    [[nodiscard]] QColor surface() const { return resolve(surfacePair, m_appearance); }
    [[nodiscard]] QColor button() const { return resolve(buttonPair, m_appearance); }

Q_SIGNALS:
    void appearanceChanged();

private:
    Appearance m_appearance = Appearance::Light;
};
