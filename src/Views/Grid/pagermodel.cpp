#include "pagermodel.h"

#include "pagerspring.h"

#include <algorithm>
#include <cmath>

PagerSpringAnimation::PagerSpringAnimation(std::function<void(double)> draw)
    : m_draw(std::move(draw))
{
}

void PagerSpringAnimation::run(double target, double u0, double v0)
{
    stop();
    m_target = target;
    m_u0 = u0;
    m_v0 = v0;
    start();
}

double PagerSpringAnimation::currentVelocity() const
{
    if (state() != Running)
        return 0;
    return PagerSpring::velocity(m_u0, m_v0, currentTime() / 1000.0);
}

void PagerSpringAnimation::updateCurrentTime(int msecs)
{
    if (msecs >= duration())
        m_draw(m_target);
    else
        m_draw(m_target + PagerSpring::displacement(m_u0, m_v0, msecs / 1000.0));
}

PagerModel::PagerModel(TimerService &timers, QObject *parent)
    : QObject(parent)
    , m_timers(timers)
    , m_spring([this](double x) { setDrawnOffsetX(x); })
{
    // The pages the strip passed on its way stay built until it stands still.
    connect(&m_spring, &QAbstractAnimation::finished, this, &PagerModel::syncWindow);
}

PagerModel::~PagerModel()
{
    m_spring.stop();
}

int PagerModel::currentPage() const
{
    if (m_pageWidth <= 0)
        return 0;
    // std::round takes halves away from zero.
    const double page = std::round(m_offsetX / m_pageWidth);
    if (std::isnan(page))
        return 0;
    return int(std::clamp(page, 0.0, double(std::max(m_pageCount - 1, 0))));
}

void PagerModel::updateLayout(double width, double gridHeight, int count)
{
    const int page = currentPage();
    m_pageWidth = width;
    m_gridHeight = gridHeight;
    if (const int pages = std::max(count, 1); pages != m_pageCount) {
        m_pageCount = pages;
        Q_EMIT pageCountChanged();
    }
    writeOffset(std::min(m_pageCount - 1, page) * width);
    syncWindow();
}

void PagerModel::setDragOffset(double x)
{
    const double end = std::max(m_pageCount - 1, 0) * m_pageWidth;
    if (x < 0)
        writeOffset(x * 0.35);
    else if (x > end)
        writeOffset(end + (x - end) * 0.35);
    else
        writeOffset(x);
    syncWindow();
}

void PagerModel::snap(int page, double velocity)
{
    if (m_pageWidth <= 0)
        return;
    const int target = std::clamp(page, 0, m_pageCount - 1);
    const double targetX = target * m_pageWidth;

    if (std::abs(target - currentPage()) < 2) {
        const double distance = targetX - m_offsetX;
        const double startSpeed = PagerSpring::startVelocity(distance, velocity) * distance;
        // A snap during a snap carries the strip on from where it is drawn, at the speed it has there.
        m_spring.run(targetX, m_drawnOffsetX - targetX, m_spring.currentVelocity() + startSpeed);
        setOffsetX(targetX);
        syncWindow();
        setPagingAnimating(true);
        m_settleWork = m_timers.startAfter(600ms, [this] { settle(); });
        return;
    }

    m_settleWork.cancel();
    writeOffset(targetX);
    syncWindow();
    setPagingAnimating(false);
    if (m_onSettle)
        m_onSettle();
}

void PagerModel::settleNow()
{
    m_settleWork.cancel();
    if (!m_isPagingAnimating)
        return;
    setPagingAnimating(false);
    if (m_onSettle)
        m_onSettle();
}

void PagerModel::syncWindow()
{
    if (!m_window)
        return;
    const int page = currentPage();
    const double drawn = m_drawnOffsetX / m_pageWidth;
    if (m_pageWidth <= 0 || !std::isfinite(drawn)) {
        m_window->setCenter(page);
        return;
    }
    // A snap moves the logical offset at once while the strip is still drawn where it was: the pages it is drawn
    // over now, and so every page between them and the target, must keep their tiles for the whole spring.
    const double last = std::max(m_pageCount - 1, 0);
    const int drawnFirst = int(std::clamp(std::floor(drawn), 0.0, last));
    const int drawnLast = int(std::clamp(std::ceil(drawn), 0.0, last));
    m_window->setPages(page, drawnFirst, drawnLast);
}

void PagerModel::settle()
{
    setPagingAnimating(false);
    if (m_onSettle)
        m_onSettle();
}

void PagerModel::writeOffset(double x)
{
    m_spring.stop();
    setOffsetX(x);
    setDrawnOffsetX(x);
}

void PagerModel::setOffsetX(double x)
{
    if (x != m_offsetX) {
        m_offsetX = x;
        Q_EMIT offsetXChanged();
    }
    publishCurrentPage();
}

void PagerModel::setDrawnOffsetX(double x)
{
    if (x == m_drawnOffsetX)
        return;
    m_drawnOffsetX = x;
    Q_EMIT drawnOffsetXChanged();
}

void PagerModel::setPagingAnimating(bool animating)
{
    if (animating == m_isPagingAnimating)
        return;
    m_isPagingAnimating = animating;
    Q_EMIT isPagingAnimatingChanged();
}

void PagerModel::publishCurrentPage()
{
    // The current page also moves with the page width and count, which updateLayout writes before the offset.
    if (const int page = currentPage(); page != m_publishedPage) {
        m_publishedPage = page;
        Q_EMIT currentPageChanged();
    }
}
