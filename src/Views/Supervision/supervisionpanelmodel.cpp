#include "supervisionpanelmodel.h"

#include "adhocblock.h"
#include "appgroup.h"
#include "apppickermodel.h"
#include "appsearchdeeplink.h"
#include "appstate.h"
#include "blockevaluation.h"
#include "clock.h"
#include "embeddedapp.h"
#include "focussessionmanager.h"
#include "preferences.h"
#include "quitplan.h"
#include "quitplaneditormodel.h"
#include "quitplanengine.h"
#include "quittabmodel.h"
#include "restrictionengine.h"
#include "restrictionrule.h"
#include "ruleeditormodel.h"
#include "schedulecalendar.h"
#include "scheduletext.h"
#include "storecontext.h"
#include "supervisionrearm.h"

#include <QSet>

#include <chrono>

using namespace std::chrono_literals;

namespace {

const QString sloganKey = QStringLiteral("blockedSlogan");
const QString focusKey = QStringLiteral("focusControlBundleIDs");
const QString searchKey = QStringLiteral("searchPageEnabledBundleIDs");
const QString dot = QStringLiteral(" \u00b7 ");

QString hhmm(int minuteOfDay)
{
    return QStringLiteral("%1:%2").arg(minuteOfDay / 60, 2, 10, QLatin1Char('0')).arg(minuteOfDay % 60, 2, 10,
                                                                                    QLatin1Char('0'));
}

} // namespace

// --- Rows.

int SupervisionRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant SupervisionRowsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case KeyRole: return row.key;
    case TitleRole: return row.title;
    case BadgeRole: return row.badge;
    case SubtitleRole: return row.subtitle;
    case SwitchOnRole: return row.switchOn;
    case KindRole: return row.kind;
    case SourceRole: return row.source;
    case FirstRole: return row.first;
    case LastRole: return row.last;
    default: return {};
    }
}

QHash<int, QByteArray> SupervisionRowsModel::roleNames() const
{
    return {{KeyRole, "key"},       {TitleRole, "title"},   {BadgeRole, "badge"}, {SubtitleRole, "subtitle"},
            {SwitchOnRole, "switchOn"}, {KindRole, "kind"},     {SourceRole, "source"}, {FirstRole, "first"},
            {LastRole, "last"}};
}

void SupervisionRowsModel::setRows(QList<Row> rows)
{
    const int before = int(m_rows.size());
    const int after = int(rows.size());
    const int common = std::min(before, after);
    if (after < before) {
        beginRemoveRows({}, after, before - 1);
        m_rows.resize(after);
        endRemoveRows();
    }
    // The rows both lists have are reported changed also when equal: the switches show the stored state again.
    for (int i = 0; i < common; ++i)
        m_rows[i] = rows.at(i);
    if (common > 0)
        Q_EMIT dataChanged(index(0), index(common - 1));
    if (after > before) {
        beginInsertRows({}, before, after - 1);
        for (int i = before; i < after; ++i)
            m_rows.append(rows.at(i));
        endInsertRows();
    }
    if (before != after)
        Q_EMIT countChanged();
}

// --- Panel.

SupervisionPanelModel::SupervisionPanelModel(AppState &state, SupervisionRearm &rearm, QObject *parent)
    : SupervisionPanelModel(state, &rearm, nullptr, parent)
{
}

SupervisionPanelModel::SupervisionPanelModel(AppState &state, std::unique_ptr<SupervisionRearm> rearm,
                                             QObject *parent)
    : SupervisionPanelModel(state, nullptr, std::move(rearm), parent)
{
}

