#pragma once

#include "timerservice.h"
#include "workspaceevents.h"

class LinuxAppInstances;
class X11Display;
class X11WindowList;

// Launches and ends of app instances from a scan of /proc every 250 ms (LinuxAppInstances: launched when an
// instance's first process appears, terminated when its last one ends), and activations from the X server:
// _NET_ACTIVE_WINDOW on the root window, mapped to an instance through the active window's _NET_WM_PID. An
// activation comes when the front instance changes. Without a display no activation ever comes. Main thread; owned
// by main.cpp.
class LinuxWorkspaceEvents : public WorkspaceEvents
{
    Q_OBJECT
public:
    static constexpr Duration scanInterval = std::chrono::milliseconds(250);

    LinuxWorkspaceEvents(LinuxAppInstances &instances, TimerService &timers, X11Display *display = nullptr,
                         QObject *parent = nullptr);
    ~LinuxWorkspaceEvents() override;

    // One scan now, with its events (the timer's work).
    void scan();

private:
    LinuxAppInstances &m_instances;
    X11Display *m_display = nullptr;
    X11WindowList *m_windows = nullptr;
    quint32 m_activeWindowAtom = 0;
    QString m_activeInstanceID;
    TimerHandle m_timer;

    void activeWindowChanged();
};
