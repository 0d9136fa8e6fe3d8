#pragma once

#include <QList>
#include <QLocale>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QtQml/qqml.h>

#include <optional>

// The rules of the form controls: the titled stepper's step and enablement, the number field's arrows and typed
// text, the weekday chips' labels and toggle, and the texts they announce. The controls show a value and report a
// new one; their owners store it. Pure functions; QML binds to them through the singleton, which only forwards.
class FormRules : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
public:
    using QObject::QObject;

    // SettingsStepper: value + delta held within lower..upper, computed without overflow.
    [[nodiscard]] Q_INVOKABLE static int adjust(int value, int delta, int lower, int upper);
    [[nodiscard]] Q_INVOKABLE static bool canDecrease(int value, int lower) { return value > lower; }
    [[nodiscard]] Q_INVOKABLE static bool canIncrease(int value, int upper) { return value < upper; }
    [[nodiscard]] Q_INVOKABLE static QString decreaseLabel(const QString &title) { return u"减少"_qs + title; }
    [[nodiscard]] Q_INVOKABLE static QString increaseLabel(const QString &title) { return u"增加"_qs + title; }

    // NumberStepperField: each arrow respects only the bound it moves towards, and neither overflows.
    [[nodiscard]] Q_INVOKABLE static int stepUp(int value, int upper);
    [[nodiscard]] Q_INVOKABLE static int stepDown(int value, int lower);
    // The value as the field shows it: the locale's integer format (the system's unless the program set another),
    // group separators included.
    [[nodiscard]] Q_INVOKABLE static QString formatInteger(int value) { return formatInteger(value, QLocale()); }
    [[nodiscard]] static QString formatInteger(int value, const QLocale &locale);
    // Typed text as an integer of the locale, with or without group separators; nothing when it does not
    // parse (the field then keeps its value). Surrounding white space is allowed.
    [[nodiscard]] static std::optional<int> parseInteger(const QString &text, const QLocale &locale);
    // For QML: the value to report after an edit, or `current` when the text does not parse.
    [[nodiscard]] Q_INVOKABLE static int committedValue(const QString &text, int current);

    // WeekdayPicker: weekday n (1 = Sunday ... 7 = Saturday) is labelled names()[n - 1].
    [[nodiscard]] Q_INVOKABLE static QStringList weekdayNames();
    // The set with `day` added when absent and removed when present; kept sorted.
    [[nodiscard]] Q_INVOKABLE static QList<int> toggle(const QList<int> &selection, int day);
};
