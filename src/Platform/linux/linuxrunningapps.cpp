#include "linux/linuxrunningapps.h"

#include "appidentity.h"
#include "linux/linuxappinstances.h"
#include "linux/processsignaller.h"
#include "linux/windowiconifier.h"

#include <csignal>

LinuxRunningApps::LinuxRunningApps(LinuxAppInstances &instances, ProcessSignaller &signaller,
                                   WindowIconifier *iconifier)
    : m_instances(instances)
    , m_signaller(signaller)
    , m_iconifier(iconifier)
{
}

QList<RunningApp> LinuxRunningApps::runningApps(const QString &bundleID) const
{
    QList<RunningApp> out;
    if (bundleID.isEmpty() || bundleID == AppIdentity::bundleIDView)
        return out;
    for (const auto &app : m_instances.instances()) {
        if (app.bundleID == bundleID)
            out.append(app);
    }
    return out;
}

QList<RunningApp> LinuxRunningApps::all() const
{
    return m_instances.instances();
}

std::optional<RunningApp> LinuxRunningApps::current(const RunningApp &app) const
{
    if (app.bundleID == AppIdentity::bundleIDView)
        return std::nullopt;
    auto now = app.instanceID.isEmpty() ? m_instances.instanceOfProcess(app.pid) : m_instances.instance(app.instanceID);
    if (!now || now->bundleID != app.bundleID || now->bundleID == AppIdentity::bundleIDView)
        return std::nullopt;
    return now;
}

void LinuxRunningApps::terminate(const RunningApp &app)
{
    const auto now = current(app);
    if (!now || now->pid == AppIdentity::processID())
        return;
    m_signaller.sendSignal(now->pid, now->executablePath, SIGTERM);
}

void LinuxRunningApps::hide(const RunningApp &app)
{
    const auto now = current(app);
    if (!now || !m_iconifier)
        return;
    QList<qint64> pids = m_instances.processesOf(now->instanceID);
    pids.removeAll(AppIdentity::processID());
    if (!pids.isEmpty())
        m_iconifier->iconifyWindowsOf(pids);
}

bool LinuxRunningApps::canHide() const
{
    return m_iconifier && m_iconifier->canIconify();
}

bool LinuxRunningApps::hasWindows(const RunningApp &app) const
{
    const auto now = current(app);
    if (!now || !m_iconifier)
        return false;
    return m_iconifier->hasWindowsOf(m_instances.processesOf(now->instanceID));
}

bool LinuxRunningApps::activateWindowOfEntry(const QString &entryPath)
{
    const auto bundleID = m_instances.bundleIDForDesktopFile(entryPath);
    if (!bundleID || !m_iconifier)
        return false;
    QList<qint64> pids;
    for (const auto &app : runningApps(*bundleID))
        pids.append(m_instances.processesOf(app.instanceID));
    pids.removeAll(AppIdentity::processID());
    return !pids.isEmpty() && m_iconifier->activateTopWindowOf(pids);
}
