#pragma once

#include "appinfo.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QString>
#include <QtQml/qqml.h>

// The rows every list the user picks apps from shares: candidates sorted once by their owner, filtered by the search
// as it stands, each row with its identifier, its shown name (a name that differs from the app's own, else the app's
// name) and its icon. Owners add their own roles through rowData() and roleNames(). Main thread.
class AppPickListModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ANONYMOUS
    Q_PROPERTY(QString search READ search WRITE setSearch NOTIFY searchChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
public:
    enum Role { BundleIdRole = Qt::UserRole + 1, NameRole, IconSourceRole, FirstOwnRole };

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] const QString &search() const { return m_search; }
    void setSearch(const QString &search);
    [[nodiscard]] int count() const { return int(m_shown.size()); }
    [[nodiscard]] const QList<AppInfo> &shownApps() const { return m_shown; }

Q_SIGNALS:
    void searchChanged();
    void countChanged();

protected:
    explicit AppPickListModel(QObject *parent = nullptr);

    // New candidates, already in their order, and the shown names that differ from the apps' own: filtered again by
    // the search as it stands.
    void setRows(QList<AppInfo> sorted, QHash<QString, QString> shownNames);
    [[nodiscard]] const QList<AppInfo> &sortedApps() const { return m_sorted; }
    [[nodiscard]] const QHash<QString, QString> &shownNames() const { return m_names; }
    [[nodiscard]] QString shownName(const AppInfo &app) const { return m_names.value(app.bundleID, app.name); }
    // Every shown row's `roles` changed.
    void allRowsChanged(const QList<int> &roles);
    // An owner's role of a shown row; the shared roles never come here.
    [[nodiscard]] virtual QVariant rowData(const AppInfo &app, int role) const;

private:
    void refilter();

    QList<AppInfo> m_sorted;
    QList<AppInfo> m_shown;
    QHash<QString, QString> m_names;
    QString m_search;
};
