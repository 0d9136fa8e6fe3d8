#include "floatingtimerpanelcontroller.h"

#include "clock.h"
#include "focussessionmanager.h"
#include "schedulecalendar.h"
#include "timerpanelgeometry.h"

#include <QPointer>

FloatingTimerPanelController::FloatingTimerPanelController(FocusSessionManager &manager, AppState &state,
                                                           WindowFactory makeWindow, ScreenArea primaryArea,
                                                           QObject *parent)
    : QObject(parent)
    , m_manager(manager)
    , m_state(state)
    , m_makeWindow(std::move(makeWindow))
    , m_primaryArea(std::move(primaryArea))
    , m_ticker(state.seams().clock, state.seams().timers)
    , m_rows([this](const TimerPanelLine &line) {
        if (line.kind == TimerPanelLine::Kind::session)
            closeSessionRow(line.sessionID);
        else
            closeRow(line.grace);
    })
{
    // Signals do not hand over the value they stand for, so what exists now is copied before they are connected.
    m_sessionRows = m_manager.sessions();
    refreshVisibility();
    m_graceRows = m_state.graceOverrides();
    refreshVisibility();

    connect(&m_manager, &FocusSessionManager::sessionsChanged, this, [this] {
        m_sessionRows = m_manager.sessions();
        refreshVisibility();
    });
    connect(&m_manager, &FocusSessionManager::pausedRemainingChanged, this, &FloatingTimerPanelController::updateLines);
    connect(&m_state, &AppState::graceOverridesChanged, this, [this] {
        m_graceRows = m_state.graceOverrides();
        refreshVisibility();
    });
    connect(&m_ticker, &PanelTicker::ticked, this, &FloatingTimerPanelController::updateLines);
}

FloatingTimerPanelController::~FloatingTimerPanelController()
{
    if (m_panel)
        m_panel->contentSizeChanged = nullptr;
}

void FloatingTimerPanelController::closeRow(const AppState::GraceOverride &grace)
{
    m_hiddenGraceKeys.insert(TimerPanelLines::graceKey(grace));
    refreshVisibility();
}

void FloatingTimerPanelController::closeSessionRow(const QUuid &sessionID)
{
    m_hiddenSessionIDs.insert(sessionID);
    refreshVisibility();
}

void FloatingTimerPanelController::refreshVisibility()
{
    if (m_sessionRows.isEmpty() && m_graceRows.isEmpty()) {
        m_hiddenSessionIDs.clear();
        m_hiddenGraceKeys.clear();
    }
    updateLines();
    if (m_rows.count() > 0) {
        show();
        refitToContent();
    } else {
        hide();
    }
}

void FloatingTimerPanelController::show()
{
    if (!m_panel) {
        if (m_makeWindow)
            m_panel = m_makeWindow(*this);
        if (!m_panel)
            return;
        QRect frame(QPoint(0, 0), TimerPanelGeometry::initialSize);
        if (const auto area = m_primaryArea ? m_primaryArea() : std::nullopt)
            frame.moveTopLeft(TimerPanelGeometry::firstTopLeft(*area));
        m_panel->setFrame(frame);
        m_panel->contentSizeChanged = [this] {
            if (m_shown)
                refitToContent();
        };
    }
    m_ticker.start();
    m_shown = true;
    m_panel->orderFront();
    refitToContent();
}

void FloatingTimerPanelController::hide()
{
    m_ticker.stop();
    m_shown = false;
    if (m_panel)
        m_panel->orderOut();
}

void FloatingTimerPanelController::refitToContent()
{
    if (!m_panel)
        return;
    // After the content has laid out its new lines.
    QMetaObject::invokeMethod(
        this, [self = QPointer(this)] {
            if (self)
                self->refitNow();
        },
        Qt::QueuedConnection);
}

void FloatingTimerPanelController::refitNow()
{
    if (!m_panel)
        return;
    if (const auto frame = TimerPanelGeometry::refitted(m_panel->frame(), m_panel->contentSize()))
        m_panel->setFrame(*frame);
}

void FloatingTimerPanelController::updateLines()
{
    TimerPanelLines::Inputs in{m_sessionRows,      m_manager.pausedRemaining(), m_hiddenSessionIDs,
                               m_graceRows,        m_hiddenGraceKeys,           m_state.seams().clock.now(),
                               m_ticker.now()};
    m_rows.setLines(TimerPanelLines::build(in, ScheduleCalendar::system()));
}
