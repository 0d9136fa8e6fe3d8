#include "floatingtoastcontroller.h"

#include <chrono>

FloatingToastController::FloatingToastController(TimerService &timers, PanelFactory makePanel, ScreenArea screenArea,
                                                 QObject *parent)
    : QObject(parent), m_timers(timers), m_makePanel(std::move(makePanel)), m_screenArea(std::move(screenArea))
{
}

FloatingToastController::~FloatingToastController() = default;

int FloatingToastController::fadeMilliseconds() const
{
    using std::chrono::duration_cast;
    using std::chrono::milliseconds;
    const Duration d = m_phase == Phase::fadingOut || m_phase == Phase::hidden ? fadeOutDuration : fadeInDuration;
    return int(duration_cast<milliseconds>(d).count());
}

QRect FloatingToastController::frameIn(const QRect &available)
{
    const int x = available.x() + (available.width() - panelSize.width()) / 2;
    const int y = available.y() + available.height() - bottomMargin - panelSize.height();
    return QRect(QPoint(x, y), panelSize);
}

void FloatingToastController::show(const QString &message)
{
    // The older message's pending hide and fade-out end here, so neither can take the newer one off the screen.
    m_dismissTimer.cancel();
    m_phaseTimer.cancel();

    if (message != m_message) {
        m_message = message;
        Q_EMIT messageChanged();
    }
    if (m_screenArea) {
        if (const std::optional<QRect> area = m_screenArea()) {
            const QRect frame = frameIn(*area);
            if (frame != m_frame) {
                m_frame = frame;
                Q_EMIT frameChanged();
            }
        }
    }
    if (!m_panel && m_makePanel)
        m_panel = m_makePanel(*this);

    // From any phase the window starts over from transparent, as a new message should, without leaving the screen.
    ++m_generation;
    Q_EMIT generationChanged();
    setPhase(Phase::fadingIn);
    m_phaseTimer = m_timers.startAfter(fadeInDuration, [this] { setPhase(Phase::holding); });
    m_dismissTimer = m_timers.startAfter(holdDuration, [this] { dismiss(); });
}

void FloatingToastController::dismiss()
{
    if (m_phase == Phase::hidden)
        return;
    setPhase(Phase::fadingOut);
    m_phaseTimer = m_timers.startAfter(fadeOutDuration, [this] { setPhase(Phase::hidden); });
}

void FloatingToastController::setPhase(Phase phase)
{
    if (phase == m_phase)
        return;
    const bool wasShown = isShown();
    const double oldOpacity = targetOpacity();
    const int oldFade = fadeMilliseconds();
    m_phase = phase;
    if (isShown() != wasShown)
        Q_EMIT shownChanged();
    if (targetOpacity() != oldOpacity || fadeMilliseconds() != oldFade)
        Q_EMIT targetOpacityChanged();
}
