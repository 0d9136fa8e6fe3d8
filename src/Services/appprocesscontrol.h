#pragma once

#include <QString>

class EmbeddedAppRegistry;
class EmbeddedProcessFamily;
class RunningApps;

// Quits and hides the running instances of an app named by its identifier. An embedded app has no instance of its
// own, so quitting it kills its processes and hiding it does nothing. The program never acts on itself: its own
// identifier and process are skipped everywhere. Fire-and-forget. Main thread; owned by main.cpp (or a test).
class AppProcessControl
{
public:
    AppProcessControl(RunningApps &runningApps, EmbeddedProcessFamily &family, const EmbeddedAppRegistry &registry);

    void requestQuit(const QString &bundleID);
    void hide(const QString &bundleID);

private:
    RunningApps &m_runningApps;
    EmbeddedProcessFamily &m_family;
    const EmbeddedAppRegistry &m_registry;
};
