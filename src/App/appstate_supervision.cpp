#include "appstate.h"

// Supervision orchestration: the status refresh, the block and override timers and warnings, overrides, the
// outside-launch prompt, the expiry block, the activity and wake hooks and the notification guide.

void AppState::refreshSupervisionStatus()
{
}

void AppState::ignoreBlockedApp(const QString &, const QString &, Instant)
{
}

void AppState::promptBlockedLaunch(const QString &)
{
}

void AppState::graceExpired()
{
}

void AppState::rebuildGraceOverrides()
{
}

void AppState::scheduleGraceExpiry()
{
}

void AppState::scheduleGraceWarn(Instant)
{
}

void AppState::fireGraceWarn(Instant)
{
}

void AppState::scheduleBlockBoundaryRefresh()
{
}

void AppState::scheduleBlockWarn()
{
}

std::optional<Instant> AppState::nextBlockWindowStart()
{
    return std::nullopt;
}

void AppState::fireBlockWarn(Instant)
{
}

QStringList AppState::runningBlockedNames(const QSet<QString> &) const
{
    return {};
}

void AppState::showNotificationGuideOnceIfNewInstall()
{
}

QString AppState::currentInstallStamp() const
{
    return m_seams.installStamp ? m_seams.installStamp() : QString();
}

void AppState::expiryBlock(const QString &, int)
{
}

void AppState::applicationDidBecomeActive()
{
}

void AppState::systemDidWake()
{
}
