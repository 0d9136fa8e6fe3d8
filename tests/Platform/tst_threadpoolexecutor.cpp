#include "threadpoolexecutor.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>

// The real executor: work off the main thread, results on it, and nothing for a context that is gone.
class TestThreadPoolExecutor : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void workOffTheMainThreadResultOnIt();
    void noResultForAGoneContext();
};

void TestThreadPoolExecutor::workOffTheMainThreadResultOnIt()
{
    ThreadPoolExecutor executor;
    QObject context;
    QThread *workThread = nullptr;
    QThread *doneThread = nullptr;
    std::optional<int> result;
    executor.run<int>(
        &context,
        [&] {
            workThread = QThread::currentThread();
            return 42;
        },
        [&](int value) {
            doneThread = QThread::currentThread();
            result = value;
        });
    QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), 5000);
    QCOMPARE(*result, 42);
    QVERIFY(workThread != QThread::currentThread());
    QCOMPARE(doneThread, QThread::currentThread());
}

void TestThreadPoolExecutor::noResultForAGoneContext()
{
    ThreadPoolExecutor executor;
    auto context = std::make_unique<QObject>();
    std::atomic<bool> release = false;
    std::atomic<bool> worked = false;
    bool delivered = false;
    executor.run(
        context.get(),
        [&] {
            while (!release)
                QThread::yieldCurrentThread();
            worked = true;
        },
        [&] { delivered = true; });
    context.reset(); // gone while the work still runs
    release = true;
    executor.waitForDone();
    QVERIFY(worked);
    QCoreApplication::sendPostedEvents(); // the result, had it been kept, was queued before the work ended
    QVERIFY(!delivered);
}

QTEST_GUILESS_MAIN(TestThreadPoolExecutor)
#include "tst_threadpoolexecutor.moc"
