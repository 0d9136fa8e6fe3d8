#pragma once

#include "backgroundexecutor.h"

#include <QThreadPool>

// A BackgroundExecutor on its own low-priority thread pool; results reach the main thread as queued calls. Its
// destruction waits for the work that is running. Made on the main thread by main.cpp.
class ThreadPoolExecutor : public QObject, public BackgroundExecutor
{
    Q_OBJECT
public:
    explicit ThreadPoolExecutor(int maxThreads = 2, QObject *parent = nullptr);
    ~ThreadPoolExecutor() override;

    using BackgroundExecutor::run;
    void run(QObject *context, std::function<void()> work, std::function<void()> done) override;
    // Waits until the work started so far has run (its results are still delivered through the event loop).
    void waitForDone();

private:
    QThreadPool m_pool;
};
