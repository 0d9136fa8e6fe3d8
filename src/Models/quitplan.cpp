#include "quitplan.h"

QuitPlan::QuitPlan(QuitPlanTarget targetKind, QString groupID, QStringList bundleIDs, int quitMinute,
                   QList<int> weekdays, QuitPlanBlockMode blockMode, int blockMinutes, int blockUntilMinute,
                   bool isEnabled)
    : StoreRecord(type)
    , m_targetKindRaw(rawValue(targetKind))
    , m_groupID(std::move(groupID))
    , m_bundleIDs(std::move(bundleIDs))
    , m_quitMinute(quitMinute)
    , m_weekdays(std::move(weekdays))
    , m_blockModeRaw(rawValue(blockMode))
    , m_blockMinutes(blockMinutes)
    , m_blockUntilMinute(blockUntilMinute)
    , m_isEnabled(isEnabled)
{
}

QuitPlanTarget QuitPlan::targetKind() const
{
    return m_targetKindRaw == rawValue(QuitPlanTarget::group) ? QuitPlanTarget::group : QuitPlanTarget::apps;
}

QuitPlanBlockMode QuitPlan::blockMode() const
{
    return quitPlanBlockModeFromRaw(m_blockModeRaw).value_or(QuitPlanBlockMode::none);
}
