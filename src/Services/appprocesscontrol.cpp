#include "appprocesscontrol.h"

#include "appidentity.h"
#include "embeddedapp.h"
#include "embeddedprocessfamily.h"
#include "runningapps.h"

AppProcessControl::AppProcessControl(RunningApps &runningApps, EmbeddedProcessFamily &family,
                                     const EmbeddedAppRegistry &registry)
    : m_runningApps(runningApps)
    , m_family(family)
    , m_registry(registry)
{
}

void AppProcessControl::requestQuit(const QString &bundleID)
{
    if (bundleID.isEmpty() || bundleID == AppIdentity::bundleIDView)
        return;
    if (const auto embedded = m_registry.app(bundleID)) {
        m_family.killAll(*embedded);
        return;
    }
    const qint64 self = AppIdentity::processID();
    for (const auto &app : m_runningApps.runningApps(bundleID)) {
        if (app.pid != self)
            m_runningApps.terminate(app);
    }
}

void AppProcessControl::hide(const QString &bundleID)
{
    if (bundleID.isEmpty() || bundleID == AppIdentity::bundleIDView || m_registry.contains(bundleID))
        return;
    const qint64 self = AppIdentity::processID();
    for (const auto &app : m_runningApps.runningApps(bundleID)) {
        if (app.pid != self)
            m_runningApps.hide(app);
    }
}
