#pragma once

#include "appopener.h"
#include "linux/detachedprocess.h"

#include <QList>

#include <functional>

// Opens apps on a Linux desktop by their desktop entries, as the Desktop Entry Specification says: the Exec value
// with its field codes expanded (a URL goes in as %u or %U; an entry that takes no URL is opened without it), in
// the folder its Path names, started detached with GIO_LAUNCHED_DESKTOP_FILE and GIO_LAUNCHED_DESKTOP_FILE_PID in
// its environment as desktop launchers set them. When Terminal is true it runs in the first terminal found on PATH
// of "x-terminal-emulator -e", "gnome-terminal --", "konsole -e", "xfce4-terminal -x", "mate-terminal -x",
// "kgx --", "tilix -e" and "xterm -e".
// Refused: an .app bundle (it cannot run here), an entry that cannot be read, an Exec that is missing or malformed,
// a program (or terminal) that is not installed, a Path that is no folder. Bringing a started app to the front is
// left to the desktop, which focuses newly started apps. An app that already runs with a window on the current
// desktop is not started again: as the desktop's own launchers do, its topmost window is brought forward instead
// (what `activateRunning` does; a URL is always handed to a new start). Main thread; owned by main.cpp (or a test).
class LinuxAppOpener : public AppOpener
{
public:
    using Start = std::function<std::optional<qint64>(const DetachedProcess &)>;
    // Brings forward a running instance of the app at this entry; false when none runs with a window on screen.
    using ActivateRunning = std::function<bool(const QString &appPath)>;
    struct Options
    {
        QProcessEnvironment environment; // what started apps inherit, its PATH finding their programs; empty: ours
        QStringList locales;             // for the name that %c gives, most preferred first (POSIX form)
        Start start;                     // absent: DetachedProcess::start
        ActivateRunning activateRunning{}; // absent: every open starts the app
    };

    explicit LinuxAppOpener(Options options);

    OpenResult openApplication(const QString &appPath) override;
    OpenResult openURL(const QUrl &url, const QString &appPath) override;

    // What would be started for the app with these URLs; nothing when it is refused.
    [[nodiscard]] std::optional<DetachedProcess> command(const QString &appPath, const QList<QUrl> &urls) const;
    // The executable file of a program named in an Exec value: a path as it is (a relative one from
    // `workingDirectory`), a bare name searched in PATH.
    [[nodiscard]] std::optional<QString> findProgram(const QString &program, const QString &workingDirectory) const;

private:
    Options m_options;

    OpenResult open(const QString &appPath, const QList<QUrl> &urls);
};
