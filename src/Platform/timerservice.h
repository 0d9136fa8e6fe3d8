#pragma once

#include "instant.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class TimerQueue;

// The owner's hold on one armed timer. Dropping or reassigning the handle cancels the timer, so a timer never
// outlives the object that armed it; cancelling (or dropping) it from inside its own callback is safe.
class TimerHandle
{
public:
    TimerHandle() = default;
    TimerHandle(std::weak_ptr<TimerQueue> queue, std::uint64_t id);
    TimerHandle(TimerHandle &&other) noexcept;
    TimerHandle &operator=(TimerHandle &&other) noexcept;
    TimerHandle(const TimerHandle &) = delete;
    TimerHandle &operator=(const TimerHandle &) = delete;
    ~TimerHandle();

    void cancel();
    // Armed and not yet fired (a repeating timer stays active until cancelled).
    [[nodiscard]] bool isActive() const;

private:
    std::weak_ptr<TimerQueue> m_queue;
    std::uint64_t m_id = 0;
};

// Timers for the main thread. A wall timer fires once when the wall clock reaches its instant: never earlier, at
// once when the instant has passed (after a suspend), and still at that instant when the clock is set meanwhile.
// Relative and repeating timers run on monotonic time. Callbacks run on the thread that owns the service, never
// synchronously from the call that arms them.
class TimerService
{
public:
    using Callback = std::function<void()>;
    virtual ~TimerService() = default;

    [[nodiscard]] virtual TimerHandle startAt(Instant wallDeadline, Callback callback) = 0;
    [[nodiscard]] virtual TimerHandle startAfter(Duration delay, Callback callback) = 0;
    [[nodiscard]] virtual TimerHandle startRepeating(Duration interval, Callback callback) = 0;
};

// The bookkeeping that every timer service shares: the armed timers of both clocks, ordered by deadline and then by
// the order in which they were armed.
class TimerQueue
{
public:
    enum class Kind { Wall, Monotonic };

    struct Entry
    {
        Kind kind = Kind::Wall;
        std::int64_t deadline = 0; // microseconds on the entry's clock
        std::int64_t interval = 0; // > 0 for a repeating timer
        TimerService::Callback callback;
    };

    std::uint64_t add(Entry entry);
    void remove(std::uint64_t id);
    [[nodiscard]] bool contains(std::uint64_t id) const;
    [[nodiscard]] std::optional<std::int64_t> earliest(Kind kind) const;
    [[nodiscard]] bool isEmpty() const { return m_entries.empty(); }
    [[nodiscard]] int size() const { return int(m_entries.size()); }

    // Takes the earliest entry of `kind` that is due at `now`: a one-shot entry leaves the queue, a repeating one is
    // put back one interval later (never at or before `now`). Returns its callback, or nothing when none is due.
    // With `armedBefore`, only entries armed before that id count, so that one pass never chases timers that its own
    // callbacks arm.
    std::optional<TimerService::Callback> takeDue(Kind kind, std::int64_t now,
                                                  std::uint64_t armedBefore = UINT64_MAX);
    [[nodiscard]] std::uint64_t nextId() const { return m_nextId; }

    // The id and deadline of the earliest entry of either kind, for a virtual clock that must fire in order.
    struct Next
    {
        std::uint64_t id;
        Kind kind;
        std::int64_t deadline;
    };
    [[nodiscard]] std::optional<Next> earliestOf(Kind kind) const;

    // Called after an entry was added, so that a real service can arm its clock for an earlier deadline.
    std::function<void(Kind)> onAdded;

private:
    struct Key
    {
        std::int64_t deadline;
        std::uint64_t id;
        auto operator<=>(const Key &) const = default;
    };
    std::map<std::uint64_t, Entry> m_entries;
    std::map<Key, std::uint64_t> m_wallOrder;
    std::map<Key, std::uint64_t> m_monoOrder;
    std::uint64_t m_nextId = 1;

    std::map<Key, std::uint64_t> &order(Kind kind) { return kind == Kind::Wall ? m_wallOrder : m_monoOrder; }
    [[nodiscard]] const std::map<Key, std::uint64_t> &order(Kind kind) const
    {
        return kind == Kind::Wall ? m_wallOrder : m_monoOrder;
    }
};

// A quiet-period trigger on monotonic time: every trigger() restarts the wait, and the action runs once the
// triggers have stopped for `quiet`.
class Debounce
{
public:
    Debounce(TimerService &timers, Duration quiet, std::function<void()> action);
    void trigger();
    void cancel();
    [[nodiscard]] bool isPending() const { return m_timer.isActive(); }

private:
    TimerService &m_timers;
    Duration m_quiet;
    std::function<void()> m_action;
    TimerHandle m_timer;
};
