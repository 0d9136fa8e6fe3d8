#pragma once

#include <QList>
#include <QString>

#include <optional>

// The machine's processes: all pids, the executable of one, and the kill signal. Main thread.
class ProcessTable
{
public:
    virtual ~ProcessTable() = default;

    // Every process, in the kernel's order; empty when the table cannot be read.
    [[nodiscard]] virtual QList<qint64> allPIDs() const = 0;
    // The executable's absolute path; none when the process is gone or cannot be inspected.
    [[nodiscard]] virtual std::optional<QString> executablePath(qint64 pid) const = 0;
    // Sends SIGKILL, but only while the process still runs `expectedExecutable`, so that a pid reused since it was
    // listed is never hit. Never signals pid 1 or below or the program's own process. Fire-and-forget.
    virtual void kill(qint64 pid, const QString &expectedExecutable) = 0;
};
