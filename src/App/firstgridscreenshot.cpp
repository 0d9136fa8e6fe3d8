#include "firstgridscreenshot.h"

#include "appscanner.h"
#include "appstate.h"
#include "iconcache.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTimer>

#include <algorithm>

namespace {
// Long enough for a slow icon theme, short enough that a smoke run never hangs.
constexpr auto boundedWait = std::chrono::seconds(20);
// Frames to let pass once everything is there, so that the last images to arrive are drawn.
constexpr int settleFrames = 3;

// An icon whose lookup is done still goes through Qt's image threads before its tile shows it; on a busy machine
// that can take longer than a few frames.
bool anImageStillLoads(const QQuickItem *item)
{
    // Image.Loading
    constexpr int loading = 2;
    if (item->inherits("QQuickImageBase") && item->property("status").toInt() == loading)
        return true;
    const auto children = item->childItems();
    return std::any_of(children.cbegin(), children.cend(), [](const QQuickItem *child) { return anImageStillLoads(child); });
}
} // namespace

FirstGridScreenshot::FirstGridScreenshot(AppState &state, IconCache &icons, QString path, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_icons(icons)
    , m_path(std::move(path))
{
}

void FirstGridScreenshot::watch(QQuickWindow *window)
{
    m_window = window;
    m_started = std::chrono::steady_clock::now();
    connect(window, &QQuickWindow::frameSwapped, this, &FirstGridScreenshot::check, Qt::QueuedConnection);
    // Frames come only when something changes; the poll keeps asking while the icons load.
    m_poll = new QTimer(this);
    m_poll->setInterval(50);
    connect(m_poll, &QTimer::timeout, this, [this] {
        if (m_window)
            m_window->update();
    });
    m_poll->start();
}

bool FirstGridScreenshot::firstPageIconsLoaded() const
{
    const QList<AppInfo> apps = m_state.visibleApps();
    const int firstPage = std::min<int>(int(apps.size()),
                                        std::max(m_state.gridPreferredColumns() * m_state.gridPreferredRows(), 1));
    for (int i = 0; i < firstPage; ++i) {
        if (!m_icons.lookupFinished(apps.at(i).bundleID))
            return false;
    }
    return true;
}

void FirstGridScreenshot::check()
{
    if (m_done || !m_window)
        return;
    const bool timedOut = std::chrono::steady_clock::now() - m_started > boundedWait;
    if (timedOut) {
        grab(false);
        return;
    }
    if (m_framesAfterReady < 0) {
        if (!m_state.scanner().isInitialScanDone() || !firstPageIconsLoaded())
            return;
        m_framesAfterReady = 0;
    }
    if (anImageStillLoads(m_window->contentItem())) {
        m_framesAfterReady = 0;
        return;
    }
    if (++m_framesAfterReady >= settleFrames)
        grab(true);
}

void FirstGridScreenshot::grab(bool complete)
{
    m_done = true;
    m_poll->stop();
    const QImage image = m_window->grabWindow();
    const QString absolute = QFileInfo(m_path).absoluteFilePath();
    QDir().mkpath(QFileInfo(absolute).absolutePath());
    if (image.isNull() || !image.save(absolute, "PNG")) {
        Q_EMIT finished(false, QStringLiteral("tarnwick: could not write the screenshot %1").arg(absolute));
        return;
    }
    Q_EMIT finished(true, complete ? absolute
                                   : absolute + QStringLiteral(" (taken before every icon of the first page had loaded)"));
}
