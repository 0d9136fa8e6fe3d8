#pragma once

#include "instant.h"
#include "timerservice.h"

#include <QObject>

#include <chrono>
#include <functional>

class QEvent;

// The text caret blinks at the desktop's rate (Qt's cursor flash time) for a while after the last input, and then
// holds still, shown, as GNOME's and GTK's text fields do (their cursor-blink-timeout, 10 s by default). An open
// window whose search field has focus then draws nothing until something happens, instead of two frames a second.
// A key, a button, the wheel, typed input-method text, a focus change or a window becoming active starts the
// blinking again. Installed as an event filter on the application; main thread.
class CaretBlink : public QObject
{
public:
    static constexpr Duration defaultTimeout = std::chrono::seconds(10);

    // `flashTime` is the desktop's full blink cycle in ms (0: it does not blink, and nothing is changed);
    // `setFlashTime` applies a cycle to every text field (0 holds the caret still).
    CaretBlink(int flashTime, std::function<void(int)> setFlashTime, TimerService &timers,
               Duration timeout = defaultTimeout, QObject *parent = nullptr);

    [[nodiscard]] bool isBlinking() const { return m_blinking; }
    // Whether `event` is input that starts the blinking again.
    [[nodiscard]] static bool restartsBlinking(const QEvent &event);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void restart();

    int m_flashTime;
    std::function<void(int)> m_setFlashTime;
    TimerService &m_timers;
    Duration m_timeout;
    bool m_blinking = true;
    TimerHandle m_stop;
};
