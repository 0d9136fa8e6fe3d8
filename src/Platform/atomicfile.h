#pragma once

#include <QByteArray>
#include <QString>

// Whole-file writes that either replace the file completely or leave it as it was: the bytes go to a temporary file
// beside it, which is flushed and then renamed over the old one. Creates the folder (with its parents) when missing.
namespace AtomicFile {

[[nodiscard]] bool write(const QString &path, const QByteArray &bytes);

} // namespace AtomicFile
