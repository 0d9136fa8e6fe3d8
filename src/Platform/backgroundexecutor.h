#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

// Runs work off the main thread and hands its result back to the main thread. The result goes to `context`'s thread
// only while `context` still exists; work that outlives it finishes and is forgotten. Owned by main.cpp (or a test)
// and declared after everything the work touches, since its destruction waits for running work.
class BackgroundExecutor
{
public:
    virtual ~BackgroundExecutor() = default;

    // `work` runs on a worker thread, then `done` on the main thread, unless `context` is gone by then.
    virtual void run(QObject *context, std::function<void()> work, std::function<void()> done) = 0;

    template<typename Result>
    void run(QObject *context, std::function<Result()> work, std::function<void(Result)> done)
    {
        auto slot = std::make_shared<std::optional<Result>>();
        run(
            context, [slot, work = std::move(work)] { slot->emplace(work()); },
            [slot, done = std::move(done)] { done(std::move(**slot)); });
    }
};
