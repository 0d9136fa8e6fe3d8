#include "startupreport.h"

#include "appscanner.h"
#include "appstate.h"

#include <QQuickItem>
#include <QQuickWindow>

#include <cstdio>

namespace {
constexpr int imageReady = 1; // Image.Ready
}

StartupReport::StartupReport(AppState &state, QObject *parent)
    : QObject(parent)
    , m_state(state)
{
}

void StartupReport::watch(QQuickWindow *window)
{
    m_window = window;
    // The software scene graph swaps on this thread: the items are seen as that frame drew them.
    connect(window, &QQuickWindow::frameSwapped, this, &StartupReport::frameSwapped);
    // A window shown again makes its content anew: its first frames are reported again.
    connect(window, &QWindow::visibleChanged, this, [this](bool visible) {
        if (!visible)
            m_tilesShown = m_iconsShown = false;
    });
}

void StartupReport::frameSwapped()
{
    if (!m_window)
        return;
    const QRectF view(0, 0, m_window->width(), m_window->height());
    int inView = 0;
    int ready = 0;
    // Delegates are children of their view's items, not of its objects: the item tree is walked.
    QList<const QQuickItem *> pending{m_window->contentItem()};
    while (!pending.isEmpty()) {
        const QQuickItem *item = pending.takeLast();
        if (!item->isVisible())
            continue;
        for (const QQuickItem *child : item->childItems())
            pending.append(child);
        if (item->objectName() != QLatin1String("icon")
            || !view.contains(item->mapRectToScene(item->boundingRect()).center()))
            continue;
        ++inView;
        if (item->property("status").toInt() == imageReady)
            ++ready;
    }
    if (!m_tilesShown) {
        if (inView == 0)
            return;
        m_tilesShown = true;
        // stdout is a pipe, buffered: each line goes out at its own frame.
        std::fputs("tiles\n", stdout);
        std::fflush(stdout);
    }
    if (!m_iconsShown) {
        if (ready < inView || !m_state.scanner().isInitialScanDone())
            return;
        m_iconsShown = true;
        std::fputs("icons\n", stdout);
    } else {
        std::fprintf(stdout, "frame %d\n", inView);
    }
    std::fflush(stdout);
}
