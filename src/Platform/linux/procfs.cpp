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

// The pid of an all-digit entry name, 0 for any other name (and for "0").
qint64 pidOfName(const char *name)
{
    if (!*name)
        return 0;
    qint64 pid = 0;
    for (const char *c = name; *c; ++c) {
        if (*c < '0' || *c > '9' || pid > (qint64(1) << 40))
            return 0;
        pid = pid * 10 + (*c - '0');
    }
    return pid;
}

} // namespace

namespace ProcFs {

QList<PidEntry> listPids(const QString &root)
{
    QList<PidEntry> out;
    DIR *dir = ::opendir(QFile::encodeName(root).constData());
    if (!dir)
        return out;
    out.reserve(512);
    while (const dirent *entry = ::readdir(dir)) {
        if (const qint64 pid = pidOfName(entry->d_name); pid > 0)
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

std::optional<TableMarks> parseLoadavg(const QByteArray &loadavg)
{
    const QList<QByteArray> fields = loadavg.simplified().split(' ');
    if (fields.size() < 5)
        return std::nullopt;
    const auto slash = fields.at(3).indexOf('/');
    if (slash < 0)
        return std::nullopt;
    bool threadsOk = false, pidOk = false;
    TableMarks out;
    out.threads = fields.at(3).mid(slash + 1).toLongLong(&threadsOk);
    out.lastPid = fields.at(4).toLongLong(&pidOk);
    if (!threadsOk || !pidOk)
        return std::nullopt;
    return out;
}

TableMarksReader::TableMarksReader(const QString &root)
    : m_path(QFile::encodeName(root) + "/loadavg")
{
}

TableMarksReader::~TableMarksReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::optional<TableMarks> TableMarksReader::read()
{
    if (m_fd < 0)
        m_fd = ::open(m_path.constData(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return std::nullopt;
    char buffer[256];
    ssize_t n = -1;
    do
        n = ::pread(m_fd, buffer, sizeof buffer, 0);
    while (n < 0 && errno == EINTR);
    if (n <= 0) {
        ::close(m_fd);
        m_fd = -1;
        return std::nullopt;
    }
    return parseLoadavg(QByteArray(buffer, n));
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

void readLaunchEnvironment(const QString &root, ProcessFacts &out)
{
    const auto environ = readSmallFile(pidPath(root, out.pid, "environ"));
    if (!environ)
        return;
    if (const auto file = environmentValue(*environ, "GIO_LAUNCHED_DESKTOP_FILE"))
        out.launchedDesktopFile = QFile::decodeName(*file);
    if (const auto launched = environmentValue(*environ, "GIO_LAUNCHED_DESKTOP_FILE_PID")) {
        bool ok = false;
        const qint64 value = launched->toLongLong(&ok);
        out.launchedPid = ok && value > 0 ? value : 0;
    }
}

std::optional<ProcessFacts> facts(const QString &root, qint64 pid, bool withEnvironment)
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
    if (withEnvironment)
        readLaunchEnvironment(root, out);
    return out;
}

} // namespace ProcFs
