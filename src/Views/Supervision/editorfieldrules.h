#pragma once

#include <algorithm>

#include "instant.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QtQml/qqml.h>

#include <chrono>
#include <optional>

class ScheduleCalendar;
class StoreContext;

// The rules of the editors' two hand-made controls. TimeOfDayField shows a minute of the day as "HH:mm" with the
// hours and the minutes as separate parts; a step wraps within its part (23 → 0, 59 → 0) and leaves the other part
// alone; a typed part out of range is refused (the field keeps its value). DayField shows a day as "2026年3月2日"
// and offers no day before its minimum. Pure functions; QML binds to them through the singleton.
class EditorFieldRules : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
public:
    using QObject::QObject;

    enum Part { hours = 0, minutes = 1 };
    Q_ENUM(Part)

    // A minute of day, taken modulo a day, as "HH:mm".
    [[nodiscard]] Q_INVOKABLE static QString formatTime(int minuteOfDay);
    [[nodiscard]] Q_INVOKABLE static QString formatPart(int minuteOfDay, int part);
    // The value with one part moved by `delta` (any sign), wrapping within that part.
    [[nodiscard]] Q_INVOKABLE static int step(int minuteOfDay, int part, int delta);
    // The value with one part set to the typed digits (one or two); nothing when they are no number of that part.
    [[nodiscard]] static std::optional<int> typed(int minuteOfDay, int part, const QString &digits);
    // For QML: typed(), or the value unchanged when refused.
    [[nodiscard]] Q_INVOKABLE static int typedOrSame(int minuteOfDay, int part, const QString &digits);
    // Whether a day-change of the 00:00..23:59 window is shown: the end is not after the start (equal included).
    [[nodiscard]] Q_INVOKABLE static bool endsNextDay(int startMinute, int endMinute)
    {
        return startMinute >= endMinute;
    }

    // "2026年3月2日"; empty for an invalid date.
    [[nodiscard]] Q_INVOKABLE static QString formatDay(QDate day);
    [[nodiscard]] Q_INVOKABLE static bool isSelectable(QDate day, QDate minimum) { return day >= minimum; }

    // The earliest day a one-off rule may be given: today, or the stored day when that is earlier, so opening a
    // rule that started last night moves nothing.
    [[nodiscard]] static QDate minimumDay(QDate today, std::optional<QDate> stored);
    // The instant a one-off day is saved as: the stored instant when the day did not change, else noon of the day
    // (an hour no clock change touches), or the day's first existing minute after noon.
    [[nodiscard]] static std::optional<Instant> dayInstant(QDate day, std::optional<QDate> storedDay,
                                                           std::optional<Instant> storedInstant,
                                                           const ScheduleCalendar &calendar);

    [[nodiscard]] static QDate toDate(std::chrono::sys_days day);
    [[nodiscard]] static std::chrono::sys_days fromDate(QDate date);
};

// Lists the editors write from sets (weekdays, apps) are stored ascending and without repeats, so stored files are
// deterministic.
template <class List>
[[nodiscard]] List sortedUnique(List list)
{
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    return list;
}

// The editors' group pop-up: "请选择分组" (no group) first, then the stored groups in their order; each entry a map
// of "text" and "value" (the group's reference).
[[nodiscard]] QVariantList groupChoices(StoreContext &context);
// The entry whose value is `groupID`; −1 when there is none, so a deleted group shows a blank pop-up.
[[nodiscard]] int groupChoiceIndex(const QVariantList &choices, const QString &groupID);
// The value of entry `index`; nothing when the index is out of range.
[[nodiscard]] std::optional<QString> groupChoiceValue(const QVariantList &choices, int index);
