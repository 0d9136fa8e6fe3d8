#include "linux/processtablewatch.h"

#include "linux/procfs.h"

#include <chrono>

ProcessTableWatch::ProcessTableWatch(QString procRoot, Duration interval, QObject *parent)
    : QObject(parent)
    , m_root(std::move(procRoot))
    , m_interval(interval)
{
}

ProcessTableWatch::~ProcessTableWatch()
{
    if (m_thread.joinable()) {
        m_thread.request_stop();
        m_wake.notify_all();
        m_thread.join();
    }
}

void ProcessTableWatch::start()
{
    if (m_thread.joinable())
        return;
    m_thread = std::jthread([this](std::stop_token stop) { run(std::move(stop)); });
}

void ProcessTableWatch::run(std::stop_token stop)
{
    using Steady = std::chrono::steady_clock;
    ProcFs::TableMarksReader reader(m_root);
    std::optional<ProcFs::TableMarks> last = reader.read();
    Steady::time_point next = Steady::now() + m_interval;
    std::unique_lock lock(m_mutex);
    while (!stop.stop_requested()) {
        // Woken early only to stop.
        m_wake.wait_until(lock, stop, next, [] { return false; });
        if (stop.stop_requested())
            break;
        const Steady::time_point now = Steady::now();
        // Looks missed while the machine slept are not made up.
        next = next + m_interval > now ? next + m_interval : now + m_interval;
        const std::optional<ProcFs::TableMarks> marks = reader.read();
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
