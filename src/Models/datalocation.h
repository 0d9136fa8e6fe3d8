#pragma once

#include <QString>

// Where the program keeps its files: "$XDG_DATA_HOME/Tarnwick" (by default ~/.local/share/Tarnwick) for the store and
// the focus-session file, "$XDG_CONFIG_HOME/Tarnwick" for the preferences.
namespace DataLocation {

[[nodiscard]] QString dataFolder();
// The program's data folder inside another base folder than the user's data folder (tests).
[[nodiscard]] QString dataFolderIn(const QString &baseFolder);
[[nodiscard]] QString configFolder();

} // namespace DataLocation
