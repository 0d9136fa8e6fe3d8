#include "standinwindowmodel.h"

#include "appdelegate.h"
#include "appscanner.h"
#include "appstate.h"

StandInWindowModel::StandInWindowModel(AppState &state, AppDelegate &delegate, QObject *parent)
    : QObject(parent), m_state(state), m_delegate(delegate)
{
    connect(&state, &AppState::changed, this, &StandInWindowModel::changed);
    connect(&state.scanner(), &AppScanner::isInitialScanDoneChanged, this, &StandInWindowModel::changed);
    connect(&state.scanner(), &AppScanner::appsChanged, this, &StandInWindowModel::changed);
}

bool StandInWindowModel::scanDone() const
{
    return m_state.scanner().isInitialScanDone();
}

int StandInWindowModel::appCount() const
{
    return int(m_state.scanner().apps().size());
}

bool StandInWindowModel::showQuitConfirm() const
{
    return m_state.showQuitConfirm();
}

void StandInWindowModel::requestQuit()
{
    m_delegate.requestQuit();
}

void StandInWindowModel::approveQuit()
{
    m_state.approveQuit();
}

void StandInWindowModel::cancelQuit()
{
    m_state.cancelQuit();
}
