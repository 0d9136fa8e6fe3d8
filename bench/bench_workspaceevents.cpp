// The idle cost of the /proc scan behind the workspace events, with about 500 processes on the machine: a listing
// that finds nothing new, the scan at its real pace with and without skipping quiet tables, what each new process
// adds, and ten seconds of the real event source measured as the process's CPU time: first its 50 ms timer and
// scans, then the table watch's thread in their place. It includes the processes and threads that others start
// meanwhile (each one makes the next scan list the table). The benchmark starts the extra processes itself (copies of
// sleep) and kills them at the end.
#include "linux/appinstancemapping.h"
#include "linux/linuxappinstances.h"
#include "linux/linuxtimerservice.h"
#include "linux/linuxworkspaceevents.h"
#include "linux/processtablewatch.h"
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

// A full listing of /proc that finds nothing new, back to back (warm caches).
void BM_FullScan(benchmark::State &state)
{
    Crowd crowd;
    LinuxAppInstances instances;
    instances.setQuietScansAtMost(0);
    const double cpuBefore = processCpuSeconds();
    for (auto _ : state) {
        auto changes = instances.refresh();
        benchmark::DoNotOptimize(changes);
    }
    const double perScan = (processCpuSeconds() - cpuBefore) / double(state.iterations());
    state.counters["processes"] = double(ProcFs::listPids(QStringLiteral("/proc")).size());
    state.counters["core_percent"] = perScan * 4 * 100; // four scans a second
}
BENCHMARK(BM_FullScan)->Unit(benchmark::kMicrosecond);

// The same at its real pace, a quarter second apart, with caches as cold as the rest of the machine leaves them.
// `quiet` 0 lists every time; 1 lets a scan skip the listing while the table's counters stand still, as in use.
void BM_ScanEveryQuarterSecond(benchmark::State &state)
{
    Crowd crowd;
    LinuxAppInstances instances;
    if (state.range(0) == 0)
        instances.setQuietScansAtMost(0);
    const auto listingsBefore = instances.listings();
    double cpu = 0;
    for (auto _ : state) {
        timespec pause{0, 250'000'000};
        ::nanosleep(&pause, nullptr);
        const double before = processCpuSeconds();
        auto changes = instances.refresh();
        benchmark::DoNotOptimize(changes);
        const double used = processCpuSeconds() - before;
        cpu += used;
        state.SetIterationTime(used);
    }
    state.counters["core_percent"] = cpu / double(state.iterations()) * 4 * 100;
    state.counters["listings"] = double(instances.listings() - listingsBefore);
}
BENCHMARK(BM_ScanEveryQuarterSecond)->Arg(0)->Arg(1)->UseManualTime()->Iterations(40)->Unit(benchmark::kMicrosecond);

// What one new process costs a scan: its facts read and mapped (busy machines start many short-lived processes).
void BM_NewProcess(benchmark::State &state)
{
    const qint64 pid = qint64(::getpid());
    const DesktopEntryLookup entries;
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
    const bool watched = state.range(1) != 0;
    for (auto _ : state) {
        int argc = 1;
        char name[] = "bench";
        char *argv[] = {name, nullptr};
        QCoreApplication app(argc, argv);
        SystemClock clock;
        LinuxTimerService timers(clock);
        LinuxAppInstances instances;
        ProcessTableWatch watch(QStringLiteral("/proc"), LinuxWorkspaceEvents::scanInterval);
        LinuxWorkspaceEvents events(instances, timers, nullptr, watched ? &watch : nullptr);
        int launches = 0;
        QObject::connect(&events, &WorkspaceEvents::didLaunch, &app, [&] { ++launches; });
        const double cpuBefore = processCpuSeconds();
        const auto readBefore = instances.processesRead();
        const auto listingsBefore = instances.listings();
        QTimer::singleShot(int(seconds * 1000), &app, &QCoreApplication::quit);
        app.exec();
        const double cpu = processCpuSeconds() - cpuBefore;
        state.counters["core_percent"] = cpu / double(seconds) * 100;
        state.counters["launches"] = launches;
        state.counters["new_processes"] = double(instances.processesRead() - readBefore);
        state.counters["listings"] = double(instances.listings() - listingsBefore);
    }
    state.counters["processes"] = double(ProcFs::listPids(QStringLiteral("/proc")).size());
}
BENCHMARK(BM_IdleEventSource)->ArgNames({"seconds", "watch"})->Args({10, 0})->Args({10, 1})->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
