#include "daychooser.h"

#include "editorfieldrules.h"

namespace {

QDate firstOf(QDate day)
{
    return day.isValid() ? QDate(day.year(), day.month(), 1) : QDate();
}

} // namespace

void DayChooser::setDay(QDate day)
{
    if (day == m_day)
        return;
    m_day = day;
    Q_EMIT dayChanged();
    bump();
    if (!m_shown.isValid())
        setShown(firstOf(day));
}

void DayChooser::setMinimumDay(QDate day)
{
    if (day == m_minimumDay)
        return;
    m_minimumDay = day;
    Q_EMIT minimumDayChanged();
    Q_EMIT shownMonthChanged();
    bump();
}

void DayChooser::bump()
{
    ++m_revision;
    Q_EMIT revisionChanged();
}

QString DayChooser::text() const
{
    return EditorFieldRules::formatDay(m_day);
}

QString DayChooser::shownMonthTitle() const
{
    if (!m_shown.isValid())
        return {};
    return QStringLiteral("%1年%2月").arg(m_shown.year()).arg(m_shown.month());
}

bool DayChooser::canShowPreviousMonth() const
{
    return m_shown.isValid() && (!m_minimumDay.isValid() || m_shown > firstOf(m_minimumDay));
}

void DayChooser::setShown(QDate firstOfMonth)
{
    if (firstOfMonth == m_shown)
        return;
    m_shown = firstOfMonth;
    Q_EMIT shownMonthChanged();
}

void DayChooser::showDaysMonth()
{
    setShown(firstOf(m_day.isValid() ? m_day : m_minimumDay));
}

void DayChooser::showPreviousMonth()
{
    if (canShowPreviousMonth())
        setShown(m_shown.addMonths(-1));
}

void DayChooser::showNextMonth()
{
    if (m_shown.isValid())
        setShown(m_shown.addMonths(1));
}

bool DayChooser::isSelectable(int year, int monthIndex, int day) const
{
    const QDate date(year, monthIndex + 1, day);
    return date.isValid() && (!m_minimumDay.isValid() || EditorFieldRules::isSelectable(date, m_minimumDay));
}

bool DayChooser::isShownDay(int year, int monthIndex, int day) const
{
    return m_day.isValid() && m_day == QDate(year, monthIndex + 1, day);
}

bool DayChooser::choose(int year, int monthIndex, int day)
{
    if (!isSelectable(year, monthIndex, day))
        return false;
    const QDate date(year, monthIndex + 1, day);
    if (date != m_day) {
        m_day = date;
        Q_EMIT dayChanged();
        bump();
        Q_EMIT dayEdited(date);
    }
    return true;
}
