#pragma once

#include <QProcessEnvironment>
#include <QStringList>

// Where this desktop keeps its applications and who it is, read from the environment the program was started in.
// Pure functions of the environment given; main.cpp passes the process's own.
namespace XdgEnvironment {

// The application folders, the one that wins first: $XDG_DATA_HOME/applications (default ~/.local/share), then
// applications below each folder of $XDG_DATA_DIRS (default /usr/local/share:/usr/share). TARNWICK_APP_DIRS, a
// colon-separated list, replaces them all when it names any folder. Relative paths are ignored, as the base
// directory rules say, and a folder named twice counts once, at its first place.
[[nodiscard]] QStringList applicationRoots(const QProcessEnvironment &env);
// $XDG_CURRENT_DESKTOP split at ":", empty parts dropped.
[[nodiscard]] QStringList currentDesktops(const QProcessEnvironment &env);
// Whether a TryExec program is there: an absolute path that is an executable file, or a name found executable in
// one of the folders of $PATH.
[[nodiscard]] bool programExists(const QString &program, const QProcessEnvironment &env);
// Whether the session is a Wayland one ($XDG_SESSION_TYPE "wayland", or a $WAYLAND_DISPLAY): its X server, if any,
// sees only the programs that run on it.
[[nodiscard]] bool isWaylandSession(const QProcessEnvironment &env);

} // namespace XdgEnvironment
