#pragma once

#include "runningapps.h"

class LinuxAppInstances;
class ProcessSignaller;
class WindowIconifier;

// The running app instances of this machine (LinuxAppInstances). Terminate sends SIGTERM to the instance's main
// process through the checked signal path; hide iconifies the windows of all its processes, where there is a window
// system to ask (none: hide does nothing, and canHide() says so). None of them ever reaches the program's own
// process or identifier. Main thread; owned by main.cpp.
class LinuxRunningApps : public RunningApps
{
public:
    LinuxRunningApps(LinuxAppInstances &instances, ProcessSignaller &signaller, WindowIconifier *iconifier = nullptr);

    [[nodiscard]] QList<RunningApp> runningApps(const QString &bundleID) const override;
    [[nodiscard]] QList<RunningApp> all() const override;
    void terminate(const RunningApp &app) override;
    void hide(const RunningApp &app) override;
    [[nodiscard]] bool canHide() const override;
    [[nodiscard]] bool hasWindows(const RunningApp &app) const override;
    // Brings forward the topmost window on the current desktop of the app that the desktop entry at `entryPath`
    // opens, over all its instances; false when none runs with a window there.
    bool activateWindowOfEntry(const QString &entryPath);

private:
    LinuxAppInstances &m_instances;
    ProcessSignaller &m_signaller;
    WindowIconifier *m_iconifier = nullptr;

    // The instance as it is now, when it still runs and is not the program itself.
    [[nodiscard]] std::optional<RunningApp> current(const RunningApp &app) const;
};
