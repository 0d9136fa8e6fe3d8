// The restriction tab: its rules and plans, the linked rows, their switches and deletes.

#include "supervisionpanelmodel.h"

#include "adhocblock.h"
#include "appgroup.h"
#include "appstate.h"
#include "quitplan.h"
#include "restrictionrule.h"
#include "scheduletext.h"
#include "supervisionrearm.h"

// --- Restriction-rules tab.

QList<RestrictionRule *> SupervisionPanelModel::rules() const
{
    return m_state.container().mainContext().fetch<RestrictionRule>();
}

QList<QuitPlan *> SupervisionPanelModel::plans() const
{
    return m_state.container().mainContext().fetch<QuitPlan>();
}

QList<AppGroup *> SupervisionPanelModel::groups() const
{
    return m_state.container().mainContext().fetch<AppGroup>({}, &AppGroup::bySortIndex);
}

QList<RestrictionRule *> SupervisionPanelModel::validRules() const
{
    return m_state.container().mainContext().fetch<RestrictionRule>(
        [](const RestrictionRule &rule) { return !rule.targetID().isEmpty(); });
}

void SupervisionPanelModel::addRule()
{
    StoreContext &context = m_state.container().mainContext();
    RestrictionRule *rule = context.insert(std::make_unique<RestrictionRule>(
        RestrictionTarget::app, QString(), 1380, 420, QList<int>{1, 2, 3, 4, 5, 6, 7}, true, std::nullopt));
    save();
    m_ruleIsNew = true;
    m_editingRule = rule;
    Q_EMIT editorsChanged();
}

void SupervisionPanelModel::editRule(RestrictionRule &rule)
{
    m_ruleIsNew = false;
    m_editingRule = &rule;
    Q_EMIT editorsChanged();
}

void SupervisionPanelModel::editPlan(QuitPlan &plan, bool isNew)
{
    m_planIsNew = isNew;
    m_editingPlan = &plan;
    Q_EMIT editorsChanged();
}

void SupervisionPanelModel::ruleEditorClosed()
{
    if (!m_editingRule)
        return;
    m_editingRule = nullptr;
    Q_EMIT editorsChanged();
}

void SupervisionPanelModel::planEditorClosed()
{
    if (!m_editingPlan)
        return;
    m_editingPlan = nullptr;
    Q_EMIT editorsChanged();
}

void SupervisionPanelModel::setRule(RestrictionRule &rule, bool on)
{
    if (on) {
        rule.setPausedUntil(std::nullopt);
        rule.setIsEnabled(true);
        save();
        m_rearm.rearmGuards();
        return;
    }
    DisableRequest request;
    request.pauseUntil =
        RestrictionEngine::currentOrNextWindowEnd(snapshot(rule), now(), ScheduleCalendar::system());
    RestrictionRule *target = &rule;
    request.setPause = [target](Instant until) { target->setPausedUntil(until); };
    request.setOff = [target] {
        target->setIsEnabled(false);
        target->setPausedUntil(std::nullopt);
    };
    setDisableRequest(std::move(request));
    m_rearm.rearmGuards();
}

void SupervisionPanelModel::setDisableRequest(DisableRequest request)
{
    m_disableRequest = std::move(request);
    Q_EMIT cardsChanged();
}

void SupervisionPanelModel::deleteRule(RestrictionRule &rule)
{
    m_state.container().mainContext().remove(&rule);
    save();
    m_rearm.rearmGuards();
}

void SupervisionPanelModel::purgeStaleRules()
{
    const Instant t = now();
    const ScheduleCalendar calendar = ScheduleCalendar::system();
    const QList<RestrictionRule *> stale = m_state.container().mainContext().fetch<RestrictionRule>(
        [&](const RestrictionRule &rule) {
            return rule.targetID().isEmpty() || RestrictionEngine::isOnceExpired(t, snapshot(rule), calendar);
        });
    if (stale.isEmpty())
        return;
    for (RestrictionRule *rule : stale)
        m_state.container().mainContext().remove(rule);
    save();
    m_rearm.rearmGuards();
}

