#include "iconzoomwheelcontroller.h"

#include "appstate.h"
#include "clock.h"
#include "iconscale.h"

#include <QQuickWindow>
#include <QWheelEvent>

#include <cmath>

namespace {

class WheelFilter : public QObject
{
public:
    explicit WheelFilter(IconZoomWheelController &controller)
        : QObject(&controller)
        , m_controller(controller)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Wheel)
            return false;
        return m_controller.handle(qobject_cast<QWindow *>(watched), static_cast<QWheelEvent *>(event));
    }

private:
    IconZoomWheelController &m_controller;
};

} // namespace

IconZoomWheelController::IconZoomWheelController(QWindow &window, const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_clock(clock)
{
}

IconZoomWheelController::~IconZoomWheelController() = default;

void IconZoomWheelController::start()
{
    if (m_filter)
        return;
    m_filter = new WheelFilter(*this);
    m_window.installEventFilter(m_filter);
    Q_EMIT runningChanged();
}

void IconZoomWheelController::stop()
{
    if (!m_filter)
        return;
    m_window.removeEventFilter(m_filter);
    delete m_filter;
    m_filter = nullptr;
    Q_EMIT runningChanged();
}

void IconZoomWheelController::setHitArea(QQuickItem *item)
{
    if (m_hitArea == item)
        return;
    m_hitArea = item;
    Q_EMIT hitAreaChanged();
}

void IconZoomWheelController::setOverlayShown(bool shown)
{
    if (m_overlayShown == shown)
        return;
    m_overlayShown = shown;
    Q_EMIT overlayShownChanged();
}

void IconZoomWheelController::zoomState(AppState &state)
{
    QPointer<AppState> target(&state);
    onZoom = [target](double step) {
        if (!target)
            return;
        if (const auto next = scaleAfterStep(target->gridIconScale(), step, target->gridZoomCeiling))
            target->setGridIconScale(*next);
    };
}

std::optional<double> IconZoomWheelController::preciseStep(QPoint pixelDelta)
{
    const int delta = std::abs(pixelDelta.y()) >= std::abs(pixelDelta.x()) ? pixelDelta.y() : pixelDelta.x();
    if (delta == 0)
        return std::nullopt;
    return delta * preciseFactor;
}

int IconZoomWheelController::notchedDelta(QPoint angleDelta)
{
    return std::abs(angleDelta.y()) >= std::abs(angleDelta.x()) ? angleDelta.y() : angleDelta.x();
}

std::optional<double> IconZoomWheelController::scaleAfterStep(double scale, double step, double ceiling)
{
    const double next = IconScale::clamped(scale + step, ceiling);
    if (next == scale)
        return std::nullopt;
    return next;
}

bool IconZoomWheelController::handle(QWindow *window, QWheelEvent *event)
{
    if (!shouldHandle(window, *event))
        return false;
    zoom(*event);
    return true;
}

bool IconZoomWheelController::shouldHandle(QWindow *window, const QWheelEvent &event) const
{
    if (!event.modifiers().testFlag(Qt::ControlModifier))
        return false;
    if (!m_hitArea)
        return false;
    if (m_hitArea->window() != window)
        return false;
    if (!m_hitArea->contains(m_hitArea->mapFromScene(event.position())))
        return false;
    return !m_overlayShown;
}

void IconZoomWheelController::zoom(const QWheelEvent &event)
{
    if (!event.pixelDelta().isNull()) {
        if (const auto step = preciseStep(event.pixelDelta()))
            emitStep(*step);
        return;
    }
    const int delta = notchedDelta(event.angleDelta());
    if (delta == 0)
        return;
    const int notches = m_notches.add(delta, m_clock.monotonicNow());
    for (int i = 0; i < std::abs(notches); ++i)
        emitStep(notches > 0 ? notchStep : -notchStep);
}

void IconZoomWheelController::emitStep(double step)
{
    if (onZoom)
        onZoom(step);
}
