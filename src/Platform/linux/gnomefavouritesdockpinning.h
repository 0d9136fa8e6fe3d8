#pragma once

#include "dockpinning.h"

#include <QByteArray>
#include <QStringList>

#include <functional>

// The dock on a GNOME desktop: the shell's favourite apps, the desktop-file ids in the setting "favorite-apps" of
// "org.gnome.shell", read and written with the gsettings tool through the command runner. The shell follows the
// setting as it changes, so nothing is restarted. Other desktops have no such list here: nothing is kept there and
// adding fails. Only desktop entries can be favourites. One thread at a time (it needs no event loop); owned by
// main.cpp (or a test).
class GnomeFavouritesDockPinning : public DockPinning
{
public:
    struct CommandResult
    {
        bool finished = false; // started and ended by itself
        int exitCode = -1;
        QByteArray standardOutput;
    };
    // Runs a program with an argument list (no shell) and waits for it.
    using CommandRunner = std::function<CommandResult(const QString &program, const QStringList &arguments)>;

    // `currentDesktops`: $XDG_CURRENT_DESKTOP split at ":".
    GnomeFavouritesDockPinning(QStringList currentDesktops, CommandRunner runCommand);

    [[nodiscard]] bool isInDock(const AppInfo &app) const override;
    // Appends the app's id once; false on another desktop, for an app that is no desktop entry, when the list
    // cannot be read or when writing it fails.
    [[nodiscard]] bool addToDock(const AppInfo &app) override;

    // The list in gsettings' printed form of a string array ("['a.desktop', 'b.desktop']", "@as []"); nothing for
    // any other text.
    [[nodiscard]] static std::optional<QStringList> parseStringArray(const QByteArray &text);
    // The list in the form that gsettings set takes.
    [[nodiscard]] static QString formatStringArray(const QStringList &items);
    // The real runner: QProcess, waiting at most a few seconds.
    [[nodiscard]] static CommandResult runProcess(const QString &program, const QStringList &arguments);

private:
    bool m_hasFavourites = false;
    CommandRunner m_runCommand;

    [[nodiscard]] std::optional<QStringList> favourites() const;
    [[nodiscard]] static std::optional<QString> favouriteID(const AppInfo &app);
};
