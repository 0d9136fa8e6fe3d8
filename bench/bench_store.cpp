// The store's hot paths at the size of a real app list: every blocked-set computation fetches the rules, plans and
// blocks, the app list fetches all AppMeta rows, and a drag of the custom order rewrites every sort index at once.
#include "adhocblock.h"
#include "appgroup.h"
#include "appmeta.h"
#include "persistencecontroller.h"
#include "quitplan.h"
#include "restrictionrule.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <tuple>

#include <benchmark/benchmark.h>

namespace {

const Instant now = Instants::fromSecondsSince1970(1772452800);

void fill(StoreContext &context, int apps)
{
    for (int i = 0; i < apps; ++i)
        context.fetchOrCreateMeta(u"com.example.app%1"_qs.arg(i))->setSortIndex(i);
    for (int i = 0; i < 20; ++i) {
        context.insert(std::make_unique<AppGroup>(u"g%1"_qs.arg(i), i, QStringList{u"com.example.app1"_qs}));
        context.insert(std::make_unique<RestrictionRule>(RestrictionTarget::app, u"com.example.app%1"_qs.arg(i), 0,
                                                         60, QList<int>{1, 2, 3}, true, std::nullopt));
        context.insert(std::make_unique<QuitPlan>(QuitPlanTarget::apps, QString(), QStringList{u"a"_qs}, 0,
                                                  QList<int>{1}, QuitPlanBlockMode::minutes, 10, 0, true));
    }
    context.insert(std::make_unique<AdHocBlock>(u"a"_qs, now));
}

void fetchSupervisionRows(benchmark::State &state)
{
    auto opened = PersistenceController::makeContainer(true, [] { return now; });
    StoreContext &context = opened.container->mainContext();
    fill(context, 500);
    for (auto _ : state) {
        benchmark::DoNotOptimize(context.fetch<RestrictionRule>());
        benchmark::DoNotOptimize(context.fetch<QuitPlan>());
        benchmark::DoNotOptimize(context.fetch<AdHocBlock>());
        benchmark::DoNotOptimize(context.fetch<AppGroup>({}, AppGroup::bySortIndex));
    }
}
BENCHMARK(fetchSupervisionRows);

void snapshotAllMeta(benchmark::State &state)
{
    auto opened = PersistenceController::makeContainer(true, [] { return now; });
    StoreContext &context = opened.container->mainContext();
    fill(context, int(state.range(0)));
    for (auto _ : state) {
        QHash<QString, AppMetaSnapshot> snapshots;
        for (const AppMeta *meta : context.fetch<AppMeta>())
            snapshots.insert(meta->bundleID(), meta->snapshot());
        benchmark::DoNotOptimize(snapshots);
    }
}
BENCHMARK(snapshotAllMeta)->Arg(500);

// Rewrite every sort index and save, to a file.
void reorderAndSave(benchmark::State &state)
{
    QTemporaryDir dir;
    auto opened = PersistenceController::makeContainer(false, [] { return now; }, dir.path());
    StoreContext &context = opened.container->mainContext();
    fill(context, int(state.range(0)));
    std::ignore = context.save();
    const auto metas = context.fetch<AppMeta>();
    int shift = 0;
    for (auto _ : state) {
        ++shift;
        for (qsizetype i = 0; i < metas.size(); ++i)
            metas[i]->setSortIndex(int((i + shift) % metas.size()));
        if (context.save() != SaveResult::saved)
            state.SkipWithError("save failed");
    }
}
BENCHMARK(reorderAndSave)->Arg(500)->Unit(benchmark::kMillisecond);

// A store file of `apps` app rows and the 61 rows of fill(); its path.
QString makeStoreFile(const QTemporaryDir &dir, int apps)
{
    auto opened = PersistenceController::makeContainer(false, [] { return now; }, dir.path());
    fill(opened.container->mainContext(), apps);
    std::ignore = opened.container->mainContext().save();
    return opened.container->filePath();
}

// Opening a store (the start-up cost, the full check of the file included): 500 apps, and 20,000 rows.
void openStore(benchmark::State &state)
{
    QTemporaryDir dir;
    std::ignore = makeStoreFile(dir, int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(PersistenceController::makeContainer(false, [] { return now; }, dir.path()));
}
BENCHMARK(openStore)->Arg(500)->Arg(20000 - 61)->Unit(benchmark::kMillisecond);

// The checks alone, on a connection of their own, so that their share of the open shows: the full check that the
// store runs and the quick one it replaced.
void checkStoreFile(benchmark::State &state, const char *pragma)
{
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(makeStoreFile(dir, int(state.range(0))));
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    for (auto _ : state) {
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(db, pragma, -1, &statement, nullptr);
        if (sqlite3_step(statement) != SQLITE_ROW
            || qstrcmp(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)), "ok") != 0)
            state.SkipWithError("check failed");
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
}
BENCHMARK_CAPTURE(checkStoreFile, integrity, "PRAGMA integrity_check(1)")
    ->Arg(500)
    ->Arg(20000 - 61)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(checkStoreFile, quick, "PRAGMA quick_check")->Arg(500)->Arg(20000 - 61)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
