// The icon cache's warm-up over 500 generated apps whose icons lie in a fixture icon theme as real ones do: a
// quarter each as large PNGs, SVGs, small PNGs in the current theme and PNGs at the size asked for, in a hicolor
// theme with the usual dozen size folders. BM_WarmupFirst30 times the call itself (the 30 icons loaded on the
// calling thread); BM_WarmupAll times it until all 500 are cached. Goals: under 50 ms for the first 30, under 1 s for
// all.
#include "appinfo.h"
#include "iconcache.h"
#include "portableiconsource.h"
#include "threadpoolexecutor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int appCount = 500;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

void writePng(const QString &path, int size, int seed)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, size, size);
    gradient.setColorAt(0, QColor::fromHsv(seed * 37 % 360, 200, 230));
    gradient.setColorAt(1, QColor::fromHsv(seed * 53 % 360, 220, 120));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(gradient);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(size * 0.08, size * 0.08, size * 0.84, size * 0.84), size * 0.2, size * 0.2);
    painter.end();
    image.save(path, "PNG");
}

struct Fixture
{
    QTemporaryDir dir;
    QStringList bases;
    QList<AppInfo> apps;

    Fixture()
    {
        const QString icons = dir.path() + u"/icons"_qs;
        bases = {icons, dir.path() + u"/pixmaps"_qs};
        const QList<int> sizes = {16, 22, 24, 32, 36, 48, 64, 72, 96, 128, 192, 256, 512};
        QByteArray hicolor = "[Icon Theme]\nName=Hicolor\nDirectories=";
        QByteArray groups;
        for (const int size : sizes) {
            const QByteArray dirName = QByteArray::number(size) + "x" + QByteArray::number(size) + "/apps";
            hicolor += dirName + ",";
            groups += "\n[" + dirName + "]\nSize=" + QByteArray::number(size) + "\nType=Threshold\n";
        }
        hicolor += "scalable/apps\n" + groups + "\n[scalable/apps]\nSize=128\nType=Scalable\nMinSize=8\nMaxSize=512\n";
        writeFile(icons + u"/hicolor/index.theme"_qs, hicolor);
        writeFile(icons + u"/Fixture/index.theme"_qs,
                  "[Icon Theme]\nName=Fixture\nInherits=hicolor\nDirectories=48x48/apps\n\n[48x48/apps]\nSize=48\n"
                  "Type=Fixed\n");

        for (int i = 0; i < appCount; ++i) {
            const QString name = u"app"_qs + QString::number(i);
            switch (i % 4) {
            case 0:
                writePng(icons + u"/hicolor/256x256/apps/"_qs + name + u".png"_qs, 256, i);
                break;
            case 1:
                writeFile(icons + u"/hicolor/scalable/apps/"_qs + name + u".svg"_qs,
                          u"<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 64 64\" width=\"64\" height=\"64\">"
                          "<rect x=\"4\" y=\"4\" width=\"56\" height=\"56\" rx=\"12\" fill=\"%1\"/>"
                          "<circle cx=\"32\" cy=\"32\" r=\"14\" fill=\"#ffffff\"/></svg>"_qs
                              .arg(QColor::fromHsv(i * 37 % 360, 200, 200).name())
                              .toUtf8());
                break;
            case 2:
                writePng(icons + u"/Fixture/48x48/apps/"_qs + name + u".png"_qs, 48, i);
                break;
            default:
                writePng(icons + u"/hicolor/128x128/apps/"_qs + name + u".png"_qs, 128, i);
                break;
            }
            const QString entry = dir.path() + u"/applications/org.example."_qs + name + u".desktop"_qs;
            writeFile(entry, "[Desktop Entry]\nType=Application\nName=App\nExec=app\nIcon=" + name.toUtf8() + "\n");
            AppInfo app;
            app.bundleID = u"org.example."_qs + name;
            app.name = name;
            app.url = QUrl::fromLocalFile(entry);
            apps.append(app);
        }
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_WarmupFirst30(benchmark::State &state)
{
    auto &f = fixture();
    const PortableIconSource source({f.bases, u"Fixture"_qs, {}});
    for (auto _ : state) {
        state.PauseTiming();
        ThreadPoolExecutor executor;
        IconCache cache(source, executor);
        state.ResumeTiming();
        cache.warmup(f.apps);
        state.PauseTiming();
        executor.waitForDone();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WarmupFirst30)->Unit(benchmark::kMillisecond);

void BM_WarmupAll(benchmark::State &state)
{
    auto &f = fixture();
    const PortableIconSource source({f.bases, u"Fixture"_qs, {}});
    int cached = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ThreadPoolExecutor executor;
        IconCache cache(source, executor);
        state.ResumeTiming();
        cache.warmup(f.apps);
        executor.waitForDone();
        cached = cache.count();
    }
    state.counters["cached"] = cached;
}
BENCHMARK(BM_WarmupAll)->Unit(benchmark::kMillisecond);

void BM_CachedLookUp(benchmark::State &state)
{
    auto &f = fixture();
    const PortableIconSource source({f.bases, u"Fixture"_qs, {}});
    ThreadPoolExecutor executor;
    IconCache cache(source, executor);
    cache.warmup(f.apps);
    executor.waitForDone();
    qsizetype i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(cache.icon(f.apps[i]));
        i = (i + 1) % f.apps.size();
    }
}
BENCHMARK(BM_CachedLookUp);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
