#include "pagewindow.h"

#include <algorithm>
#include <cstdlib>

PageWindow::PageWindow(QObject *parent)
    : QObject(parent)
{
}

void PageWindow::setCenter(int center)
{
    if (center == m_center)
        return;
    m_center = center;
    Q_EMIT centerChanged();
}

bool PageWindow::isPlaceholder(int page, int center)
{
    return std::abs(qint64(page) - qint64(center)) > reach;
}

TileWindow PageWindow::tiles(int center, int perPage)
{
    if (perPage < 1)
        return {};
    const int firstPage = std::max(center - reach, 0);
    const int lastPage = std::max(center + reach, firstPage);
    return {firstPage * perPage, (lastPage - firstPage + 1) * perPage};
}
