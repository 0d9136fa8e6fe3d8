// The state object's start-up over the fakes, with a store of a real size: 500 app records, 50 restriction rules and
// 20 timed-quit plans. The store file lies in a memory-backed folder where there is one, so the figure is the
// start-up's own work and not the disk's.
#include "../tests/App/appstatefixture.h"

#include "appgroup.h"
#include "appmeta.h"
#include "quitplan.h"
#include "restrictionrule.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void fill(StoreContext &context)
{
    for (int i = 0; i < 500; ++i) {
        AppMeta *meta = context.fetchOrCreateMeta(u"com.example.app%1"_qs.arg(i));
        meta->setSortIndex(i);
        meta->setIsPinned(i % 50 == 0);
        meta->setIsHidden(i % 40 == 0);
    }
    QStringList members;
    for (int i = 0; i < 30; ++i)
        members.append(u"com.example.app%1"_qs.arg(i));
    context.insert(std::make_unique<AppGroup>(u"娱乐"_qs, 0, members));
    for (int i = 0; i < 50; ++i) {
        context.insert(std::make_unique<RestrictionRule>(RestrictionTarget::app, u"com.example.app%1"_qs.arg(i * 7),
                                                         (i * 29) % 1440, (i * 29 + 90) % 1440,
                                                         QList<int>{1 + i % 7, 1 + (i + 3) % 7}, true, std::nullopt));
    }
    for (int i = 0; i < 20; ++i) {
        context.insert(std::make_unique<QuitPlan>(QuitPlanTarget::apps, QString(),
                                                  QStringList{u"com.example.app%1"_qs.arg(i), u"com.example.app%1"_qs.arg(i + 100)},
                                                  (i * 67) % 1440, QList<int>{1, 2, 3, 4, 5, 6, 7},
                                                  QuitPlanBlockMode::minutes, 30, 0, true));
    }
}

QString seededBaseFolder()
{
    static QTemporaryDir dir(QDir(u"/dev/shm"_qs).exists() ? u"/dev/shm/tarnwick-bench-XXXXXX"_qs
                                                          : QDir::tempPath() + u"/tarnwick-bench-XXXXXX"_qs);
    static const bool seeded = [] {
        AppStateFixture f;
        ContainerResult opened = PersistenceController::makeContainer(
            false, [&f] { return f.clock.now(); }, dir.path());
        if (!opened.container)
            return false;
        fill(opened.container->mainContext());
        return opened.container->mainContext().save() == SaveResult::saved;
    }();
    return seeded ? dir.path() : QString();
}

void createAppState(benchmark::State &state)
{
    const QString base = seededBaseFolder();
    if (base.isEmpty()) {
        state.SkipWithError("the store could not be seeded");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto f = std::make_unique<AppStateFixture>();
        AppState::Seams seams = f->seams();
        seams.dataBaseFolder = base;
        seams.storeInMemory = false;
        state.ResumeTiming();

        AppState::CreateResult result = AppState::create(std::move(seams));
        benchmark::DoNotOptimize(result.state.get());

        state.PauseTiming();
        if (!result.state)
            state.SkipWithError("the start-up failed");
        result.state.reset();
        f.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(createAppState)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
