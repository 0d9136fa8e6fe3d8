#include "groupaddappsmodel.h"

#include "appgroup.h"
#include "apppicklist.h"
#include "appstate.h"
#include "floatingtoastcontroller.h"
#include "groupmembership.h"
#include "storecontainer.h"
#include "storecontext.h"

GroupAddAppsModel::GroupAddAppsModel(AppState &state, QObject *parent)
    : AppPickListModel(parent)
    , m_state(state)
    , m_context(state.container().mainContext())
{
    refresh();
    // A scan, an alias, a hidden flag or another tab arrive through the state's notice; member lists and group names
    // through the store's. Both can come many times in one turn: one refresh a turn later serves them all.
    connect(&m_state, &AppState::changed, this, &GroupAddAppsModel::refreshSoon);
    connect(&m_context, &StoreContext::changed, this, [this](RecordType type) {
        if (type == RecordType::appGroup)
            refreshSoon();
    });
}

QVariant GroupAddAppsModel::rowData(const AppInfo &app, int role) const
{
    switch (role) {
    case MemberRole:
        return m_members.contains(app.bundleID);
    case CheckedRole:
        return m_selection.contains(app.bundleID);
    case AccessibleValueRole:
        if (m_members.contains(app.bundleID))
            return QStringLiteral("已在分组");
        return m_selection.contains(app.bundleID) ? QStringLiteral("已勾选") : QStringLiteral("未勾选");
    default:
        return {};
    }
}

QHash<int, QByteArray> GroupAddAppsModel::roleNames() const
{
    QHash<int, QByteArray> names = AppPickListModel::roleNames();
    names.insert(MemberRole, "isMember");
    names.insert(CheckedRole, "checked");
    names.insert(AccessibleValueRole, "accessibleValue");
    return names;
}

QString GroupAddAppsModel::title() const
{
    return m_title;
}

QString GroupAddAppsModel::addButtonLabel() const
{
    if (m_selection.isEmpty())
        return QStringLiteral("添加应用");
    return u"添加 "_qs + QString::number(m_selection.size()) + u" 个应用"_qs;
}

AppGroup *GroupAddAppsModel::targetGroup() const
{
    const std::optional<StoreID> &id = m_state.selectedGroupID();
    return id ? m_context.record<AppGroup>(*id) : nullptr;
}

void GroupAddAppsModel::toggle(int row)
{
    if (row < 0 || row >= shownApps().size())
        return;
    const QString &id = shownApps()[row].bundleID;
    if (m_members.contains(id))
        return;
    QSet<QString> selection = m_selection;
    if (!selection.remove(id))
        selection.insert(id);
    setSelection(std::move(selection));
}

void GroupAddAppsModel::selectAllShown()
{
    QSet<QString> selection = m_selection;
    for (const AppInfo &app : shownApps())
        if (!m_members.contains(app.bundleID))
            selection.insert(app.bundleID);
    setSelection(std::move(selection));
}

void GroupAddAppsModel::clearShown()
{
    QSet<QString> selection = m_selection;
    for (const AppInfo &app : shownApps())
        selection.remove(app.bundleID);
    setSelection(std::move(selection));
}

void GroupAddAppsModel::add()
{
    // What the button acts on is what the state and the store hold now, not what the last turn showed.
    refresh();
    AppGroup *group = targetGroup();
    if (!group || m_selection.isEmpty())
        return;
    QStringList adding;
    for (const AppInfo &app : sortedApps())
        if (m_selection.contains(app.bundleID))
            adding.append(app.bundleID);
    const QStringList before = group->bundleIDs();
    QStringList after = GroupMembership::batchAdd(before, adding);
    const qsizetype added = after.size() - before.size();
    group->setBundleIDs(std::move(after));
    // A failed save keeps the change pending; the next save writes it.
    std::ignore = m_context.save();
    m_state.publishStoreChange();
    m_state.toast().show(u"已添加 "_qs + QString::number(added) + u" 个应用到「"_qs + group->name() + u"」"_qs);
    Q_EMIT finished();
}

void GroupAddAppsModel::refresh()
{
    m_refreshQueued = false;
    QList<AppInfo> offered;
    QHash<QString, QString> aliases;
    const QHash<QString, AppMetaSnapshot> &meta = m_state.sortMeta();
    for (const AppInfo &app : m_state.targetableApps()) {
        const auto it = meta.constFind(app.bundleID);
        if (it != meta.cend() && it->isHidden)
            continue;
        offered.append(app);
        if (const std::optional<QString> alias = m_state.alias(app))
            aliases.insert(app.bundleID, *alias);
    }
    // Sorting 5,000 names costs; it runs only when the apps, their aliases or their hidden flags changed.
    if (offered != m_offeredInput || aliases != shownNames()) {
        m_offeredInput = std::move(offered);
        setRows(AppPickList::sorted(m_offeredInput, [](const AppInfo &app) { return app.name; }), std::move(aliases));
    }
    refreshMembers();
}

void GroupAddAppsModel::refreshSoon()
{
    if (m_refreshQueued)
        return;
    m_refreshQueued = true;
    QMetaObject::invokeMethod(this, [this] {
        if (m_refreshQueued)
            refresh();
    }, Qt::QueuedConnection);
}

void GroupAddAppsModel::refreshMembers()
{
    const AppGroup *group = targetGroup();
    QSet<QString> members;
    if (group)
        members = QSet<QString>(group->bundleIDs().cbegin(), group->bundleIDs().cend());
    const QString title = u"添加应用到「"_qs + (group ? group->name() : u"分组"_qs) + u"」"_qs;
    if (members != m_members) {
        m_members = std::move(members);
        allRowsChanged({MemberRole, AccessibleValueRole});
    }
    if (title != m_title) {
        m_title = title;
        Q_EMIT titleChanged();
    }
}

void GroupAddAppsModel::setSelection(QSet<QString> selection)
{
    if (selection == m_selection)
        return;
    m_selection = std::move(selection);
    allRowsChanged({CheckedRole, AccessibleValueRole});
    Q_EMIT selectionChanged();
}

GroupAddAppsModel *GroupAddAppsModels::create(AppState *state, QObject *owner)
{
    return state ? new GroupAddAppsModel(*state, owner) : nullptr;
}
