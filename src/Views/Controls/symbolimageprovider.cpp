#include "symbolimageprovider.h"

#include "symbols.h"

SymbolImageProvider::SymbolImageProvider()
    : QQuickImageProvider(QQuickImageProvider::Image)
{
}

QImage SymbolImageProvider::requestImage(const QString &id, QSize *size, const QSize &requestedSize)
{
    const auto [name, color] = Symbols::parseId(id);
    QSize side = requestedSize;
    // A text's inline image may ask for one dimension only; symbols are square.
    if (side.width() <= 0)
        side.setWidth(side.height());
    if (side.height() <= 0)
        side.setHeight(side.width());
    const QImage image = Symbols::render(name, side, color);
    if (size)
        *size = image.size();
    return image;
}
