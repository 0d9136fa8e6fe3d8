#include "linux/detachedprocess.h"

#include <QFile>

#include <algorithm>
#include <vector>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Message
{
    enum Kind : int { started = 1, failed = 2 };
    int kind = 0;
    int value = 0; // the process id, or errno
};

void send(int fd, Message message)
{
    ssize_t written;
    do {
        written = ::write(fd, &message, sizeof message);
    } while (written < 0 && errno == EINTR);
}

// Async-signal-safe: the decimal digits of `value` at `out`, then a terminating zero.
void writeDecimal(char *out, long value)
{
    char digits[24];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0 && n < int(sizeof digits));
    while (n > 0)
        *out++ = digits[--n];
    *out = '\0';
}

// Async-signal-safe: every descriptor from 3 on is closed when the program is executed, so that the app gets none of
// ours (files, sockets, pipes that some library opened without close-on-exec). Until then the report pipe stays open.
void closeOursOnExec(int highestFd)
{
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0)
        return;
    for (int fd = 3; fd <= highestFd; ++fd)
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
}

[[noreturn]] void failInChild(int fd)
{
    send(fd, {Message::failed, errno});
    ::_exit(127);
}

} // namespace

std::optional<qint64> DetachedProcess::start() const
{
    if (executable.isEmpty() || arguments.isEmpty())
        return std::nullopt;

    // Everything the new process needs is made here: after fork() only async-signal-safe calls are allowed.
    const QByteArray file = QFile::encodeName(executable);
    const QByteArray directory = QFile::encodeName(workingDirectory);
    std::vector<QByteArray> argumentBytes;
    for (const auto &argument : arguments)
        argumentBytes.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (auto &bytes : argumentBytes)
        argv.push_back(bytes.data());
    argv.push_back(nullptr);

    std::vector<QByteArray> environmentBytes;
    const QString pidPrefix = ownPidVariable + u'=';
    for (const auto &entry : environment.toStringList()) {
        if (ownPidVariable.isEmpty() || !entry.startsWith(pidPrefix))
            environmentBytes.push_back(entry.toLocal8Bit());
    }
    QByteArray pidEntry;
    if (!ownPidVariable.isEmpty()) {
        pidEntry = pidPrefix.toLocal8Bit();
        pidEntry.append(QByteArray(24, '\0'));
    }
    char *const pidDigits = pidEntry.isEmpty() ? nullptr : pidEntry.data() + pidPrefix.toLocal8Bit().size();
    std::vector<char *> envp;
    for (auto &bytes : environmentBytes)
        envp.push_back(bytes.data());
    if (!pidEntry.isEmpty())
        envp.push_back(pidEntry.data());
    envp.push_back(nullptr);

    // For kernels without close_range(): the descriptors to mark one by one, as many as may be open, within reason.
    int highestFd = 1023;
    if (rlimit limit{}; ::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        highestFd = int(std::min<rlim_t>(limit.rlim_cur, 65536) - 1);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return std::nullopt;

    const pid_t intermediate = ::fork();
    if (intermediate < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return std::nullopt;
    }
    if (intermediate == 0) {
        ::close(pipeFds[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0) {
            // The middle process ends at once, so the program is adopted by init and never becomes our zombie.
            if (grandchild > 0)
                send(pipeFds[1], {Message::started, int(grandchild)});
            else
                send(pipeFds[1], {Message::failed, errno});
            ::_exit(0);
        }
        if (pidDigits)
            writeDecimal(pidDigits, long(::getpid()));
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        struct sigaction byDefault = {};
        byDefault.sa_handler = SIG_DFL;
        ::sigaction(SIGPIPE, &byDefault, nullptr);
        closeOursOnExec(highestFd);
        if (!directory.isEmpty() && ::chdir(directory.constData()) != 0)
            failInChild(pipeFds[1]);
        ::execve(file.constData(), argv.data(), envp.data());
        failInChild(pipeFds[1]);
    }

    ::close(pipeFds[1]);
    int status = 0;
    while (::waitpid(intermediate, &status, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes for good once the program has been executed (close-on-exec) or has failed.
    std::optional<qint64> started;
    bool failed = false;
    Message message;
    while (true) {
        const ssize_t got = ::read(pipeFds[0], &message, sizeof message);
        if (got < 0 && errno == EINTR)
            continue;
        if (got != ssize_t(sizeof message))
            break;
        if (message.kind == Message::started)
            started = message.value;
        else
            failed = true;
    }
    ::close(pipeFds[0]);
    if (failed || !started)
        return std::nullopt;
    return started;
}
