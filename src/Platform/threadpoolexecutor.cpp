#include "threadpoolexecutor.h"

ThreadPoolExecutor::ThreadPoolExecutor(int maxThreads, QObject *parent)
    : QObject(parent)
{
    m_pool.setMaxThreadCount(maxThreads);
    m_pool.setThreadPriority(QThread::LowPriority);
}

ThreadPoolExecutor::~ThreadPoolExecutor()
{
    m_pool.waitForDone();
}

void ThreadPoolExecutor::run(QObject *context, std::function<void()> work, std::function<void()> done)
{
    // The guard is made here on the main thread and only read there; the worker merely carries it.
    QPointer<QObject> guard(context);
    m_pool.start([this, guard, work = std::move(work), done = std::move(done)]() mutable {
        work();
        QMetaObject::invokeMethod(
            this,
            [guard, done = std::move(done)] {
                if (guard)
                    done();
            },
            Qt::QueuedConnection);
    });
}

void ThreadPoolExecutor::waitForDone()
{
    m_pool.waitForDone();
}
