#include "grouptabsmodel.h"

#include "appgroup.h"
#include "appstate.h"
#include "grouptabreorder.h"
#include "storecontext.h"

#include <QHash>

GroupTabsModel::GroupTabsModel(AppState &state, StoreContext &context, QObject *parent)
    : QAbstractListModel(parent)
    , m_state(state)
    , m_context(context)
{
    m_rows.reserve(8);
    for (const AppGroup *group : orderedGroups())
        m_rows.append({group->storeID(), group->refID(), group->name()});
    connect(&m_context, &StoreContext::changed, this, [this](RecordType type) {
        if (type == RecordType::appGroup)
            reload();
    });
    const auto selection = [this] {
        Q_EMIT selectionChanged();
        if (!m_rows.isEmpty())
            Q_EMIT dataChanged(index(0), index(int(m_rows.size()) - 1), {SelectedRole});
    };
    connect(&m_state, &AppState::selectedGroupIDChanged, this, selection);
    connect(&m_state, &AppState::showHiddenAppsChanged, this, selection);
}

int GroupTabsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant GroupTabsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case GroupIDRole:
        return row.id.text();
    case RefIDRole:
        return row.refID;
    case NameRole:
    case Qt::DisplayRole:
        return row.name;
    case SelectedRole:
        return !m_state.showHiddenApps() && m_state.selectedGroupID() == row.id;
    case MarkerShownRole:
        return m_dropSlot && m_dropSlot->refID == row.refID;
    case MarkerAfterRole:
        return m_dropSlot && m_dropSlot->refID == row.refID && m_dropSlot->after;
    default:
        return {};
    }
}

QHash<int, QByteArray> GroupTabsModel::roleNames() const
{
    return {{GroupIDRole, "groupID"},   {RefIDRole, "refID"},           {NameRole, "name"},
            {SelectedRole, "selected"}, {MarkerShownRole, "markerShown"}, {MarkerAfterRole, "markerAfter"}};
}

bool GroupTabsModel::hiddenMode() const
{
    return m_state.showHiddenApps();
}

bool GroupTabsModel::allAppsSelected() const
{
    return !m_state.selectedGroupID() && !m_state.showHiddenApps();
}

void GroupTabsModel::setNewName(const QString &name)
{
    if (m_newName == name)
        return;
    m_newName = name;
    Q_EMIT newNameChanged();
}

QList<AppGroup *> GroupTabsModel::orderedGroups() const
{
    return m_context.fetch<AppGroup>({}, &AppGroup::bySortIndex);
}

AppGroup *GroupTabsModel::groupAt(int row) const
{
    if (row < 0 || row >= m_rows.size())
        return nullptr;
    return m_context.record<AppGroup>(m_rows.at(row).id);
}

void GroupTabsModel::reload()
{
    QList<Row> rows;
    for (const AppGroup *group : orderedGroups())
        rows.append({group->storeID(), group->refID(), group->name()});
    const bool sameShape = rows.size() == m_rows.size()
                           && std::equal(rows.begin(), rows.end(), m_rows.begin(),
                                         [](const Row &a, const Row &b) { return a.id == b.id; });
    if (sameShape) {
        // Names only: the delegates stay, so a tab under the pointer keeps its hover and its drag.
        for (int i = 0; i < rows.size(); ++i) {
            if (rows[i].name != m_rows[i].name || rows[i].refID != m_rows[i].refID) {
                m_rows[i] = rows[i];
                Q_EMIT dataChanged(index(i), index(i), {NameRole, RefIDRole, MarkerShownRole, MarkerAfterRole});
            }
        }
        return;
    }
    const int before = count();
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
    if (before != count())
        Q_EMIT countChanged();
}

void GroupTabsModel::save()
{
    std::ignore = m_context.save();
    // A deleted group takes its members out of the grid it showed and out of its rules' blocks.
    m_state.publishStoreChange();
}

// --- Selection.

void GroupTabsModel::selectAll()
{
    m_state.setSelectedGroupID(std::nullopt);
    m_state.setPagerResetToken(m_state.pagerResetToken() + 1);
}

void GroupTabsModel::selectGroup(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    m_state.setSelectedGroupID(m_rows.at(row).id);
}

void GroupTabsModel::leaveHiddenMode()
{
    m_state.setSearchText(QString());
    m_state.setSelectedGroupID(std::nullopt);
    m_state.setShowHiddenApps(false);
    m_state.setPagerResetToken(m_state.pagerResetToken() + 1);
}

