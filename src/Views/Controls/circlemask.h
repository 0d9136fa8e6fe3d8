#pragma once

#include <QObject>
#include <QPointF>
#include <QtQml/qqml.h>

// A containment mask that makes a square item react inside its inscribed circle only (the round close button).
// A shape with no state but its diameter, so QML makes it; main thread.
class CircleMask : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(double diameter READ diameter WRITE setDiameter NOTIFY diameterChanged)
public:
    using QObject::QObject;
    [[nodiscard]] double diameter() const { return m_diameter; }
    void setDiameter(double diameter);
    [[nodiscard]] Q_INVOKABLE bool contains(const QPointF &point) const;

Q_SIGNALS:
    void diameterChanged();

private:
    double m_diameter = 0;
};
