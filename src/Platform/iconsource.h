#pragma once

#include <QImage>
#include <QString>

#include <optional>

// Where app icons come from: the icon of the app at a location, where the app with an identifier is, and the
// generic application icon. Implementations only read files and keep no state that a call changes, so they are
// safe to call from several threads at once; owned by main.cpp (or a test) and outliving every user.
class IconSource
{
public:
    virtual ~IconSource() = default;

    // The icon of the app at `path` (a desktop entry or an .app bundle), fitted into size x size pixels; nothing
    // when it names no icon that can be read.
    [[nodiscard]] virtual std::optional<QImage> iconForPath(const QString &path, int size) const = 0;
    // The location of the app with that identifier; nothing when no app answers to it.
    [[nodiscard]] virtual std::optional<QString> locationOfApplication(const QString &bundleID) const = 0;
    // The generic application icon, size x size pixels.
    [[nodiscard]] virtual QImage genericApplicationIcon(int size) const = 0;
};
