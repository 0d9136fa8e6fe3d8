#include "linux/linuxworkspaceevents.h"

#include "linux/linuxappinstances.h"
#include "linux/x11display.h"
#include "linux/x11windowlist.h"

LinuxWorkspaceEvents::LinuxWorkspaceEvents(LinuxAppInstances &instances, TimerService &timers, X11Display *display,
                                           QObject *parent)
    : WorkspaceEvents(parent)
    , m_instances(instances)
    , m_display(display)
{
    m_timer = timers.startRepeating(scanInterval, [this] { scan(); });
    if (m_display && m_display->isConnected()) {
        m_windows = new X11WindowList(m_display);
        m_activeWindowAtom = m_display->atom("_NET_ACTIVE_WINDOW");
        connect(m_display, &X11Display::rootPropertyChanged, this, [this](quint32 atom) {
            if (atom == m_activeWindowAtom)
                activeWindowChanged();
        });
        m_display->watchRootProperties();
    }
}

LinuxWorkspaceEvents::~LinuxWorkspaceEvents()
{
    delete m_windows;
}

void LinuxWorkspaceEvents::scan()
{
    const auto changes = m_instances.refresh();
    for (const auto &app : changes.terminated) {
        if (app.instanceID == m_activeInstanceID)
            m_activeInstanceID.clear();
        Q_EMIT didTerminate(app);
    }
    for (const auto &app : changes.launched)
        Q_EMIT didLaunch(app);
}

void LinuxWorkspaceEvents::activeWindowChanged()
{
    const auto window = m_windows->activeWindow();
    if (!window) {
        m_activeInstanceID.clear();
        return;
    }
    // A window of a process too young for the last scan: scan first, so that its launch comes before it activates.
    if (!m_instances.knowsProcess(window->ownerPID))
        scan();
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
