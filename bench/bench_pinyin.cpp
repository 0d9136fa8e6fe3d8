// Search and ordering over a generated catalogue of 5,000 apps, a third of them with Chinese in their names: Chinese
// names with English aliases, Latin names with Chinese aliases, mixed names, and a user alias on every twentieth app.
// The apps carry their search forms as the scanner publishes them. Goals: every query, the first after a publish
// included, within 0.5 ms; the memory of the prepared forms is reported as the counter "preparedKiB".

#include "appsorter.h"
#include "pinyinmatcher.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <thread>

namespace {

// A fixed linear congruential sequence, so that every run sees the same catalogue.
class Sequence
{
public:
    int next(int bound)
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return int((m_state >> 33) % uint64_t(bound));
    }
    template <typename T>
    const T &pick(const QList<T> &from)
    {
        return from[next(int(from.size()))];
    }

private:
    uint64_t m_state = 20240601;
};

const QList<QString> &hanWords()
{
    static const QList<QString> words{
        u"微信"_qs, u"音乐"_qs, u"视频"_qs, u"地图"_qs, u"相机"_qs, u"日历"_qs, u"邮件"_qs, u"备忘录"_qs,
        u"天气"_qs, u"计算器"_qs, u"文件"_qs, u"管理"_qs, u"浏览器"_qs, u"词典"_qs, u"翻译"_qs, u"阅读"_qs,
        u"笔记"_qs, u"会议"_qs, u"直播"_qs, u"游戏"_qs, u"商店"_qs, u"网易"_qs, u"云"_qs, u"钉钉"_qs,
        u"飞书"_qs, u"腾讯"_qs, u"百度"_qs, u"高德"_qs, u"支付宝"_qs, u"淘宝"_qs, u"京东"_qs, u"美团"_qs,
        u"知乎"_qs, u"豆瓣"_qs, u"小红书"_qs, u"抖音"_qs, u"剪映"_qs, u"画图"_qs, u"助手"_qs, u"输入法"_qs,
        u"壁纸"_qs, u"录屏"_qs, u"截图"_qs, u"终端"_qs, u"办公"_qs, u"表格"_qs, u"演示"_qs, u"银行"_qs,
    };
    return words;
}

const QList<QString> &latinWords()
{
    static const QList<QString> words{
        u"Visual"_qs, u"Studio"_qs, u"Code"_qs,   u"Music"_qs,  u"Photo"_qs,  u"Note"_qs,     u"Cloud"_qs,
        u"Mail"_qs,   u"Chat"_qs,   u"Player"_qs, u"Editor"_qs, u"Pro"_qs,    u"Desk"_qs,     u"Web"_qs,
        u"Map"_qs,    u"Book"_qs,   u"Reader"_qs, u"Terminal"_qs, u"Office"_qs, u"Draw"_qs,   u"Sync"_qs,
        u"Zoom"_qs,   u"Safari"_qs, u"Fire"_qs,   u"Fox"_qs,    u"Slack"_qs,  u"Notion"_qs,   u"Figma"_qs,
        u"Steam"_qs,  u"Spotify"_qs, u"Docker"_qs, u"Keynote"_qs, u"Pages"_qs, u"Numbers"_qs, u"Calendar"_qs,
    };
    return words;
}

QString hanName(Sequence &seq)
{
    QString name;
    const int parts = 1 + seq.next(3);
    for (int i = 0; i < parts; ++i)
        name += seq.pick(hanWords());
    return name;
}

QString latinName(Sequence &seq)
{
    QStringList words;
    const int parts = 1 + seq.next(3);
    for (int i = 0; i < parts; ++i)
        words.append(seq.pick(latinWords()));
    if (seq.next(8) == 0)
        words.append(QString::number(2 + seq.next(30)));
    return words.join(u' ');
}

QList<AppInfo> catalogue()
{
    Sequence seq;
    QList<AppInfo> apps;
    for (int i = 0; i < 5000; ++i) {
        AppInfo app;
        app.bundleID = u"org.example.app%1"_qs.arg(i);
        app.url = QUrl::fromLocalFile(u"/usr/share/applications/"_qs + app.bundleID + u".desktop"_qs);
        const int kind = seq.next(30);
        if (kind < 3) { // a Latin brand glued to Chinese, as "QQ音乐"
            app.name = seq.pick(latinWords()).toUpper().left(2) + hanName(seq);
        } else if (kind < 10) { // a Chinese name, usually with its English name as an alias
            app.name = hanName(seq);
            if (seq.next(4) != 0)
                app.aliases.append(latinName(seq));
        } else { // a Latin name, sometimes with a Chinese alias
            app.name = latinName(seq);
            if (seq.next(3) == 0)
                app.aliases.append(hanName(seq));
        }
        if (seq.next(6) == 0)
            app.aliases.append(seq.next(2) ? hanName(seq) : latinName(seq));
        app.installedAt = Instants::fromSecondsSince1970(1.6e9 + seq.next(100000000));
        apps.append(app);
    }
    return apps;
}

QStringList extraNames(const AppInfo &app)
{
    // A user alias on one app in twenty, as the state object passes it.
    if (qHash(app.bundleID) % 20 == 0)
        return {u"我的"_qs + app.name};
    return {};
}

QList<AppInfo> preparedCatalogue()
{
    QList<AppInfo> apps = catalogue();
    PinyinMatcher::prepare(apps);
    return apps;
}

