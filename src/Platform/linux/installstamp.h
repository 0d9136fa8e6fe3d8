#pragma once

#include <QString>

// A text that names one installed copy of the program, so that something shown once per installation is shown
// again after a reinstall but not after a restart. Any thread; pure reads of the file system.
namespace InstallStamp {

// "<major>:<minor>:<inode>|<seconds>" of the file at path: the device and inode say which file it is, the birth
// time (whole seconds since 1970) tells a new file that reuses a freed inode number. Where the file system keeps
// no birth time, the change time stands in: it changes when the file is replaced, and a chmod only counts as a
// new copy. Empty when the file cannot be examined. Symbolic links are followed.
[[nodiscard]] QString ofFile(const QString &path);

// The stamp of the running program's own executable (/proc/self/exe, which names the running file even after it
// was replaced on disk).
[[nodiscard]] QString ofRunningProgram();

} // namespace InstallStamp
