#include "pagewindow.h"

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
    return std::abs(qint64(page) - qint64(center)) > 2;
}
