#pragma once

#include <QString>

// What quits an app when its focus session runs out. The focus-session manager holds one by reference; tests pass
// a recorder. Main thread.
class AppTerminating
{
public:
    virtual ~AppTerminating() = default;
    // Asks the app to quit; fire-and-forget.
    virtual void terminate(const QString &bundleID) = 0;
};
