#include "manualexecutor.h"

void ManualExecutor::run(QObject *context, std::function<void()> work, std::function<void()> done)
{
    m_tasks.push_back({QPointer<QObject>(context), std::move(work), std::move(done)});
    ++m_submitted;
    ++m_submittedFor[context];
}

bool ManualExecutor::runTask(int index)
{
    if (index < 0 || index >= int(m_tasks.size()))
        return false;
    Task task = std::move(m_tasks[size_t(index)]);
    m_tasks.erase(m_tasks.begin() + index);
    task.work();
    if (task.context)
        task.done();
    return true;
}

void ManualExecutor::runAll()
{
    while (runNext()) {
    }
}
