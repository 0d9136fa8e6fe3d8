#pragma once

#include "instant.h"
#include "timerservice.h"

#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <functional>
#include <memory>
#include <optional>

// The program's one toast: a short line at the bottom centre of the primary screen that fades in, holds and fades
// out. The phases run here on the TimerService; the window (a QML file) only binds to message, shown, opacity and
// fade duration. A newer message takes the window over at once, and the older one's fade-out can never hide it.
// The window is made by the first show() and kept. Main thread; owned by the state object.
class FloatingToastController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the state object")
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)
    Q_PROPERTY(bool shown READ isShown NOTIFY shownChanged)
    Q_PROPERTY(double targetOpacity READ targetOpacity NOTIFY targetOpacityChanged)
    Q_PROPERTY(int fadeMilliseconds READ fadeMilliseconds NOTIFY targetOpacityChanged)
    Q_PROPERTY(QRect frame READ frame NOTIFY frameChanged)
    Q_PROPERTY(int generation READ generation NOTIFY generationChanged)
public:
    enum class Phase { hidden, fadingIn, holding, fadingOut };

    static constexpr Duration fadeInDuration = 160ms;
    static constexpr Duration holdDuration = 1800ms; // from the start of the fade-in to the start of the fade-out
    static constexpr Duration fadeOutDuration = 300ms;
    static constexpr QSize panelSize{300, 60};
    static constexpr int bottomMargin = 24;

    // Makes the toast's window over this controller; the controller keeps it.
    using PanelFactory = std::function<std::unique_ptr<QObject>(FloatingToastController &)>;
    // The primary screen's area without panels and docks; none when there is no screen.
    using ScreenArea = std::function<std::optional<QRect>()>;

    explicit FloatingToastController(TimerService &timers, PanelFactory makePanel = {}, ScreenArea screenArea = {},
                                     QObject *parent = nullptr);
    ~FloatingToastController() override;

    void show(const QString &message);

    [[nodiscard]] const QString &message() const { return m_message; }
    [[nodiscard]] Phase phase() const { return m_phase; }
    [[nodiscard]] bool isShown() const { return m_phase != Phase::hidden; }
    [[nodiscard]] double targetOpacity() const { return m_phase == Phase::fadingIn || m_phase == Phase::holding ? 1.0 : 0.0; }
    [[nodiscard]] int fadeMilliseconds() const;
    [[nodiscard]] QRect frame() const { return m_frame; }
    // Raised by every show(): the window starts its fade-in from transparent.
    [[nodiscard]] int generation() const { return m_generation; }
    [[nodiscard]] bool hasPanel() const { return m_panel != nullptr; }

    // The panel's frame: centred across the area, its lower edge bottomMargin above the area's bottom.
    [[nodiscard]] static QRect frameIn(const QRect &available);

Q_SIGNALS:
    void messageChanged();
    void shownChanged();
    void targetOpacityChanged();
    void frameChanged();
    void generationChanged();

private:
    void setPhase(Phase phase);
    void dismiss();

    TimerService &m_timers;
    PanelFactory m_makePanel;
    ScreenArea m_screenArea;
    std::unique_ptr<QObject> m_panel;
    QString m_message;
    Phase m_phase = Phase::hidden;
    int m_generation = 0;
    QRect m_frame{QPoint(0, 0), panelSize};
    TimerHandle m_phaseTimer;   // the end of the fade-in, then the end of the fade-out
    TimerHandle m_dismissTimer; // the pending hide of the message on screen
};
