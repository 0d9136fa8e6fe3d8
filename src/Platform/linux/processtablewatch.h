#pragma once

#include "instant.h"
#include "linux/procfs.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <thread>

// The process table's counters (ProcFs::TableMarks of <root>/loadavg) looked at every `interval` on a thread of its
// own, which does nothing else: an idle table wakes neither the main thread nor its event loop. When they moved
// since the last look, moved() comes on the owner's thread; looks made before it was handled send nothing more, so a
// busy table costs one notice at a time. Counters that cannot be read count as moved each look. Made and destroyed
// on the owner's thread, which also calls start(); the destructor stops the thread and waits for it.
class ProcessTableWatch : public QObject
{
    Q_OBJECT
public:
    ProcessTableWatch(QString procRoot, Duration interval, QObject *parent = nullptr);
    ~ProcessTableWatch() override;

    // Once; its first look, made before it returns, sets the counters that later ones are compared with. False when
    // no thread could be made for it (no notice comes then).
    bool start();

Q_SIGNALS:
    void moved();

private:
    QString m_root;
    Duration m_interval;
    ProcFs::TableMarksReader m_reader; // start()'s, then the thread's alone
    std::thread m_thread;
    int m_stop = -1; // an eventfd: readable once the thread is to end
    std::atomic<bool> m_noticePending = false;

    void run(std::optional<ProcFs::TableMarks> last);
    void notice();
};
