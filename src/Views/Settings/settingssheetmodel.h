#pragma once

#include <QObject>
#include <QPointer>
#include <QQuickWindow>
#include <QScreen>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <optional>

class AppState;

// The settings sheet's rules: the hidden-apps row, the rows that leave the sheet, and the height of its scroll area.
// One per opening of the sheet, made by the sheet; set `state` and `window`, and report the content's height. Main
// thread.
class SettingsSheetModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(AppState *state READ state WRITE setState NOTIFY stateChanged)
    Q_PROPERTY(QQuickWindow *window READ window WRITE setWindow NOTIFY windowChanged)
    Q_PROPERTY(int hiddenCount READ hiddenCount NOTIFY hiddenCountChanged)
    Q_PROPERTY(QString hiddenDetail READ hiddenDetail NOTIFY hiddenCountChanged)
    Q_PROPERTY(double contentHeight READ contentHeight WRITE setContentHeight NOTIFY heightsChanged)
    Q_PROPERTY(double screenHeight READ screenHeight NOTIFY heightsChanged)
    Q_PROPERTY(double scrollHeight READ scrollHeight NOTIFY heightsChanged)
    Q_PROPERTY(bool showsDivider READ showsDivider NOTIFY heightsChanged)
public:
    // The height the content counts as before it reported one, and the screen's without a window.
    static constexpr double unmeasuredContentHeight = 480;
    static constexpr double screenHeightWithoutWindow = 800;
    // What the sheet leaves of the screen's height to the header, the footer and the margins.
    static constexpr double reservedHeight = 180;

    explicit SettingsSheetModel(QObject *parent = nullptr);

    [[nodiscard]] AppState *state() const { return m_state; }
    void setState(AppState *state);
    [[nodiscard]] QQuickWindow *window() const { return m_window; }
    void setWindow(QQuickWindow *window);

    [[nodiscard]] int hiddenCount() const;
    [[nodiscard]] QString hiddenDetail() const;

    [[nodiscard]] double contentHeight() const { return m_contentHeight.value_or(unmeasuredContentHeight); }
    void setContentHeight(double height);
    [[nodiscard]] double screenHeight() const;
    [[nodiscard]] double scrollHeight() const { return scrollHeightFor(screenHeight(), contentHeight()); }
    [[nodiscard]] bool showsDivider() const { return scrollHeight() < contentHeight(); }

    // "查看": leaves search, group and selection, shows the hidden apps from the first page, closes the sheet.
    Q_INVOKABLE void viewHiddenApps();
    // "打开监督": closes the sheet and opens the supervision panel.
    Q_INVOKABLE void openSupervision();
    // "打开通知": the desktop's notification settings; the sheet shows nothing either way.
    Q_INVOKABLE void openNotificationSettings();

    // min(max(H − reserved, 0), content).
    [[nodiscard]] static double scrollHeightFor(double screenHeight, double contentHeight);
    // The sheet is drawn inside the window: the smaller of the screen's available height and the window's.
    [[nodiscard]] static double visibleHeight(std::optional<double> screenAvailable, std::optional<double> window);

Q_SIGNALS:
    void stateChanged();
    void windowChanged();
    void hiddenCountChanged();
    void heightsChanged();

private:
    void watchScreen();

    QPointer<AppState> m_state;
    QPointer<QQuickWindow> m_window;
    QPointer<QScreen> m_screen;
    std::optional<double> m_contentHeight;
    QMetaObject::Connection m_stateConnection;
    QMetaObject::Connection m_screenConnection;
};
