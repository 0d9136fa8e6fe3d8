#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QSizeF>

#include <optional>

// What the sizer needs of the main window: the screen's available area and its frame, and a way to give it a new
// size and place. The real one wraps the QQuickWindow; tests use a fake.
class SizingWindow
{
public:
    virtual ~SizingWindow() = default;
    // The available area of the window's screen, else of the primary screen; none without a screen.
    [[nodiscard]] virtual std::optional<QRect> availableGeometry() const = 0;
    [[nodiscard]] virtual QRect frameGeometry() const = 0;
    [[nodiscard]] virtual QMargins frameMargins() const = 0;
    virtual void apply(QSize contentSize, QPoint framePosition) = 0;
};

// Sizes the main window to the preferred columns and rows: once when both the window and a grid-area height are
// known (the first sizing), and again whenever the preference or the layout changes (a refit). Everything that is
// not the grid area (the chrome) is measured at the first sizing and again at each refit, since the notification
// banner or the tab strip may have appeared since and would otherwise cost the grid a row.
// Main thread; one per window content, owned by the main view's controller.
class MainWindowSizer
{
public:
    struct Preference
    {
        int columns = 7;
        int rows = 4;
        bool paged = true;
    };

    // The content size for a preference at icon scale 1, with `chrome` above and below the grid.
    [[nodiscard]] static QSizeF contentSize(const Preference &p, double chrome);

    struct Placement
    {
        QSize contentSize;
        QPoint framePosition;
        friend bool operator==(const Placement &, const Placement &) = default;
    };
    // The size capped so that the frame fits the available area; the frame keeps its top-left corner where it fits
    // and is pushed back inside the available area where it would not, so its bottom always stays on the screen.
    [[nodiscard]] static Placement place(QSizeF content, QRect available, QRect frame, QMargins margins);

    void setPreference(const Preference &p) { m_preference = p; }
    // The window arrived (or went: nullptr). Tries the first sizing.
    void setWindow(SizingWindow *window);
    // The grid area's height and the content's height, from one and the same finished layout (also the first
    // report). Tries the first sizing until it succeeded. Heights taken at different moments would disagree
    // while the layout settles, and the chrome would come out wrong.
    void gridAreaHeightChanged(double height, double contentHeight);
    // The preferred columns or rows or the layout changed: size again, once the first sizing happened.
    void refit();

    [[nodiscard]] bool didApplyInitialSize() const { return m_didApplyInitialSize; }
    [[nodiscard]] double chromeHeight() const { return m_chromeHeight; }

private:
    void tryApplyInitialSize();
    void sizeToPreference();

    SizingWindow *m_window = nullptr;
    Preference m_preference;
    double m_gridAreaHeight = 0;
    double m_contentHeight = 0;
    double m_chromeHeight = 0;
    bool m_didApplyInitialSize = false;
};
