#pragma once

#include "supervisionrearm.h"

#include <QString>
#include <QStringList>

#include <functional>

// A re-arm that records each call by name, in order. When `watch` is set, each entry also carries what it returns
// at the moment of the call ("refresh [enabled=1 paused=- unsaved=0]"), so a test sees whether the caller saved
// first and whether the record was still unchanged.
struct RecordingRearm final : SupervisionRearm
{
    QStringList calls;
    std::function<QString()> watch;

    void refreshEmbeddedGuard() override { record(QStringLiteral("refresh")); }
    void sweepRunningBlocked() override { record(QStringLiteral("sweepRunningBlocked")); }
    void scheduleNextWindowSweep() override { record(QStringLiteral("scheduleNextWindowSweep")); }
    void rescheduleQuitPlans() override { record(QStringLiteral("reschedule")); }
    void refreshSupervisionStatus() override { record(QStringLiteral("refreshSupervisionStatus")); }

    // Returns the calls so far and forgets them.
    QStringList take() { return std::exchange(calls, {}); }

private:
    void record(const QString &name)
    {
        calls.append(watch ? name + QStringLiteral(" [") + watch() + QLatin1Char(']') : name);
    }
};
