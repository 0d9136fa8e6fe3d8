#pragma once

#include "backgroundexecutor.h"

#include <QHash>

#include <deque>

// A BackgroundExecutor that runs nothing until the test says so: run() only queues, runNext() runs the oldest task's
// work and then its completion (when the context still exists), on the test's thread. Tests pick the order in
// which overlapping work finishes.
class ManualExecutor : public BackgroundExecutor
{
public:
    using BackgroundExecutor::run;
    void run(QObject *context, std::function<void()> work, std::function<void()> done) override;

    [[nodiscard]] int pendingCount() const { return int(m_tasks.size()); }
    // How many tasks were handed in so far, run or not.
    [[nodiscard]] int submittedCount() const { return m_submitted; }
    // How many of them were handed in for `context`.
    [[nodiscard]] int submittedCount(const QObject *context) const { return m_submittedFor.value(context); }
    // Runs the task at `index` among the waiting ones (0 = the oldest); false when there is none.
    bool runTask(int index = 0);
    bool runNext() { return runTask(0); }
    // Runs tasks oldest first until none is waiting, including tasks that the completions hand in.
    void runAll();

private:
    struct Task
    {
        QPointer<QObject> context;
        std::function<void()> work;
        std::function<void()> done;
    };
    std::deque<Task> m_tasks;
    int m_submitted = 0;
    QHash<const QObject *, int> m_submittedFor;
};
