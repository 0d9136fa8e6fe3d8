#include "fake/fakerunningapps.h"

RunningApp FakeRunningApps::launch(const QString &bundleID, const QString &localizedName, qint64 pid,
                                   const QString &executablePath)
{
    RunningApp app;
    app.pid = pid > 0 ? pid : m_nextPid++;
    app.bundleID = bundleID;
    app.localizedName = localizedName;
    app.executablePath = executablePath;
    app.instanceID = QString::number(app.pid);
    m_apps.append(app);
    Q_EMIT didLaunch(app);
    return app;
}

void FakeRunningApps::quit(const RunningApp &app)
{
    if (m_apps.removeAll(app) > 0)
        Q_EMIT didTerminate(app);
}

QList<RunningApp> FakeRunningApps::runningApps(const QString &bundleID) const
{
    QList<RunningApp> out;
    for (const auto &a : m_apps) {
        if (a.bundleID == bundleID)
            out.append(a);
    }
    return out;
}

void FakeRunningApps::terminate(const RunningApp &app)
{
    m_requests.append(u"terminate %1 %2"_qs.arg(app.bundleID).arg(app.pid));
    if (m_terminateEnds)
        quit(app);
}

void FakeRunningApps::hide(const RunningApp &app)
{
    m_requests.append(u"hide %1 %2"_qs.arg(app.bundleID).arg(app.pid));
}
