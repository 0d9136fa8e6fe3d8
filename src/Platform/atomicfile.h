#pragma once

#include <QByteArray>
#include <QString>

// Whole-file writes that either replace the file completely or leave it as it was: the bytes go to a temporary file
// ".<name>.XXXXXX" beside it, which is flushed and then renamed over the old one, and the folder is flushed after
// the rename so that the new name survives a power loss. A path that is a symbolic link is written through: the
// file it points to is replaced, in its own folder, and the link stays. Creates the folder (with its parents) when
// missing.
namespace AtomicFile {

[[nodiscard]] bool write(const QString &path, const QByteArray &bytes);

// The file a path finally names: symbolic links followed, also to a target that does not exist yet. The path
// itself when it is no link (or the links go round in a circle).
[[nodiscard]] QString resolvedPath(const QString &path);

// Moves a file that could not be read out of the way before it is written over: to "<file>.corrupt", or, when
// earlier copies are there, to the next of "<file>.corrupt-2" to "<file>.corrupt-5". With five copies kept the
// oldest is removed and the others move down one number, so the numbers always go from oldest to newest. Through a
// link the file it points to is moved. True when nothing is left at the path's file.
[[nodiscard]] bool keepAside(const QString &path);

// The bytes as they are when they are UTF-8; else decoded with every invalid sequence as U+FFFD and encoded again,
// so that a JSON reader takes them and one bad byte costs only the text it is in.
[[nodiscard]] QByteArray validUtf8(const QByteArray &bytes);

// Removes the temporary files of write() that a process killed while writing left beside the file (and beside the
// file a link points to). Call it once at start, before anything writes the file.
void removeStaleTemporaries(const QString &path);

} // namespace AtomicFile
