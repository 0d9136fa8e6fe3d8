// The scan against the desktop's own library, side by side over the same 500 generated desktop entries (those of
// bench_appscanner, their programs on PATH): GLib's g_app_info_get_all() with the name of every app, and the index
// gathering plus the full rebuild that every start and every change of an applications folder pays. Each side runs
// in a fresh process of this program per iteration and times only its own listing, so neither profits from a warm
// process (GLib keeps what it read for the life of the process). Goal: ours at most GLib's; the counter "ratio" of
// the Tarnwick benchmark is its median over GLib's median of 15 runs taken just before (medians, as other work on
// the machine makes single runs vary).
#include "appscanner.h"
#include "benchfixtures.h"
#include "desktopentryindex.h"
#include "linux/xdgenvironment.h"
#include "portablebundlereader.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <benchmark/benchmark.h>
#include <gio/gio.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const QStringList languages{u"zh-CN"_qs, u"zh-Hans-CN"_qs, u"zh"_qs};

// In the child: the apps GLib lists and the time it took, "count seconds".
int listWithGLib()
{
    const auto start = Clock::now();
    GList *all = g_app_info_get_all();
    int count = 0;
    for (GList *it = all; it; it = it->next) {
        const char *name = g_app_info_get_name(G_APP_INFO(it->data));
        if (name && *name)
            ++count;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    g_list_free_full(all, g_object_unref);
    std::printf("%d %.9f\n", count, seconds);
    return 0;
}

// In the child: the same with the scanner's gathering and rebuild, as the program runs them.
int listWithTarnwick()
{
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const auto start = Clock::now();
    const QStringList roots = XdgEnvironment::applicationRoots(env);
    const PortableBundleReader reader({roots, XdgEnvironment::currentDesktops(env), [&env](const QString &program) {
                                           return XdgEnvironment::programExists(program, env);
                                       }});
    AppScanner::RebuildInput input;
    input.hits = DesktopEntryIndex::gather(roots, {u"zh_CN"_qs, u"zh"_qs}).hits;
    input.ownBundleID = u"tarnwick"_qs;
    input.scopes = roots;
    input.preferredLanguages = languages;
    input.homeDirectory = QDir::homePath();
    const QList<AppInfo> apps = AppScanner::rebuild(input, reader);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%lld %.9f\n", static_cast<long long>(apps.size()), seconds);
    return 0;
}

QString ownPath()
{
    return QFileInfo(u"/proc/self/exe"_qs).symLinkTarget();
}

struct Listing
{
    int count = -1;
    double seconds = 0;
};

// One fresh process of this program in `mode`, over the fixture.
Listing runChild(const char *mode)
{
    const BenchFixtures::DesktopEntries &f = BenchFixtures::desktopEntries();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"XDG_DATA_HOME"_qs, f.dataHome);
    env.insert(u"XDG_DATA_DIRS"_qs, f.dataDirs);
    env.insert(u"XDG_CONFIG_HOME"_qs, f.dir.path() + u"/config"_qs);
    env.insert(u"XDG_CONFIG_DIRS"_qs, f.dir.path() + u"/config-dirs"_qs);
    env.insert(u"XDG_CURRENT_DESKTOP"_qs, u"GNOME"_qs);
    env.insert(u"PATH"_qs, f.binFolder + u":/usr/bin:/bin"_qs);
    env.remove(u"TARNWICK_APP_DIRS"_qs);
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(ownPath(), {QString::fromLatin1(mode)});
    Listing out;
    if (!child.waitForFinished(60000))
        return out;
    const QList<QByteArray> parts = child.readAllStandardOutput().trimmed().split(' ');
    if (parts.size() == 2) {
        out.count = parts[0].toInt();
        out.seconds = parts[1].toDouble();
    }
    return out;
}

double median(std::vector<double> times);

double glibMedian()
{
    static const double value = [] {
        std::vector<double> times;
        for (int i = 0; i < 15; ++i)
            times.push_back(runChild("--list-with-glib").seconds);
        return median(times);
    }();
    return value;
}

double median(std::vector<double> times)
{
    if (times.empty())
        return 0;
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Returns the median time of the iterations.
double fresh(benchmark::State &state, const char *mode)
{
    int count = -1;
    std::vector<double> times;
    for (auto _ : state) {
        const Listing listing = runChild(mode);
        if (listing.count < 0) {
            state.SkipWithError("the child process failed");
            return 0;
        }
        count = listing.count;
        times.push_back(listing.seconds);
        state.SetIterationTime(listing.seconds);
    }
    state.counters["apps"] = count;
    state.counters["medianMs"] = median(times) * 1000.0;
    return median(times);
}

void BM_GLibAppInfoGetAll(benchmark::State &state)
{
    fresh(state, "--list-with-glib");
}
BENCHMARK(BM_GLibAppInfoGetAll)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_TarnwickGatherAndRebuild(benchmark::State &state)
{
    const double glib = glibMedian();
    const double ours = fresh(state, "--list-with-tarnwick");
    if (glib > 0) {
        state.counters["glibMedianMs"] = glib * 1000.0;
        state.counters["ratio"] = ours / glib;
    }
}
BENCHMARK(BM_TarnwickGatherAndRebuild)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

} // namespace

int main(int argc, char **argv)
{
    // A child leaves without tearing down what it read: that is no part of the listing.
    if (argc == 2 && std::strcmp(argv[1], "--list-with-glib") == 0) {
        listWithGLib();
        std::fflush(stdout);
        std::_Exit(0);
    }
    if (argc == 2 && std::strcmp(argv[1], "--list-with-tarnwick") == 0) {
        listWithTarnwick();
        std::fflush(stdout);
        std::_Exit(0);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
