#pragma once

#include "processtable.h"
#include "linux/processsignaller.h"

// The processes of /proc. Signals go through a pidfd: the process is pinned first, its executable read again, and
// only then signalled through the pinned handle, so a pid that was reused after it was listed is never hit. The
// program's own process, pid 1 and below, and an expected executable that is empty, "/" or relative are refused.
// The root is injectable so that the listing and the path reading can be tested on fixture trees; signalling always
// checks the real /proc, since the pidfd is the real process. Main thread; owned by main.cpp.
class LinuxProcessTable : public ProcessTable, public ProcessSignaller
{
public:
    explicit LinuxProcessTable(QString procRoot = QStringLiteral("/proc"));

    [[nodiscard]] QList<qint64> allPIDs() const override;
    [[nodiscard]] std::optional<QString> executablePath(qint64 pid) const override;
    void kill(qint64 pid, const QString &expectedExecutable) override;
    void sendSignal(qint64 pid, const QString &expectedExecutable, int signal) override;

    enum class SignalResult { sent, refused, gone, executableChanged, failed };
    // sendSignal with its outcome, for the tests of the checks.
    [[nodiscard]] static SignalResult signalChecked(qint64 pid, const QString &expectedExecutable, int signal);

private:
    QString m_root;
};
