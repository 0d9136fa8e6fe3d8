#pragma once

#include "appinfo.h"

class DockPinning;

// Keeping an app in the dock, for the state object's "keep in Dock" action: it asks isInDock() first and reports a
// kept app as such, and only otherwise calls addToDock(). Whatever stands for the dock on this desktop is the
// DockPinning side it holds. Used on the dock's own thread, one call at a time; holds nothing but the seam.
class DockPinService
{
public:
    explicit DockPinService(DockPinning &dock);

    [[nodiscard]] bool isInDock(const AppInfo &app) const;
    // True when the app was added and the dock took the change.
    [[nodiscard]] bool addToDock(const AppInfo &app);

private:
    DockPinning &m_dock;
};
