#include "planpause.h"

#include "quitplan.h"
#include "schedulecalendar.h"

namespace {

constexpr int kMinutesPerDay = 24 * 60;

bool validMinute(int m)
{
    return m >= 0 && m < kMinutesPerDay;
}

} // namespace

namespace PlanPause {

int blockWindowMinutes(const QuitPlanSnapshot &plan)
{
    if (!validMinute(plan.quitMinute))
        return 0;
    switch (plan.blockMode) {
    case QuitPlanBlockMode::none:
        return 0;
    case QuitPlanBlockMode::minutes:
        return plan.blockMinutes < 0 ? 0 : plan.blockMinutes % kMinutesPerDay;
    case QuitPlanBlockMode::until:
        if (!validMinute(plan.blockUntilMinute))
            return 0;
        return (plan.blockUntilMinute - plan.quitMinute + kMinutesPerDay) % kMinutesPerDay;
    }
    return 0;
}

std::optional<Instant> pauseEnd(QuitPlanSnapshot plan, Instant now, const ScheduleCalendar &calendar)
{
    plan.pausedUntil.reset();
    const auto next = QuitPlanEngine::nextFireDate(now, {plan}, calendar);
    if (!next)
        return std::nullopt;
    const int window = blockWindowMinutes(plan);
    if (window == 0)
        return *next + 60s;
    return *next + std::chrono::minutes(window);
}

QuitPlanSnapshot snapshot(const QuitPlan &plan)
{
    QuitPlanSnapshot s;
    s.targetKind = plan.targetKind();
    s.groupID = plan.groupID();
    s.bundleIDs = plan.bundleIDs();
    s.quitMinute = plan.quitMinute();
    s.weekdays = std::set<int>(plan.weekdays().cbegin(), plan.weekdays().cend());
    s.blockMode = plan.blockMode();
    s.blockMinutes = plan.blockMinutes();
    s.blockUntilMinute = plan.blockUntilMinute();
    s.isEnabled = plan.isEnabled();
    s.pausedUntil = plan.pausedUntil();
    return s;
}

} // namespace PlanPause
