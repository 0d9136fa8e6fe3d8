#include "workspaceterminator.h"

#include "appprocesscontrol.h"

WorkspaceTerminator::WorkspaceTerminator(AppProcessControl &control)
    : m_control(control)
{
}

void WorkspaceTerminator::terminate(const QString &bundleID)
{
    m_control.requestQuit(bundleID);
}
