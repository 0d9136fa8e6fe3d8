#pragma once

#include "appterminating.h"

class AppProcessControl;

// The terminator of the running program: an embedded app has its processes killed, any other app is asked to
// quit. Main thread; owned by main.cpp.
class WorkspaceTerminator : public AppTerminating
{
public:
    explicit WorkspaceTerminator(AppProcessControl &control);
    void terminate(const QString &bundleID) override;

private:
    AppProcessControl &m_control;
};
