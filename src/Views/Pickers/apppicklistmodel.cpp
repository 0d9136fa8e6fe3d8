#include "apppicklistmodel.h"

#include "apppicklist.h"
#include "apptilerules.h"

AppPickListModel::AppPickListModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

int AppPickListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

QVariant AppPickListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const AppInfo &app = m_shown[index.row()];
    switch (role) {
    case BundleIdRole:
        return app.bundleID;
    case Qt::DisplayRole:
    case NameRole:
        return shownName(app);
    case IconSourceRole:
        return AppTileRules::iconSource(app);
    default:
        return role >= FirstOwnRole ? rowData(app, role) : QVariant();
    }
}

QHash<int, QByteArray> AppPickListModel::roleNames() const
{
    return {{BundleIdRole, "bundleID"}, {NameRole, "name"}, {IconSourceRole, "iconSource"}};
}

void AppPickListModel::setSearch(const QString &search)
{
    if (search == m_search)
        return;
    m_search = search;
    refilter();
    Q_EMIT searchChanged();
}

void AppPickListModel::setRows(QList<AppInfo> sorted, QHash<QString, QString> shownNames)
{
    m_sorted = std::move(sorted);
    m_names = std::move(shownNames);
    refilter();
}

void AppPickListModel::allRowsChanged(const QList<int> &roles)
{
    if (!m_shown.isEmpty())
        Q_EMIT dataChanged(index(0), index(int(m_shown.size()) - 1), roles);
}

QVariant AppPickListModel::rowData(const AppInfo &, int) const
{
    return {};
}

void AppPickListModel::refilter()
{
    const int before = int(m_shown.size());
    beginResetModel();
    m_shown = AppPickList::shown(m_sorted, m_search, [this](const AppInfo &app) { return shownName(app); });
    endResetModel();
    if (before != m_shown.size())
        Q_EMIT countChanged();
}
