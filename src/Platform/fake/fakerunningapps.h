#pragma once

#include "runningapps.h"
#include "workspaceevents.h"

// Running apps held in a list, with the workspace events they cause. launch() and quit() change the list and send
// the events; terminate() and hide() only record the request (an app may refuse to quit), unless
// setTerminateEndsApp(true).
class FakeRunningApps : public WorkspaceEvents, public RunningApps
{
    Q_OBJECT
public:
    using WorkspaceEvents::WorkspaceEvents;

    RunningApp launch(const QString &bundleID, const QString &localizedName = {}, qint64 pid = 0,
                      const QString &executablePath = {});
    void activate(const RunningApp &app) { Q_EMIT didActivate(app); }
    void quit(const RunningApp &app);
    void setTerminateEndsApp(bool ends) { m_terminateEnds = ends; }

    [[nodiscard]] QList<RunningApp> runningApps(const QString &bundleID) const override;
    [[nodiscard]] QList<RunningApp> all() const override { return m_apps; }
    void terminate(const RunningApp &app) override;
    void hide(const RunningApp &app) override;
    [[nodiscard]] bool canHide() const override { return m_canHide; }
    [[nodiscard]] bool hasWindows(const RunningApp &app) const override { return !m_windowless.contains(app.pid); }
    void setCanHide(bool can) { m_canHide = can; }
    // The instance of this main process shows no window (a background program, or one whose windows are not found).
    void setWindowless(qint64 pid) { m_windowless.append(pid); }

    // Requests in the order they came, as "terminate <bundleID> <pid>" and "hide <bundleID> <pid>".
    [[nodiscard]] const QStringList &requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }

private:
    QList<RunningApp> m_apps;
    QStringList m_requests;
    qint64 m_nextPid = 1000;
    bool m_terminateEnds = false;
    bool m_canHide = true;
    QList<qint64> m_windowless;
};
