#pragma once

#include "processtable.h"

#include <QMap>

// Processes held in a table; kills are recorded (and end the process) instead of sent.
class FakeProcessTable : public ProcessTable
{
public:
    void addProcess(qint64 pid, const std::optional<QString> &executable);
    void removeProcess(qint64 pid);
    void setUnreadable(bool unreadable) { m_unreadable = unreadable; } // the whole table fails to read

    [[nodiscard]] QList<qint64> allPIDs() const override;
    [[nodiscard]] std::optional<QString> executablePath(qint64 pid) const override;
    void kill(qint64 pid, const QString &expectedExecutable) override;

    [[nodiscard]] const QList<qint64> &killed() const { return m_killed; }
    void clearKilled() { m_killed.clear(); }

private:
    QList<qint64> m_order;
    QMap<qint64, std::optional<QString>> m_paths;
    QList<qint64> m_killed;
    bool m_unreadable = false;
};
