#pragma once

#include "pagewindow.h"
#include "timerservice.h"

#include <QAbstractAnimation>
#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

#include <functional>

// Runs the snap spring on screen: from a start displacement and velocity towards a target, on Qt's animation clock,
// handing each drawn offset to the pager. Main thread; a member of its pager.
class PagerSpringAnimation : public QAbstractAnimation
{
public:
    explicit PagerSpringAnimation(std::function<void(double)> draw);

    // (Re)starts the spring at the drawn offset target + u0 moving at v0 points per second.
    void run(double target, double u0, double v0);
    // The drawn offset's speed now, points per second; 0 when the spring is not running.
    [[nodiscard]] double currentVelocity() const;
    [[nodiscard]] int duration() const override { return 1000; } // by then less than 10⁻⁵ of the way is left

protected:
    void updateCurrentTime(int msecs) override;

private:
    std::function<void(double)> m_draw;
    double m_target = 0;
    double m_u0 = 0;
    double m_v0 = 0;
};

// The page strip of the paged grid: the logical offset (`offsetX`, page p fully shown at p × pageWidth), the page
// count, the rubber band at both ends and the snap to a page. `offsetX` jumps to a snap's target at once, so hit
// tests, the current page and the page window read where the strip is going; `drawnOffsetX` is where it is drawn and
// follows a snap with a spring. Every write without animation puts the drawn offset on the logical one.
// Main thread only; the paged grid makes one and keeps it for its lifetime.
class PagerModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the paged grid in C++")
    Q_PROPERTY(double offsetX READ offsetX NOTIFY offsetXChanged)
    Q_PROPERTY(int pageCount READ pageCount NOTIFY pageCountChanged)
    Q_PROPERTY(int currentPage READ currentPage NOTIFY currentPageChanged)
    Q_PROPERTY(double drawnOffsetX READ drawnOffsetX NOTIFY drawnOffsetXChanged)
    Q_PROPERTY(bool isPagingAnimating READ isPagingAnimating NOTIFY isPagingAnimatingChanged)
public:
    explicit PagerModel(TimerService &timers, QObject *parent = nullptr);
    ~PagerModel() override;

    [[nodiscard]] double offsetX() const { return m_offsetX; }
    [[nodiscard]] int pageCount() const { return m_pageCount; }
    [[nodiscard]] double pageWidth() const { return m_pageWidth; }
    [[nodiscard]] double gridHeight() const { return m_gridHeight; }
    [[nodiscard]] double drawnOffsetX() const { return m_drawnOffsetX; }
    // True from an animated snap until its settle.
    [[nodiscard]] bool isPagingAnimating() const { return m_isPagingAnimating; }
    // The page nearest to offsetX (halves away from zero) within the pages; 0 before the first layout.
    [[nodiscard]] int currentPage() const;

    [[nodiscard]] PageWindow *window() const { return m_window; }
    void setWindow(PageWindow *window) { m_window = window; }
    // Called once per settled snap: after the 0.6 s of an animated snap, at once for a jump or settleNow().
    void setOnSettle(std::function<void()> onSettle) { m_onSettle = std::move(onSettle); }
    [[nodiscard]] bool isSettlePending() const { return m_settleWork.isActive(); }

    // Records the page size and count (at least one page) and keeps the current page, or the new last page.
    void updateLayout(double width, double gridHeight, int count);
    // Follows a drag one to one within the pages and at 0.35 of the movement beyond either end.
    void setDragOffset(double x);
    // Settles on a page (clamped to the pages): a spring to a neighbouring page, starting at `velocity` points per
    // second of offsetX; a jump to one two or more pages away. Nothing before the first layout.
    Q_INVOKABLE void snap(int page, double velocity);
    // Ends a running snap at once.
    void settleNow();
    // Puts the page window's centre on the current page and tells it which pages the strip is drawn over; called
    // after every move of the offset and when a snap's spring comes to rest.
    void syncWindow();

    // The drawn offset's spring, for tests that step it through time.
    [[nodiscard]] QAbstractAnimation &drawnAnimation() { return m_spring; }

Q_SIGNALS:
    void offsetXChanged();
    void pageCountChanged();
    void currentPageChanged();
    void drawnOffsetXChanged();
    void isPagingAnimatingChanged();

private:
    void writeOffset(double x); // without animation
    void setOffsetX(double x);
    void setDrawnOffsetX(double x);
    void setPagingAnimating(bool animating);
    void publishCurrentPage();
    void settle();

    TimerService &m_timers;
    double m_offsetX = 0;
    int m_pageCount = 1;
    double m_pageWidth = 0;
    double m_gridHeight = 0;
    QPointer<PageWindow> m_window;
    bool m_isPagingAnimating = false;
    std::function<void()> m_onSettle;
    TimerHandle m_settleWork;
    double m_drawnOffsetX = 0;
    int m_publishedPage = 0;
    // Last, so that it goes first and never draws into a model being torn down.
    PagerSpringAnimation m_spring;
};
