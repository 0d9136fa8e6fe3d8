#include "fake/fakeprocesstable.h"

#include "appidentity.h"

void FakeProcessTable::addProcess(qint64 pid, const std::optional<QString> &executable)
{
    if (!m_paths.contains(pid))
        m_order.append(pid);
    m_paths.insert(pid, executable);
}

void FakeProcessTable::removeProcess(qint64 pid)
{
    m_order.removeAll(pid);
    m_paths.remove(pid);
}

QList<qint64> FakeProcessTable::allPIDs() const
{
    return m_unreadable ? QList<qint64>{} : m_order;
}

std::optional<QString> FakeProcessTable::executablePath(qint64 pid) const
{
    return m_paths.value(pid, std::nullopt);
}

void FakeProcessTable::kill(qint64 pid, const QString &expectedExecutable)
{
    if (pid <= 1 || pid == AppIdentity::processID())
        return;
    if (!m_paths.contains(pid) || m_paths.value(pid) != expectedExecutable)
        return;
    m_killed.append(pid);
    removeProcess(pid);
}
