#include "settingssheetmodel.h"

#include "appstate.h"
#include "settingsactions.h"

#include <algorithm>

using namespace Qt::StringLiterals;

SettingsSheetModel::SettingsSheetModel(QObject *parent)
    : QObject(parent)
{
}

void SettingsSheetModel::setState(AppState *state)
{
    if (m_state == state)
        return;
    QObject::disconnect(m_stateConnection);
    m_state = state;
    if (state)
        m_stateConnection = connect(state, &AppState::changed, this, &SettingsSheetModel::hiddenCountChanged);
    Q_EMIT stateChanged();
    Q_EMIT hiddenCountChanged();
}

void SettingsSheetModel::setWindow(QQuickWindow *window)
{
    if (m_window == window)
        return;
    if (m_window)
        m_window->disconnect(this);
    m_window = window;
    if (window) {
        connect(window, &QWindow::heightChanged, this, &SettingsSheetModel::heightsChanged);
        connect(window, &QWindow::screenChanged, this, &SettingsSheetModel::watchScreen);
    }
    watchScreen();
    Q_EMIT windowChanged();
}

void SettingsSheetModel::watchScreen()
{
    QObject::disconnect(m_screenConnection);
    m_screen = m_window ? m_window->screen() : nullptr;
    if (m_screen)
        m_screenConnection = connect(m_screen, &QScreen::availableGeometryChanged, this,
                                     &SettingsSheetModel::heightsChanged);
    Q_EMIT heightsChanged();
}

int SettingsSheetModel::hiddenCount() const
{
    if (!m_state)
        return 0;
    const auto &meta = m_state->sortMeta();
    const QList<AppInfo> apps = m_state->targetableApps();
    return int(std::count_if(apps.cbegin(), apps.cend(), [&meta](const AppInfo &app) {
        const auto it = meta.constFind(app.bundleID);
        return it != meta.constEnd() && it->isHidden;
    }));
}

QString SettingsSheetModel::hiddenDetail() const
{
    return hiddenCount() > 0 ? u"查看已隐藏的应用，并可取消隐藏"_s : u"暂无已隐藏应用"_s;
}

void SettingsSheetModel::setContentHeight(double height)
{
    if (m_contentHeight == height)
        return;
    m_contentHeight = height;
    Q_EMIT heightsChanged();
}

double SettingsSheetModel::screenHeight() const
{
    if (!m_window)
        return screenHeightWithoutWindow;
    std::optional<double> available;
    if (m_screen)
        available = m_screen->availableGeometry().height();
    return visibleHeight(available, m_window->height());
}

double SettingsSheetModel::scrollHeightFor(double screenHeight, double contentHeight)
{
    return std::min(std::max(screenHeight - reservedHeight, 0.0), contentHeight);
}

double SettingsSheetModel::visibleHeight(std::optional<double> screenAvailable, std::optional<double> window)
{
    if (screenAvailable && window)
        return std::min(*screenAvailable, *window);
    if (screenAvailable)
        return *screenAvailable;
    return window.value_or(screenHeightWithoutWindow);
}

void SettingsSheetModel::viewHiddenApps()
{
    if (!m_state)
        return;
    AppState &state = *m_state;
    // The flag comes after the two resets: their observers turn it off.
    state.setSearchText(QString());
    state.setSelectedGroupID(std::nullopt);
    state.setShowHiddenApps(true);
    state.setSelectedAppID(std::nullopt);
    state.setPagerResetToken(state.pagerResetToken() + 1);
    state.setShowSettings(false);
}

void SettingsSheetModel::openSupervision()
{
    if (!m_state)
        return;
    m_state->setShowSettings(false);
    m_state->setShowSupervision(true);
}

void SettingsSheetModel::openNotificationSettings()
{
    if (m_state && m_state->systemSettings)
        SettingsActions::openNotificationSettings(*m_state->systemSettings);
}
