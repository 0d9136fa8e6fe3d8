#pragma once

#include "gridlayoutgeometry.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

// Which pages of the paged grid build their tiles: the page at `center` and the one on each side of it; the others are
// empty, so a grid of many pages costs what three pages cost. The pager keeps `center` on its current page (the
// nearest one while the pages are dragged), so the page coming into view is always built.
// Main thread only; owned by the paged grid.
class PageWindow : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the paged grid in C++")
    Q_PROPERTY(int center READ center NOTIFY centerChanged)
public:
    // Pages this far from the centre still build their tiles.
    static constexpr int reach = 1;

    explicit PageWindow(QObject *parent = nullptr);

    [[nodiscard]] int center() const { return m_center; }
    void setCenter(int center);

    // Views pass `center` along so that their binding follows it.
    [[nodiscard]] Q_INVOKABLE static bool isPlaceholder(int page, int center);
    // The shown apps on the pages that build their tiles, `perPage` to a page.
    [[nodiscard]] static TileWindow tiles(int center, int perPage);

Q_SIGNALS:
    void centerChanged();

private:
    int m_center = 0;
};
