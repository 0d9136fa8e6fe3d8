#include "formrules.h"

#include <algorithm>

int FormRules::adjust(int value, int delta, int lower, int upper)
{
    const qint64 sum = qint64(value) + qint64(delta);
    return int(std::min<qint64>(std::max<qint64>(sum, lower), upper));
}

int FormRules::stepUp(int value, int upper)
{
    return value >= upper ? upper : value + 1;
}

int FormRules::stepDown(int value, int lower)
{
    return value <= lower ? lower : value - 1;
}

QString FormRules::formatInteger(int value, const QLocale &locale)
{
    return locale.toString(value);
}

std::optional<int> FormRules::parseInteger(const QString &text, const QLocale &locale)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    const int value = locale.toInt(trimmed, &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

int FormRules::committedValue(const QString &text, int current)
{
    return parseInteger(text, QLocale()).value_or(current);
}

QStringList FormRules::weekdayNames()
{
    return {u"日"_qs, u"一"_qs, u"二"_qs, u"三"_qs, u"四"_qs, u"五"_qs, u"六"_qs};
}

QList<int> FormRules::toggle(const QList<int> &selection, int day)
{
    QList<int> result = selection;
    if (result.contains(day))
        result.removeAll(day);
    else
        result.append(day);
    std::sort(result.begin(), result.end());
    return result;
}
