#pragma once

#include <QColor>
#include <QGradientStops>
#include <QLinearGradient>
#include <QObject>
#include <QPalette>
#include <QString>
#include <QtQml/qqml.h>

class Preferences;

// The program's one look: its fixed colours (the brand, danger and success colours and the greys that stand for the
// desktop's label, separator and background colours), its font family, the colour rules of the add tile and the group
// tabs, and the appearance rule. The look is always light. Every value is a constant; QML reads them through the
// singleton, one per engine, which only forwards to the static members. applyAppAppearance runs on the main thread.
class Theme : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QColor brandStart READ brandStart CONSTANT)
    Q_PROPERTY(QColor brandEnd READ brandEnd CONSTANT)
    Q_PROPERTY(QColor danger READ danger CONSTANT)
    Q_PROPERTY(QColor success READ success CONSTANT)
    Q_PROPERTY(QColor primary READ primary CONSTANT)
    Q_PROPERTY(QColor secondary READ secondary CONSTANT)
    Q_PROPERTY(QColor tertiaryLabel READ tertiaryLabel CONSTANT)
    Q_PROPERTY(QColor quaternaryLabel READ quaternaryLabel CONSTANT)
    Q_PROPERTY(QColor separator READ separator CONSTANT)
    Q_PROPERTY(QColor accent READ accent CONSTANT)
    Q_PROPERTY(QColor windowBackground READ windowBackground CONSTANT)
    Q_PROPERTY(QColor textBackground READ textBackground CONSTANT)
    Q_PROPERTY(QColor thickMaterial READ thickMaterial CONSTANT)
    Q_PROPERTY(QColor pinMark READ pinMark CONSTANT)
    Q_PROPERTY(QString fontFamily READ fontFamily CONSTANT)
public:
    using QObject::QObject;

    // The key under which the user's choice to follow the desktop's light or dark appearance is kept.
    static inline const QString appearanceFollowsSystemKey = QStringLiteral("appearanceFollowsSystem");

    [[nodiscard]] static QColor brandStart() { return QColor(91, 108, 255); }
    [[nodiscard]] static QColor brandEnd() { return QColor(122, 92, 255); }
    // Exactly two stops, brandStart then brandEnd; the gradient runs from the top-left to the bottom-right corner
    // of whatever it fills.
    [[nodiscard]] static QGradientStops brandGradientStops();
    [[nodiscard]] static QLinearGradient brandGradient();
    [[nodiscard]] static QColor danger() { return QColor(255, 59, 48); }
    [[nodiscard]] static QColor success() { return QColor(52, 199, 89); }

    // Fixed stand-ins for the colours a desktop would give.
    [[nodiscard]] static QColor primary() { return QColor::fromRgbF(0, 0, 0, 0.85f); }
    [[nodiscard]] static QColor secondary() { return QColor(146, 146, 146); }
    [[nodiscard]] static QColor tertiaryLabel() { return QColor::fromRgbF(0, 0, 0, 0.26f); }
    [[nodiscard]] static QColor quaternaryLabel() { return QColor::fromRgbF(0, 0, 0, 0.10f); }
    [[nodiscard]] static QColor separator() { return QColor::fromRgbF(0, 0, 0, 0.10f); }
    [[nodiscard]] static QColor accent() { return QColor(0, 122, 255); }
    [[nodiscard]] static QColor windowBackground() { return QColor(236, 236, 236); }
    [[nodiscard]] static QColor textBackground() { return QColor(255, 255, 255); }
    [[nodiscard]] static QColor thickMaterial() { return QColor::fromRgbF(1, 1, 1, 0.9f); }
    // The pin glyph after a pinned app's name.
    [[nodiscard]] static QColor pinMark() { return QColor(185, 185, 190); }

    // The desktop's sans; Chinese falls back to WenQuanYi Micro Hei through fontconfig.
    [[nodiscard]] static QString fontFamily() { return QStringLiteral("DejaVu Sans"); }

    // `color` with its opacity multiplied by `opacity`, as a colour "at" an opacity is drawn.
    [[nodiscard]] Q_INVOKABLE static QColor withOpacity(const QColor &color, double opacity);

    // The outline and the plus sign of the grid's tile that adds apps to a group, and the fill of a group tab.
    [[nodiscard]] Q_INVOKABLE static QColor addTileStroke(bool hovering);
    [[nodiscard]] Q_INVOKABLE static QColor addTilePlus(bool hovering);
    [[nodiscard]] Q_INVOKABLE static QColor addTileFill(bool hovering);
    [[nodiscard]] Q_INVOKABLE static QColor groupTabFill(bool selected, bool hovering);

    // The palette every window starts from: the light look.
    [[nodiscard]] static QPalette lightPalette();

    // The program always looks light: whether or not it is asked to follow the desktop, it sets the light palette and
    // the program's font on the application.
    static void applyAppAppearance(bool followsSystem);
    // The same with the stored choice.
    static void applyAppAppearance(const Preferences &preferences);
    // The stored choice: a stored Boolean as it is; nothing, or a value of another type, means true.
    [[nodiscard]] static bool followsSystemPreference(const Preferences &preferences);
};
