#pragma once

#include "appinfo.h"

// Keeps apps in the desktop's dock: the list of apps that it shows whether they run or not. Its calls may wait on
// the desktop for seconds, so the state object makes them on a thread of their own: one thread at a time, never
// two calls at once. Owned by main.cpp (or a test) and handed by reference.
class DockPinning
{
public:
    virtual ~DockPinning() = default;

    // Whether the dock keeps the app already.
    [[nodiscard]] virtual bool isInDock(const AppInfo &app) const = 0;
    // Adds the app at the end of the dock's list. True only when the dock took it; false when it is kept already,
    // when the list is not what it should be, or when the dock's settings refused the write.
    [[nodiscard]] virtual bool addToDock(const AppInfo &app) = 0;
};
