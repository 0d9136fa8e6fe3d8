#include "timeofdayentry.h"

#include "editorfieldrules.h"

void TimeOfDayEntry::setValue(int minuteOfDay)
{
    const int m = EditorFieldRules::step(minuteOfDay, EditorFieldRules::minutes, 0);
    if (m == m_value)
        return;
    m_value = m;
    Q_EMIT valueChanged();
}

QString TimeOfDayEntry::hoursText() const
{
    return EditorFieldRules::formatPart(m_value, EditorFieldRules::hours);
}

QString TimeOfDayEntry::minutesText() const
{
    return EditorFieldRules::formatPart(m_value, EditorFieldRules::minutes);
}

QString TimeOfDayEntry::text() const
{
    return EditorFieldRules::formatTime(m_value);
}

void TimeOfDayEntry::setPart(Part part)
{
    m_pending.clear();
    if (part == m_part)
        return;
    m_part = part;
    Q_EMIT partChanged();
}

void TimeOfDayEntry::selectPart(int part)
{
    setPart(part == minutes ? minutes : hours);
}

bool TimeOfDayEntry::nextPart()
{
    if (m_part == minutes)
        return false;
    setPart(m_part == none ? hours : minutes);
    return true;
}

bool TimeOfDayEntry::previousPart()
{
    if (m_part == hours)
        return false;
    setPart(m_part == none ? minutes : hours);
    return true;
}

void TimeOfDayEntry::leave()
{
    setPart(none);
}

void TimeOfDayEntry::edit(int minuteOfDay)
{
    if (minuteOfDay == m_value)
        return;
    m_value = minuteOfDay;
    Q_EMIT valueChanged();
    Q_EMIT valueEdited(m_value);
}

void TimeOfDayEntry::step(int delta)
{
    if (m_part == none)
        setPart(hours);
    m_pending.clear();
    edit(EditorFieldRules::step(m_value, m_part, delta));
}

void TimeOfDayEntry::wheel(int angleDelta)
{
    if ((angleDelta > 0 && m_wheelRemainder < 0) || (angleDelta < 0 && m_wheelRemainder > 0))
        m_wheelRemainder = 0;
    m_wheelRemainder += angleDelta;
    const int notches = m_wheelRemainder / 120;
    m_wheelRemainder -= notches * 120;
    if (notches != 0)
        step(notches);
}

bool TimeOfDayEntry::typeDigit(const QString &character)
{
    if (character.size() != 1 || !character.at(0).isDigit() || character.at(0) > u'9')
        return false;
    if (m_part == none)
        setPart(hours);
    const QString digits = m_pending + character;
    const std::optional<int> next = EditorFieldRules::typed(m_value, m_part, digits);
    if (!next) {
        m_pending.clear();
        return false;
    }
    edit(*next);
    // A part is complete with two digits, or with one that no second digit could extend (3–9 hours, 6–9 minutes).
    const int largestFirst = m_part == hours ? 2 : 5;
    const bool complete = digits.size() == 2 || digits.toInt() > largestFirst;
    if (!complete) {
        m_pending = digits;
        return true;
    }
    m_pending.clear();
    if (m_part == hours)
        setPart(minutes);
    return true;
}
