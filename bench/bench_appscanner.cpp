// A full rebuild of the app list over 500 generated desktop entries in two roots, a third of them with Chinese
// names, as the scanner runs it after a reload (the search's hits are gathered beforehand). Goal: under 150 ms.
#include "appscanner.h"
#include "desktopentryindex.h"
#include "portablebundlereader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QStringList languages{u"zh-CN"_qs, u"zh-Hans-CN"_qs, u"zh"_qs};

struct Fixture
{
    QTemporaryDir dir;
    QStringList roots;

    Fixture()
    {
        roots = {dir.path() + u"/home/applications"_qs, dir.path() + u"/usr/applications"_qs};
        const QStringList locales{u"de"_qs, u"fr"_qs, u"es"_qs, u"it"_qs, u"ja"_qs, u"ko"_qs, u"pt_BR"_qs,
                                  u"ru"_qs, u"zh_TW"_qs, u"pl"_qs, u"nl"_qs, u"sv"_qs};
        for (int i = 0; i < 500; ++i) {
            // Most entries in the system root, some in the user's, every tenth one in a vendor sub-folder.
            QString folder = roots[i % 8 == 0 ? 0 : 1];
            if (i % 10 == 3)
                folder += u"/vendor"_qs + QString::number(i % 4);
            QDir().mkpath(folder);
            const QString id = u"org.example.App"_qs + QString::number(i);
            QByteArray text = "[Desktop Entry]\nType=Application\nName=App " + QByteArray::number(i) + "\n";
            if (i % 3 == 0)
                text += "Name[zh_CN]=应用程序" + QByteArray::number(i) + "\nName[zh]=程序" + QByteArray::number(i) + "\n";
            for (const auto &locale : locales) {
                text += "Name[" + locale.toUtf8() + "]=App " + QByteArray::number(i) + " " + locale.toUtf8() + "\n";
                text += "Comment[" + locale.toUtf8() + "]=Does things, in " + locale.toUtf8() + "\n";
            }
            text += "Comment=Does things\nExec=app" + QByteArray::number(i) + " %U\nIcon=app" + QByteArray::number(i)
                + "\nTerminal=false\nCategories=Utility;\n";
            text += "\n[Desktop Action new-window]\nName=New Window\nExec=app --new-window\n";
            QFile file(folder + u'/' + id + u".desktop"_qs);
            if (file.open(QIODevice::WriteOnly))
                file.write(text);
        }
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
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
