#pragma once

#include "gridlayoutgeometry.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

// Which pages of the paged grid build their tiles: those within `reach` of `center`, and while a snap carries the
// strip towards `center`, also those within `reach` of every page it is drawn over on the way; the others are empty,
// so a grid of many pages costs what five pages cost. The pager keeps `center` on its current page (the nearest one
// while the pages are dragged) and tells the window where the strip is drawn, so a page coming into view, or one
// the strip still shows at the start of a snap, is always built.
// Of the pages that build their tiles, only those the strip is drawn over (or, during a snap, passes on its way)
// are shown: at rest that is the current page alone, so a frame of the caret or of a hover walks one page's tiles,
// not five.
// Main thread only; owned by the paged grid.
class PageWindow : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the paged grid in C++")
    Q_PROPERTY(int center READ center NOTIFY centerChanged)
    Q_PROPERTY(int firstPage READ firstPage NOTIFY pagesChanged)
    Q_PROPERTY(int lastPage READ lastPage NOTIFY pagesChanged)
    Q_PROPERTY(int shownFirst READ shownFirst NOTIFY shownChanged)
    Q_PROPERTY(int shownLast READ shownLast NOTIFY shownChanged)
public:
    // Pages this far from the centre still build their tiles.
    static constexpr int reach = 2;

    explicit PageWindow(QObject *parent = nullptr);

    [[nodiscard]] int center() const { return m_center; }
    // The first and last page that build their tiles.
    [[nodiscard]] int firstPage() const { return m_firstPage; }
    [[nodiscard]] int lastPage() const { return m_lastPage; }
    // The first and last page whose tiles are shown.
    [[nodiscard]] int shownFirst() const { return m_shownFirst; }
    [[nodiscard]] int shownLast() const { return m_shownLast; }

    // The centre alone: the strip is drawn where it goes.
    void setCenter(int center) { setPages(center, center, center); }
    // The centre, and the pages from `drawnFirst` to `drawnLast` that the strip is drawn over now.
    void setPages(int center, int drawnFirst, int drawnLast);

    [[nodiscard]] Q_INVOKABLE bool isPlaceholder(int page) const { return page < m_firstPage || page > m_lastPage; }
    // The shown apps on the pages that build their tiles, `perPage` to a page.
    [[nodiscard]] TileWindow tiles(int perPage) const;

Q_SIGNALS:
    void centerChanged();
    void pagesChanged();
    void shownChanged();

private:
    int m_center = 0;
    int m_firstPage = 0;
    int m_lastPage = reach;
    int m_shownFirst = 0;
    int m_shownLast = 0;
};
