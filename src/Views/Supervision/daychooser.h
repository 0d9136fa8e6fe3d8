#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <QtQml/qqml.h>

// The state of one day field: the day it shows ("2026年3月2日"), the earliest day it offers, and the month its
// pop-up calendar shows. Days cross into QML as plain numbers (year, month, day), never as script dates, which a
// time zone could shift by a day. A pick before the minimum is refused; an accepted one is reported through
// dayEdited. Made and owned by the view model whose day it edits; main thread.
class DayChooser : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the view model whose day it edits")
    Q_PROPERTY(QDate day READ day NOTIFY dayChanged)
    Q_PROPERTY(QDate minimumDay READ minimumDay NOTIFY minimumDayChanged)
    Q_PROPERTY(QString text READ text NOTIFY dayChanged)
    Q_PROPERTY(int shownYear READ shownYear NOTIFY shownMonthChanged)
    // 0 for January, as the calendar grid counts.
    Q_PROPERTY(int shownMonthIndex READ shownMonthIndex NOTIFY shownMonthChanged)
    Q_PROPERTY(QString shownMonthTitle READ shownMonthTitle NOTIFY shownMonthChanged)
    Q_PROPERTY(bool canShowPreviousMonth READ canShowPreviousMonth NOTIFY shownMonthChanged)
    // Moves whenever the day or the minimum changes: the grid's cells bind to it to ask isSelectable() again.
    Q_PROPERTY(int revision READ revision NOTIFY revisionChanged)
public:
    using QObject::QObject;

    [[nodiscard]] QDate day() const { return m_day; }
    // The owner's day: shown, no dayEdited.
    void setDay(QDate day);
    [[nodiscard]] QDate minimumDay() const { return m_minimumDay; }
    void setMinimumDay(QDate day);
    [[nodiscard]] QString text() const;
    [[nodiscard]] int revision() const { return m_revision; }

    [[nodiscard]] int shownYear() const { return m_shown.year(); }
    [[nodiscard]] int shownMonthIndex() const { return m_shown.month() - 1; }
    // "2026年3月".
    [[nodiscard]] QString shownMonthTitle() const;
    // Not back past the minimum's month.
    [[nodiscard]] bool canShowPreviousMonth() const;

    // The pop-up opens on the shown day's month.
    Q_INVOKABLE void showDaysMonth();
    Q_INVOKABLE void showPreviousMonth();
    Q_INVOKABLE void showNextMonth();
    // A cell of the grid (month index 0 for January): whether it can be picked.
    [[nodiscard]] Q_INVOKABLE bool isSelectable(int year, int monthIndex, int day) const;
    [[nodiscard]] Q_INVOKABLE bool isShownDay(int year, int monthIndex, int day) const;
    // A click on a cell; false, and nothing reported, for a day before the minimum.
    Q_INVOKABLE bool choose(int year, int monthIndex, int day);

Q_SIGNALS:
    void dayChanged();
    void minimumDayChanged();
    void shownMonthChanged();
    void revisionChanged();
    void dayEdited(QDate day);

private:
    void setShown(QDate firstOfMonth);
    void bump();

    QDate m_day;
    QDate m_minimumDay;
    QDate m_shown; // the first of the month the pop-up shows
    int m_revision = 0;
};
