#include "linux/procfs.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray pidPath(const QString &root, qint64 pid, const char *leaf)
{
    return QFile::encodeName(root) + '/' + QByteArray::number(pid) + '/' + leaf;
}

// The whole of a small /proc file; those report size 0, so read until the end.
std::optional<QByteArray> readSmallFile(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    QByteArray out;
    char buffer[4096];
    for (;;) {
        const auto n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        out.append(buffer, n);
        if (out.size() > 1 << 20) // an environment larger than this is not one we need to read whole
            break;
    }
    ::close(fd);
    return out;
}

std::optional<QByteArray> readLink(const QByteArray &path)
{
    QByteArray buffer(256, Qt::Uninitialized);
    for (;;) {
        const auto n = ::readlink(path.constData(), buffer.data(), size_t(buffer.size()));
        if (n < 0)
            return std::nullopt;
        if (n < buffer.size()) {
            buffer.truncate(n);
            return buffer;
        }
        if (buffer.size() >= 1 << 16)
            return std::nullopt;
        buffer.resize(buffer.size() * 2);
    }
}

bool isAllDigits(const char *name)
{
    if (!*name)
        return false;
    for (const char *c = name; *c; ++c) {
        if (*c < '0' || *c > '9')
            return false;
    }
    return true;
}

} // namespace

namespace ProcFs {

QList<PidEntry> listPids(const QString &root)
{
    QList<PidEntry> out;
    DIR *dir = ::opendir(QFile::encodeName(root).constData());
    if (!dir)
        return out;
    while (const dirent *entry = ::readdir(dir)) {
        if (!isAllDigits(entry->d_name))
            continue;
        bool ok = false;
        const qint64 pid = QByteArray(entry->d_name).toLongLong(&ok);
        if (ok && pid > 0)
            out.append({pid, quint64(entry->d_ino)});
    }
    ::closedir(dir);
    return out;
}

std::optional<QString> executable(const QString &root, qint64 pid)
{
    const QByteArray link = pidPath(root, pid, "exe");
    auto target = readLink(link);
    if (!target || target->isEmpty())
        return std::nullopt;
    static constexpr QByteArrayView deletedSuffix = " (deleted)";
    if (target->endsWith(deletedSuffix)) {
        // Keep the suffix only when a file of that very name is the running executable.
        struct stat running{}, named{};
        const bool sameFile = ::stat(link.constData(), &running) == 0 && ::stat(target->constData(), &named) == 0
                              && running.st_dev == named.st_dev && running.st_ino == named.st_ino;
        if (!sameFile)
            target->chop(deletedSuffix.size());
    }
    return QFile::decodeName(*target);
}

std::optional<StatFields> parseStat(const QByteArray &stat)
{
    const auto close = stat.lastIndexOf(')');
    if (close < 0)
        return std::nullopt;
    const QList<QByteArray> fields = stat.mid(close + 1).simplified().split(' ');
    // After the command come state (field 3), ppid (4), ... starttime (22).
    constexpr int first = 3;
    if (fields.size() < 22 - first + 1)
        return std::nullopt;
    bool ppidOk = false, startOk = false;
    StatFields out;
    out.parentPid = fields.at(4 - first).toLongLong(&ppidOk);
    out.startTime = fields.at(22 - first).toULongLong(&startOk);
    if (!ppidOk || !startOk)
        return std::nullopt;
    return out;
}

QString parseCgroupPath(const QByteArray &cgroup)
{
    QString systemd;
    for (const QByteArray &line : cgroup.split('\n')) {
        const auto firstColon = line.indexOf(':');
        const auto secondColon = firstColon < 0 ? -1 : line.indexOf(':', firstColon + 1);
        if (secondColon < 0)
            continue;
        const QByteArray controllers = line.mid(firstColon + 1, secondColon - firstColon - 1);
        const QString path = QString::fromUtf8(line.mid(secondColon + 1));
        if (line.startsWith("0:") && controllers.isEmpty())
            return path;
        if (controllers == "name=systemd")
            systemd = path;
    }
    return systemd;
}

std::optional<QByteArray> environmentValue(const QByteArray &environ, QByteArrayView name)
{
    qsizetype start = 0;
    while (start < environ.size()) {
        auto end = environ.indexOf('\0', start);
        if (end < 0)
            end = environ.size();
        const QByteArrayView entry(environ.constData() + start, end - start);
        if (entry.size() > name.size() && entry.startsWith(name) && entry.at(name.size()) == '=')
            return entry.sliced(name.size() + 1).toByteArray();
        start = end + 1;
    }
    return std::nullopt;
}

std::optional<ProcessFacts> facts(const QString &root, qint64 pid)
{
    const auto statFile = readSmallFile(pidPath(root, pid, "stat"));
    if (!statFile)
        return std::nullopt;
    const auto stat = parseStat(*statFile);
    if (!stat)
        return std::nullopt;
    ProcessFacts out;
    out.pid = pid;
    out.parentPid = stat->parentPid;
    out.startTime = stat->startTime;
    out.executable = executable(root, pid).value_or(QString());
    if (const auto cgroup = readSmallFile(pidPath(root, pid, "cgroup")))
        out.cgroupPath = parseCgroupPath(*cgroup);
    if (const auto environ = readSmallFile(pidPath(root, pid, "environ"))) {
        if (const auto file = environmentValue(*environ, "GIO_LAUNCHED_DESKTOP_FILE"))
            out.launchedDesktopFile = QFile::decodeName(*file);
        if (const auto launched = environmentValue(*environ, "GIO_LAUNCHED_DESKTOP_FILE_PID")) {
            bool ok = false;
            const qint64 value = launched->toLongLong(&ok);
            out.launchedPid = ok && value > 0 ? value : 0;
        }
    }
    return out;
}

} // namespace ProcFs
