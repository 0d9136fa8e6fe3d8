#pragma once

#include <QString>

// Sends a signal to one process, but only while it still runs the executable it was found with, so that a pid
// reused in between is never hit. Fire-and-forget. Main thread.
class ProcessSignaller
{
public:
    virtual ~ProcessSignaller() = default;
    virtual void sendSignal(qint64 pid, const QString &expectedExecutable, int signal) = 0;
};
