#include "shownappsmodel.h"

#include "listdiff.h"

#include <QHash>
#include <QMetaObject>
#include <QSet>

#include <algorithm>

ShownAppsModel::ShownAppsModel(Source source, QObject *parent)
    : QAbstractListModel(parent)
    , m_source(std::move(source))
{
}

int ShownAppsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant ShownAppsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case BundleIdRole:
        return row.app.bundleID;
    case Qt::DisplayRole:
    case NameRole:
        return row.name;
    case IconSourceRole:
        return row.iconSource;
    case IconCachedRole:
        return row.iconCached;
    case PinnedRole:
        return row.pinned;
    case BlockedRole:
        return row.blocked;
    case SelectedRole:
        return row.selected;
    default:
        return {};
    }
}

QHash<int, QByteArray> ShownAppsModel::roleNames() const
{
    return {{BundleIdRole, "bundleID"}, {NameRole, "name"},         {IconSourceRole, "iconSource"},
            {IconCachedRole, "iconCached"}, {PinnedRole, "pinned"}, {BlockedRole, "blocked"},
            {SelectedRole, "selected"}};
}

QList<AppInfo> ShownAppsModel::apps() const
{
    QList<AppInfo> result;
    result.reserve(m_rows.size());
    for (const Row &row : m_rows)
        result.append(row.app);
    return result;
}

std::optional<int> ShownAppsModel::rowOf(const QString &bundleID) const
{
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).app.bundleID == bundleID)
            return i;
    }
    return std::nullopt;
}

void ShownAppsModel::activate(int row)
{
    if (row < 0 || row >= m_rows.size() || !m_source.launch)
        return;
    m_source.launch(m_rows.at(row).app);
}

QString ShownAppsModel::bundleIDAt(int row) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    return m_rows.at(row).app.bundleID;
}

QVariantMap ShownAppsModel::rowData(const QString &bundleID) const
{
    const std::optional<int> row = rowOf(bundleID);
    if (!row)
        return {};
    QVariantMap result;
    const QHash<int, QByteArray> names = roleNames();
    for (auto it = names.begin(); it != names.end(); ++it)
        result.insert(QString::fromLatin1(it.value()), data(index(*row), it.key()));
    return result;
}

void ShownAppsModel::scheduleRefresh()
{
    if (m_paused) {
        m_stale = true;
        return;
    }
    if (m_refreshQueued)
        return;
    m_refreshQueued = true;
    QMetaObject::invokeMethod(this, &ShownAppsModel::refresh, Qt::QueuedConnection);
}

void ShownAppsModel::setPaused(bool paused)
{
    if (paused == m_paused)
        return;
    m_paused = paused;
    if (!paused && m_stale)
        refresh();
}

bool ShownAppsModel::Row::sameLook(const Row &other) const
{
    return app == other.app && name == other.name && iconSource == other.iconSource && iconCached == other.iconCached
        && pinned == other.pinned && blocked == other.blocked && selected == other.selected;
}

ShownAppsModel::Row ShownAppsModel::makeRow(const AppInfo &app, const std::optional<QString> &selected,
                                            const QString &iconSource) const
{
    Row row;
    row.app = app;
    row.name = m_source.shownName ? m_source.shownName(app) : app.name;
    row.iconSource = iconSource;
    row.iconCached = m_source.isIconCached && m_source.isIconCached(app.bundleID);
    row.pinned = m_source.isPinned && m_source.isPinned(app.bundleID);
    row.blocked = m_source.isBlocked && m_source.isBlocked(app.bundleID);
    row.selected = selected && *selected == app.bundleID;
    return row;
}

const QString &ShownAppsModel::iconSourceOf(const AppInfo &app)
{
    auto known = m_iconSources.find(app.bundleID);
    if (known == m_iconSources.end())
        known = m_iconSources.insert(app.bundleID, {app, m_source.iconSource ? m_source.iconSource(app) : QString()});
    else if (!(known->app == app))
        *known = {app, m_source.iconSource ? m_source.iconSource(app) : QString()};
    return known->iconSource;
}

void ShownAppsModel::refresh()
{
    m_refreshQueued = false;
    m_stale = false;
    QList<AppInfo> apps = m_source.apps ? m_source.apps() : QList<AppInfo>();
    // One row per identifier: a list view keys its items by it.
    QSet<QString> seen;
    apps.removeIf([&seen](const AppInfo &app) {
        if (seen.contains(app.bundleID))
            return true;
        seen.insert(app.bundleID);
        return false;
    });
    const std::optional<QString> selected = m_source.selectedID ? m_source.selectedID() : std::nullopt;

    QStringList before;
    before.reserve(m_rows.size());
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        before.append(m_rows.at(i).app.bundleID);
    QStringList after;
    QHash<QString, Row> fresh;
    after.reserve(apps.size());
    fresh.reserve(apps.size());
    for (const AppInfo &app : std::as_const(apps)) {
        after.append(app.bundleID);
        fresh.insert(app.bundleID, makeRow(app, selected, iconSourceOf(app)));
    }
    // Apps gone from the catalogue are let go once the memo outgrows the longest list shown by far; a narrow search
    // alone never empties it.
    m_widestList = std::max(m_widestList, fresh.size());
    if (m_iconSources.size() > 2 * m_widestList + 256)
        m_iconSources.removeIf([&fresh](const auto &entry) { return !fresh.contains(entry.key()); });

    const int oldCount = count();
    const std::optional<QList<ListDiff::Step>> steps = ListDiff::steps(before, after, maxStepsToAnimate);
    if (!steps) {
        // A new search or a rescan: row by row, every later tile would renumber at each step. Start afresh.
        beginResetModel();
        m_rows.clear();
        for (const QString &id : std::as_const(after))
            m_rows.append(fresh.value(id));
        endResetModel();
    } else {
        for (const ListDiff::Step &step : *steps) {
            switch (step.kind) {
            case ListDiff::Step::Kind::Remove:
                beginRemoveRows({}, step.from, step.from);
                m_rows.removeAt(step.from);
                endRemoveRows();
                break;
            case ListDiff::Step::Kind::Insert:
                beginInsertRows({}, step.to, step.to);
                m_rows.insert(step.to, fresh.value(step.id));
                endInsertRows();
                break;
            case ListDiff::Step::Kind::Move:
                // Moving down, beginMoveRows wants the row after the destination.
                beginMoveRows({}, step.from, step.from, {}, step.to > step.from ? step.to + 1 : step.to);
                m_rows.move(step.from, step.to);
                endMoveRows();
                break;
            }
        }
    }
    for (int i = 0; i < m_rows.size(); ++i) {
        const Row &now = fresh.value(m_rows.at(i).app.bundleID);
        if (!m_rows.at(i).sameLook(now)) {
            m_rows[i] = now;
            Q_EMIT dataChanged(index(i), index(i));
        }
    }
    if (count() != oldCount)
        Q_EMIT countChanged();
    Q_EMIT refreshed();
}
