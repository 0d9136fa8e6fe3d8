#include "apppickermodel.h"

#include "apptilerules.h"

AppPickerModel::AppPickerModel(const QList<AppInfo> &apps, AppPickList::NameOf displayName, MultiSelection selection,
                               QObject *parent)
    : QAbstractListModel(parent)
    , m_displayName(std::move(displayName))
    , m_selection(std::move(selection))
{
    sortCandidates(apps);
}

AppPickerModel::AppPickerModel(const QList<AppInfo> &apps, AppPickList::NameOf displayName,
                               SingleSelection selection, QObject *parent)
    : QAbstractListModel(parent)
    , m_displayName(std::move(displayName))
    , m_selection(std::move(selection))
{
    sortCandidates(apps);
}

int AppPickerModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

QVariant AppPickerModel::data(const QModelIndex &index, int role) const
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
    case CheckedRole:
        return isChecked(app.bundleID);
    default:
        return {};
    }
}

QHash<int, QByteArray> AppPickerModel::roleNames() const
{
    return {{BundleIdRole, "bundleID"}, {NameRole, "name"}, {IconSourceRole, "iconSource"}, {CheckedRole, "checked"}};
}

void AppPickerModel::setSearch(const QString &search)
{
    if (search == m_search)
        return;
    m_search = search;
    refilter();
    Q_EMIT searchChanged();
}

void AppPickerModel::setApps(const QList<AppInfo> &apps)
{
    sortCandidates(apps);
}

void AppPickerModel::sortCandidates(const QList<AppInfo> &apps)
{
    m_names.clear();
    m_names.reserve(apps.size());
    for (const AppInfo &app : apps) {
        QString name = m_displayName(app);
        if (name != app.name)
            m_names.insert(app.bundleID, std::move(name));
    }
    m_sorted = AppPickList::sorted(apps, [this](const AppInfo &app) { return shownName(app); });
    refilter();
}

void AppPickerModel::selectionChanged()
{
    if (!m_shown.isEmpty())
        Q_EMIT dataChanged(index(0), index(int(m_shown.size()) - 1), {CheckedRole});
}

void AppPickerModel::toggle(int row)
{
    const auto *multi = std::get_if<MultiSelection>(&m_selection);
    if (!multi || row < 0 || row >= m_shown.size())
        return;
    QSet<QString> selection = multi->get();
    const QString &id = m_shown[row].bundleID;
    if (!selection.remove(id))
        selection.insert(id);
    writeMulti(selection);
}

void AppPickerModel::selectAllShown()
{
    const auto *multi = std::get_if<MultiSelection>(&m_selection);
    if (!multi)
        return;
    QSet<QString> selection = multi->get();
    for (const AppInfo &app : std::as_const(m_shown))
        selection.insert(app.bundleID);
    writeMulti(selection);
}

void AppPickerModel::clearShown()
{
    const auto *multi = std::get_if<MultiSelection>(&m_selection);
    if (!multi)
        return;
    QSet<QString> selection = multi->get();
    for (const AppInfo &app : std::as_const(m_shown))
        selection.remove(app.bundleID);
    writeMulti(selection);
}

void AppPickerModel::pick(int row)
{
    const auto *single = std::get_if<SingleSelection>(&m_selection);
    if (!single || row < 0 || row >= m_shown.size())
        return;
    single->set(m_shown[row].bundleID);
    selectionChanged();
    Q_EMIT picked();
}

bool AppPickerModel::isChecked(const QString &bundleID) const
{
    if (const auto *multi = std::get_if<MultiSelection>(&m_selection))
        return multi->get().contains(bundleID);
    return std::get<SingleSelection>(m_selection).get() == bundleID;
}

void AppPickerModel::refilter()
{
    const int before = int(m_shown.size());
    beginResetModel();
    m_shown = AppPickList::shown(m_sorted, m_search, [this](const AppInfo &app) { return shownName(app); });
    endResetModel();
    if (before != m_shown.size())
        Q_EMIT countChanged();
}

void AppPickerModel::writeMulti(const QSet<QString> &selection)
{
    std::get<MultiSelection>(m_selection).set(selection);
    selectionChanged();
}
