#pragma once

#include "appinfo.h"
#include "desktopentrylookup.h"

#include <QList>

// The desktop entries of the scanned apps, as the app-instance mapping needs them to tell whose a process is. Reads
// the entry files: run it off the main thread. Any thread.
namespace AppEntries {

// One entry per app that is a desktop entry with an Exec line, named as the scanner named the app.
[[nodiscard]] QList<DesktopAppEntry> read(const QList<AppInfo> &apps);

} // namespace AppEntries
