#include "atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <tuple>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFile {

namespace {

// How many copies keepAside() keeps.
constexpr int asideCopies = 5;

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

// A folder's entry for a renamed file reaches the disk only when the folder itself is flushed. Some file systems
// cannot flush a folder at all (EINVAL); there is nothing more to do then.
bool syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return ok;
}

QString asideName(const QString &file, int number)
{
    return number == 1 ? file + u".corrupt"_qs : file + u".corrupt-"_qs + QString::number(number);
}

bool exists(const QString &path)
{
    struct stat info{};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

bool removeEntry(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        return QDir(path).removeRecursively();
    return QFile::remove(path);
}

bool moveEntry(const QString &from, const QString &to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// ".<name>." and six letters or digits: what mkostemp makes of the template in write().
bool isTemporaryOf(const QString &entry, const QString &name)
{
    const QString prefix = u'.' + name + u'.';
    if (entry.size() != prefix.size() + 6 || !entry.startsWith(prefix))
        return false;
    for (qsizetype i = prefix.size(); i < entry.size(); ++i) {
        const QChar c = entry[i];
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    }
    return true;
}

} // namespace

QString resolvedPath(const QString &path)
{
    QString current = QFileInfo(path).absoluteFilePath();
    // The kernel gives up after 40 links in a row; so does this.
    for (int hops = 0; hops < 40; ++hops) {
        std::array<char, PATH_MAX> target{};
        const auto n = ::readlink(QFile::encodeName(current).constData(), target.data(), target.size());
        if (n < 0 || size_t(n) >= target.size())
            return current;
        const QString next = QFile::decodeName(QByteArray(target.data(), n));
        current = QDir::cleanPath(QDir::isAbsolutePath(next) ? next : QFileInfo(current).path() + u'/' + next);
    }
    return QFileInfo(path).absoluteFilePath();
}

// QSaveFile is not used here: it reports success for a write that the kernel cut short (a full disk, a file-size
// limit) and then renames the truncated file over the good one; and it replaces a link by a plain file.
bool write(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(resolvedPath(path));
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    QByteArray tmpl = QFile::encodeName(info.absolutePath() + u"/."_qs + info.fileName() + u".XXXXXX"_qs);
    const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, bytes.constData(), bytes.size()) && ::fsync(fd) == 0;
    // Keep the old file's permissions; a new file gets the usual 0644 less the umask (mkostemp makes 0600).
    struct stat old{};
    if (ok && ::stat(target.constData(), &old) == 0)
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    else if (ok) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ok = ::fchmod(fd, 0666 & ~mask) == 0;
    }
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(tmpl.constData(), target.constData()) == 0;
    if (!ok) {
        ::unlink(tmpl.constData());
        return false;
    }
    return syncFolder(info.absolutePath());
}

bool keepAside(const QString &path)
{
    const QString file = resolvedPath(path);
    if (!exists(file))
        return true;
    int highest = 0;
    for (int n = 1; n <= asideCopies; ++n) {
        if (exists(asideName(file, n)))
            highest = n;
    }
    if (highest == asideCopies) {
        int kept = 0;
        for (int n = 1; n <= asideCopies; ++n)
            kept += exists(asideName(file, n)) ? 1 : 0;
        if (kept == asideCopies && !removeEntry(asideName(file, 1)))
            return false;
        // Close up the gaps, keeping the order.
        int next = 1;
        for (int n = 2; n <= asideCopies; ++n) {
            if (!exists(asideName(file, n)))
                continue;
            if (n != next && !moveEntry(asideName(file, n), asideName(file, next)))
                return false;
            ++next;
        }
        highest = next - 1;
    }
    if (!moveEntry(file, asideName(file, highest + 1)))
        return false;
    std::ignore = syncFolder(QFileInfo(file).absolutePath()); // the copy is there; flushing it is a bonus
    return true;
}

QByteArray validUtf8(const QByteArray &bytes)
{
    if (QByteArrayView(bytes).isValidUtf8())
        return bytes;
    return QString::fromUtf8(bytes).toUtf8();
}

void removeStaleTemporaries(const QString &path)
{
    const QFileInfo link(QFileInfo(path).absoluteFilePath());
    const QFileInfo target(resolvedPath(path));
    for (const QFileInfo &file : {link, target}) {
        const QDir folder = file.absoluteDir();
        const QStringList entries = folder.entryList({u'.' + file.fileName() + u".*"_qs},
                                                     QDir::Files | QDir::Hidden | QDir::System);
        for (const QString &entry : entries) {
            if (isTemporaryOf(entry, file.fileName()))
                QFile::remove(folder.filePath(entry));
        }
        if (link.absoluteFilePath() == target.absoluteFilePath())
            break;
    }
}

} // namespace AtomicFile
