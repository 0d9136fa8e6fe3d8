// A full rebuild of the app list over 500 generated desktop entries in two roots, a third of them with Chinese
// names, as the scanner runs it after a reload (the search's hits are gathered beforehand), and the gathering. In
// one process the entries are parsed once and then found unchanged, as on a rescan; bench_scanvsglib times the
// first scan of a fresh process. Goal: under 150 ms.
#include "appscanner.h"
#include "benchfixtures.h"
#include "desktopentryindex.h"
#include "portablebundlereader.h"

#include <QDir>

#include <benchmark/benchmark.h>

namespace {

const QStringList languages{u"zh-CN"_qs, u"zh-Hans-CN"_qs, u"zh"_qs};

BenchFixtures::DesktopEntries &fixture()
{
    return BenchFixtures::desktopEntries();
}

void BM_FullRebuild(benchmark::State &state)
{
    auto &f = fixture();
    const PortableBundleReader reader({f.roots, {u"GNOME"_qs}, {}});
    AppScanner::RebuildInput input;
    input.hits = DesktopEntryIndex::gather(f.roots, {u"zh_CN"_qs, u"zh"_qs}).hits;
    input.ownBundleID = u"tarnwick"_qs;
    input.scopes = f.roots;
    input.preferredLanguages = languages;
    input.homeDirectory = QDir::homePath();
    qsizetype listed = 0;
    for (auto _ : state) {
        const auto apps = AppScanner::rebuild(input, reader);
        listed = apps.size();
        benchmark::DoNotOptimize(apps);
    }
    state.counters["apps"] = double(listed);
}
BENCHMARK(BM_FullRebuild)->Unit(benchmark::kMillisecond);

void BM_IndexGathering(benchmark::State &state)
{
    auto &f = fixture();
    for (auto _ : state) {
        auto gathered = DesktopEntryIndex::gather(f.roots, {u"zh_CN"_qs, u"zh"_qs});
        benchmark::DoNotOptimize(gathered);
    }
}
BENCHMARK(BM_IndexGathering)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
