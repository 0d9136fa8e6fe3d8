#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqml.h>

// The state of one time-of-day field while the user works it: the minute of day it shows, which part (hours or
// minutes) has the keyboard, and the digits typed into that part so far. Digits fill a part the way a clock field
// does: a first digit that cannot start a two-digit value completes the part at once (7 hours, 6 minutes), else the
// second digit completes it; a complete hours part hands over to the minutes. A two-digit value out of range is
// refused and the part keeps what it had. Every accepted change is reported through valueEdited, so the owner
// always holds what the field shows. Made by the field's QML (one per field); main thread.
class TimeOfDayEntry : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(int value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(int part READ part NOTIFY partChanged)
    Q_PROPERTY(QString hoursText READ hoursText NOTIFY valueChanged)
    Q_PROPERTY(QString minutesText READ minutesText NOTIFY valueChanged)
    Q_PROPERTY(QString text READ text NOTIFY valueChanged)
public:
    // `part` is one of these while the field has the keyboard, else none.
    enum Part { none = -1, hours = 0, minutes = 1 };
    Q_ENUM(Part)

    using QObject::QObject;

    [[nodiscard]] int value() const { return m_value; }
    // The owner's value (a binding): shown as it is, no valueEdited.
    void setValue(int minuteOfDay);
    [[nodiscard]] int part() const { return m_part; }
    [[nodiscard]] QString hoursText() const;
    [[nodiscard]] QString minutesText() const;
    // "HH:mm".
    [[nodiscard]] QString text() const;

    // A click on a part, or the field taking the keyboard (hours). Drops half-typed digits.
    Q_INVOKABLE void selectPart(int part);
    // Tab and Right: the next part; false from the minutes (the key then leaves the field).
    Q_INVOKABLE bool nextPart();
    // Shift+Tab and Left: the previous part; false from the hours.
    Q_INVOKABLE bool previousPart();
    // The field lost the keyboard.
    Q_INVOKABLE void leave();
    // Up/Down, an arrow button or a wheel notch: the selected part (the hours when none is) moves by `delta`,
    // wrapping within that part.
    Q_INVOKABLE void step(int delta);
    // A wheel event's vertical angle delta: one step per notch of 120 units, up for later times; the smaller deltas
    // of a high-resolution wheel add up, and a part of a notch left over is dropped when the direction turns.
    Q_INVOKABLE void wheel(int angleDelta);
    // One typed character; false when it is no digit or completes a value out of range.
    Q_INVOKABLE bool typeDigit(const QString &character);

Q_SIGNALS:
    void valueChanged();
    void partChanged();
    // The user changed the value.
    void valueEdited(int minuteOfDay);

private:
    void setPart(Part part);
    void edit(int minuteOfDay);

    int m_value = 0;
    Part m_part = none;
    QString m_pending;
    int m_wheelRemainder = 0;
};
