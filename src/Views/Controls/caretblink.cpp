#include "caretblink.h"

#include <QEvent>

CaretBlink::CaretBlink(int flashTime, std::function<void(int)> setFlashTime, TimerService &timers, Duration timeout,
                       QObject *parent)
    : QObject(parent)
    , m_flashTime(flashTime)
    , m_setFlashTime(std::move(setFlashTime))
    , m_timers(timers)
    , m_timeout(timeout)
{
    if (m_flashTime > 0)
        restart();
}

bool CaretBlink::restartsBlinking(const QEvent &event)
{
    switch (event.type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::FocusIn:
    case QEvent::WindowActivate:
        return true;
    default:
        return false;
    }
}

bool CaretBlink::eventFilter(QObject *watched, QEvent *event)
{
    if (m_flashTime > 0 && restartsBlinking(*event))
        restart();
    return QObject::eventFilter(watched, event);
}

void CaretBlink::restart()
{
    if (!m_blinking) {
        m_blinking = true;
        m_setFlashTime(m_flashTime);
    }
    m_stop = m_timers.startAfter(m_timeout, [this] {
        m_blinking = false;
        m_setFlashTime(0);
    });
}
