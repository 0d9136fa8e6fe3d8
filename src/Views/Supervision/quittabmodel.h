#pragma once

#include "focussession.h"
#include "instant.h"
#include "rowclickguard.h"
#include "supervisionpanelmodel.h"
#include "supervisionwritehooks.h"
#include "timerservice.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUuid>
#include <QtQml/qqml.h>

#include <optional>

class AppState;
class QuitPlan;

// The timed-quit tab's verbs and texts: making, switching and deleting plans, the plan rows, and the running sessions
// as of a moment. The session rows are rebuilt when the session manager changes and every 30 seconds; they show the
// time left at the last rebuild, counted from each session's stored deadline. With its panel it also lists the plans
// (rebuilt on the store's changes, the state object's and the panel's toggle refresh) and hands the panel the plan
// to edit, the turn-off question and the session to close. Main thread; made with its panel, or by a test.
class QuitTabModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made in C++ and handed to the views")
    Q_PROPERTY(SupervisionRowsModel *planRows READ planRows CONSTANT)
    Q_PROPERTY(SupervisionRowsModel *quitList READ quitList CONSTANT)

public:
    struct SessionRow
    {
        QUuid id;
        QString title;
        QString badge;
        QString subtitle;
        friend bool operator==(const SessionRow &, const SessionRow &) = default;
    };

    // Without a panel the tab has verbs and session rows but no plan rows.
    QuitTabModel(AppState &state, SupervisionWriteHooks hooks, SupervisionPanelModel *panel = nullptr,
                 QObject *parent = nullptr);

    // Inserts and saves a plan with the defaults and no target (23:00 every day, no block, on) and returns it for
    // its editor. Nothing is rescheduled: the plan has nothing to quit yet.
    QuitPlan *addPlan();
    // Switching on: clears any pause, enables, saves and reschedules.
    void enablePlan(QuitPlan &plan);
    // Switching off asks first: the plan stays as it is, the quit timers are rescheduled at once, and the answer
    // is the pause-once end to offer (none when the plan has no next quit).
    [[nodiscard]] std::optional<Instant> beginTurnOff(QuitPlan &plan);
    // Deletes at once, saves and reschedules.
    void deletePlan(QuitPlan &plan);

    // The row's switch: on, and not paused at `now`.
    [[nodiscard]] static bool switchIsOn(const QuitPlan &plan, Instant now);
    // "每天 23:00 退出": the days, a blank, the quit time and " 退出" (the pause suffix is added by the row).
    [[nodiscard]] static QString scheduleLine(const QuitPlan &plan);

    // The rows of the running sessions at `at`, in the manager's order; empty when none runs.
    [[nodiscard]] static QList<SessionRow> sessionRows(const QList<FocusSession> &sessions, Instant at);
    [[nodiscard]] const QList<SessionRow> &sessionRows() const { return m_sessionRows; }

    // The plans in store order, as listed (a new plan too: it shows behind its editor).
    [[nodiscard]] SupervisionRowsModel *planRows() { return &m_planRows; }
    // What the tab's list shows: the plan rows ("plan"), then, while any session runs, the sessions' caption
    // ("sessionsCaption") and their rows ("session"); each row knows its index among its kind and whether it starts
    // or ends its section.
    [[nodiscard]] SupervisionRowsModel *quitList() { return &m_list; }
    [[nodiscard]] const QList<QuitPlan *> &shownPlans() const { return m_shownPlans; }
    void rebuildPlans();

    // The row actions. The caption's add button: a new plan, opened in the panel's editor as new.
    Q_INVOKABLE void addPlanClicked();
    // The switch: on turns the plan on; off asks the panel's turn-off card (the plan unchanged until it answers).
    Q_INVOKABLE void planSwitchClicked(int row);
    Q_INVOKABLE void editPlanAt(int row);
    Q_INVOKABLE void deletePlanAt(int row);
    // The row's delete button, clicked at `scenePos`: deletes unless the click is the second of a double-click whose
    // first deleted the row that stood there (RowClickGuard).
    Q_INVOKABLE void deletePlanClicked(int row, QPointF scenePos);
    // A session row's close button: the panel's close card for it.
    Q_INVOKABLE void closeSessionAt(int row);

Q_SIGNALS:
    void sessionRowsChanged();

private:
    void rebuildSessions();
    void rebuildList();
    [[nodiscard]] QuitPlan *planAt(int row) const;

    AppState &m_state;
    SupervisionWriteHooks m_hooks;
    QPointer<SupervisionPanelModel> m_panel;
    SupervisionRowsModel m_planRows;
    SupervisionRowsModel m_list;
    QList<QuitPlan *> m_shownPlans;
    QList<SessionRow> m_sessionRows;
    TimerHandle m_tick;
    RowClickGuard m_deleteClicks;
};
