#pragma once

#include <QObject>
#include <QtQml/qqml.h>

// The size rules of an app tile at icon scale s, in logical pixels: what the tile, both grids, the add tile and the
// window sizing share. Pure functions.
struct TileMetrics
{
    [[nodiscard]] static constexpr double width(double s) { return 110 * s; }
    [[nodiscard]] static constexpr double iconSide(double s) { return 58 * s; }
    // The height a grid reserves for one tile: the icon, the two paddings, the gap and two lines of the name.
    [[nodiscard]] static constexpr double reservedHeight(double s) { return 58 * s + 56; }
    static constexpr double verticalPadding = 6;
    static constexpr double iconNameGap = 8;
    static constexpr double nameFontSize = 12;
    [[nodiscard]] static constexpr double placeholderRadius(double s) { return 12 * s; }
    [[nodiscard]] static constexpr double selectionFillRadius(double s) { return 14 * s; }
    [[nodiscard]] static constexpr double selectionFillOutset(double s) { return 7 * s; }
    [[nodiscard]] static constexpr double selectionRingRadius(double s) { return 18 * s; }
    [[nodiscard]] static constexpr double selectionRingOutset(double s) { return 10 * s; }
};

// TileMetrics for QML, one per engine; it only forwards.
class TileMetricsForQml : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(TileMetrics)
    QML_SINGLETON
    Q_PROPERTY(double verticalPadding READ verticalPadding CONSTANT)
    Q_PROPERTY(double iconNameGap READ iconNameGap CONSTANT)
    Q_PROPERTY(double nameFontSize READ nameFontSize CONSTANT)
public:
    using QObject::QObject;
    [[nodiscard]] double verticalPadding() const { return TileMetrics::verticalPadding; }
    [[nodiscard]] double iconNameGap() const { return TileMetrics::iconNameGap; }
    [[nodiscard]] double nameFontSize() const { return TileMetrics::nameFontSize; }
    [[nodiscard]] Q_INVOKABLE double width(double s) const { return TileMetrics::width(s); }
    [[nodiscard]] Q_INVOKABLE double iconSide(double s) const { return TileMetrics::iconSide(s); }
    [[nodiscard]] Q_INVOKABLE double reservedHeight(double s) const { return TileMetrics::reservedHeight(s); }
    [[nodiscard]] Q_INVOKABLE double placeholderRadius(double s) const { return TileMetrics::placeholderRadius(s); }
    [[nodiscard]] Q_INVOKABLE double selectionFillRadius(double s) const { return TileMetrics::selectionFillRadius(s); }
    [[nodiscard]] Q_INVOKABLE double selectionFillOutset(double s) const { return TileMetrics::selectionFillOutset(s); }
    [[nodiscard]] Q_INVOKABLE double selectionRingRadius(double s) const { return TileMetrics::selectionRingRadius(s); }
    [[nodiscard]] Q_INVOKABLE double selectionRingOutset(double s) const { return TileMetrics::selectionRingOutset(s); }
};
