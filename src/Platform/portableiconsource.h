#pragma once

#include "iconsource.h"
#include "iconthemeindex.h"

#include <QProcessEnvironment>

#include <functional>

// App icons from files: a desktop entry's Icon (an absolute file, or a name looked up in the icon themes), an .app
// bundle's icon file named by CFBundleIconFile in its Info.plist (PNG or ICNS), and a bundled generic application
// icon. Images are read with QImageReader (PNG, SVG, XPM, ICNS); of a file with several images the smallest that is
// large enough is taken. Safe to use from several threads; owned by main.cpp (or a test).
class PortableIconSource : public IconSource
{
public:
    struct Options
    {
        QStringList baseFolders; // the icon base folders, most important first
        QString themeName;       // the desktop's icon theme; empty: "hicolor" only
        // Where the app with an identifier is; must be safe to call from any thread. Absent: nowhere.
        std::function<std::optional<QString>(const QString &bundleID)> locateApplication;
    };

    explicit PortableIconSource(Options options);

    [[nodiscard]] std::optional<QImage> iconForPath(const QString &path, int size) const override;
    [[nodiscard]] std::optional<QString> locationOfApplication(const QString &bundleID) const override;
    [[nodiscard]] QImage genericApplicationIcon(int size) const override;

    // The icon file of the app at `path`; nothing when it names none that exists.
    [[nodiscard]] std::optional<QString> iconFile(const QString &path, int size) const;
    // The base folders of the Icon Theme Specification for an environment: $HOME/.icons, $XDG_DATA_HOME/icons,
    // icons below each folder of $XDG_DATA_DIRS, then /usr/share/pixmaps.
    [[nodiscard]] static QStringList defaultBaseFolders(const QProcessEnvironment &env);
    // The image in `file`, scaled to fit into size x size pixels; nothing when it cannot be read.
    [[nodiscard]] static std::optional<QImage> readImage(const QString &file, int size);

private:
    Options m_options;
    IconThemeIndex m_themes;

    [[nodiscard]] std::optional<QString> desktopEntryIconFile(const QString &path, int size) const;
    [[nodiscard]] static std::optional<QString> appBundleIconFile(const QString &path);
};
