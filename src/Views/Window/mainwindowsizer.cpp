#include "mainwindowsizer.h"

#include <algorithm>
#include <cmath>

QSizeF MainWindowSizer::contentSize(const Preference &p, double chrome)
{
    const double width = 80 + 110.0 * p.columns + 30.0 * (p.columns - 1);
    const double height = chrome + (p.paged ? 44 : 48) + 114.0 * p.rows + (p.paged ? 20.0 : 24.0) * (p.rows - 1);
    return {width, height};
}

MainWindowSizer::Placement MainWindowSizer::place(QSizeF content, QRect available, QRect frame, QMargins margins)
{
    Placement result;
    // The whole frame, title bar included, fits the available area: a window manager keeps a title bar on the
    // screen and would push a taller frame down, its bottom (the footer) out of sight.
    const int marginsWidth = margins.left() + margins.right();
    const int marginsHeight = margins.top() + margins.bottom();
    const int w = std::max(std::min(int(std::ceil(content.width())), available.width() - marginsWidth), 0);
    const int h = std::max(std::min(int(std::ceil(content.height())), available.height() - marginsHeight), 0);
    result.contentSize = QSize(w, h);
    const int frameWidth = w + marginsWidth;
    const int frameHeight = h + marginsHeight;
    int x = frame.x();
    x = std::min(x, available.x() + available.width() - frameWidth);
    x = std::max(x, available.x());
    int y = frame.y();
    y = std::min(y, available.y() + available.height() - frameHeight);
    y = std::max(y, available.y());
    result.framePosition = QPoint(x, y);
    return result;
}

void MainWindowSizer::setWindow(SizingWindow *window)
{
    m_window = window;
    tryApplyInitialSize();
}

void MainWindowSizer::gridAreaHeightChanged(double height, double contentHeight)
{
    m_gridAreaHeight = height;
    m_contentHeight = contentHeight;
    tryApplyInitialSize();
}

void MainWindowSizer::tryApplyInitialSize()
{
    if (m_didApplyInitialSize || !m_window)
        return;
    const double h = m_contentHeight;
    if (!(h > 0 && m_gridAreaHeight > 0 && h > m_gridAreaHeight))
        return;
    m_didApplyInitialSize = true;
    m_chromeHeight = h - m_gridAreaHeight;
    sizeToPreference();
}

void MainWindowSizer::refit()
{
    if (!m_window || !m_didApplyInitialSize)
        return;
    const double h = m_contentHeight;
    if (m_gridAreaHeight > 0 && m_gridAreaHeight < h)
        m_chromeHeight = h - m_gridAreaHeight;
    if (m_chromeHeight <= 0)
        return;
    sizeToPreference();
}

void MainWindowSizer::sizeToPreference()
{
    const std::optional<QRect> available = m_window->availableGeometry();
    if (!available)
        return;
    const Placement p = place(contentSize(m_preference, m_chromeHeight), *available, m_window->frameGeometry(),
                              m_window->frameMargins());
    m_window->apply(p.contentSize, p.framePosition);
}
