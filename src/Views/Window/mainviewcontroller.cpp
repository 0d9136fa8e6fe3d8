#include "mainviewcontroller.h"

#include "appactivation.h"
#include "appstate.h"
#include "storecontainer.h"
#include "iconscale.h"
#include "mainkeyrules.h"
#include "supervisionstatustext.h"

#include <QGuiApplication>
#include <QScreen>

MainViewController::MainViewController(const Services &services, QObject *parent)
    : QObject(parent)
    , m_state(services.state)
    , m_host(services.state, services.icons, services.iconUrl)
    , m_paged(m_host, services.timers, services.clock)
    , m_vertical(m_host, services.timers)
    , m_timers(services.timers)
    , m_clock(services.clock)
    , m_requestQuit(services.requestQuit)
    , m_groupTabs(services.state, services.state.container().mainContext())
    , m_renameSheet(services.state)
    , m_contextMenu(services.contextMenu)
{
    connect(&m_state, &AppState::renameTargetBundleIDChanged, this, &MainViewController::renameTargetChanged);
    connect(&m_state, &AppState::supervisionStatusChanged, this, &MainViewController::statusChanged);
    for (auto signal :
         {&AppState::gridPreferredColumnsChanged, &AppState::gridPreferredRowsChanged, &AppState::layoutModeChanged})
        connect(&m_state, signal, this, &MainViewController::preferenceChanged);
    connect(&services.activation, &AppActivation::becameActive, this, [this] {
        m_state.setSearchText(QString());
        requestSearchFocus();
    });
    // Neither grid works until its view shows it.
    m_paged.hidden();
    m_vertical.hidden();
    m_sizer.setPreference({m_state.gridPreferredColumns(), m_state.gridPreferredRows(),
                           m_state.layoutMode() == GridLayoutMode::Horizontal});
}

MainViewController::~MainViewController()
{
    if (m_sizingWindow.window && m_state.mainWindow == m_sizingWindow.window)
        m_state.mainWindow = nullptr;
}

QString MainViewController::statusText() const
{
    return SupervisionStatusText::text(m_state.supervisionStatus());
}

bool MainViewController::statusActive() const
{
    return SupervisionStatusText::isActive(m_state.supervisionStatus());
}

void MainViewController::setCovered(bool covered)
{
    if (covered == m_covered)
        return;
    m_covered = covered;
    m_paged.wheel()->setCovered(covered);
    if (m_zoom)
        m_zoom->setOverlayShown(covered);
    Q_EMIT coveredChanged();
}

void MainViewController::setWindow(QQuickWindow *window)
{
    disconnect(m_windowActive);
    disconnect(m_focusMoved);
    m_sizingWindow.window = window;
    m_state.mainWindow = window;
    if (window) {
        m_windowActive = connect(window, &QWindow::activeChanged, this, [this, window] {
            if (window->isActive())
                requestSearchFocus();
        });
        // A menu or a popup that closes leaves the keyboard with the window's root item, where no key reaches a
        // handler. The field takes it back, once the popup's own hand-over (which may pick another popup) is done.
        m_focusMoved = connect(window, &QQuickWindow::activeFocusItemChanged, this, [this, window] {
            if (!isFocusLost(window))
                return;
            QMetaObject::invokeMethod(
                this,
                [this, window = QPointer<QQuickWindow>(window)] {
                    if (window && window == m_sizingWindow.window && isFocusLost(window))
                        requestSearchFocus();
                },
                Qt::QueuedConnection);
        });
    }
    if (!m_zoom || window != m_zoomWindow) {
        m_zoom.reset();
        m_zoomWindow = window;
        if (window) {
            m_zoom = std::make_unique<IconZoomWheelController>(*window, m_clock);
            m_zoom->onZoom = [this](double step) { zoomBy(step); };
            m_zoom->setOverlayShown(m_covered);
            m_zoom->start();
        }
        Q_EMIT zoomChanged();
    }
    m_sizer.setWindow(window ? &m_sizingWindow : nullptr);
}

