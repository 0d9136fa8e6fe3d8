#pragma once

#include "timerpanelsurface.h"

#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>

#include <memory>
#include <optional>

class FloatingWindowSetup;
class QQmlEngine;
class QScreen;
class TimerPanelRowsModel;

// The floating timer panel's window: transparent, frameless, a tool window above the others that never takes the
// focus and is only ever hidden, never closed. The whole panel drags: a press goes to the content first (so its
// close buttons work), then the grab offset is taken; moves with the button held are not passed on and place the
// window through constrainFrameRect(). Once the window moves, a press on a button is taken back, so a drag never
// clicks it. On Wayland the compositor places windows: the drag is handed to it and no limit applies.
// Main thread; owned by the panel's controller.
class TimerPanelWindow : public QQuickWindow, public TimerPanelSurface
{
    Q_OBJECT
public:
    TimerPanelWindow();
    ~TimerPanelWindow() override;

    // The window with TimerPanelContent.qml over `rows`, set up as floating; null when the content does not load
    // (`error` then gets the engine's message).
    [[nodiscard]] static std::unique_ptr<TimerPanelWindow> make(QQmlEngine &engine, TimerPanelRowsModel &rows,
                                                                const FloatingWindowSetup &setup,
                                                                QString *error = nullptr);

    // The frame that the window takes for a proposed one on a screen: that screen, else the window's own, else the
    // primary one; the top edge may rise 12 above the screen's available area and no further.
    [[nodiscard]] QRect constrainFrameRect(const QRect &proposed, QScreen *screen) const;

    [[nodiscard]] QQuickItem *content() const { return m_content; }

    [[nodiscard]] QRect frame() const override { return geometry(); }
    void setFrame(const QRect &frame) override;
    void orderFront() override;
    void orderOut() override;
    [[nodiscard]] QSize contentSize() const override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QPointer<QQuickItem> m_content;
    std::optional<QPoint> m_grabOffset;
    bool m_systemMoveStarted = false;

    void setContent(QQuickItem *content);
    void cancelContentPress();
};
