#include "atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFile {

namespace {

bool writeAll(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        const auto n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

} // namespace

// QSaveFile is not used here: it reports success for a write that the kernel cut short (a full disk, a file-size
// limit) and then renames the truncated file over the good one.
bool write(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    QByteArray tmpl = QFile::encodeName(info.absolutePath() + u"/."_qs + info.fileName() + u".XXXXXX"_qs);
    const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, bytes.constData(), bytes.size()) && ::fsync(fd) == 0;
    // Keep the old file's permissions; a new file gets the usual 0644 less the umask (mkostemp makes 0600).
    struct stat old{};
    if (ok && ::stat(QFile::encodeName(path).constData(), &old) == 0)
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    else if (ok) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ok = ::fchmod(fd, 0666 & ~mask) == 0;
    }
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(tmpl.constData(), QFile::encodeName(path).constData()) == 0;
    if (!ok)
        ::unlink(tmpl.constData());
    return ok;
}

} // namespace AtomicFile
