#include "terminationsignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The pipe of the one instance; the handler may only touch what is async-signal-safe.
int writeEnd = -1;
int readEnd = -1;

extern "C" void onTerminationSignal(int signal)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    if (writeEnd >= 0)
        return; // one per process
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    readEnd = fds[0];
    writeEnd = fds[1];

    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGTERM, &action, nullptr) != 0 || ::sigaction(SIGINT, &action, nullptr) != 0)
        return;

    m_notifier = new QSocketNotifier(readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);
    m_installed = true;
}

TerminationSignals::~TerminationSignals()
{
    if (!m_installed)
        return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    delete m_notifier;
    ::close(readEnd);
    ::close(writeEnd);
    readEnd = writeEnd = -1;
}

void TerminationSignals::readPipe()
{
    unsigned char byte = 0;
    while (::read(readEnd, &byte, 1) == 1)
        Q_EMIT received(int(byte));
}
