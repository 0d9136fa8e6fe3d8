#pragma once

#include "runningapps.h"

class LinuxAppInstances;
class ProcessSignaller;
class WindowIconifier;

// The running app instances of this machine (LinuxAppInstances). Terminate sends SIGTERM to the instance's main
// process through the checked signal path; hide iconifies the windows of all its processes, where there is a window
// system to ask (none: hide does nothing). Neither ever reaches the program's own process or identifier. Main
// thread; owned by main.cpp.
class LinuxRunningApps : public RunningApps
{
public:
    LinuxRunningApps(LinuxAppInstances &instances, ProcessSignaller &signaller, WindowIconifier *iconifier = nullptr);

    [[nodiscard]] QList<RunningApp> runningApps(const QString &bundleID) const override;
    [[nodiscard]] QList<RunningApp> all() const override;
    void terminate(const RunningApp &app) override;
    void hide(const RunningApp &app) override;

private:
    LinuxAppInstances &m_instances;
    ProcessSignaller &m_signaller;
    WindowIconifier *m_iconifier = nullptr;

    // The instance as it is now, when it still runs and is not the program itself.
    [[nodiscard]] std::optional<RunningApp> current(const RunningApp &app) const;
};
