#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqml.h>

// What a slider announces as its value when its number alone does not say it, such as the icon size as "95%": set
// `AccessibleValueText.text` on a Qt Quick slider and its accessible interface carries that text as its value.
// Otherwise the interface answers as the slider's own would: the name and description given through `Accessible`,
// the slider's number, range and step for the value interface (a new value from there moves the slider as the user
// would), increase and decrease actions, its geometry, state and place in the window's tree.
// Main thread; one attached object per slider, owned by it.
class AccessibleValueText : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("an attached property of sliders")
    QML_ATTACHED(AccessibleValueText)
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
public:
    explicit AccessibleValueText(QObject *slider);

    [[nodiscard]] QString text() const { return m_text; }
    void setText(const QString &text);

    // The attached object of `object`, if it has one (none is made).
    [[nodiscard]] static AccessibleValueText *of(QObject *object);
    [[nodiscard]] static AccessibleValueText *qmlAttachedProperties(QObject *slider);

Q_SIGNALS:
    void textChanged();

private:
    QString m_text;
};
