#pragma once

#include "gridhost.h"

// A grid host in memory: the test sets the apps and filters, says what changed, and reads what the grid wrote.
class FakeGridHost : public GridHost
{
public:
    QList<AppInfo> apps;
    QString search;
    bool hidden = false;
    bool groupSelected = false;
    double scale = 1.0;
    int columns = 7;
    int rows = 4;
    std::optional<QString> selected;
    bool scanDone = true;
    QStringList pinned;
    QStringList blocked;

    QList<int> writtenColumns;
    QList<double> writtenCeilings;
    QStringList launched;
    QList<QList<AppInfo>> customOrders;
    QList<QStringList> groupOrders;
    int addSheetRequests = 0;

    QList<AppInfo> visibleApps() const override { return apps; }
    QString searchText() const override { return search; }
    bool showHiddenApps() const override { return hidden; }
    bool isGroupSelected() const override { return groupSelected; }
    double iconScale() const override { return scale; }
    int preferredColumns() const override { return columns; }
    int preferredRows() const override { return rows; }
    std::optional<QString> selectedAppID() const override { return selected; }
    bool isInitialScanDone() const override { return scanDone; }
    bool isPinned(const QString &id) const override { return pinned.contains(id); }
    bool isBlocked(const QString &id) const override { return blocked.contains(id); }
    QString shownName(const AppInfo &app) const override { return app.name; }
    QString iconSource(const AppInfo &app) const override { return u"image://appicon/"_qs + app.bundleID; }
    bool isIconCached(const QString &) const override { return false; }

    void setGridColumns(int c) override { writtenColumns.append(c); }
    void setGridZoomCeiling(double c) override { writtenCeilings.append(c); }
    void requestLaunch(const AppInfo &app) override { launched.append(app.bundleID); }
    void commitCustomOrder(const QList<AppInfo> &order) override
    {
        customOrders.append(order);
        apps = order;
        Q_EMIT appsChanged();
    }
    void commitGroupOrder(const QStringList &ids) override { groupOrders.append(ids); }
    void showGroupAddSheet() override { ++addSheetRequests; }
};
