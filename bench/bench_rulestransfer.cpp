// The settings sheet's rules file: importing a large file (read, check, replace, re-arm, outcome line) and
// exporting it again (build, encode, write). Goal: each under 100 ms.
#include "../tests/App/appstatefixture.h"
#include "appgroup.h"
#include "rulestransfer.h"
#include "supervisionexporter.h"
#include "supervisionrearm.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

namespace {

// 100 groups of 8 apps, 1,000 rules (every fourth on a group), 200 plans (every other on a group).
QByteArray largeFile()
{
    SupervisionExport file;
    file.exportedAt = Instant{std::chrono::sys_days{std::chrono::year{2026} / 3 / 7}};
    file.blockedSlogan = QStringLiteral("先做完今天的事");
    for (int g = 0; g < 100; ++g) {
        QStringList apps;
        for (int a = 0; a < 8; ++a)
            apps.append(QStringLiteral("org.example.app%1").arg(g * 8 + a));
        file.groups.append({AppGroup::newStableID(), QStringLiteral("分组 %1").arg(g), g, apps});
    }
    for (int r = 0; r < 1000; ++r) {
        const bool group = r % 4 == 0;
        file.restrictionRules.append({group ? QStringLiteral("group") : QStringLiteral("app"),
                                      group ? file.groups.at(r % 100).id : QStringLiteral("org.example.app%1").arg(r),
                                      (r * 7) % 1440, (r * 13) % 1440, {1, 3, 5}, r % 3 != 0, std::nullopt,
                                      std::nullopt});
    }
    for (int p = 0; p < 200; ++p) {
        const bool group = p % 2 == 0;
        file.quitPlans.append({group ? QStringLiteral("group") : QStringLiteral("apps"),
                               group ? file.groups.at(p % 100).id : QString(),
                               group ? QStringList{} : QStringList{QStringLiteral("org.example.app%1").arg(p)},
                               (p * 11) % 1440, {2, 4}, QStringLiteral("minutes"), 30, 0, true, std::nullopt});
    }
    return *SupervisionExporter::encode(file);
}

struct NoRearm final : SupervisionRearm
{
    void refreshEmbeddedGuard() override {}
    void sweepRunningBlocked() override {}
    void scheduleNextWindowSweep() override {}
    void rescheduleQuitPlans() override {}
    void refreshSupervisionStatus() override {}
};

void importLargeFile(benchmark::State &bench)
{
    AppStateFixture f;
    f.start();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.json"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(largeFile()) < 0)
        bench.SkipWithError("cannot write the file");
    out.close();
    // The program's own re-arm, over the state object's guards and scheduler.
    AppStateSupervisionRearm rearm(*f.state);
    RulesTransfer transfer(*f.state, rearm);
    for (auto _ : bench) {
        transfer.beginImport(QUrl::fromLocalFile(path));
        transfer.confirmImport();
        benchmark::DoNotOptimize(transfer.outcomeLine());
    }
}
BENCHMARK(importLargeFile)->Unit(benchmark::kMillisecond);

void exportLargeStore(benchmark::State &bench)
{
    AppStateFixture f;
    f.start();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.json"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(largeFile()) < 0)
        bench.SkipWithError("cannot write the file");
    out.close();
    NoRearm rearm;
    RulesTransfer transfer(*f.state, rearm);
    transfer.beginImport(QUrl::fromLocalFile(path));
    transfer.confirmImport();
    const QUrl target = QUrl::fromLocalFile(dir.filePath(QStringLiteral("export.json")));
    for (auto _ : bench) {
        if (!transfer.prepareExport())
            bench.SkipWithError("no export");
        transfer.finishExport(target);
    }
}
BENCHMARK(exportLargeStore)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
