#pragma once

#include <QColor>
#include <QObject>
#include <QtQml/qqml.h>

// How the supervision panel's own pieces look in each state: the tab bar, the rows and their icon buttons, the
// badge, the empty hint, the switch and the cards' scrim. Pure functions; QML binds to them through the singleton.
class SupervisionLook : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
public:
    using QObject::QObject;

    // The tab bar: its track, each item's title and the shadow of the raised shape behind the selected one.
    [[nodiscard]] Q_INVOKABLE static QColor tabTrack();
    [[nodiscard]] Q_INVOKABLE static QColor tabTitle(bool selected);
    [[nodiscard]] Q_INVOKABLE static int tabTitleWeight(bool selected);
    [[nodiscard]] Q_INVOKABLE static double tabShadowStrength(bool selected) { return selected ? 0.08 : 0.0; }

    // A rule's or a block's row: a faint tint while the pointer is over it.
    [[nodiscard]] Q_INVOKABLE static QColor rowFill(bool hovering);
    // The row's icon buttons: grey at rest; under the pointer red when destructive, else the primary colour, on a
    // faint fill.
    [[nodiscard]] Q_INVOKABLE static QColor iconButtonGlyph(bool destructive, bool hovering);
    [[nodiscard]] Q_INVOKABLE static QColor iconButtonFill(bool hovering);

    [[nodiscard]] Q_INVOKABLE static QColor badgeText();
    [[nodiscard]] Q_INVOKABLE static QColor badgeFill();
    [[nodiscard]] Q_INVOKABLE static QColor hintOutline();
    // The slogan field's inner border.
    [[nodiscard]] Q_INVOKABLE static QColor fieldBorder();

    // The track of a row's switch, on and off.
    [[nodiscard]] Q_INVOKABLE static QColor switchTrack(bool on);

    // The black over the panel under an open card, and the fixed grey of the cards' quiet texts.
    [[nodiscard]] Q_INVOKABLE static QColor scrim();
    [[nodiscard]] Q_INVOKABLE static QColor quietGrey();
};
