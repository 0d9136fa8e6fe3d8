// The idle cost of the /proc scan behind the workspace events, with about 500 processes on the machine: one scan
// that finds nothing new, what each new process adds, and ten seconds of the real event source (250 ms timer and
// scans) measured as the process's CPU time, which includes the processes that others start meanwhile. The benchmark starts the extra processes itself (copies of sleep) and kills them at the end.
#include "linux/appinstancemapping.h"
#include "linux/linuxappinstances.h"
#include "linux/linuxtimerservice.h"
#include "linux/linuxworkspaceevents.h"
#include "linux/procfs.h"
#include "linux/systemclock.h"

#include <QCoreApplication>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <csignal>
#include <ctime>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr int targetProcesses = 500;

double processCpuSeconds()
{
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Enough sleeping children to bring the machine to about `targetProcesses`; killed and reaped when dropped.
class Crowd
{
public:
    Crowd()
    {
        const auto present = ProcFs::listPids(QStringLiteral("/proc")).size();
        char program[] = "/bin/sleep";
        char seconds[] = "3600";
        char *argv[] = {program, seconds, nullptr};
        for (qsizetype i = present; i < targetProcesses; ++i) {
            pid_t child = 0;
            if (::posix_spawn(&child, program, nullptr, nullptr, argv, environ) == 0)
                m_children.push_back(child);
        }
    }
    ~Crowd()
    {
        for (const pid_t child : m_children)
            ::kill(child, SIGKILL); // our own children
        for (const pid_t child : m_children)
            ::waitpid(child, nullptr, 0);
    }
    Crowd(const Crowd &) = delete;
    Crowd &operator=(const Crowd &) = delete;

private:
    std::vector<pid_t> m_children;
};

void BM_IdleScan(benchmark::State &state)
{
    Crowd crowd;
    LinuxAppInstances instances;
    const double cpuBefore = processCpuSeconds();
    for (auto _ : state) {
        auto changes = instances.refresh();
        benchmark::DoNotOptimize(changes);
    }
    const double perScan = (processCpuSeconds() - cpuBefore) / double(state.iterations());
    state.counters["processes"] = double(ProcFs::listPids(QStringLiteral("/proc")).size());
    // Four scans a second.
    state.counters["core_percent"] = perScan * 4 * 100;
}
BENCHMARK(BM_IdleScan)->Unit(benchmark::kMicrosecond);

// What one new process costs a scan: its facts read and mapped (busy machines start many short-lived processes).
void BM_NewProcess(benchmark::State &state)
{
    const qint64 pid = qint64(::getpid());
    const DesktopEntryIndex entries;
    for (auto _ : state) {
        const auto facts = ProcFs::facts(QStringLiteral("/proc"), pid);
        auto mapped = AppInstanceMapping::mapAll({*facts}, entries);
        benchmark::DoNotOptimize(mapped);
    }
}
BENCHMARK(BM_NewProcess)->Unit(benchmark::kMicrosecond);

void BM_IdleEventSource(benchmark::State &state)
{
    Crowd crowd;
    const auto seconds = state.range(0);
    for (auto _ : state) {
        int argc = 1;
        char name[] = "bench";
        char *argv[] = {name, nullptr};
        QCoreApplication app(argc, argv);
        SystemClock clock;
        LinuxTimerService timers(clock);
        LinuxAppInstances instances;
        LinuxWorkspaceEvents events(instances, timers);
        int launches = 0;
        QObject::connect(&events, &WorkspaceEvents::didLaunch, &app, [&] { ++launches; });
        const double cpuBefore = processCpuSeconds();
        QTimer::singleShot(int(seconds * 1000), &app, &QCoreApplication::quit);
        app.exec();
        const double cpu = processCpuSeconds() - cpuBefore;
        state.counters["core_percent"] = cpu / double(seconds) * 100;
        state.counters["launches"] = launches;
    }
    state.counters["processes"] = double(ProcFs::listPids(QStringLiteral("/proc")).size());
}
BENCHMARK(BM_IdleEventSource)->Arg(10)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