void MainViewController::gridAreaHeightChanged(double height, double contentHeight)
{
    m_sizer.gridAreaHeightChanged(height, contentHeight);
}

void MainViewController::preferenceChanged()
{
    m_sizer.setPreference({m_state.gridPreferredColumns(), m_state.gridPreferredRows(),
                           m_state.layoutMode() == GridLayoutMode::Horizontal});
    m_sizer.refit();
}

bool MainViewController::arrowKey(int key, bool autoRepeat, bool composing)
{
    if (m_covered)
        return false;
    const auto arrow = MainKeyRules::arrow(key, autoRepeat, m_state.selectedAppID().has_value(), composing);
    if (arrow.move)
        m_state.moveSelection(arrow.move->x(), arrow.move->y());
    return arrow.consumed;
}

void MainViewController::launchFirstMatch(bool composing)
{
    if (composing || m_covered)
        return;
    const QList<AppInfo> visible = m_state.visibleApps();
    if (const auto index = MainKeyRules::firstMatch(visible, m_state.selectedAppID()))
        m_state.requestLaunch(visible.at(*index));
}

void MainViewController::zoomBy(double step)
{
    const double scale = IconScale::clamped(m_state.gridIconScale() + step, m_state.gridZoomCeiling);
    if (scale != m_state.gridIconScale())
        m_state.setGridIconScale(scale);
}

void MainViewController::openSettings()
{
    if (!m_covered)
        m_state.setShowSettings(true);
}

void MainViewController::openSupervision()
{
    m_state.setShowSupervision(true);
}

void MainViewController::requestQuit()
{
    if (m_requestQuit)
        m_requestQuit();
}

bool MainViewController::hasRenameTarget() const
{
    return m_state.renameTargetBundleID().has_value();
}

void MainViewController::focusSetupClosed()
{
    if (m_state.pendingFocusApp())
        m_state.setPendingFocusApp(std::nullopt);
}

void MainViewController::renameClosed()
{
    if (m_state.renameTargetBundleID())
        m_state.setRenameTargetBundleID(std::nullopt);
}

void MainViewController::searchAppeared()
{
    m_state.setSearchText(QString());
    Q_EMIT searchFocusRequested();
    // Once more a moment later: the window may not take the focus while it is still being shown.
    m_refocus = m_timers.startAfter(refocusDelay, [this] { requestSearchFocus(); });
}

void MainViewController::overlayClosed()
{
    requestSearchFocus();
}

bool MainViewController::isFocusLost(const QQuickWindow *window) const
{
    const QQuickItem *focus = window->activeFocusItem();
    return !focus || focus == window->contentItem() || focus == parent();
}

void MainViewController::requestSearchFocus()
{
    // A sheet or an overlay keeps the keyboard while it shows; its closing brings the focus back.
    if (!m_covered)
        Q_EMIT searchFocusRequested();
}

std::optional<QRect> MainViewController::QuickSizingWindow::availableGeometry() const
{
    QScreen *screen = window ? window->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    return screen->availableGeometry();
}

QRect MainViewController::QuickSizingWindow::frameGeometry() const
{
    return window ? window->frameGeometry() : QRect();
}

QMargins MainViewController::QuickSizingWindow::frameMargins() const
{
    return window ? window->frameMargins() : QMargins();
}

void MainViewController::QuickSizingWindow::apply(QSize contentSize, QPoint framePosition)
{
    if (!window)
        return;
    window->resize(contentSize);
    // A Wayland compositor places windows itself.
    if (!QGuiApplication::platformName().startsWith(u"wayland"_qs))
        window->setFramePosition(framePosition);
}

MainViewFactory::MainViewFactory(MainViewController::Services services, QObject *parent)
    : QObject(parent)
    , m_services(std::move(services))
{
}

MainViewController *MainViewFactory::create(QObject *owner)
{
    return new MainViewController(m_services, owner);
}

void MainViewFactory::requestQuit()
{
    if (m_services.requestQuit)
        m_services.requestQuit();
}
