#pragma once

#include "instant.h"
#include "quitplanengine.h"
#include "restrictionengine.h"
#include "schedulecalendar.h"

#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <optional>
#include <set>

// Helpers for the schedule tests: instants written as ISO 8601 with an explicit offset (so a row says which of two
// repeated wall times it means), and results shown as UTC text so that a failing comparison reads plainly.
namespace ScheduleTesting {

inline Instant instant(const QString &iso)
{
    const auto parsed = QDateTime::fromString(iso, Qt::ISODateWithMs);
    if (!parsed.isValid())
        qFatal("bad instant in a test row: %s", qPrintable(iso));
    return Instants::fromDateTime(parsed);
}

// An empty text stands for "none".
inline std::optional<Instant> maybeInstant(const QString &iso)
{
    if (iso.isEmpty())
        return std::nullopt;
    return instant(iso);
}

inline QString show(std::optional<Instant> t)
{
    if (!t)
        return QStringLiteral("none");
    const auto ms = std::chrono::floor<std::chrono::milliseconds>(*t);
    QString text = Instants::toDateTime(*t).toString(Qt::ISODateWithMs);
    if (const auto rest = (*t - ms).count(); rest != 0)
        text += QStringLiteral(" +%1us").arg(rest);
    return text;
}

inline ScheduleCalendar calendar(const QByteArray &zoneID)
{
    const QTimeZone zone(zoneID);
    if (!zone.isValid())
        qFatal("time zone %s is missing: install tzdata", zoneID.constData());
    return ScheduleCalendar(zone);
}

inline const std::set<int> everyDay{1, 2, 3, 4, 5, 6, 7};
inline const std::set<int> mondayToFriday{2, 3, 4, 5, 6};

constexpr int hm(int hour, int minute) { return hour * 60 + minute; }

inline RestrictionRuleSnapshot weeklyRule(int startMinute, int endMinute, std::set<int> weekdays,
                                          const QString &app = QStringLiteral("com.example.editor"))
{
    RestrictionRuleSnapshot rule;
    rule.targetKind = RestrictionTarget::app;
    rule.targetID = app;
    rule.startMinute = startMinute;
    rule.endMinute = endMinute;
    rule.weekdays = std::move(weekdays);
    return rule;
}

// Every day from 21:00 to 22:00, for an app or a group.
inline RestrictionRuleSnapshot eveningRule(RestrictionTarget kind, const QString &target)
{
    RestrictionRuleSnapshot rule = weeklyRule(hm(21, 0), hm(22, 0), everyDay, target);
    rule.targetKind = kind;
    return rule;
}

inline RestrictionRuleSnapshot onceRule(const QString &onDay, int startMinute, int endMinute)
{
    RestrictionRuleSnapshot rule = weeklyRule(startMinute, endMinute, {});
    rule.onceDate = instant(onDay);
    return rule;
}

inline RestrictionRuleSnapshot groupRule(RestrictionRuleSnapshot rule, const QString &refID)
{
    rule.targetKind = RestrictionTarget::group;
    rule.targetID = refID;
    return rule;
}

inline RestrictionRuleSnapshot pausedUntil(RestrictionRuleSnapshot rule, const QString &until)
{
    rule.pausedUntil = instant(until);
    return rule;
}

inline RestrictionRuleSnapshot switchedOff(RestrictionRuleSnapshot rule)
{
    rule.isEnabled = false;
    return rule;
}

inline QuitPlanSnapshot appsPlan(int quitMinute, std::set<int> weekdays, QStringList bundleIDs = {QStringLiteral("com.example.game")})
{
    QuitPlanSnapshot plan;
    plan.targetKind = QuitPlanTarget::apps;
    plan.bundleIDs = std::move(bundleIDs);
    plan.quitMinute = quitMinute;
    plan.weekdays = std::move(weekdays);
    return plan;
}

inline QuitPlanSnapshot groupPlan(int quitMinute, std::set<int> weekdays, const QString &groupID)
{
    QuitPlanSnapshot plan;
    plan.targetKind = QuitPlanTarget::group;
    plan.groupID = groupID;
    plan.quitMinute = quitMinute;
    plan.weekdays = std::move(weekdays);
    return plan;
}

inline QuitPlanSnapshot blockingFor(QuitPlanSnapshot plan, int minutes)
{
    plan.blockMode = QuitPlanBlockMode::minutes;
    plan.blockMinutes = minutes;
    return plan;
}

inline QuitPlanSnapshot blockingUntil(QuitPlanSnapshot plan, int minuteOfDay)
{
    plan.blockMode = QuitPlanBlockMode::until;
    plan.blockUntilMinute = minuteOfDay;
    return plan;
}

inline QuitPlanSnapshot pausedUntil(QuitPlanSnapshot plan, const QString &until)
{
    plan.pausedUntil = instant(until);
    return plan;
}

inline QuitPlanSnapshot switchedOff(QuitPlanSnapshot plan)
{
    plan.isEnabled = false;
    return plan;
}

} // namespace ScheduleTesting

Q_DECLARE_METATYPE(RestrictionRuleSnapshot)
Q_DECLARE_METATYPE(QuitPlanSnapshot)
