#include "appdelegate.h"

#include "appstate.h"

AppDelegate::AppDelegate(std::function<void()> terminate, QObject *parent)
    : QObject(parent), m_terminate(std::move(terminate))
{
}

AppDelegate::TerminateReply AppDelegate::applicationShouldTerminate()
{
    if (!state)
        return TerminateReply::now;
    m_pending = true;
    state->setShowQuitConfirm(true);
    return TerminateReply::later;
}

void AppDelegate::requestQuit()
{
    if (applicationShouldTerminate() == TerminateReply::now && m_terminate)
        m_terminate();
}

void AppDelegate::replyToTermination(bool approve)
{
    if (!m_pending)
        return;
    m_pending = false;
    if (approve && m_terminate)
        m_terminate();
}
