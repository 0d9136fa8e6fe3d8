#pragma once

#include <QColor>
#include <QQuickPaintedItem>
#include <QtQml/qqml.h>

// A dashed line drawn just inside a rounded rectangle the size of the item (Qt Quick's Rectangle has no dashes).
// Main thread; made by QML.
class DashedOutline : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY appearanceChanged)
    Q_PROPERTY(double radius READ radius WRITE setRadius NOTIFY appearanceChanged)
    Q_PROPERTY(double lineWidth READ lineWidth WRITE setLineWidth NOTIFY appearanceChanged)
    Q_PROPERTY(double dashLength READ dashLength WRITE setDashLength NOTIFY appearanceChanged)
    Q_PROPERTY(double gapLength READ gapLength WRITE setGapLength NOTIFY appearanceChanged)
public:
    explicit DashedOutline(QQuickItem *parent = nullptr);
    void paint(QPainter *painter) override;

    [[nodiscard]] QColor color() const { return m_color; }
    void setColor(const QColor &color);
    [[nodiscard]] double radius() const { return m_radius; }
    void setRadius(double radius);
    [[nodiscard]] double lineWidth() const { return m_lineWidth; }
    void setLineWidth(double width);
    [[nodiscard]] double dashLength() const { return m_dashLength; }
    void setDashLength(double length);
    [[nodiscard]] double gapLength() const { return m_gapLength; }
    void setGapLength(double length);

Q_SIGNALS:
    void appearanceChanged();

private:
    template <class T>
    void assign(T &field, const T &value);

    QColor m_color = Qt::black;
    double m_radius = 0;
    double m_lineWidth = 1;
    double m_dashLength = 5;
    double m_gapLength = 4;
};
