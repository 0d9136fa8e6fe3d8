#pragma once

#include <QQuickImageProvider>

// image://symbol/<name>?color=<AARRGGBB>: a symbol of the table drawn at the requested size (24 x 24 when none is
// asked for) in the colour. Qt may call it from its image threads; it keeps no state.
class SymbolImageProvider : public QQuickImageProvider
{
public:
    SymbolImageProvider();
    QImage requestImage(const QString &id, QSize *size, const QSize &requestedSize) override;
};
