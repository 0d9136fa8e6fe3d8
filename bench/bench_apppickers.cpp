// The lists the user picks apps from, over 5,000 generated apps (Chinese, Latin and mixed names, a user alias on every
// twentieth): one keystroke in the pick sheet and in the add sheet (the filter and the model's update), and the first
// opening of each (the sort). A keystroke should stay well inside one 16 ms frame.

#include "appgroup.h"
#include "appstatefixture.h"
#include "apppickermodel.h"
#include "groupaddappsmodel.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cstdint>

namespace {

constexpr int appCount = 5000;

class Sequence
{
public:
    int next(int bound)
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return int((m_state >> 33) % uint64_t(bound));
    }

private:
    uint64_t m_state = 20261210;
};

QList<AppInfo> generatedApps()
{
    static const QStringList han{u"微信"_qs, u"音乐"_qs, u"视频"_qs, u"地图"_qs, u"相机"_qs, u"日历"_qs, u"邮件"_qs,
                                 u"备忘录"_qs, u"天气"_qs, u"浏览器"_qs, u"词典"_qs, u"翻译"_qs, u"笔记"_qs,
                                 u"会议"_qs, u"游戏"_qs, u"商店"_qs, u"助手"_qs, u"终端"_qs, u"表格"_qs, u"银行"_qs};
    static const QStringList latin{u"Visual"_qs, u"Studio"_qs, u"Code"_qs, u"Music"_qs, u"Photo"_qs, u"Note"_qs,
                                   u"Cloud"_qs, u"Mail"_qs, u"Chat"_qs, u"Player"_qs, u"Editor"_qs, u"Pro"_qs,
                                   u"Map"_qs, u"Book"_qs, u"Reader"_qs, u"Zoom"_qs, u"Slack"_qs, u"Docker"_qs};
    Sequence seq;
    QList<AppInfo> apps;
    for (int i = 0; i < appCount; ++i) {
        QString name;
        const int kind = seq.next(3);
        if (kind != 1)
            name += han[seq.next(int(han.size()))] + han[seq.next(int(han.size()))];
        if (kind != 0)
            name += (name.isEmpty() ? QString() : u" "_qs) + latin[seq.next(int(latin.size()))] + u' '
                    + latin[seq.next(int(latin.size()))];
        AppInfo app;
        app.bundleID = u"org.example.app"_qs + QString::number(i);
        app.name = name + u' ' + QString::number(i);
        app.url = QUrl::fromLocalFile(u"/usr/share/applications/"_qs + app.bundleID + u".desktop"_qs);
        apps.append(app);
    }
    return apps;
}

QString aliasOf(const AppInfo &app)
{
    const int n = app.bundleID.mid(15).toInt();
    return n % 20 == 0 ? u"别名 "_qs + QString::number(n) : app.name;
}

// The keystrokes of typing "wei" and deleting it again: every step a new filter.
const QStringList typing{u"w"_qs, u"we"_qs, u"wei"_qs, u"we"_qs};

void pickSheetKeystroke(benchmark::State &state)
{
    QSet<QString> selection;
    AppPickerModel model(generatedApps(), aliasOf,
                         AppPickerModel::MultiSelection{[&] { return selection; },
                                                         [&](const QSet<QString> &s) { selection = s; }});
    model.setSearch(u"x"_qs); // the thread's first query sets up ICU
    int step = 0;
    for (auto _ : state) {
        model.setSearch(typing[step++ % typing.size()]);
        benchmark::DoNotOptimize(model.count());
    }
    state.counters["candidates"] = double(appCount);
    model.setSearch(u"wei"_qs);
    state.counters["matches"] = model.count();
}
BENCHMARK(pickSheetKeystroke)->Unit(benchmark::kMillisecond);

void pickSheetOpening(benchmark::State &state)
{
    const QList<AppInfo> apps = generatedApps();
    QString selection;
    for (auto _ : state) {
        AppPickerModel model(apps, aliasOf,
                             AppPickerModel::SingleSelection{[&] { return selection; }, [&](const QString &) {}});
        benchmark::DoNotOptimize(model.count());
    }
}
BENCHMARK(pickSheetOpening)->Unit(benchmark::kMillisecond);

struct StartedState
{
    AppStateFixture fixture;
    StartedState()
    {
        AppState &state = fixture.start();
        const QList<AppInfo> apps = generatedApps();
        fixture.finishScan(apps);
        for (int i = 0; i < apps.size(); i += 20)
            state.setAlias(aliasOf(apps[i]), apps[i]);
        StoreContext &context = state.container().mainContext();
        AppGroup *group = context.insert(std::make_unique<AppGroup>(u"工作"_qs, 0, QStringList{apps[3].bundleID}));
        std::ignore = context.save();
        state.setSelectedGroupID(group->storeID());
        QCoreApplication::processEvents();
    }
};

void addSheetKeystroke(benchmark::State &state)
{
    StartedState started;
    GroupAddAppsModel model(*started.fixture.state);
    model.setSearch(u"x"_qs);
    int step = 0;
    for (auto _ : state) {
        model.setSearch(typing[step++ % typing.size()]);
        benchmark::DoNotOptimize(model.count());
    }
    state.counters["candidates"] = double(model.offeredApps().size());
    model.setSearch(u"wei"_qs);
    state.counters["matches"] = model.count();
}
BENCHMARK(addSheetKeystroke)->Unit(benchmark::kMillisecond);

void addSheetOpening(benchmark::State &state)
{
    StartedState started;
    for (auto _ : state) {
        GroupAddAppsModel model(*started.fixture.state);
        benchmark::DoNotOptimize(model.count());
    }
}
BENCHMARK(addSheetOpening)->Unit(benchmark::kMillisecond);

// A change of the state that leaves the offered apps as they were (another published field set): no new sort.
void addSheetUnrelatedChange(benchmark::State &state)
{
    StartedState started;
    GroupAddAppsModel model(*started.fixture.state);
    for (auto _ : state) {
        model.refresh();
        benchmark::DoNotOptimize(model.count());
    }
}
BENCHMARK(addSheetUnrelatedChange)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
