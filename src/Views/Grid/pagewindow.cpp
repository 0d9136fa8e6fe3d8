#include "pagewindow.h"

#include <algorithm>

PageWindow::PageWindow(QObject *parent)
    : QObject(parent)
{
}

void PageWindow::setPages(int center, int drawnFirst, int drawnLast)
{
    const int first = std::max(std::min(center, drawnFirst) - reach, 0);
    const int last = std::max(std::max(center, drawnLast) + reach, first);
    const bool centerMoved = center != m_center;
    const bool pagesMoved = first != m_firstPage || last != m_lastPage;
    const int shownFirst = std::max(std::min(center, drawnFirst), 0);
    const int shownLast = std::max(std::max(center, drawnLast), shownFirst);
    const bool shownMoved = shownFirst != m_shownFirst || shownLast != m_shownLast;
    m_center = center;
    m_firstPage = first;
    m_lastPage = last;
    m_shownFirst = shownFirst;
    m_shownLast = shownLast;
    if (pagesMoved)
        Q_EMIT pagesChanged();
    if (shownMoved)
        Q_EMIT shownChanged();
    if (centerMoved)
        Q_EMIT centerChanged();
}

TileWindow PageWindow::tiles(int perPage) const
{
    if (perPage < 1)
        return {};
    return {m_firstPage * perPage, (m_lastPage - m_firstPage + 1) * perPage};
}
