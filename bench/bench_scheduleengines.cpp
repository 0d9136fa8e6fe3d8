// What one supervision refresh costs: the calendar searches behind the block boundary and the status summary,
// over a realistic set of rules and plans, in a zone with clock changes.
#include "quitplanengine.h"
#include "restrictionengine.h"
#include "schedulecalendar.h"
#include "supervisionstatusengine.h"

#include <benchmark/benchmark.h>

#include <QTimeZone>

namespace {

const Instant kWednesdayNoon{std::chrono::seconds{1772643600}}; // 2026-03-04T12:00:00-05:00

ScheduleCalendar newYork()
{
    return ScheduleCalendar(QTimeZone(QByteArray("America/New_York")));
}

QList<RestrictionRuleSnapshot> rules(int count)
{
    QList<RestrictionRuleSnapshot> result;
    for (int i = 0; i < count; ++i) {
        RestrictionRuleSnapshot rule;
        rule.targetID = QStringLiteral("com.example.app%1").arg(i);
        rule.startMinute = (i * 97) % 1440;
        rule.endMinute = (i * 97 + 90 + i * 13) % 1440;
        rule.weekdays = {1, 2, 3, 4, 5, 6, 7};
        result.append(rule);
    }
    return result;
}

QList<QuitPlanSnapshot> plans(int count)
{
    QList<QuitPlanSnapshot> result;
    for (int i = 0; i < count; ++i) {
        QuitPlanSnapshot plan;
        plan.targetKind = QuitPlanTarget::apps;
        plan.bundleIDs = {QStringLiteral("com.example.game%1").arg(i)};
        plan.quitMinute = (i * 131) % 1440;
        plan.weekdays = {2, 3, 4, 5, 6};
        plan.blockMode = QuitPlanBlockMode::minutes;
        plan.blockMinutes = 60;
        result.append(plan);
    }
    return result;
}

void BM_NextMatching(benchmark::State &state)
{
    const auto calendar = newYork();
    for (auto _ : state)
        benchmark::DoNotOptimize(calendar.nextMatching(kWednesdayNoon, 2, 8, 30));
}
BENCHMARK(BM_NextMatching);

void BM_NextBlockBoundary(benchmark::State &state)
{
    const auto all = rules(int(state.range(0)));
    for (auto _ : state) {
        // Callers make a calendar for each computation; its cost belongs in the figure.
        const auto calendar = ScheduleCalendar::system();
        benchmark::DoNotOptimize(RestrictionEngine::nextBlockBoundary(kWednesdayNoon, all, calendar));
    }
}
BENCHMARK(BM_NextBlockBoundary)->Arg(10)->Arg(50);

void BM_Status(benchmark::State &state)
{
    const auto allRules = rules(int(state.range(0)));
    const auto allPlans = plans(int(state.range(0)));
    for (auto _ : state) {
        const auto calendar = newYork();
        benchmark::DoNotOptimize(SupervisionStatusEngine::status(kWednesdayNoon, allRules, allPlans, calendar));
    }
}
BENCHMARK(BM_Status)->Arg(10)->Arg(50);

} // namespace

BENCHMARK_MAIN();