QList<SupervisionPanelModel::LinkedItem> SupervisionPanelModel::linkedItems(Instant at) const
{
    QList<LinkedItem> items;
    for (QuitPlan *plan : plans()) {
        const std::optional<Instant> end =
            QuitPlanEngine::activeBlockWindow(snapshot(*plan), at, ScheduleCalendar::system());
        if (!end)
            continue;
        LinkedItem item;
        item.title = planTitle(*plan);
        item.badge = planBadge(*plan).value_or(QString());
        item.subtitle = QStringLiteral("本窗口至 ") + windowEndText(*end, ScheduleCalendar::system(), at);
        item.target.kind = CloseTarget::Kind::plan;
        item.target.plan = plan;
        items.append(item);
    }
    for (AdHocBlock *block : m_state.activeAdHocBlocks(at)) {
        LinkedItem item;
        item.title = m_state.appName(block->bundleID()).value_or(block->bundleID());
        item.badge = QStringLiteral("临时禁启");
        item.subtitle = QStringLiteral("至 ") + ScheduleText::time(block->until(), ScheduleCalendar::system());
        item.target.kind = CloseTarget::Kind::adhoc;
        item.target.adhoc = block;
        items.append(item);
    }
    return items;
}

void SupervisionPanelModel::ruleSwitchClicked(int row)
{
    if (row < 0 || row >= m_shownRules.size())
        return;
    RestrictionRule &rule = *m_shownRules.at(row);
    setRule(rule, !ruleSwitchShown(rule));
}

void SupervisionPanelModel::editRuleAt(int row)
{
    if (row >= 0 && row < m_shownRules.size())
        editRule(*m_shownRules.at(row));
}

void SupervisionPanelModel::deleteRuleAt(int row)
{
    if (row >= 0 && row < m_shownRules.size())
        deleteRule(*m_shownRules.at(row));
}

void SupervisionPanelModel::deleteRuleClicked(int row, QPointF scenePos)
{
    if (row >= 0 && row < m_shownRules.size()
        && m_deleteClicks.take(m_shownRules.at(row)->storeID().text(), scenePos))
        deleteRule(*m_shownRules.at(row));
}

void SupervisionPanelModel::closeLinkedAt(int row)
{
    if (row >= 0 && row < m_shownLinked.size())
        setCloseTarget(m_shownLinked.at(row).target);
}

void SupervisionPanelModel::rebuildRows()
{
    m_shownRules = validRules();
    QList<SupervisionRowsModel::Row> rows;
    rows.reserve(m_shownRules.size());
    for (const RestrictionRule *rule : std::as_const(m_shownRules)) {
        SupervisionRowsModel::Row row;
        row.key = rule->storeID().text();
        row.title = ruleTitle(*rule);
        row.subtitle = ruleSubtitle(*rule);
        row.switchOn = ruleSwitchShown(*rule);
        rows.append(row);
    }
    m_ruleRows.setRows(std::move(rows));
    rebuildLinked();
}

void SupervisionPanelModel::rebuildRestrictList()
{
    QList<SupervisionRowsModel::Row> list;
    const QList<SupervisionRowsModel::Row> &rules = m_ruleRows.rows();
    const QList<SupervisionRowsModel::Row> &linked = m_linkedRows.rows();
    list.reserve(rules.size() + linked.size() + 1);
    const auto append = [&list](const QList<SupervisionRowsModel::Row> &rows, const QString &kind) {
        for (int i = 0; i < rows.size(); ++i) {
            SupervisionRowsModel::Row row = rows.at(i);
            row.kind = kind;
            row.source = i;
            row.first = i == 0;
            row.last = i == rows.size() - 1;
            list.append(row);
        }
    };
    append(rules, QStringLiteral("rule"));
    if (!linked.isEmpty()) {
        SupervisionRowsModel::Row caption;
        caption.kind = QStringLiteral("linkedCaption");
        caption.title = QStringLiteral("联动禁启");
        list.append(caption);
        append(linked, QStringLiteral("linked"));
    }
    m_restrictList.setRows(std::move(list));
}

void SupervisionPanelModel::rebuildLinked()
{
    m_shownLinked = linkedItems(now());
    QList<SupervisionRowsModel::Row> rows;
    rows.reserve(m_shownLinked.size());
    for (const LinkedItem &item : std::as_const(m_shownLinked)) {
        SupervisionRowsModel::Row row;
        row.title = item.title;
        row.badge = item.badge;
        row.subtitle = item.subtitle;
        rows.append(row);
    }
    m_linkedRows.setRows(std::move(rows));
    rebuildRestrictList();
}
