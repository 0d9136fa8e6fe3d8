#include "quittabmodel.h"

#include "appstate.h"
#include "clock.h"
#include "focussessionmanager.h"
#include "planpause.h"
#include "quitplan.h"
#include "schedulecalendar.h"
#include "scheduletext.h"
#include "storecontext.h"
#include "timerpanelcontent.h"


QuitTabModel::QuitTabModel(AppState &state, SupervisionWriteHooks hooks, SupervisionPanelModel *panel,
                           QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_hooks(std::move(hooks))
    , m_panel(panel)
    , m_planRows(this)
    , m_list(this)
    , m_deleteClicks(state.seams().clock)
{
    connect(&m_state.sessionManager(), &FocusSessionManager::sessionsChanged, this, &QuitTabModel::rebuildSessions);
    m_tick = m_state.seams().timers.startRepeating(30s, [this] { rebuildSessions(); });
    rebuildSessions();
    if (m_panel) {
        connect(&m_state.container().mainContext(), &StoreContext::changed, this, &QuitTabModel::rebuildPlans);
        connect(&m_state, &AppState::changed, this, &QuitTabModel::rebuildPlans);
        connect(m_panel, &SupervisionPanelModel::toggleRefreshChanged, this, &QuitTabModel::rebuildPlans);
        rebuildPlans();
    }
}

QuitPlan *QuitTabModel::addPlan()
{
    StoreContext &context = m_state.container().mainContext();
    QuitPlan *plan = context.insert(std::make_unique<QuitPlan>(QuitPlanTarget::apps, QString(), QStringList(), 1380,
                                                               QList<int>{1, 2, 3, 4, 5, 6, 7},
                                                               QuitPlanBlockMode::none, 60, 420, true));
    std::ignore = context.save();
    return plan;
}

void QuitTabModel::enablePlan(QuitPlan &plan)
{
    plan.setPausedUntil(std::nullopt);
    plan.setIsEnabled(true);
    std::ignore = m_state.container().mainContext().save();
    m_state.publishStoreChange();
    if (m_hooks.reschedulePlans)
        m_hooks.reschedulePlans();
}

std::optional<Instant> QuitTabModel::beginTurnOff(QuitPlan &plan)
{
    const auto end = PlanPause::pauseEnd(PlanPause::snapshot(plan), m_state.seams().clock.now(),
                                         ScheduleCalendar::system());
    if (m_hooks.reschedulePlans)
        m_hooks.reschedulePlans();
    return end;
}

void QuitTabModel::deletePlan(QuitPlan &plan)
{
    StoreContext &context = m_state.container().mainContext();
    context.remove(&plan);
    std::ignore = context.save();
    m_state.publishStoreChange();
    if (m_hooks.reschedulePlans)
        m_hooks.reschedulePlans();
}

bool QuitTabModel::switchIsOn(const QuitPlan &plan, Instant now)
{
    return plan.isEnabled() && !(plan.pausedUntil() && now < *plan.pausedUntil());
}

QString QuitTabModel::scheduleLine(const QuitPlan &plan)
{
    const int m = plan.quitMinute();
    return ScheduleText::weekdays(plan.weekdays()) + QLatin1Char(' ')
        + QString::asprintf("%02d:%02d", m / 60, m % 60) + QStringLiteral(" 退出");
}

QList<QuitTabModel::SessionRow> QuitTabModel::sessionRows(const QList<FocusSession> &sessions, Instant at)
{
    QList<SessionRow> rows;
    rows.reserve(sessions.size());
    for (const FocusSession &session : sessions) {
        QString subtitle = QStringLiteral("剩余 ") + TimerPanelContent::format(Instants::seconds(session.deadline - at))
            + QStringLiteral(" · 到点自动退出");
        if (session.blockMinutes)
            subtitle += QStringLiteral("，后续禁启 ") + QString::number(*session.blockMinutes) + QStringLiteral(" 分钟");
        rows.append(SessionRow{session.id, session.taskNote.value_or(session.appName), QStringLiteral("运行中"),
                               subtitle});
    }
    return rows;
}

void QuitTabModel::rebuildSessions()
{
    QList<SessionRow> rows = sessionRows(m_state.sessionManager().sessions(), m_state.seams().clock.now());
    if (rows == m_sessionRows)
        return;
    m_sessionRows = std::move(rows);
    Q_EMIT sessionRowsChanged();
    rebuildList();
}

void QuitTabModel::rebuildList()
{
    using Row = SupervisionRowsModel::Row;
    const QList<Row> &plans = m_planRows.rows();
    QList<Row> list;
    list.reserve(plans.size() + m_sessionRows.size() + 1);
    for (int i = 0; i < plans.size(); ++i) {
        Row row = plans.at(i);
        row.kind = QStringLiteral("plan");
        row.source = i;
        row.first = i == 0;
        row.last = i == plans.size() - 1;
        list.append(row);
    }
    if (!m_sessionRows.isEmpty()) {
        Row caption;
        caption.kind = QStringLiteral("sessionsCaption");
        caption.title = QStringLiteral("运行中的定时退出");
        list.append(caption);
    }
    for (int i = 0; i < m_sessionRows.size(); ++i) {
        const SessionRow &session = m_sessionRows.at(i);
        Row row;
        row.key = session.id.toString(QUuid::WithoutBraces);
        row.title = session.title;
        row.badge = session.badge;
        row.subtitle = session.subtitle;
        row.kind = QStringLiteral("session");
        row.source = i;
        row.first = i == 0;
        row.last = i == m_sessionRows.size() - 1;
        list.append(row);
    }
    m_list.setRows(std::move(list));
}

void QuitTabModel::rebuildPlans()
{
    if (!m_panel)
        return;
    m_shownPlans = m_panel->plans();
    const Instant now = m_state.seams().clock.now();
    QList<SupervisionRowsModel::Row> rows;
    rows.reserve(m_shownPlans.size());
    for (const QuitPlan *plan : std::as_const(m_shownPlans)) {
        SupervisionRowsModel::Row row;
        row.key = plan->storeID().text();
        row.title = m_panel->planTitle(*plan);
        row.badge = SupervisionPanelModel::planBadge(*plan).value_or(QString());
        row.subtitle = m_panel->withPauseSuffix(scheduleLine(*plan), plan->pausedUntil());
        row.switchOn = switchIsOn(*plan, now);
        rows.append(row);
    }
    m_planRows.setRows(std::move(rows));
    rebuildList();
}

QuitPlan *QuitTabModel::planAt(int row) const
{
    return row >= 0 && row < m_shownPlans.size() ? m_shownPlans.at(row) : nullptr;
}

void QuitTabModel::addPlanClicked()
{
    QuitPlan *plan = addPlan();
    // Listed at once, behind its editor; the store's own notice comes a turn later.
    rebuildPlans();
    if (m_panel)
        m_panel->editPlan(*plan, true);
}

void QuitTabModel::planSwitchClicked(int row)
{
    QuitPlan *plan = planAt(row);
    if (!plan || !m_panel)
        return;
    if (!switchIsOn(*plan, m_state.seams().clock.now())) {
        enablePlan(*plan);
        rebuildPlans();
        return;
    }
    SupervisionPanelModel::DisableRequest request;
    // The pause is worked out before the scheduler is re-armed, on the plan as it stands.
    request.pauseUntil = PlanPause::pauseEnd(PlanPause::snapshot(*plan), m_state.seams().clock.now(),
                                             ScheduleCalendar::system());
    request.setPause = [plan](Instant until) { plan->setPausedUntil(until); };
    request.setOff = [plan] {
        plan->setIsEnabled(false);
        plan->setPausedUntil(std::nullopt);
    };
    m_panel->setDisableRequest(std::move(request));
    if (m_hooks.reschedulePlans)
        m_hooks.reschedulePlans();
}

void QuitTabModel::editPlanAt(int row)
{
    if (QuitPlan *plan = planAt(row); plan && m_panel)
        m_panel->editPlan(*plan, false);
}

void QuitTabModel::deletePlanAt(int row)
{
    if (QuitPlan *plan = planAt(row)) {
        deletePlan(*plan);
        rebuildPlans();
    }
}

void QuitTabModel::deletePlanClicked(int row, QPointF scenePos)
{
    if (QuitPlan *plan = planAt(row); plan && m_deleteClicks.take(plan->storeID().text(), scenePos)) {
        deletePlan(*plan);
        rebuildPlans();
    }
}

void QuitTabModel::closeSessionAt(int row)
{
    if (!m_panel || row < 0 || row >= m_sessionRows.size())
        return;
    SupervisionPanelModel::CloseTarget target;
    target.kind = SupervisionPanelModel::CloseTarget::Kind::session;
    target.sessionID = m_sessionRows.at(row).id;
    target.sessionTitle = m_sessionRows.at(row).title;
    m_panel->setCloseTarget(target);
}
