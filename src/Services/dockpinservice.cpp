#include "dockpinservice.h"

#include "dockpinning.h"

DockPinService::DockPinService(DockPinning &dock)
    : m_dock(dock)
{
}

bool DockPinService::isInDock(const AppInfo &app) const
{
    return m_dock.isInDock(app);
}

bool DockPinService::addToDock(const AppInfo &app)
{
    return m_dock.addToDock(app);
}
