#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class X11Display;

// The name of the icon theme the desktop uses, gathered the way Qt's own platform themes gather it: KDE's
// kdeglobals ([Icons] Theme), the XSETTINGS value Net/IconThemeName that the settings daemons of Xfce, MATE,
// Cinnamon and GNOME on X11 publish, GNOME's setting org.gnome.desktop.interface icon-theme, and last what Qt's
// platform theme answers (QIcon::themeName()). Qt's GNOME theme answers a fixed "Adwaita" when its GTK plug-in is
// missing, which is why the desktop's own settings come first. Read once at start. Functions without state.
namespace DesktopIconTheme {

struct Answers
{
    QStringList desktops;                 // $XDG_CURRENT_DESKTOP split at ":"
    std::optional<QString> kdeGlobals;    // [Icons] Theme of the first kdeglobals that has it
    std::optional<QString> xsettings;     // Net/IconThemeName
    std::optional<QString> gnomeSettings; // org.gnome.desktop.interface icon-theme
    QString platformTheme;                // QIcon::themeName()
};

// The theme to search before "hicolor"; empty when no source names one other than "hicolor".
[[nodiscard]] QString choose(const Answers &answers);

// Whether GNOME's settings are the desktop's own (GNOME and the desktops built on its shell or settings).
[[nodiscard]] bool usesGnomeSettings(const QStringList &desktops);

// [Icons] Theme from the text of a kdeglobals file.
[[nodiscard]] std::optional<QString> kdeGlobalsTheme(const QByteArray &kdeglobals);
// The same from the files: $XDG_CONFIG_HOME/kdeglobals, then each folder of $XDG_CONFIG_DIRS.
[[nodiscard]] std::optional<QString> kdeGlobalsTheme(const QProcessEnvironment &env);

// Net/IconThemeName from the contents of an _XSETTINGS_SETTINGS property; nothing when it is missing, not a
// string, or the data is cut short.
[[nodiscard]] std::optional<QString> xsettingsIconTheme(const QByteArray &settings);
// The same from the XSETTINGS manager of the display's first screen; nothing when none runs.
[[nodiscard]] std::optional<QString> xsettingsIconTheme(X11Display &display);

// The value that `gsettings get` printed for a string key ("'Papirus-Dark'\n").
[[nodiscard]] std::optional<QString> gsettingsString(const QByteArray &printed);

// Asks every source that applies to the desktop. `runCommand` runs a program and returns what it printed, or
// nothing when it failed; `display` may be null (no X server).
using CommandOutput = std::function<std::optional<QByteArray>(const QString &program, const QStringList &arguments)>;
// The real runner: gsettings through QProcess, waiting at most a few seconds.
[[nodiscard]] std::optional<QByteArray> runProcess(const QString &program, const QStringList &arguments);
[[nodiscard]] Answers gather(const QProcessEnvironment &env, const QStringList &desktops, X11Display *display,
                             const CommandOutput &runCommand, const QString &platformTheme);

} // namespace DesktopIconTheme
