#pragma once

#include "appcontextmenumodel.h"
#include "appstategridhost.h"
#include "clock.h"
#include "grouptabsmodel.h"
#include "iconzoomwheelcontroller.h"
#include "mainwindowsizer.h"
#include "pagedgridcontroller.h"
#include "renamesheetmodel.h"
#include "timerservice.h"
#include "verticalgridcontroller.h"

#include <QObject>
#include <QPointer>
#include <QQuickWindow>
#include <QtQml/qqmlregistration.h>

class AppActivation;
class AppState;
class IconCache;

// The launcher window's content rules: the window's size for the preferred grid, the arrow keys and Return, the icon
// zoom step, when the search field takes the focus, the footer's status line, and the two grids' controllers. While a
// sheet or an overlay covers the content (`covered`), the window's own keys, the wheel paging and the zoom rest; when
// any popup closes and leaves the keyboard with nothing, the search field takes it back.
// Main thread; one per window content, made through MainViewFactory when the content is made and gone with it.
class MainViewController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by MainViewFactory for each window content")
    Q_PROPERTY(PagedGridController *pagedGrid READ pagedGrid CONSTANT)
    Q_PROPERTY(VerticalGridController *verticalGrid READ verticalGrid CONSTANT)
    Q_PROPERTY(QString statusText READ statusText NOTIFY statusChanged)
    Q_PROPERTY(bool statusActive READ statusActive NOTIFY statusChanged)
    Q_PROPERTY(bool covered READ isCovered WRITE setCovered NOTIFY coveredChanged)
    // The group strip, the tiles' menu and the rename sheet.
    Q_PROPERTY(GroupTabsModel *groupTabs READ groupTabs CONSTANT)
    Q_PROPERTY(AppContextMenuModel *contextMenu READ contextMenu CONSTANT)
    Q_PROPERTY(RenameSheetModel *renameSheet READ renameSheet CONSTANT)
    // Ctrl with the wheel over the grid area; there while the content is in a window.
    Q_PROPERTY(IconZoomWheelController *zoom READ zoom NOTIFY zoomChanged)
    Q_PROPERTY(bool hasRenameTarget READ hasRenameTarget NOTIFY renameTargetChanged)
public:
    static constexpr Duration refocusDelay = 350ms;

    struct Services
    {
        AppState &state;
        AppActivation &activation;
        TimerService &timers;
        const Clock &clock;
        IconCache *icons = nullptr;
        AppStateGridHost::IconUrl iconUrl;
        // A quit request through the application delegate (Ctrl+Q).
        std::function<void()> requestQuit;
        // The tiles' right-click menu, shared by both grids; made by main.cpp.
        AppContextMenuModel *contextMenu = nullptr;
    };
    explicit MainViewController(const Services &services, QObject *parent = nullptr);
    ~MainViewController() override;

    [[nodiscard]] PagedGridController *pagedGrid() { return &m_paged; }
    [[nodiscard]] VerticalGridController *verticalGrid() { return &m_vertical; }
    [[nodiscard]] GroupTabsModel *groupTabs() { return &m_groupTabs; }
    [[nodiscard]] AppContextMenuModel *contextMenu() const { return m_contextMenu; }
    [[nodiscard]] RenameSheetModel *renameSheet() { return &m_renameSheet; }
    [[nodiscard]] QString statusText() const;
    [[nodiscard]] bool statusActive() const;
    [[nodiscard]] bool isCovered() const { return m_covered; }
    [[nodiscard]] IconZoomWheelController *zoom() const { return m_zoom.get(); }
    void setCovered(bool covered);

    // The content is in `window` (or in none). Hands the window to the state object and tries the first sizing.
    Q_INVOKABLE void setWindow(QQuickWindow *window);
    // The grid area's height and the content's height that the same layout gave it.
    Q_INVOKABLE void gridAreaHeightChanged(double height, double contentHeight);

    // A key press in the content. True when it is consumed.
    Q_INVOKABLE bool arrowKey(int key, bool autoRepeat, bool composing);
    // Return in the search field: open the selected app when it is shown, else the first one.
    Q_INVOKABLE void launchFirstMatch(bool composing);
    // One zoom step of the icon size (Ctrl with the wheel over the grid).
    Q_INVOKABLE void zoomBy(double step);
    Q_INVOKABLE void openSettings();
    Q_INVOKABLE void openSupervision();
    Q_INVOKABLE void requestQuit();

    [[nodiscard]] bool hasRenameTarget() const;
    // The sheets closed: their fields go back to none.
    Q_INVOKABLE void focusSetupClosed();
    Q_INVOKABLE void renameClosed();

    // The search bar appeared / a sheet or an overlay closed.
    Q_INVOKABLE void searchAppeared();
    Q_INVOKABLE void overlayClosed();

    [[nodiscard]] const MainWindowSizer &sizer() const { return m_sizer; }

Q_SIGNALS:
    void statusChanged();
    void coveredChanged();
    void zoomChanged();
    void renameTargetChanged();
    // The search field takes the keyboard focus (its text is left as it is).
    void searchFocusRequested();

private:
    class QuickSizingWindow : public SizingWindow
    {
    public:
        QPointer<QQuickWindow> window;
        std::optional<QRect> availableGeometry() const override;
        QRect frameGeometry() const override;
        QMargins frameMargins() const override;
        void apply(QSize contentSize, QPoint framePosition) override;
    };

    void preferenceChanged();
    void requestSearchFocus();
    // Whether the keyboard is with nothing that takes keys: the window's root item or this content's own root.
    [[nodiscard]] bool isFocusLost(const QQuickWindow *window) const;

    AppState &m_state;
    AppStateGridHost m_host;
    PagedGridController m_paged;
    VerticalGridController m_vertical;
    TimerService &m_timers;
    const Clock &m_clock;
    std::function<void()> m_requestQuit;
    GroupTabsModel m_groupTabs;
    RenameSheetModel m_renameSheet;
    AppContextMenuModel *m_contextMenu = nullptr;
    std::unique_ptr<IconZoomWheelController> m_zoom;
    QPointer<QQuickWindow> m_zoomWindow;
    QuickSizingWindow m_sizingWindow;
    MainWindowSizer m_sizer;
    TimerHandle m_refocus;
    QMetaObject::Connection m_windowActive;
    QMetaObject::Connection m_focusMoved;
    bool m_covered = false;
};

// Makes the content's controller; main.cpp makes one and hands it to the window. Main thread.
class MainViewFactory : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by main.cpp")
public:
    explicit MainViewFactory(MainViewController::Services services, QObject *parent = nullptr);
    // A new controller owned by `owner` (the content), so that it goes with it.
    Q_INVOKABLE MainViewController *create(QObject *owner);
    // Ctrl+Q, wherever the focus is.
    Q_INVOKABLE void requestQuit();

private:
    MainViewController::Services m_services;
};