SupervisionPanelModel::SupervisionPanelModel(AppState &state, SupervisionRearm *rearm,
                                             std::unique_ptr<SupervisionRearm> owned, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_ownedRearm(std::move(owned))
    , m_rearm(rearm ? *rearm : *m_ownedRearm)
    , m_ruleRows(this)
    , m_linkedRows(this)
    , m_restrictList(this)
    , m_deleteClicks(state.seams().clock)
{
    StoreContext &context = m_state.container().mainContext();
    connect(&context, &StoreContext::changed, this, [this] { rebuildRows(); });
    connect(&m_state, &AppState::changed, this, [this] {
        rebuildRows();
        Q_EMIT launchChanged();
    });
    connect(&m_state.seams().preferences, &Preferences::valueChanged, this, [this](const QString &key) {
        if (key == sloganKey)
            Q_EMIT blockedSloganChanged();
        else if (key == focusKey || key == searchKey)
            Q_EMIT launchChanged();
    });
    m_linkedTick = m_state.seams().timers.startRepeating(30s, [this] { rebuildLinked(); });
    rebuildRows();
}

SupervisionPanelModel::~SupervisionPanelModel() = default;

Instant SupervisionPanelModel::now() const
{
    return m_state.seams().clock.now();
}

void SupervisionPanelModel::save()
{
    std::ignore = m_state.container().mainContext().save();
    m_state.publishStoreChange();
}

void SupervisionPanelModel::bumpToggleRefresh()
{
    ++m_toggleRefresh;
    Q_EMIT toggleRefreshChanged();
    rebuildRows();
}

void SupervisionPanelModel::setTab(SupervisionTab tab)
{
    if (m_tab == tab)
        return;
    m_tab = tab;
    Q_EMIT tabChanged();
}

QString SupervisionPanelModel::tabRaw() const
{
    switch (m_tab) {
    case SupervisionTab::launch: return QStringLiteral("launch");
    case SupervisionTab::restrict: return QStringLiteral("restrict");
    case SupervisionTab::quit: return QStringLiteral("quit");
    }
    return {};
}

void SupervisionPanelModel::setTabRaw(const QString &raw)
{
    if (raw == u"restrict")
        setTab(SupervisionTab::restrict);
    else if (raw == u"quit")
        setTab(SupervisionTab::quit);
    else
        setTab(SupervisionTab::launch);
}

void SupervisionPanelModel::appear()
{
    setTab(m_state.supervisionInitialTab);
    m_state.supervisionInitialTab = SupervisionTab::launch;
    // Plans are left as they are, those without apps or a group included (a rules file may hold them): the
    // quit tab lists them for the user to mend or delete.
    purgeStaleRules();
}

void SupervisionPanelModel::resolveDisable(DisableChoice choice)
{
    if (!m_disableRequest)
        return;
    switch (choice) {
    case DisableChoice::pauseOnce:
        if (m_disableRequest->pauseUntil)
            m_disableRequest->setPause(*m_disableRequest->pauseUntil);
        break;
    case DisableChoice::always: m_disableRequest->setOff(); break;
    case DisableChoice::cancel: break;
    }
    save();
    m_disableRequest.reset();
    Q_EMIT cardsChanged();
    bumpToggleRefresh();
}

SupervisionPanelModel::CloseCard SupervisionPanelModel::closeCard(const CloseTarget &target) const
{
    CloseCard card;
    card.slogan = blockedSlogan();
    switch (target.kind) {
    case CloseTarget::Kind::plan:
        card.title = QStringLiteral("关闭并删除这条计划？");
        card.message = QStringLiteral("删除后，该定时退出与其联动禁启一并失效。");
        card.confirmTitle = QStringLiteral("关闭并删除");
        break;
    case CloseTarget::Kind::adhoc: {
        const QString id = target.adhoc ? target.adhoc->bundleID() : QString();
        card.title = QStringLiteral("关闭这条临时禁启？");
        card.message = QStringLiteral("「") + m_state.appName(id).value_or(id) + QStringLiteral("」将立即恢复可用。");
        card.confirmTitle = QStringLiteral("关闭并解除");
        break;
    }
    case CloseTarget::Kind::session:
        card.title = QStringLiteral("关闭并删除这条定时退出？");
        card.message = QStringLiteral("「") + target.sessionTitle
                       + QStringLiteral("」将不再被自动退出，本次倒计时结束。");
        card.confirmTitle = QStringLiteral("关闭并删除");
        break;
    }
    return card;
}

void SupervisionPanelModel::setCloseTarget(std::optional<CloseTarget> target)
{
    m_closeTarget = std::move(target);
    Q_EMIT cardsChanged();
}

void SupervisionPanelModel::confirmClose()
{
    if (!m_closeTarget)
        return;
    const CloseTarget target = *m_closeTarget;
    StoreContext &context = m_state.container().mainContext();
    switch (target.kind) {
    case CloseTarget::Kind::plan:
        context.remove(target.plan);
        save();
        m_rearm.rescheduleQuitPlans();
        m_rearm.rearmGuards();
        setCloseTarget(std::nullopt);
        bumpToggleRefresh();
        break;
    case CloseTarget::Kind::adhoc:
        context.remove(target.adhoc);
        save();
        m_state.refreshSortMeta();
        setCloseTarget(std::nullopt);
        bumpToggleRefresh();
        break;
    case CloseTarget::Kind::session:
        m_state.sessionManager().end(target.sessionID);
        setCloseTarget(std::nullopt);
        break;
    }
}

void SupervisionPanelModel::cancelClose()
{
    if (m_closeTarget)
        setCloseTarget(std::nullopt);
}

void SupervisionPanelModel::escape()
{
    if (m_disableRequest) {
        m_disableRequest.reset();
        Q_EMIT cardsChanged();
    } else if (m_closeTarget) {
        setCloseTarget(std::nullopt);
    } else {
        Q_EMIT dismissRequested();
    }
}

void SupervisionPanelModel::returnPressed()
{
    if (m_disableRequest) {
        if (canPauseOnce())
            resolveDisable(DisableChoice::pauseOnce);
    } else if (m_closeTarget) {
        confirmClose();
    } else {
        Q_EMIT dismissRequested();
    }
}

QString SupervisionPanelModel::blockedSlogan() const
{
    return m_state.seams().preferences.stringValue(sloganKey).value_or(QString());
}

void SupervisionPanelModel::setBlockedSlogan(const QString &slogan)
{
    m_state.seams().preferences.setString(sloganKey, slogan);
}

// --- Texts.

QString SupervisionPanelModel::planTitle(const QuitPlan &plan) const
{
    if (plan.targetKind() == QuitPlanTarget::group) {
        for (const AppGroup *group : groups()) {
            if (group->refID() == plan.groupID())
                return QStringLiteral("分组：") + group->name();
        }
        return QStringLiteral("（分组已删除）");
    }
    QStringList names;
    for (const QString &id : plan.bundleIDs()) {
        if (const std::optional<QString> name = m_state.appName(id))
            names.append(*name);
    }
    if (names.isEmpty())
        return QStringLiteral("（未选择应用）");
    if (names.size() <= 2)
        return names.join(QStringLiteral("、"));
    return names.at(0) + QStringLiteral("、") + names.at(1) + QStringLiteral(" 等 ") + QString::number(names.size())
           + QStringLiteral(" 个应用");
}

std::optional<QString> SupervisionPanelModel::planBadge(const QuitPlan &plan)
{
    switch (plan.blockMode()) {
    case QuitPlanBlockMode::none: return std::nullopt;
    case QuitPlanBlockMode::minutes: return QStringLiteral("禁启 %1 分钟").arg(plan.blockMinutes());
    case QuitPlanBlockMode::until: return QStringLiteral("禁启至 ") + hhmm(plan.blockUntilMinute());
    }
    return std::nullopt;
}

QString SupervisionPanelModel::withPauseSuffix(const QString &text, const std::optional<Instant> &pausedUntil) const
{
    const Instant t = now();
    if (pausedUntil && t < *pausedUntil)
        return text + dot + ScheduleText::paused(*pausedUntil, ScheduleCalendar::system(), t);
    return text;
}

QString SupervisionPanelModel::windowEndText(Instant date, const ScheduleCalendar &calendar, Instant now)
{
    const QString time = ScheduleText::time(date, calendar);
    return calendar.localDay(date) == calendar.localDay(now) ? time : QStringLiteral("次日 ") + time;
}

QString SupervisionPanelModel::ruleTitle(const RestrictionRule &rule) const
{
    if (rule.targetKind() == RestrictionTarget::group) {
        for (const AppGroup *group : groups()) {
            if (group->refID() == rule.targetID())
                return QStringLiteral("分组：") + group->name();
        }
        return QStringLiteral("（分组已删除）");
    }
    return m_state.appName(rule.targetID()).value_or(rule.targetID());
}

QString SupervisionPanelModel::onceExpiredSuffix(const RestrictionRule &rule) const
{
    if (rule.onceDate() && RestrictionEngine::isOnceExpired(now(), snapshot(rule), ScheduleCalendar::system()))
        return QStringLiteral(" · 已过期");
    return {};
}

QString SupervisionPanelModel::ruleSubtitle(const RestrictionRule &rule) const
{
    const QString text = hhmm(rule.startMinute()) + QStringLiteral(" – ") + hhmm(rule.endMinute()) + dot
                         + ScheduleText::repeatSummary(rule.onceDate(), rule.weekdays(), ScheduleCalendar::system())
                         + onceExpiredSuffix(rule);
    return withPauseSuffix(text, rule.pausedUntil());
}

bool SupervisionPanelModel::ruleSwitchShown(const RestrictionRule &rule) const
{
    return rule.isEnabled() && (!rule.pausedUntil() || now() >= *rule.pausedUntil());
}

RestrictionRuleSnapshot SupervisionPanelModel::snapshot(const RestrictionRule &rule)
{
    return BlockEvaluation::snapshot(rule);
}

QuitPlanSnapshot SupervisionPanelModel::snapshot(const QuitPlan &plan)
{
    return BlockEvaluation::snapshot(plan);
}

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

// --- Launch-conditions tab.

QList<AppInfo> SupervisionPanelModel::focusControlApps() const
{
    QList<AppInfo> apps;
    for (const AppInfo &app : m_state.targetableApps()) {
        if (!m_state.seams().embeddedApps.contains(app.bundleID))
            apps.append(app);
    }
    return apps;
}

QList<AppInfo> SupervisionPanelModel::searchPageConfigurableApps() const
{
    QSet<QString> linked;
    for (const AppSearchDeepLink::Link &link : AppSearchDeepLink::links())
        linked.insert(link.bundleID);
    QList<AppInfo> apps;
    for (const AppInfo &app : m_state.targetableApps()) {
        if (linked.contains(app.bundleID) && AppSearchDeepLink::launchPanelBundleIDs().contains(app.bundleID))
            apps.append(app);
    }
    return apps;
}

namespace {

QStringList idsOf(const QList<AppInfo> &apps)
{
    QStringList ids;
    ids.reserve(apps.size());
    for (const AppInfo &app : apps)
        ids.append(app.bundleID);
    return ids;
}

} // namespace

QStringList SupervisionPanelModel::focusControlAppIDs() const
{
    return idsOf(focusControlApps());
}

QStringList SupervisionPanelModel::searchPageConfigurableAppIDs() const
{
    return idsOf(searchPageConfigurableApps());
}

QSet<QString> SupervisionPanelModel::focusSelection() const
{
    const QStringList stored = m_state.seams().preferences.stringList(focusKey).value_or(QStringList());
    return QSet<QString>(stored.begin(), stored.end());
}

void SupervisionPanelModel::setFocusSelection(const QSet<QString> &selection)
{
    m_state.setFocusControlled(selection);
}

QSet<QString> SupervisionPanelModel::searchPageSelection() const
{
    QSet<QString> selection;
    for (const QString &id : searchPageConfigurableAppIDs()) {
        if (m_state.searchDeepLinks().isEnabled(id))
            selection.insert(id);
    }
    return selection;
}

void SupervisionPanelModel::setSearchPageSelection(const QSet<QString> &selection)
{
    for (const QString &id : searchPageConfigurableAppIDs())
        m_state.searchDeepLinks().setEnabled(selection.contains(id), id);
    m_state.announceChange();
}

int SupervisionPanelModel::focusControlCount() const
{
    const QSet<QString> stored = focusSelection();
    int n = 0;
    for (const QString &id : focusControlAppIDs())
        n += stored.contains(id) ? 1 : 0;
    return n;
}

int SupervisionPanelModel::searchPageCount() const
{
    return int(searchPageSelection().size());
}

QString SupervisionPanelModel::focusCountText() const
{
    return QStringLiteral("已勾选 %1 个应用").arg(focusControlCount());
}

QString SupervisionPanelModel::searchPageCountText() const
{
    return QStringLiteral("已开启 %1 个应用").arg(searchPageCount());
}

void SupervisionPanelModel::setShowAppPicker(bool show)
{
    if (m_showAppPicker == show)
        return;
    m_showAppPicker = show;
    Q_EMIT pickersChanged();
}

void SupervisionPanelModel::setShowSearchPagePicker(bool show)
{
    if (m_showSearchPagePicker == show)
        return;
    m_showSearchPagePicker = show;
    Q_EMIT pickersChanged();
}

QString SupervisionPanelModel::shownName(const AppInfo &app) const
{
    return m_state.alias(app).value_or(app.name);
}

AppPickerModel *SupervisionPanelModel::makeFocusPicker(QObject *owner)
{
    auto *picker = new AppPickerModel(
        focusControlApps(), [this](const AppInfo &app) { return shownName(app); },
        AppPickerModel::MultiSelection{[this] { return focusSelection(); },
                                       [this](const QSet<QString> &selection) { setFocusSelection(selection); }},
        owner);
    // A write announces a change of the state object; the check marks follow the stored list.
    connect(this, &SupervisionPanelModel::launchChanged, picker, &AppPickerModel::selectionChanged);
    return picker;
}

AppPickerModel *SupervisionPanelModel::makeSearchPagePicker(QObject *owner)
{
    auto *picker = new AppPickerModel(
        searchPageConfigurableApps(), [this](const AppInfo &app) { return shownName(app); },
        AppPickerModel::MultiSelection{[this] { return searchPageSelection(); },
                                       [this](const QSet<QString> &selection) { setSearchPageSelection(selection); }},
        owner);
    connect(this, &SupervisionPanelModel::launchChanged, picker, &AppPickerModel::selectionChanged);
    return picker;
}

// --- Factory.

SupervisionPanelModel *SupervisionPanels::create(AppState *state, QObject *owner)
{
    if (!state)
        return nullptr;
    return new SupervisionPanelModel(*state, std::make_unique<AppStateSupervisionRearm>(*state), owner);
}

// --- Editors and the timed-quit tab.

SupervisionWriteHooks SupervisionPanelModel::writeHooks() const
{
    SupervisionRearm *rearm = &m_rearm;
    return {[rearm] { rearm->rearmGuards(); }, [rearm] { rearm->rescheduleQuitPlans(); }};
}

RuleEditorModel *SupervisionPanelModel::makeRuleEditor(QObject *owner)
{
    auto *editor = new RuleEditorModel(m_state, writeHooks(), owner);
    if (m_editingRule)
        editor->open(m_editingRule, m_ruleIsNew);
    // Queued: the editor's sheet goes with the record, and the editor is still inside save() or cancel() here.
    connect(
        editor, &RuleEditorModel::openChanged, this,
        [this, editor] {
            if (!editor->isOpen())
                ruleEditorClosed();
        },
        Qt::QueuedConnection);
    return editor;
}

QuitPlanEditorModel *SupervisionPanelModel::makePlanEditor(QObject *owner)
{
    auto *editor = new QuitPlanEditorModel(m_state, writeHooks(), owner);
    if (m_editingPlan)
        editor->open(m_editingPlan, m_planIsNew);
    connect(
        editor, &QuitPlanEditorModel::openChanged, this,
        [this, editor] {
            if (!editor->isOpen())
                planEditorClosed();
        },
        Qt::QueuedConnection);
    return editor;
}

QuitTabModel *SupervisionPanelModel::makeQuitTab(QObject *owner)
{
    return new QuitTabModel(m_state, writeHooks(), this, owner);
}
