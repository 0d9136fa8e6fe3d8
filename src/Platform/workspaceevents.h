#pragma once

#include "runningapps.h"

#include <QObject>

// An application instance started, came to the front, showed a new window, or ended. Delivered on the main thread.
class WorkspaceEvents : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

Q_SIGNALS:
    void didLaunch(const RunningApp &app);
    void didActivate(const RunningApp &app);
    void didTerminate(const RunningApp &app);
    // A window of the instance appeared (one more managed window on the desktop); not sent for the windows that
    // were there when the events began.
    void didOpenWindow(const RunningApp &app);
};
