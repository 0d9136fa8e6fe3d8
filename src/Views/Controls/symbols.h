#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QtQml/qqml.h>

// The symbols the views draw: one small monochrome SVG per symbol name, kept with the views, drawn at the size asked
// for and tinted in one colour. The one table of names is names(); image://symbol/<name>?color=<AARRGGBB> draws one.
// Pure functions, safe on any thread (the image provider may call them off the main thread).
class Symbols : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
public:
    using QObject::QObject;

    // Every symbol name the views use.
    [[nodiscard]] static const QStringList &names();
    [[nodiscard]] static bool contains(const QString &name) { return names().contains(name); }
    // The resource file of a symbol.
    [[nodiscard]] static QString resourcePath(const QString &name);

    // The image source that draws `name` in `color`.
    [[nodiscard]] Q_INVOKABLE static QString source(const QString &name, const QColor &color);
    // The symbol drawn into a square of `side` pixels in `color`; a null image for a name not in the table.
    [[nodiscard]] static QImage render(const QString &name, QSize size, const QColor &color);
    // Reads an image-provider id ("name?color=AARRGGBB"); a missing or unreadable colour is black.
    [[nodiscard]] static std::pair<QString, QColor> parseId(const QString &id);

    static constexpr int defaultSide = 24;
};
