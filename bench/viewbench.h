#pragma once

// What the view benchmarks share: a window on the offscreen platform with the software scene graph that shows a
// small host page, and a way to wait for its next frame.

#include "viewsetup.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QVariantMap>

#include <cstdio>
#include <memory>

class IconCache;

namespace ViewBench {

// A window showing one host page (QML text importing the program's modules), counting the frames it shows.
struct HostWindow
{
    QQmlEngine engine;
    QQuickWindow window;
    std::unique_ptr<QObject> root;
    QQuickItem *item = nullptr;
    int frames = 0;

    // Loads the page with its initial properties and shows it at `size`; false (after printing QML's errors) when
    // the page does not load. `fileName` names the page for those errors.
    bool show(IconCache *icons, const QByteArray &page, const QString &fileName, const QVariantMap &properties,
              QSize size)
    {
        ViewSetup::prepareEngine(engine, icons);
        window.resize(size);
        QQmlComponent component(&engine);
        component.setData(page, QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + u'/' + fileName));
        root.reset(component.createWithInitialProperties(properties));
        item = qobject_cast<QQuickItem *>(root.get());
        if (!item) {
            std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
            return false;
        }
        item->setParentItem(window.contentItem());
        QObject::connect(&window, &QQuickWindow::frameSwapped, [this] { ++frames; });
        window.show();
        nextFrame();
        return true;
    }

    // Spins the event loop until the window has shown one more frame.
    void nextFrame()
    {
        const int before = frames;
        window.requestUpdate();
        while (frames == before)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
};

// The benchmarks' main: offscreen, software scene graph.
inline int run(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QUICK_BACKEND", "software");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace ViewBench
