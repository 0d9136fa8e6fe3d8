#include "wheelpancontroller.h"

#include <QQuickWindow>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

double seconds(Duration d)
{
    return std::chrono::duration<double>(d).count();
}

// The delta a swipe or a precise wheel follows: horizontal unless the vertical one is larger.
double swipeDelta(const WheelSample &event)
{
    return std::abs(event.dy) <= std::abs(event.dx) ? event.dx : event.dy;
}

} // namespace

WheelPanController::WheelPanController(const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
{
}

void WheelPanController::setHitArea(QQuickItem *item)
{
    if (item == m_hitArea)
        return;
    m_hitArea = item;
    Q_EMIT hitAreaChanged();
}

void WheelPanController::setCovered(bool covered)
{
    if (covered == m_covered)
        return;
    m_covered = covered;
    // Its further events pass on, so the swipe would never end here: put the strip back on its start page now.
    if (covered && m_tracking) {
        m_tracking = false;
        if (m_pager)
            endGesture(*m_pager, true);
    }
    Q_EMIT coveredChanged();
}

void WheelPanController::start(QWindow *window)
{
    if (m_monitor || !window)
        return;
    window->installEventFilter(this);
    m_monitor = window;
}

void WheelPanController::stop()
{
    if (m_monitor)
        m_monitor->removeEventFilter(this);
    m_monitor = nullptr;
}

bool WheelPanController::shouldHandle(const WheelSample &event) const
{
    if (m_covered || event.ctrlHeld) // Ctrl with the wheel is the icon zoom
        return false;
    if (!m_pager || !m_drag || !m_hitArea)
        return false;
    if (!event.sameWindow)
        return false;
    if (m_tracking)
        return true;
    if (m_pager->pageCount() < 2)
        return false;
    if (m_drag->draggingID() || m_drag->isPanning())
        return false;
    return event.insideHitArea;
}

void WheelPanController::handle(const WheelSample &event)
{
    if (!m_pager)
        return;
    // Coasting after a swipe is swallowed and does nothing: the swipe already chose its page.
    if (event.phase == WheelSample::Phase::Momentum)
        return;
    const MonotonicInstant now = m_clock.monotonicNow();
    if (event.phase != WheelSample::Phase::None)
        handleGesturePhase(event.phase, *m_pager, event, now);
    else
        handleWheel(*m_pager, event, now);
}

bool WheelPanController::filter(const WheelSample &event)
{
    if (!shouldHandle(event))
        return false;
    handle(event);
    return true;
}

void WheelPanController::handleWheel(PagerModel &pager, const WheelSample &event, MonotonicInstant now)
{
    // Cooldowns and gaps run on the monotonic clock as events arrive: window-system stamps may be 0 (synthesized
    // events) or wrap, and would then swallow the first notch or refuse every flip.
    if (m_lastFlipTime && now - *m_lastFlipTime < flipCooldown)
        return;
    if (!m_lastWheelTime || now - *m_lastWheelTime > gestureGap) {
        m_wheelAccumulated = 0;
        m_lineAccumulated = 0;
    }
    m_lastWheelTime = now;

    int direction = 0;
    if (event.precise) {
        m_wheelAccumulated += swipeDelta(event);
        if (std::abs(m_wheelAccumulated) < swipeThreshold)
            return;
        direction = m_wheelAccumulated < 0 ? 1 : -1;
    } else {
        // A high-resolution wheel sends one notch as several smaller events: count the notch, not the events.
        m_lineAccumulated += std::abs(event.dy) >= std::abs(event.dx) ? event.dy : event.dx;
        if (std::abs(m_lineAccumulated) < notchThreshold)
            return;
        direction = m_lineAccumulated < 0 ? 1 : -1;
    }

    m_lastFlipTime = now;
    m_wheelAccumulated = 0;
    m_lineAccumulated = 0;
    pager.snap(pager.currentPage() + direction, 0);
}

void WheelPanController::handleGesturePhase(WheelSample::Phase phase, PagerModel &pager, const WheelSample &event,
                                            MonotonicInstant now)
{
    using Phase = WheelSample::Phase;
    if (phase == Phase::Began || phase == Phase::MayBegin) {
        m_tracking = true;
        m_baseOffset = pager.offsetX();
        m_startPage = pager.currentPage();
        m_accumulated = 0;
        m_velocity = 0;
        m_lastMove = Moment{event.timestamp, now};
        return;
    }
    if (!m_tracking)
        return;

    if (phase == Phase::Changed) {
        const double delta = swipeDelta(event);
        m_accumulated += delta;
        const Moment moment{event.timestamp, now};
        if (m_lastMove) {
            if (const double dt = secondsBetween(*m_lastMove, moment); dt > 0)
                m_velocity = 0.4 * delta / dt + 0.6 * m_velocity;
        }
        m_lastMove = moment;
        pager.setDragOffset(m_baseOffset - m_accumulated);
    } else if (phase == Phase::Ended || phase == Phase::Cancelled) {
        m_tracking = false;
        endGesture(pager, phase == Phase::Cancelled);
    }
}

void WheelPanController::endGesture(PagerModel &pager, bool cancelled)
{
    const double width = pager.pageWidth();
    if (width <= 0)
        return;
    if (cancelled) {
        pager.snap(m_startPage, 0);
        return;
    }
    // Where the strip would be 0.08 s later at its speed; a short or slow swipe that stays on its page still flips
    // one page when it went far enough or fast enough.
    const double projected = std::round((m_baseOffset - m_accumulated - 0.08 * m_velocity) / width);
    int page = int(std::clamp(projected, -1.0, double(pager.pageCount())));
    if (page == m_startPage && (std::abs(m_accumulated) > flipDistance || std::abs(m_velocity) > flipVelocity))
        page = m_startPage + (m_accumulated < 0 ? 1 : -1);
    pager.snap(page, -m_velocity);
}

double WheelPanController::secondsBetween(const Moment &earlier, const Moment &later)
{
    // Events that one turn of the event loop handles arrive together; their own stamps keep their real spacing.
    if (earlier.timestamp != 0 && later.timestamp >= earlier.timestamp)
        return double(later.timestamp - earlier.timestamp) / 1000.0;
    return seconds(later.arrived - earlier.arrived);
}

WheelSample WheelPanController::sample(const QWheelEvent &event, const QWindow *window) const
{
    WheelSample s;
    s.ctrlHeld = event.modifiers().testFlag(Qt::ControlModifier);
    s.sameWindow = !m_hitArea || m_hitArea->window() == window;
    s.insideHitArea = m_hitArea && m_hitArea->contains(m_hitArea->mapFromScene(event.position()));
    // Qt's deltas are positive where the content moves right or down, as ours are. Points count for a gesture with
    // phases or from a touchpad; some window systems add points to a plain wheel's notches as well, and those notches
    // must still flip a page each, so a mouse's wheel is read in angle units.
    const QPointingDevice *device = event.pointingDevice();
    s.precise = !event.pixelDelta().isNull()
        && (event.phase() != Qt::NoScrollPhase || (device && device->type() == QInputDevice::DeviceType::TouchPad));
    const QPoint delta = s.precise ? event.pixelDelta() : event.angleDelta();
    s.dx = delta.x();
    s.dy = delta.y();
    switch (event.phase()) {
    case Qt::NoScrollPhase: s.phase = WheelSample::Phase::None; break;
    case Qt::ScrollBegin: s.phase = WheelSample::Phase::Began; break;
    case Qt::ScrollUpdate: s.phase = WheelSample::Phase::Changed; break;
    case Qt::ScrollEnd: s.phase = WheelSample::Phase::Ended; break;
    case Qt::ScrollMomentum: s.phase = WheelSample::Phase::Momentum; break;
    }
    s.timestamp = event.timestamp();
    return s;
}

bool WheelPanController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel && watched == m_monitor)
        return filter(sample(*static_cast<QWheelEvent *>(event), m_monitor));
    return QObject::eventFilter(watched, event);
}
