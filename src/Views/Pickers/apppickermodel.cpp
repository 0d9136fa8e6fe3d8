#include "apppickermodel.h"

AppPickerModel::AppPickerModel(const QList<AppInfo> &apps, AppPickList::NameOf displayName, MultiSelection selection,
                               QObject *parent)
    : AppPickListModel(parent)
    , m_displayName(std::move(displayName))
    , m_selection(std::move(selection))
{
    sortCandidates(apps);
}

AppPickerModel::AppPickerModel(const QList<AppInfo> &apps, AppPickList::NameOf displayName,
                               SingleSelection selection, QObject *parent)
    : AppPickListModel(parent)
    , m_displayName(std::move(displayName))
    , m_selection(std::move(selection))
{
    sortCandidates(apps);
}

QVariant AppPickerModel::rowData(const AppInfo &app, int role) const
{
    return role == CheckedRole ? QVariant(isChecked(app.bundleID)) : QVariant();
}

QHash<int, QByteArray> AppPickerModel::roleNames() const
{
    QHash<int, QByteArray> names = AppPickListModel::roleNames();
    names.insert(CheckedRole, "checked");
    return names;
}

void AppPickerModel::setApps(const QList<AppInfo> &apps)
{
    sortCandidates(apps);
}

void AppPickerModel::sortCandidates(const QList<AppInfo> &apps)
{
    QHash<QString, QString> names;
    names.reserve(apps.size());
    for (const AppInfo &app : apps) {
        QString name = m_displayName(app);
        if (name != app.name)
            names.insert(app.bundleID, std::move(name));
    }
    QList<AppInfo> sorted =
        AppPickList::sorted(apps, [&names](const AppInfo &app) { return names.value(app.bundleID, app.name); });
    setRows(std::move(sorted), std::move(names));
}

void AppPickerModel::selectionChanged()
{
    allRowsChanged({CheckedRole});
}

void AppPickerModel::toggle(int row)
{
    const auto *multi = std::get_if<MultiSelection>(&m_selection);
    if (!multi || row < 0 || row >= shownApps().size())
        return;
    QSet<QString> selection = multi->get();
    const QString &id = shownApps()[row].bundleID;
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
    for (const AppInfo &app : shownApps())
        selection.insert(app.bundleID);
    writeMulti(selection);
}

void AppPickerModel::clearShown()
{
    const auto *multi = std::get_if<MultiSelection>(&m_selection);
    if (!multi)
        return;
    QSet<QString> selection = multi->get();
    for (const AppInfo &app : shownApps())
        selection.remove(app.bundleID);
    writeMulti(selection);
}

void AppPickerModel::pick(int row)
{
    const auto *single = std::get_if<SingleSelection>(&m_selection);
    if (!single || row < 0 || row >= shownApps().size())
        return;
    single->set(shownApps()[row].bundleID);
    selectionChanged();
    Q_EMIT picked();
}

bool AppPickerModel::isChecked(const QString &bundleID) const
{
    if (const auto *multi = std::get_if<MultiSelection>(&m_selection))
        return multi->get().contains(bundleID);
    return std::get<SingleSelection>(m_selection).get() == bundleID;
}

void AppPickerModel::writeMulti(const QSet<QString> &selection)
{
    std::get<MultiSelection>(m_selection).set(selection);
    selectionChanged();
}