// --- Creating, naming, deleting.

void GroupTabsModel::addGroup()
{
    QList<int> indexes;
    for (const AppGroup *group : orderedGroups())
        indexes.append(group->sortIndex());
    auto *group = m_context.insert(
        std::make_unique<AppGroup>(u"新分组"_qs, GroupTabReorder::newSortIndex(indexes), QStringList{}));
    save();
    openNaming(*group);
}

void GroupTabsModel::renameGroup(int row)
{
    if (const AppGroup *group = groupAt(row))
        openNaming(*group);
}

void GroupTabsModel::openNaming(const AppGroup &group)
{
    setNewName(group.name());
    m_renamingGroup = group.storeID();
    Q_EMIT namingChanged();
}

void GroupTabsModel::closeNaming()
{
    if (!m_renamingGroup)
        return;
    m_renamingGroup.reset();
    Q_EMIT namingChanged();
}

void GroupTabsModel::confirmNaming()
{
    if (!m_renamingGroup)
        return;
    // A group deleted while its sheet was open is no longer live: nothing is written.
    if (AppGroup *group = m_context.record<AppGroup>(*m_renamingGroup)) {
        if (!m_newName.isEmpty())
            group->setName(m_newName);
        save();
    }
    closeNaming();
}

void GroupTabsModel::cancelNaming()
{
    closeNaming();
}

void GroupTabsModel::deleteGroup(int row)
{
    AppGroup *group = groupAt(row);
    if (!group)
        return;
    if (m_state.selectedGroupID() == group->storeID())
        m_state.setSelectedGroupID(std::nullopt);
    m_context.remove(group);
    save();
}

// --- Reordering.

void GroupTabsModel::setDropSlot(const std::optional<DropSlot> &slot)
{
    if (m_dropSlot == slot)
        return;
    const std::optional<DropSlot> old = m_dropSlot;
    m_dropSlot = slot;
    for (int i = 0; i < m_rows.size(); ++i) {
        const QString &ref = m_rows.at(i).refID;
        if ((old && old->refID == ref) || (slot && slot->refID == ref))
            Q_EMIT dataChanged(index(i), index(i), {MarkerShownRole, MarkerAfterRole});
    }
}

void GroupTabsModel::dragStarted(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    setDropSlot(std::nullopt);
    m_draggingGroupID = m_rows.at(row).refID;
}

void GroupTabsModel::dragEntered(int row, double x, double width)
{
    if (row < 0 || row >= m_rows.size())
        return;
    setDropSlot(DropSlot{m_rows.at(row).refID, GroupTabReorder::isAfter(x, width)});
}

void GroupTabsModel::dragExited(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    if (m_dropSlot && m_dropSlot->refID == m_rows.at(row).refID)
        setDropSlot(std::nullopt);
}

bool GroupTabsModel::dropped(int row, double x, double width)
{
    setDropSlot(std::nullopt);
    const std::optional<QString> dragging = std::exchange(m_draggingGroupID, std::nullopt);
    const AppGroup *target = groupAt(row);
    if (!dragging || !target || *dragging == target->refID())
        return false;
    const QList<AppGroup *> groups = orderedGroups();
    const auto found = std::find_if(groups.begin(), groups.end(),
                                    [&](const AppGroup *g) { return g->refID() == *dragging; });
    if (found == groups.end())
        return false;
    moveGroup(**found, *target, GroupTabReorder::isAfter(x, width));
    return true;
}

void GroupTabsModel::dragEnded()
{
    m_draggingGroupID.reset();
    setDropSlot(std::nullopt);
}

void GroupTabsModel::moveGroup(const AppGroup &moving, const AppGroup &target, bool after)
{
    const QList<AppGroup *> groups = orderedGroups();
    QStringList order;
    order.reserve(groups.size());
    for (const AppGroup *group : groups)
        order.append(group->refID());
    const QString movingRef = moving.refID();
    const auto at = GroupTabReorder::insertionIndex(order, movingRef, target.refID(), after);
    if (!at)
        return;
    order.removeAll(movingRef);
    order.insert(*at, movingRef);
    // Two groups with one refID: the first in tab order takes the position.
    QHash<QString, AppGroup *> byRef;
    for (AppGroup *group : groups)
        byRef.insert(group->refID(), byRef.value(group->refID(), group));
    for (int p = 0; p < order.size(); ++p) {
        if (AppGroup *group = byRef.value(order.at(p)))
            group->setSortIndex(p);
    }
    save();
}
