#include "quitplaneditormodel.h"

#include "appgroup.h"
#include "appstate.h"
#include "editorfieldrules.h"
#include "quitplan.h"
#include "storecontext.h"

#include <QSet>

#include <QVariantMap>

#include <algorithm>
#include <set>

QuitPlanEditorModel::QuitPlanEditorModel(AppState &state, SupervisionWriteHooks hooks, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_hooks(std::move(hooks))
    , m_appPicker({}, [&state](const AppInfo &app) { return state.alias(app).value_or(app.name); },
                  AppPickerModel::MultiSelection{
                      [this] { return QSet<QString>(m_selectedBundleIDs.cbegin(), m_selectedBundleIDs.cend()); },
                      [this](const QSet<QString> &ids) { setSelectedBundleIDs(QStringList(ids.cbegin(), ids.cend())); }})
{
}

void QuitPlanEditorModel::open(QuitPlan *plan, bool isNew)
{
    m_plan = plan;
    m_isNew = isNew;
    load();
    Q_EMIT openChanged();
    Q_EMIT edited();
}

void QuitPlanEditorModel::load()
{
    if (!m_plan)
        return;
    m_targetKind = m_plan->targetKind();
    m_groupID = m_plan->groupID();
    m_selectedBundleIDs = sortedUnique(m_plan->bundleIDs());
    m_quitMinute = m_plan->quitMinute();
    const QList<int> days = sortedUnique(m_plan->weekdays());
    m_repeatDaily = days.size() == 7;
    m_weekdays = m_repeatDaily ? QList<int>() : days;
    m_blockOn = m_plan->blockMode() != QuitPlanBlockMode::none;
    m_blockByMinutes = m_plan->blockMode() != QuitPlanBlockMode::until;
    m_blockMinutes = m_plan->blockMinutes();
    m_blockUntilMinute = m_plan->blockUntilMinute();
    m_appPicker.setApps(m_state.targetableApps());
    m_appPicker.setSearch({});
    m_appPicker.selectionChanged();
}

void QuitPlanEditorModel::setTargetKindRaw(int raw)
{
    if (const auto kind = quitPlanTargetFromRaw(raw))
        assign(m_targetKind, *kind);
}

void QuitPlanEditorModel::setGroupID(const QString &id)
{
    assign(m_groupID, id);
}

void QuitPlanEditorModel::setSelectedBundleIDs(const QStringList &ids)
{
    assign(m_selectedBundleIDs, sortedUnique(ids));
}

void QuitPlanEditorModel::setQuitMinute(int minute)
{
    assign(m_quitMinute, minute);
}

void QuitPlanEditorModel::setRepeatDaily(bool daily)
{
    assign(m_repeatDaily, daily);
}

void QuitPlanEditorModel::setWeekdays(const QList<int> &days)
{
    assign(m_weekdays, sortedUnique(days));
}

void QuitPlanEditorModel::setBlockOn(bool on)
{
    assign(m_blockOn, on);
}

void QuitPlanEditorModel::setBlockByMinutes(bool byMinutes)
{
    assign(m_blockByMinutes, byMinutes);
}

void QuitPlanEditorModel::setBlockMinutes(int minutes)
{
    assign(m_blockMinutes, minutes);
}

void QuitPlanEditorModel::setBlockUntilMinute(int minute)
{
    assign(m_blockUntilMinute, minute);
}

bool QuitPlanEditorModel::isValid() const
{
    const bool hasTarget
        = m_targetKind == QuitPlanTarget::apps ? !m_selectedBundleIDs.isEmpty() : !m_groupID.isEmpty();
    return hasTarget && (m_repeatDaily || !m_weekdays.isEmpty());
}

QVariantList QuitPlanEditorModel::groupChoices() const
{
    return ::groupChoices(m_state.container().mainContext());
}

void QuitPlanEditorModel::save()
{
    if (!m_plan || !isValid())
        return;
    const bool group = m_targetKind == QuitPlanTarget::group;
    m_plan->setTargetKindRaw(rawValue(m_targetKind));
    m_plan->setGroupID(group ? m_groupID : QString());
    m_plan->setBundleIDs(group ? QStringList() : m_selectedBundleIDs);
    m_plan->setQuitMinute(m_quitMinute);
    m_plan->setWeekdays(m_repeatDaily ? QList<int>{1, 2, 3, 4, 5, 6, 7} : m_weekdays);
    const QuitPlanBlockMode mode = !m_blockOn ? QuitPlanBlockMode::none
        : m_blockByMinutes                    ? QuitPlanBlockMode::minutes
                                              : QuitPlanBlockMode::until;
    m_plan->setBlockModeRaw(rawValue(mode));
    m_plan->setBlockMinutes(std::clamp(m_blockMinutes, minBlockMinutes, maxBlockMinutes));
    m_plan->setBlockUntilMinute(m_blockUntilMinute);
    std::ignore = m_state.container().mainContext().save();
    m_state.publishStoreChange();
    if (m_hooks.reschedulePlans)
        m_hooks.reschedulePlans();
    close();
}

void QuitPlanEditorModel::cancel()
{
    if (!m_plan)
        return;
    if (m_isNew) {
        StoreContext &context = m_state.container().mainContext();
        context.remove(m_plan);
        std::ignore = context.save();
        m_state.publishStoreChange();
    }
    close();
}

void QuitPlanEditorModel::close()
{
    m_plan = nullptr;
    m_isNew = false;
    Q_EMIT openChanged();
}

int QuitPlanEditorModel::groupIndex() const
{
    return groupChoiceIndex(groupChoices(), m_groupID);
}

void QuitPlanEditorModel::chooseGroup(int index)
{
    if (const std::optional<QString> value = groupChoiceValue(groupChoices(), index))
        setGroupID(*value);
}
