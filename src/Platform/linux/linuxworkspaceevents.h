#pragma once

#include "timerservice.h"
#include "workspaceevents.h"

#include <QSet>

class LinuxAppInstances;
class ProcessTableWatch;
class X11Display;
class X11WindowList;

// Launches and ends of app instances from scans of /proc (LinuxAppInstances; a scan that finds the process table's
// counters unmoved reads one small file and stops there: launched when an instance's first process appears,
// terminated when its last one ends), and activations and new windows from the X server: _NET_ACTIVE_WINDOW and
// _NET_CLIENT_LIST on the root window, each window mapped to an instance through its owner (X11WindowList:
// _NET_WM_PID, the client's process, its WM_CLASS). An activation comes when the front instance changes; a window
// that joins the client list is a new window of its instance. A change of the client list and an active window of a
// process that the last scan did not see make a scan first, so that a launch comes before its window. Without a
// display neither activations nor windows come. Main thread; owned by main.cpp.
//
// Without a table watch it scans every 50 ms. With one (ProcessTableWatch, which looks at the counters every 50 ms
// on its own thread) it scans when they move, every 50 ms while a young process may still run another program, and
// lists the table every 5 s in any case: an idle machine wakes the main thread only for that.
class LinuxWorkspaceEvents : public WorkspaceEvents
{
    Q_OBJECT
public:
    static constexpr Duration scanInterval = std::chrono::milliseconds(50);
    static constexpr Duration listingInterval = std::chrono::seconds(5);

    // `tableWatch` is started here and must outlive this object; one that cannot start leaves the 50 ms timer.
    LinuxWorkspaceEvents(LinuxAppInstances &instances, TimerService &timers, X11Display *display = nullptr,
                         ProcessTableWatch *tableWatch = nullptr, QObject *parent = nullptr);
    ~LinuxWorkspaceEvents() override;

    // One scan now, with its events (the timer's work).
    void scan();

private:
    LinuxAppInstances &m_instances;
    TimerService &m_timers;
    ProcessTableWatch *m_tableWatch = nullptr;
    X11Display *m_display = nullptr;
    X11WindowList *m_windows = nullptr;
    quint32 m_activeWindowAtom = 0;
    quint32 m_clientListAtom = 0;
    QSet<quint32> m_knownWindows;
    QString m_activeInstanceID;
    TimerHandle m_timer;
    bool m_scanningOften = false; // with a table watch: whether m_timer is the 50 ms one

    void scanTable(bool forceListing);
    void armTimer();
    void activeWindowChanged();
    void clientListChanged();
    void scanUnlessKnown(qint64 pid);
};
