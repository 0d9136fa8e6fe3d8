#include "linux/processtablewatch.h"

#include "linux/procfs.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <poll.h>
#include <sys/eventfd.h>
#include <tuple>
#include <unistd.h>

namespace {

constexpr std::int64_t nanosecondsPerSecond = 1'000'000'000;

std::int64_t monotonicNow()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * nanosecondsPerSecond + now.tv_nsec;
}

} // namespace

ProcessTableWatch::ProcessTableWatch(QString procRoot, Duration interval, QObject *parent)
    : QObject(parent)
    , m_root(std::move(procRoot))
    , m_interval(interval)
    , m_reader(m_root)
{
}

ProcessTableWatch::~ProcessTableWatch()
{
    if (m_thread.joinable()) {
        const std::uint64_t one = 1;
        std::ignore = ::write(m_stop, &one, sizeof one);
        m_thread.join();
    }
    if (m_stop >= 0)
        ::close(m_stop);
}

bool ProcessTableWatch::start()
{
    if (m_thread.joinable())
        return true;
    if (m_stop < 0)
        m_stop = ::eventfd(0, EFD_CLOEXEC);
    if (m_stop < 0)
        return false;
    // The first look is made here, so that whatever starts or ends after start() has returned moves the counters
    // for the thread's next look, however late the thread begins.
    m_thread = std::thread([this, first = m_reader.read()] { run(first); });
    return true;
}

void ProcessTableWatch::run(std::optional<ProcFs::TableMarks> last)
{
    // A look costs a wait and one read: no lock, no allocation but the parse's.
    const std::int64_t interval = std::chrono::duration_cast<std::chrono::nanoseconds>(m_interval).count();
    std::int64_t next = monotonicNow() + interval;
    for (;;) {
        const std::int64_t wait = std::max<std::int64_t>(0, next - monotonicNow());
        const timespec timeout{time_t(wait / nanosecondsPerSecond), long(wait % nanosecondsPerSecond)};
        pollfd stop{m_stop, POLLIN, 0};
        const int ready = ::ppoll(&stop, 1, &timeout, nullptr);
        if (ready > 0)
            break;
        if (ready < 0 && errno != EINTR)
            break;
        const std::int64_t now = monotonicNow();
        if (now < next)
            continue;
        // Looks missed while the machine slept are not made up.
        next = next + interval > now ? next + interval : now + interval;
        const std::optional<ProcFs::TableMarks> marks = m_reader.read();
        const bool changed = !marks || marks != last;
        last = marks;
        if (changed && !m_noticePending.exchange(true))
            QMetaObject::invokeMethod(this, &ProcessTableWatch::notice, Qt::QueuedConnection);
    }
}

void ProcessTableWatch::notice()
{
    // Cleared before the notice, so that a move during its handling sends another.
    m_noticePending = false;
    Q_EMIT moved();
}
