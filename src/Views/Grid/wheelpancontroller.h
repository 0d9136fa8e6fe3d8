#pragma once

#include "clock.h"
#include "griddragstate.h"
#include "pagermodel.h"

#include <QObject>
#include <QPointer>
#include <QQuickItem>
#include <QWindow>
#include <QtQml/qqmlregistration.h>

#include <cstdint>
#include <optional>

// One scroll event as the wheel controller needs it, read off the window system's event by the controller's filter
// (or made by a test).
struct WheelSample
{
    // A trackpad gesture's phase; None for a plain wheel event. Momentum is the coasting after the fingers lifted.
    enum class Phase { None, MayBegin, Began, Changed, Ended, Cancelled, Momentum };

    bool ctrlHeld = false;
    bool sameWindow = true;     // the event's window is the hit area's window
    bool insideHitArea = true;  // the event's position lies inside the hit area
    bool precise = false;       // points (trackpad, smooth mice); else wheel angle, 120 units per notch
    double dx = 0;              // positive moves the content right: towards earlier pages
    double dy = 0;              // positive moves the content down: towards earlier pages
    Phase phase = Phase::None;
    std::uint64_t timestamp = 0; // the event's own stamp in milliseconds; 0 when it has none
};

// Turns scroll events over the paged grid into page changes: a wheel notch or a short precise burst flips one page
// (at most one per 0.35 s), a two-finger swipe drags the strip and snaps to a page when the fingers lift. Installed as
// an event filter on the main window between start() and stop(); it swallows the events it handles and passes every
// other one on. It holds the hit area, the pager and the drag state weakly and does nothing once one is gone.
// Main thread only; the paged grid makes one and keeps it for its lifetime.
class WheelPanController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the paged grid in C++")
    // The item whose bounds take wheel events.
    Q_PROPERTY(QQuickItem *hitArea READ hitArea WRITE setHitArea NOTIFY hitAreaChanged)
    // A sheet or overlay covers the main window: every event passes on, and a swipe being followed is cancelled.
    Q_PROPERTY(bool covered READ isCovered WRITE setCovered NOTIFY coveredChanged)
public:
    static constexpr Duration flipCooldown = 350ms;
    static constexpr Duration gestureGap = 250ms;
    static constexpr double swipeThreshold = 36;  // precise points that flip a page
    static constexpr double notchThreshold = 120; // wheel angle units that flip a page: one classic notch
    static constexpr double flipDistance = 30;    // swipe travel that flips a page where the projection stays
    static constexpr double flipVelocity = 250;   // swipe speed that does the same, points per second

    explicit WheelPanController(const Clock &clock, QObject *parent = nullptr);

    [[nodiscard]] QQuickItem *hitArea() const { return m_hitArea; }
    void setHitArea(QQuickItem *item);
    [[nodiscard]] PagerModel *pager() const { return m_pager; }
    void setPager(PagerModel *pager) { m_pager = pager; }
    [[nodiscard]] GridDragState *drag() const { return m_drag; }
    void setDrag(GridDragState *drag) { m_drag = drag; }
    [[nodiscard]] bool isCovered() const { return m_covered; }
    void setCovered(bool covered);

    // Filters the scroll events of `window`; nothing when already filtering or when there is no window.
    Q_INVOKABLE void start(QWindow *window);
    Q_INVOKABLE void stop();
    [[nodiscard]] bool isStarted() const { return !m_monitor.isNull(); }

    // Whether this controller takes the event (and swallows it).
    [[nodiscard]] bool shouldHandle(const WheelSample &event) const;
    // Acts on an event that shouldHandle() accepted.
    void handle(const WheelSample &event);
    // shouldHandle() and then handle(); true when the event is swallowed.
    bool filter(const WheelSample &event);

    [[nodiscard]] bool isTracking() const { return m_tracking; }

    // The sample of a scroll event that `window` received.
    [[nodiscard]] WheelSample sample(const QWheelEvent &event, const QWindow *window) const;

Q_SIGNALS:
    void hitAreaChanged();
    void coveredChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Moment
    {
        std::uint64_t timestamp = 0;
        MonotonicInstant arrived;
    };

    void handleGesturePhase(WheelSample::Phase phase, PagerModel &pager, const WheelSample &event,
                            MonotonicInstant now);
    void endGesture(PagerModel &pager, bool cancelled);
    void handleWheel(PagerModel &pager, const WheelSample &event, MonotonicInstant now);
    // Seconds between two events: from their own stamps while those increase, else from when they arrived.
    [[nodiscard]] static double secondsBetween(const Moment &earlier, const Moment &later);

    const Clock &m_clock;
    QPointer<QQuickItem> m_hitArea;
    QPointer<PagerModel> m_pager;
    QPointer<GridDragState> m_drag;
    QPointer<QWindow> m_monitor;
    bool m_covered = false;

    bool m_tracking = false;
    int m_startPage = 0;
    double m_baseOffset = 0;
    double m_accumulated = 0;
    double m_velocity = 0; // points per second of the deltas
    std::optional<Moment> m_lastMove; // of the gesture's start or its last change

    double m_wheelAccumulated = 0; // precise points towards the next flip
    double m_lineAccumulated = 0;  // wheel angle units towards the next flip
    std::optional<MonotonicInstant> m_lastWheelTime;
    std::optional<MonotonicInstant> m_lastFlipTime;
};
