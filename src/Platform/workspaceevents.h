#pragma once

#include "runningapps.h"

#include <QObject>

// An application instance started, came to the front, or ended. Delivered on the main thread.
class WorkspaceEvents : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

Q_SIGNALS:
    void didLaunch(const RunningApp &app);
    void didActivate(const RunningApp &app);
    void didTerminate(const RunningApp &app);
};
