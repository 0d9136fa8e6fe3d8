#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// What /proc tells about one process, as far as the mapping of processes to app instances needs it.
struct ProcessFacts
{
    qint64 pid = 0;
    qint64 parentPid = 0;
    quint64 startTime = 0;      // clock ticks after boot; tells a reused pid from the process it replaced
    QString executable;         // empty when unreadable
    QString cgroupPath;         // the unified (or systemd) hierarchy's path, empty when unknown
    QString launchedDesktopFile; // GIO_LAUNCHED_DESKTOP_FILE of its environment
    qint64 launchedPid = 0;      // GIO_LAUNCHED_DESKTOP_FILE_PID of its environment, 0 when absent

    friend bool operator==(const ProcessFacts &, const ProcessFacts &) = default;
};

// Readers of a /proc tree: the real one, or a fixture tree of the same shape in tests. Every reader answers for one
// process only; an unreadable file (the process ended, or belongs to someone else) is that process's answer.
// Stateless; any thread.
namespace ProcFs {

struct PidEntry
{
    qint64 pid = 0;
    quint64 inode = 0; // changes when the pid is taken by a new process
};

// The numeric entries of the root, in the order the kernel lists them; empty when the root cannot be read.
[[nodiscard]] QList<PidEntry> listPids(const QString &root);
// The target of <root>/<pid>/exe; none on ENOENT, EACCES or any other failure. The " (deleted)" that Linux appends
// to the executable of a file that was removed or replaced since it started is dropped again.
[[nodiscard]] std::optional<QString> executable(const QString &root, qint64 pid);
// All facts of one process; without `withEnvironment` the GIO variables are left unread (the largest file, and of
// no use for a process whose unit already tells its app).
[[nodiscard]] std::optional<ProcessFacts> facts(const QString &root, qint64 pid, bool withEnvironment = true);
// Fills in the GIO variables of `facts` from <root>/<pid>/environ.
void readLaunchEnvironment(const QString &root, ProcessFacts &facts);

struct StatFields
{
    qint64 parentPid = 0;
    quint64 startTime = 0;
};
// Two counters of the whole process table from <root>/loadavg: the number of threads and the last pid handed out.
// While neither moves, no process or thread was made (every one takes a pid) and none ended (ending lowers the
// count), so the table is as it was.
struct TableMarks
{
    qint64 threads = 0;
    qint64 lastPid = 0;
    friend bool operator==(const TableMarks &, const TableMarks &) = default;
};
// Reads them with <root>/loadavg kept open: each look at them is one read at its start (the kernel makes
// the text anew for it) instead of an open, two reads and a close. A file that cannot be opened or read gives no
// counters and is opened again at the next look.
class TableMarksReader
{
public:
    explicit TableMarksReader(const QString &root);
    ~TableMarksReader();
    TableMarksReader(const TableMarksReader &) = delete;
    TableMarksReader &operator=(const TableMarksReader &) = delete;

    [[nodiscard]] std::optional<TableMarks> read();

private:
    QByteArray m_path;
    int m_fd = -1;
};
// "0.20 0.18 0.12 1/80 11206": running/threads, then the last pid.
[[nodiscard]] std::optional<TableMarks> parseLoadavg(const QByteArray &loadavg);

// The contents of a stat file: "pid (comm) state ppid ...", where comm may hold spaces and parentheses.
[[nodiscard]] std::optional<StatFields> parseStat(const QByteArray &stat);
// The path of the unified hierarchy ("0::<path>"), else of the systemd one ("N:name=systemd:<path>").
[[nodiscard]] QString parseCgroupPath(const QByteArray &cgroup);
// The value of one variable of a NUL-separated environment block.
[[nodiscard]] std::optional<QByteArray> environmentValue(const QByteArray &environ, QByteArrayView name);

} // namespace ProcFs
