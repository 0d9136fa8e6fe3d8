#pragma once

#include "gridhost.h"

#include <functional>

class AppState;
class IconCache;

// The grids' host in the program: reads and writes the shared state object, and tells the grids when what they
// show may have changed (the change notice, the filters, the selection, the grid preference, the first scan).
// Main thread; made by the main view's controller, which outlives the grids.
class AppStateGridHost : public GridHost
{
    Q_OBJECT
public:
    // The image source of an app's icon; unset, the icon cache's image://appicon source.
    using IconUrl = std::function<QString(const AppInfo &)>;
    AppStateGridHost(AppState &state, IconCache *icons, IconUrl iconUrl, QObject *parent = nullptr);

    [[nodiscard]] QList<AppInfo> visibleApps() const override;
    [[nodiscard]] QString searchText() const override;
    [[nodiscard]] bool showHiddenApps() const override;
    [[nodiscard]] bool isGroupSelected() const override;
    [[nodiscard]] double iconScale() const override;
    [[nodiscard]] int preferredColumns() const override;
    [[nodiscard]] int preferredRows() const override;
    [[nodiscard]] std::optional<QString> selectedAppID() const override;
    [[nodiscard]] bool isInitialScanDone() const override;
    [[nodiscard]] bool isPinned(const QString &bundleID) const override;
    [[nodiscard]] bool isBlocked(const QString &bundleID) const override;
    [[nodiscard]] QString shownName(const AppInfo &app) const override;
    [[nodiscard]] QString iconSource(const AppInfo &app) const override;
    [[nodiscard]] bool isIconCached(const QString &bundleID) const override;

    void setGridColumns(int columns) override;
    void setGridZoomCeiling(double ceiling) override;
    void requestLaunch(const AppInfo &app) override;
    void commitCustomOrder(const QList<AppInfo> &apps) override;
    void commitGroupOrder(const QStringList &bundleIDs) override;
    void showGroupAddSheet() override;

private:
    AppState &m_state;
    IconCache *m_icons = nullptr;
    IconUrl m_iconUrl;
};
