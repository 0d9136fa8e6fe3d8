#include "timerservice.h"

TimerHandle::TimerHandle(std::weak_ptr<TimerQueue> queue, std::uint64_t id)
    : m_queue(std::move(queue))
    , m_id(id)
{
}

TimerHandle::TimerHandle(TimerHandle &&other) noexcept
    : m_queue(std::move(other.m_queue))
    , m_id(std::exchange(other.m_id, 0))
{
}

TimerHandle &TimerHandle::operator=(TimerHandle &&other) noexcept
{
    if (this != &other) {
        cancel();
        m_queue = std::move(other.m_queue);
        m_id = std::exchange(other.m_id, 0);
    }
    return *this;
}

TimerHandle::~TimerHandle()
{
    cancel();
}

void TimerHandle::cancel()
{
    if (m_id == 0)
        return;
    // Clear first: removing the entry destroys its callback, which may own (and so destroy) this very handle.
    const auto id = std::exchange(m_id, 0);
    if (auto queue = std::exchange(m_queue, {}).lock())
        queue->remove(id);
}

bool TimerHandle::isActive() const
{
    if (m_id == 0)
        return false;
    auto queue = m_queue.lock();
    return queue && queue->contains(m_id);
}

std::uint64_t TimerQueue::add(Entry entry)
{
    const auto id = m_nextId++;
    const auto kind = entry.kind;
    order(kind).emplace(Key{entry.deadline, id}, id);
    m_entries.emplace(id, std::move(entry));
    if (onAdded)
        onAdded(kind);
    return id;
}

void TimerQueue::remove(std::uint64_t id)
{
    auto it = m_entries.find(id);
    if (it == m_entries.end())
        return;
    order(it->second.kind).erase(Key{it->second.deadline, id});
    // Move the callback out before erasing: destroying it may re-enter remove() for other timers.
    auto callback = std::move(it->second.callback);
    m_entries.erase(it);
}

bool TimerQueue::contains(std::uint64_t id) const
{
    return m_entries.contains(id);
}

std::optional<std::int64_t> TimerQueue::earliest(Kind kind) const
{
    const auto &o = order(kind);
    if (o.empty())
        return std::nullopt;
    return o.begin()->first.deadline;
}

std::optional<TimerQueue::Next> TimerQueue::earliestOf(Kind kind) const
{
    const auto &o = order(kind);
    if (o.empty())
        return std::nullopt;
    return Next{o.begin()->second, kind, o.begin()->first.deadline};
}

std::optional<TimerService::Callback> TimerQueue::takeDue(Kind kind, std::int64_t now, std::uint64_t armedBefore)
{
    auto &o = order(kind);
    auto due = o.begin();
    while (due != o.end() && due->first.deadline <= now && due->second >= armedBefore)
        ++due;
    if (due == o.end() || due->first.deadline > now)
        return std::nullopt;
    const auto id = due->second;
    o.erase(due);
    auto it = m_entries.find(id);
    auto &entry = it->second;
    if (entry.interval > 0) {
        auto next = entry.deadline + entry.interval;
        if (next <= now)
            next = now + entry.interval;
        entry.deadline = next;
        o.emplace(Key{next, id}, id);
        return entry.callback;
    }
    auto callback = std::move(entry.callback);
    m_entries.erase(it);
    return callback;
}

Debounce::Debounce(TimerService &timers, Duration quiet, std::function<void()> action)
    : m_timers(timers)
    , m_quiet(quiet)
    , m_action(std::move(action))
{
}

void Debounce::trigger()
{
    m_timer = m_timers.startAfter(m_quiet, [this] {
        m_timer = {};
        m_action();
    });
}

void Debounce::cancel()
{
    m_timer.cancel();
}
