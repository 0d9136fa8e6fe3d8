#pragma once

#include "appinfo.h"

#include <QObject>
#include <QStringList>

#include <optional>

// What a grid reads of the shared state and hands back to it: the apps, the search and group filters, the grid
// preference and the selection; the launch, the drops and the two plain fields the grid writes. The program's host
// is made over the state object; tests use their own. Main thread; outlives the grids it serves.
class GridHost : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    [[nodiscard]] virtual QList<AppInfo> visibleApps() const = 0;
    [[nodiscard]] virtual QString searchText() const = 0;
    [[nodiscard]] virtual bool showHiddenApps() const = 0;
    [[nodiscard]] virtual bool isGroupSelected() const = 0;
    [[nodiscard]] virtual double iconScale() const = 0;
    [[nodiscard]] virtual int preferredColumns() const = 0;
    [[nodiscard]] virtual int preferredRows() const = 0;
    [[nodiscard]] virtual std::optional<QString> selectedAppID() const = 0;
    [[nodiscard]] virtual bool isInitialScanDone() const = 0;
    [[nodiscard]] virtual bool isPinned(const QString &bundleID) const = 0;
    [[nodiscard]] virtual bool isBlocked(const QString &bundleID) const = 0;
    [[nodiscard]] virtual QString shownName(const AppInfo &app) const = 0;
    [[nodiscard]] virtual QString iconSource(const AppInfo &app) const = 0;
    [[nodiscard]] virtual bool isIconCached(const QString &bundleID) const = 0;

    virtual void setGridColumns(int columns) = 0;
    virtual void setGridZoomCeiling(double ceiling) = 0;
    virtual void requestLaunch(const AppInfo &app) = 0;
    virtual void commitCustomOrder(const QList<AppInfo> &apps) = 0;
    virtual void commitGroupOrder(const QStringList &bundleIDs) = 0;
    virtual void showGroupAddSheet() = 0;

Q_SIGNALS:
    // The shown list may differ: the change notice, the search text, the group, the hidden view, the selection.
    void appsChanged();
    // The preferred columns or rows or the icon scale changed.
    void gridPreferenceChanged();
    void selectedAppIDChanged();
    void pagerResetRequested();
    void initialScanDoneChanged();
};
