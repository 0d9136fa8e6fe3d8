#include "editorfieldrules.h"

#include "appgroup.h"
#include "schedulecalendar.h"
#include "storecontext.h"

#include <QVariantMap>

namespace {

constexpr int kMinutesPerDay = 24 * 60;

int wrap(int value, int modulus)
{
    const int r = value % modulus;
    return r < 0 ? r + modulus : r;
}

} // namespace

QString EditorFieldRules::formatTime(int minuteOfDay)
{
    const int m = wrap(minuteOfDay, kMinutesPerDay);
    return QString::asprintf("%02d:%02d", m / 60, m % 60);
}

QString EditorFieldRules::formatPart(int minuteOfDay, int part)
{
    const int m = wrap(minuteOfDay, kMinutesPerDay);
    return QString::asprintf("%02d", part == hours ? m / 60 : m % 60);
}

int EditorFieldRules::step(int minuteOfDay, int part, int delta)
{
    const int m = wrap(minuteOfDay, kMinutesPerDay);
    const int h = m / 60;
    const int n = m % 60;
    if (part == hours)
        return wrap(h + delta % 24, 24) * 60 + n;
    return h * 60 + wrap(n + delta % 60, 60);
}

std::optional<int> EditorFieldRules::typed(int minuteOfDay, int part, const QString &digits)
{
    if (digits.isEmpty() || digits.size() > 2)
        return std::nullopt;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    const int value = digits.toInt();
    const int m = wrap(minuteOfDay, kMinutesPerDay);
    if (part == hours) {
        if (value > 23)
            return std::nullopt;
        return value * 60 + m % 60;
    }
    if (value > 59)
        return std::nullopt;
    return (m / 60) * 60 + value;
}

int EditorFieldRules::typedOrSame(int minuteOfDay, int part, const QString &digits)
{
    return typed(minuteOfDay, part, digits).value_or(minuteOfDay);
}

QString EditorFieldRules::formatDay(QDate day)
{
    if (!day.isValid())
        return {};
    return QStringLiteral("%1年%2月%3日").arg(day.year()).arg(day.month()).arg(day.day());
}

QDate EditorFieldRules::minimumDay(QDate today, std::optional<QDate> stored)
{
    if (stored && stored->isValid() && *stored < today)
        return *stored;
    return today;
}

std::optional<Instant> EditorFieldRules::dayInstant(QDate day, std::optional<QDate> storedDay,
                                                    std::optional<Instant> storedInstant,
                                                    const ScheduleCalendar &calendar)
{
    if (storedInstant && storedDay && *storedDay == day)
        return storedInstant;
    return calendar.timeOn(fromDate(day), 12, 0);
}

QDate EditorFieldRules::toDate(std::chrono::sys_days day)
{
    const std::chrono::year_month_day ymd{day};
    return QDate(int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day())));
}

std::chrono::sys_days EditorFieldRules::fromDate(QDate date)
{
    return std::chrono::sys_days{std::chrono::year{date.year()} / date.month() / date.day()};
}

QVariantList groupChoices(StoreContext &context)
{
    QVariantList out;
    out.append(QVariantMap{{QStringLiteral("text"), QStringLiteral("请选择分组")}, {QStringLiteral("value"), QString()}});
    const QList<AppGroup *> groups = context.fetch<AppGroup>({}, &AppGroup::bySortIndex);
    for (const AppGroup *group : groups)
        out.append(QVariantMap{{QStringLiteral("text"), group->name()}, {QStringLiteral("value"), group->refID()}});
    return out;
}

int groupChoiceIndex(const QVariantList &choices, const QString &groupID)
{
    for (qsizetype i = 0; i < choices.size(); ++i) {
        if (choices.at(i).toMap().value(QStringLiteral("value")).toString() == groupID)
            return int(i);
    }
    return -1;
}

std::optional<QString> groupChoiceValue(const QVariantList &choices, int index)
{
    if (index < 0 || index >= choices.size())
        return std::nullopt;
    return choices.at(index).toMap().value(QStringLiteral("value")).toString();
}
