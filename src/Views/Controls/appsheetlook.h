#pragma once

#include <QColor>
#include <QObject>
#include <QtQml/qqml.h>

// The look the sheets that edit apps share (adding apps to a group, the single-app pick sheet, renaming an app) and
// the rows of the app lists in them and in the multi-picker: the title block, the rounded fields, the prominent
// button and the row fills. Pure functions and constants; QML binds to them through the singleton.
class AppSheetLook : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(double titleFontSize READ titleFontSize CONSTANT)
    Q_PROPERTY(double subtitleFontSize READ subtitleFontSize CONSTANT)
    Q_PROPERTY(double headerSpacing READ headerSpacing CONSTANT)
    Q_PROPERTY(double headerTopPadding READ headerTopPadding CONSTANT)
    Q_PROPERTY(double headerBottomPadding READ headerBottomPadding CONSTANT)
    Q_PROPERTY(double contentPadding READ contentPadding CONSTANT)
    Q_PROPERTY(double fieldHeight READ fieldHeight CONSTANT)
    Q_PROPERTY(double fieldRadius READ fieldRadius CONSTANT)
    Q_PROPERTY(QColor fieldFill READ fieldFill CONSTANT)
    Q_PROPERTY(int fieldBorderAnimationMilliseconds READ fieldBorderAnimationMilliseconds CONSTANT)
    Q_PROPERTY(double buttonHeight READ buttonHeight CONSTANT)
    Q_PROPERTY(double buttonFontSize READ buttonFontSize CONSTANT)
    Q_PROPERTY(double listCardRadius READ listCardRadius CONSTANT)
    Q_PROPERTY(QColor listCardBorder READ listCardBorder CONSTANT)
    Q_PROPERTY(QColor multiPickerSearchFill READ multiPickerSearchFill CONSTANT)
    Q_PROPERTY(QColor memberBadgeFill READ memberBadgeFill CONSTANT)
public:
    using QObject::QObject;

    // The title block: a bold title over a secondary subtitle.
    [[nodiscard]] static double titleFontSize() { return 17; }
    [[nodiscard]] static double subtitleFontSize() { return 12; }
    [[nodiscard]] static double headerSpacing() { return 4; }
    [[nodiscard]] static double headerTopPadding() { return 24; }
    [[nodiscard]] static double headerBottomPadding() { return 18; }
    // Left and right of the body and the footer.
    [[nodiscard]] static double contentPadding() { return 28; }

    // The rounded field (text entry or search row).
    [[nodiscard]] static double fieldHeight() { return 34; }
    [[nodiscard]] static double fieldRadius() { return 9; }
    [[nodiscard]] static QColor fieldFill();
    // The 1-pixel inner border: the accent colour while the field has the focus, else the separator colour.
    [[nodiscard]] Q_INVOKABLE static QColor fieldBorder(bool focused);
    [[nodiscard]] static int fieldBorderAnimationMilliseconds() { return 150; }

    // The sheet's default action.
    [[nodiscard]] static double buttonHeight() { return 40; }
    [[nodiscard]] static double buttonFontSize() { return 14; }
    [[nodiscard]] Q_INVOKABLE static QColor prominentFill(bool pressed);

    // The card that holds an app list.
    [[nodiscard]] static double listCardRadius() { return 10; }
    [[nodiscard]] static QColor listCardBorder();
    [[nodiscard]] static QColor multiPickerSearchFill();
    [[nodiscard]] static QColor memberBadgeFill();

    // Row fills. Multi-picker: only checked rows are filled; no hover look.
    [[nodiscard]] Q_INVOKABLE static QColor multiPickerRowFill(bool checked);
    // Pick sheet: the selected row, else the row under the pointer.
    [[nodiscard]] Q_INVOKABLE static QColor pickRowFill(bool selected, bool hovering);
    // Add sheet: a checked row, else a hovered row that is not a member yet.
    [[nodiscard]] Q_INVOKABLE static QColor addRowFill(bool checked, bool hovering, bool member);
    [[nodiscard]] Q_INVOKABLE static double addRowOpacity(bool member) { return member ? 0.55 : 1.0; }
};
