#include "linux/linuxprocesstable.h"

#include "appidentity.h"
#include "linux/procfs.h"

#include <csignal>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Through syscall(2): the C library's header of these two lacks C linkage in the version we build with.
int pidfdOpen(pid_t pid)
{
    return int(::syscall(SYS_pidfd_open, pid, 0));
}

int pidfdSendSignal(int fd, int signal)
{
    return int(::syscall(SYS_pidfd_send_signal, fd, signal, nullptr, 0));
}

} // namespace

LinuxProcessTable::LinuxProcessTable(QString procRoot)
    : m_root(std::move(procRoot))
{
}

QList<qint64> LinuxProcessTable::allPIDs() const
{
    QList<qint64> out;
    const auto entries = ProcFs::listPids(m_root);
    out.reserve(entries.size());
    for (const auto &e : entries)
        out.append(e.pid);
    return out;
}

std::optional<QString> LinuxProcessTable::executablePath(qint64 pid) const
{
    if (pid <= 0)
        return std::nullopt;
    return ProcFs::executable(m_root, pid);
}

void LinuxProcessTable::kill(qint64 pid, const QString &expectedExecutable)
{
    sendSignal(pid, expectedExecutable, SIGKILL);
}

void LinuxProcessTable::sendSignal(qint64 pid, const QString &expectedExecutable, int signal)
{
    (void)signalChecked(pid, expectedExecutable, signal);
}

LinuxProcessTable::SignalResult LinuxProcessTable::signalChecked(qint64 pid, const QString &expectedExecutable,
                                                                 int signal)
{
    if (pid <= 1 || pid == AppIdentity::processID() || pid > qint64(INT32_MAX))
        return SignalResult::refused;
    if (expectedExecutable.isEmpty() || expectedExecutable == u"/" || !expectedExecutable.startsWith(u'/'))
        return SignalResult::refused;
    const int fd = pidfdOpen(pid_t(pid));
    if (fd < 0)
        return errno == ESRCH ? SignalResult::gone : SignalResult::failed;
    // From here on the handle names this one process even if it ends and its pid is taken again; the executable
    // read after pinning tells whether it is still the process that was listed.
    SignalResult result = SignalResult::sent;
    const auto now = ProcFs::executable(QStringLiteral("/proc"), pid);
    if (!now)
        result = SignalResult::gone;
    else if (*now != expectedExecutable)
        result = SignalResult::executableChanged;
    else if (pidfdSendSignal(fd, signal) != 0)
        result = errno == ESRCH ? SignalResult::gone : SignalResult::failed;
    ::close(fd);
    return result;
}
