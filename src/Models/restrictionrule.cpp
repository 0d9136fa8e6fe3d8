#include "restrictionrule.h"

RestrictionRule::RestrictionRule(RestrictionTarget targetKind, QString targetID, int startMinute, int endMinute,
                                 QList<int> weekdays, bool isEnabled, std::optional<Instant> onceDate)
    : StoreRecord(type)
    , m_targetKindRaw(rawValue(targetKind))
    , m_targetID(std::move(targetID))
    , m_startMinute(startMinute)
    , m_endMinute(endMinute)
    , m_weekdays(std::move(weekdays))
    , m_isEnabled(isEnabled)
    , m_onceDate(onceDate)
{
}

RestrictionTarget RestrictionRule::targetKind() const
{
    return m_targetKindRaw == rawValue(RestrictionTarget::group) ? RestrictionTarget::group : RestrictionTarget::app;
}