void rankedFilter(benchmark::State &state, const QString &query)
{
    const QList<AppInfo> apps = preparedCatalogue();
    // Warm: the extra names are memoized by the first search.
    qsizetype matches = PinyinMatcher::rankedFilter(apps, query, extraNames).size();
    for (auto _ : state) {
        QList<AppInfo> found = PinyinMatcher::rankedFilter(apps, query, extraNames);
        benchmark::DoNotOptimize(found);
    }
    state.counters["matches"] = double(matches);
}

void BM_RankedFilterLatinPrefix(benchmark::State &state)
{
    rankedFilter(state, u"stu"_qs);
}
void BM_RankedFilterPinyinInitials(benchmark::State &state)
{
    rankedFilter(state, u"wx"_qs);
}
void BM_RankedFilterFullPinyin(benchmark::State &state)
{
    rankedFilter(state, u"yinle"_qs);
}
void BM_RankedFilterMiss(benchmark::State &state)
{
    rankedFilter(state, u"zqxj"_qs);
}

void BM_RankedFilterPolyphone(benchmark::State &state)
{
    rankedFilter(state, u"yinyue"_qs);
}
void BM_RankedFilterOneLetter(benchmark::State &state)
{
    rankedFilter(state, u"y"_qs);
}

// The first search after a publish, over names not seen before, as the first keystroke after start-up: the list is
// made and its forms prepared on another thread, as the scanner's worker does, then handed over.
void firstQuery(benchmark::State &state, const QString &query)
{
    const QList<AppInfo> base = catalogue();
    static qint64 round = 0; // across repetitions too, so that no name is ever seen twice
    size_t bytes = 0;
    QList<AppInfo> apps; // the last round's list goes while the timing is paused
    for (auto _ : state) {
        state.PauseTiming();
        QList<AppInfo> published;
        std::thread worker([&] {
            published = base;
            const QString suffix = u" %1"_qs.arg(round++);
            for (AppInfo &app : published) {
                app.name += suffix;
                for (QString &alias : app.aliases)
                    alias += suffix;
            }
            PinyinMatcher::prepare(published);
        });
        worker.join();
        apps = std::move(published);
        bytes = PinyinMatcher::preparedBytes(apps);
        state.ResumeTiming();
        QList<AppInfo> found = PinyinMatcher::rankedFilter(apps, query, extraNames);
        benchmark::DoNotOptimize(found);
    }
    state.counters["preparedKiB"] = double(bytes) / 1024.0;
}
void BM_FirstQueryMiss(benchmark::State &state)
{
    firstQuery(state, u"zqxj"_qs);
}
void BM_FirstQueryPolyphone(benchmark::State &state)
{
    firstQuery(state, u"yinyue"_qs);
}
// The usual first keystroke: one letter, which four apps in ten match.
void BM_FirstQueryOneLetter(benchmark::State &state)
{
    firstQuery(state, u"y"_qs);
}

// What the scanner's worker spends on the search forms of a fresh catalogue.
void BM_Prepare(benchmark::State &state)
{
    const QList<AppInfo> base = catalogue();
    size_t bytes = 0;
    for (auto _ : state) {
        QList<AppInfo> apps = base;
        PinyinMatcher::prepare(apps);
        bytes = PinyinMatcher::preparedBytes(apps);
        benchmark::DoNotOptimize(apps);
    }
    state.counters["preparedKiB"] = double(bytes) / 1024.0;
}

// A name read a great many ways: the cost grows with its length only.
void BM_ManyPolyphones(benchmark::State &state)
{
    QList<AppInfo> apps{AppInfo{u"a"_qs, QString(int(state.range(0)), QChar(u'重')), {}, std::nullopt, {}}};
    PinyinMatcher::prepare(apps);
    const QString query = u"chong"_qs.repeated(state.range(0) - 1) + u"zhongx"_qs;
    for (auto _ : state) {
        QList<AppInfo> found = PinyinMatcher::rankedFilter(apps, query, {});
        benchmark::DoNotOptimize(found);
    }
}

// The cost the memo saves: the pinyin forms of a name not seen before.
void BM_PinyinOfANewName(benchmark::State &state)
{
    Sequence seq;
    const QString base = hanName(seq) + latinName(seq);
    qint64 n = 0;
    for (auto _ : state) {
        PinyinMatcher::Pinyin p = PinyinMatcher::pinyin(base + QString::number(n++));
        benchmark::DoNotOptimize(p);
    }
}

void BM_CustomSort(benchmark::State &state)
{
    QList<AppInfo> apps = catalogue();
    // Equal dates, so that every comparison reaches the names.
    for (AppInfo &app : apps)
        app.installedAt.reset();
    const QHash<QString, AppMetaSnapshot> meta;
    for (auto _ : state) {
        QList<AppInfo> sorted = AppSorter::customSort(apps, meta);
        benchmark::DoNotOptimize(sorted);
    }
}

} // namespace

BENCHMARK(BM_RankedFilterLatinPrefix)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RankedFilterPinyinInitials)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RankedFilterFullPinyin)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RankedFilterMiss)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RankedFilterPolyphone)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RankedFilterOneLetter)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstQueryMiss)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstQueryPolyphone)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstQueryOneLetter)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Prepare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ManyPolyphones)->Arg(6)->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PinyinOfANewName)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CustomSort)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
