#pragma once

#include "appinfo.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <QtQml/qqml.h>

// The app tile's rules: the name as styled text (escaped, with the pin glyph for pinned apps), the name it is
// announced by, when its icon lifts under the pointer, how it latches hover while pages move, and the image source of
// an app's icon. Pure functions; QML binds to them through the singleton, which only forwards.
class AppTileRules : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
public:
    using QObject::QObject;

    static constexpr double liftScaleFactor = 1.08;
    static constexpr double liftOffsetPixels = 3;
    static constexpr int pinGlyphSize = 9;
    Q_PROPERTY(double liftScale READ liftScale CONSTANT)
    Q_PROPERTY(double liftOffset READ liftOffset CONSTANT)
    [[nodiscard]] static double liftScale() { return liftScaleFactor; }
    [[nodiscard]] static double liftOffset() { return liftOffsetPixels; }

    // The shown name (alias or name) as styled text: exactly as typed, markup characters included; when pinned,
    // followed by a thin space and the pin glyph, which wraps with the text.
    [[nodiscard]] Q_INVOKABLE static QString label(const QString &shownName, bool pinned);
    // The icon group lifts under the pointer unless the app is blocked or the pages are moving.
    [[nodiscard]] Q_INVOKABLE static bool lifted(bool hovering, bool blocked, bool pageAnimating);
    // The tile's hover state after the pointer enters or leaves: unchanged while the pages move.
    [[nodiscard]] Q_INVOKABLE static bool latchedHover(bool current, bool live, bool pageAnimating);
    [[nodiscard]] Q_INVOKABLE static double iconOpacity(bool blocked) { return blocked ? 0.35 : 1.0; }

    // image://appicon/<bundle id>?path=<percent-encoded bundle path>: everything the icon cache needs to load it.
    [[nodiscard]] static QString iconSource(const AppInfo &app);
    [[nodiscard]] Q_INVOKABLE static QString iconSourceFor(const QString &bundleID, const QString &path);
    // The app such a source names (its identifier and location); nothing for a source of another form.
    [[nodiscard]] static std::optional<AppInfo> appOfIconId(const QString &id);
};
