#pragma once

#include "storecontainer.h"

#include <QString>

// What the program says when its store cannot be opened at start: one line for the terminal and the journal, and
// the text of the error window. Pure.
namespace StartupFailure {

// "tarnwick: cannot open the store <path>: <reason>"
[[nodiscard]] QString consoleLine(StoreOpenError error, const QString &path);
// The window's heading: what failed and why, in the program's language.
[[nodiscard]] QString windowMessage(StoreOpenError error);

} // namespace StartupFailure
