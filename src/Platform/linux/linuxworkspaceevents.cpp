#include "linux/linuxworkspaceevents.h"

#include "linux/linuxappinstances.h"
#include "linux/processtablewatch.h"
#include "linux/x11display.h"
#include "linux/x11windowlist.h"

LinuxWorkspaceEvents::LinuxWorkspaceEvents(LinuxAppInstances &instances, TimerService &timers, X11Display *display,
                                           ProcessTableWatch *tableWatch, QObject *parent)
    : WorkspaceEvents(parent)
    , m_instances(instances)
    , m_timers(timers)
    , m_tableWatch(tableWatch)
    , m_display(display)
{
    // A watch that cannot start leaves the scans to the 50 ms timer.
    if (m_tableWatch && !m_tableWatch->start())
        m_tableWatch = nullptr;
    if (m_tableWatch) {
        connect(m_tableWatch, &ProcessTableWatch::moved, this, &LinuxWorkspaceEvents::scan);
        m_scanningOften = true; // so that the first arming arms the slow timer
        armTimer();
        // What started or ended between the instances' first look and the watch's is for one scan once the event
        // loop runs (its events then find their handlers), as the timer's first tick was.
        QMetaObject::invokeMethod(this, &LinuxWorkspaceEvents::scan, Qt::QueuedConnection);
    } else {
        m_timer = timers.startRepeating(scanInterval, [this] { scan(); });
    }
    if (m_display && m_display->isConnected()) {
        m_windows = new X11WindowList(m_display, X11WindowList::Options{
            true, [this](const QString &instanceName, const QString &className) {
                return m_instances.processForWindowClass(instanceName, className);
            }});
        m_activeWindowAtom = m_display->atom("_NET_ACTIVE_WINDOW");
        m_clientListAtom = m_display->atom("_NET_CLIENT_LIST");
        connect(m_display, &X11Display::rootPropertyChanged, this, [this](quint32 atom) {
            if (atom == m_activeWindowAtom)
                activeWindowChanged();
            else if (atom == m_clientListAtom)
                clientListChanged();
        });
        m_display->watchRootProperties();
        for (const auto &c : m_windows->clients())
            m_knownWindows.insert(c.window);
    }
}

LinuxWorkspaceEvents::~LinuxWorkspaceEvents()
{
    delete m_windows;
}

void LinuxWorkspaceEvents::scan()
{
    scanTable(false);
}

void LinuxWorkspaceEvents::scanTable(bool forceListing)
{
    const auto changes =
        m_instances.refresh(forceListing ? LinuxAppInstances::Listing::always : LinuxAppInstances::Listing::whenMoved);
    // Set before the events go out, so that a handler that scans again finds it right.
    if (m_tableWatch)
        armTimer();
    for (const auto &app : changes.terminated) {
        if (app.instanceID == m_activeInstanceID)
            m_activeInstanceID.clear();
        Q_EMIT didTerminate(app);
    }
    for (const auto &app : changes.launched)
        Q_EMIT didLaunch(app);
}

void LinuxWorkspaceEvents::armTimer()
{
    const bool often = m_instances.hasUnsettledProcesses();
    if (often == m_scanningOften)
        return;
    m_scanningOften = often;
    if (often)
        m_timer = m_timers.startRepeating(scanInterval, [this] { scanTable(false); });
    else
        m_timer = m_timers.startRepeating(listingInterval, [this] { scanTable(true); });
}

void LinuxWorkspaceEvents::activeWindowChanged()
{
    const auto window = m_windows->activeWindow();
    if (!window) {
        m_activeInstanceID.clear();
        return;
    }
    scanUnlessKnown(window->ownerPID);
    const auto app = m_instances.instanceOfProcess(window->ownerPID);
    if (!app) {
        m_activeInstanceID.clear();
        return;
    }
    if (app->instanceID == m_activeInstanceID)
        return;
    m_activeInstanceID = app->instanceID;
    Q_EMIT didActivate(*app);
}

void LinuxWorkspaceEvents::scanUnlessKnown(qint64 pid)
{
    // A window of a process too young for the last scan: scan first, so that its launch comes before its window.
    if (!m_instances.knowsProcess(pid))
        scan();
}

void LinuxWorkspaceEvents::clientListChanged()
{
    // A new window most often comes with a new process: scanning first lets its launch come before its window and
    // lets the class of a window without a process name an instance.
    scan();
    QSet<quint32> listed;
    QList<X11WindowList::Client> fresh;
    for (const auto &c : m_windows->clients()) {
        listed.insert(c.window);
        if (!m_knownWindows.contains(c.window))
            fresh.append(c);
    }
    m_knownWindows = listed;
    QSet<QString> announced;
    for (const auto &c : std::as_const(fresh)) {
        const auto app = m_instances.instanceOfProcess(c.pid);
        if (!app || announced.contains(app->instanceID))
            continue;
        announced.insert(app->instanceID);
        Q_EMIT didOpenWindow(*app);
    }
}
