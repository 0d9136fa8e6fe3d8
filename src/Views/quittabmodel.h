#pragma once

#include "focussession.h"
#include "instant.h"
#include "supervisionwritehooks.h"
#include "timerservice.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>
#include <QVariantList>
#include <QtQml/qqml.h>

#include <optional>

class AppState;
class QuitPlan;

// The timed-quit tab's verbs and texts: making, switching and deleting plans, the schedule line of a plan row, and
// the running sessions as of a moment. The session rows are rebuilt when the session manager changes and every
// 30 seconds; they show the time left at the last rebuild, counted from each session's stored deadline. Main
// thread; made in C++ and handed to the panel.
class QuitTabModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made in C++ and handed to the views")
    Q_PROPERTY(QVariantList sessionRows READ sessionRowsForQml NOTIFY sessionRowsChanged)

public:
    struct SessionRow
    {
        QUuid id;
        QString title;
        QString badge;
        QString subtitle;
        friend bool operator==(const SessionRow &, const SessionRow &) = default;
    };

    QuitTabModel(AppState &state, SupervisionWriteHooks hooks, QObject *parent = nullptr);

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
    [[nodiscard]] QVariantList sessionRowsForQml() const;

Q_SIGNALS:
    void sessionRowsChanged();

private:
    void rebuildSessions();

    AppState &m_state;
    SupervisionWriteHooks m_hooks;
    QList<SessionRow> m_sessionRows;
    TimerHandle m_tick;
};
