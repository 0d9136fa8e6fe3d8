#include "symbols.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QUrlQuery>

const QStringList &Symbols::names()
{
    static const QStringList table = {
        QStringLiteral("lock.fill"),
        QStringLiteral("pin.fill"),
        QStringLiteral("magnifyingglass"),
        QStringLiteral("xmark.circle.fill"),
        QStringLiteral("rectangle.split.3x1"),
        QStringLiteral("rectangle.grid.1x2"),
        QStringLiteral("gearshape"),
        QStringLiteral("shield"),
        QStringLiteral("shield.fill"),
        QStringLiteral("contextualmenu.and.cursorarrow"),
        QStringLiteral("minus"),
        QStringLiteral("plus"),
        QStringLiteral("chevron.up"),
        QStringLiteral("chevron.down"),
        QStringLiteral("xmark"),
        QStringLiteral("eye.slash"),
        QStringLiteral("square.grid.2x2"),
        QStringLiteral("clock"),
        QStringLiteral("chevron.right"),
        QStringLiteral("bell.badge"),
        QStringLiteral("checkmark"),
        QStringLiteral("checkmark.circle.fill"),
        QStringLiteral("circle"),
        QStringLiteral("arrow.up.left.and.arrow.down.right"),
        QStringLiteral("pause.fill"),
        QStringLiteral("bell"),
        QStringLiteral("doc.text"),
        QStringLiteral("pencil"),
        QStringLiteral("trash"),
        QStringLiteral("chevron.left"),
        QStringLiteral("chevron.up.chevron.down"),
    };
    return table;
}

QString Symbols::resourcePath(const QString &name)
{
    return u":/Tarnwick/Views/symbols/"_qs + name + u".svg"_qs;
}

QString Symbols::source(const QString &name, const QColor &color)
{
    return u"image://symbol/"_qs + name + u"?color="_qs
           + QString::number(color.rgba(), 16).rightJustified(8, u'0');
}

QImage Symbols::render(const QString &name, QSize size, const QColor &color)
{
    if (!contains(name))
        return {};
    QSvgRenderer renderer(resourcePath(name));
    if (!renderer.isValid())
        return {};
    if (size.width() <= 0 || size.height() <= 0)
        size = QSize(defaultSide, defaultSide);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    // Keeps the drawn shape and paints it over in the colour.
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), color);
    painter.end();
    return image;
}

std::pair<QString, QColor> Symbols::parseId(const QString &id)
{
    const qsizetype mark = id.indexOf(u'?');
    const QString name = mark < 0 ? id : id.left(mark);
    QColor color(Qt::black);
    if (mark >= 0) {
        const QString hex = QUrlQuery(id.mid(mark + 1)).queryItemValue(QStringLiteral("color"));
        bool ok = false;
        const uint argb = hex.toUInt(&ok, 16);
        if (ok && hex.size() == 8)
            color = QColor::fromRgba(argb);
    }
    return {name, color};
}
