#pragma once

#include "appstate.h"
#include "focussession.h"
#include "panelticker.h"
#include "timerpanelrowsmodel.h"
#include "timerpanelsurface.h"

#include <QList>
#include <QObject>
#include <QRect>
#include <QSet>
#include <QString>
#include <QUuid>
#include <QtQml/qqmlregistration.h>

#include <functional>
#include <memory>
#include <optional>

class FocusSessionManager;

// Owns the floating timer panel: follows the running focus sessions (with their paused remainders) and the
// temporary overrides, shows the panel while it has a line to show and hides it otherwise, counts down once a second
// while it shows, and keeps the lines the user hid hidden until no session and no override is left. Made once by the
// state object (through its seams' factory), then on its own: nothing else calls it. The window is made at the first
// show and kept; it is never tied to the launcher window, so it stays while that one is hidden or inactive.
// Main thread; owned by the state object.
class FloatingTimerPanelController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the state object")
public:
    // Makes the panel's window over this controller's rows.
    using WindowFactory = std::function<std::unique_ptr<TimerPanelSurface>(FloatingTimerPanelController &)>;
    // The primary screen's available area; none when there is no screen.
    using ScreenArea = std::function<std::optional<QRect>()>;

    FloatingTimerPanelController(FocusSessionManager &manager, AppState &state, WindowFactory makeWindow,
                                 ScreenArea primaryArea, QObject *parent = nullptr);
    ~FloatingTimerPanelController() override;

    // Hides the line of an override; the override stays in force.
    void closeRow(const AppState::GraceOverride &grace);
    // Hides the line of a session; the session runs on.
    void closeSessionRow(const QUuid &sessionID);

    [[nodiscard]] const QList<FocusSession> &sessionRows() const { return m_sessionRows; }
    [[nodiscard]] const QList<AppState::GraceOverride> &graceRows() const { return m_graceRows; }
    [[nodiscard]] const QSet<QUuid> &hiddenSessionIDs() const { return m_hiddenSessionIDs; }
    [[nodiscard]] const QSet<QString> &hiddenGraceKeys() const { return m_hiddenGraceKeys; }
    [[nodiscard]] TimerPanelRowsModel &rows() { return m_rows; }
    [[nodiscard]] PanelTicker &ticker() { return m_ticker; }
    // None until the first show.
    [[nodiscard]] TimerPanelSurface *panel() const { return m_panel.get(); }
    [[nodiscard]] bool isShown() const { return m_shown; }

private:
    FocusSessionManager &m_manager;
    AppState &m_state;
    WindowFactory m_makeWindow;
    ScreenArea m_primaryArea;
    std::unique_ptr<TimerPanelSurface> m_panel;
    PanelTicker m_ticker;
    TimerPanelRowsModel m_rows;
    QList<FocusSession> m_sessionRows;
    QList<AppState::GraceOverride> m_graceRows;
    QSet<QUuid> m_hiddenSessionIDs;
    QSet<QString> m_hiddenGraceKeys;
    bool m_shown = false;

    void refreshVisibility();
    void show();
    void hide();
    void refitToContent();
    void refitNow();
    void updateLines();
};
