// The cards: the rows the tabs list, and the titles, subtitles and badges they show.

#include "supervisionpanelmodel.h"

#include "appgroup.h"
#include "appstate.h"
#include "blockevaluation.h"
#include "quitplan.h"
#include "restrictionrule.h"
#include "scheduletext.h"

namespace {

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
