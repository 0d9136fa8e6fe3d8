#include "supervisionstatusengine.h"

namespace {

bool inForce(const RestrictionRuleSnapshot &rule, Instant t, const ScheduleCalendar &calendar)
{
    if (!rule.isEnabled || (rule.pausedUntil && t < *rule.pausedUntil))
        return false;
    if (!rule.onceDate)
        return true;
    const auto window = RestrictionEngine::onceWindow(rule, calendar);
    return window && t < window->second;
}

bool inForce(const QuitPlanSnapshot &plan, Instant t)
{
    return plan.isEnabled && !(plan.pausedUntil && t < *plan.pausedUntil);
}

} // namespace

namespace SupervisionStatusEngine {

SupervisionStatus status(Instant at, const QList<RestrictionRuleSnapshot> &rules,
                         const QList<QuitPlanSnapshot> &plans, const ScheduleCalendar &calendar)
{
    SupervisionStatus result;
    for (const auto &rule : rules)
        result.activeCount += inForce(rule, at, calendar) ? 1 : 0;
    for (const auto &plan : plans)
        result.activeCount += inForce(plan, at) ? 1 : 0;

    const auto restriction = RestrictionEngine::nextBlockStart(at, rules, std::nullopt, calendar);
    const auto quit = QuitPlanEngine::nextFireDate(at, plans, calendar);
    // On equal instants the restriction start wins.
    if (quit && (!restriction || *quit < *restriction))
        result.nextEvent = SupervisionStatus::NextEvent{SupervisionStatus::NextEventKind::quit, *quit};
    else if (restriction)
        result.nextEvent = SupervisionStatus::NextEvent{SupervisionStatus::NextEventKind::restriction, *restriction};
    return result;
}

} // namespace SupervisionStatusEngine
