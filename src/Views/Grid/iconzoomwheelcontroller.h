#pragma once

#include "wheelnotches.h"

#include <QObject>
#include <QPointer>
#include <QQuickItem>
#include <QtQml/qqml.h>

#include <functional>
#include <optional>

class AppState;
class Clock;
class QWheelEvent;
class QWindow;

// Zooms the grid's icons with Ctrl and the wheel or touchpad over the grid area. While started, a filter on the main
// window sees every wheel event before any item does; one with Ctrl held over the hit area, in the same window and
// while no sheet or overlay is shown, is swallowed and turned into a step for onZoom; every other event passes on
// unchanged. The filter is a child of the controller, so it goes away with it. Made by whoever makes the main window
// and handed to it; main thread.
class IconZoomWheelController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made in C++ and handed to the main window")
    Q_PROPERTY(QQuickItem *hitArea READ hitArea WRITE setHitArea NOTIFY hitAreaChanged)
    Q_PROPERTY(bool overlayShown READ overlayShown WRITE setOverlayShown NOTIFY overlayShownChanged)
    Q_PROPERTY(bool running READ isRunning NOTIFY runningChanged)
public:
    static constexpr double notchStep = 0.05;
    static constexpr double preciseFactor = 0.002;

    IconZoomWheelController(QWindow &window, const Clock &clock, QObject *parent = nullptr);
    ~IconZoomWheelController() override;

    // Installs the filter on the window; does nothing when running.
    Q_INVOKABLE void start();
    // Removes it; harmless when stopped.
    Q_INVOKABLE void stop();
    [[nodiscard]] bool isRunning() const { return m_filter != nullptr; }

    [[nodiscard]] QQuickItem *hitArea() const { return m_hitArea; }
    void setHitArea(QQuickItem *item);
    // Sheets and overlays are in-window popups: while one is shown, the grid beneath is not the zoom's.
    [[nodiscard]] bool overlayShown() const { return m_overlayShown; }
    void setOverlayShown(bool shown);

    // Called with each step; unset, handled events are still swallowed.
    std::function<void(double step)> onZoom;
    // The usual onZoom: the state's scale plus the step, clamped under its zoom ceiling, written when it changes.
    void zoomState(AppState &state);

    // The step of a touchpad or smooth-scrolling event: the vertical delta, or the horizontal one when it is larger;
    // nothing for a zero delta.
    [[nodiscard]] static std::optional<double> preciseStep(QPoint pixelDelta);
    // The delta a notched event counts with: the vertical one unless the horizontal one is larger.
    [[nodiscard]] static int notchedDelta(QPoint angleDelta);
    // The scale to write after a step, or nothing when clamping leaves the scale where it is.
    [[nodiscard]] static std::optional<double> scaleAfterStep(double scale, double step, double ceiling);

    // Whether the filter takes this event, and then zooms with it.
    bool handle(QWindow *window, QWheelEvent *event);

Q_SIGNALS:
    void hitAreaChanged();
    void overlayShownChanged();
    void runningChanged();

private:
    [[nodiscard]] bool shouldHandle(QWindow *window, const QWheelEvent &event) const;
    void zoom(const QWheelEvent &event);
    void emitStep(double step);

    QWindow &m_window;
    const Clock &m_clock;
    QPointer<QQuickItem> m_hitArea;
    bool m_overlayShown = false;
    QObject *m_filter = nullptr;
    WheelNotches m_notches;
};
