#include "shownappsslice.h"

#include "listdiff.h"

#include <QSet>

#include <algorithm>

ShownAppsSlice::ShownAppsSlice(ShownAppsModel &source, QObject *parent)
    : QAbstractListModel(parent)
    , m_source(source)
    , m_roleNames(source.roleNames())
{
    m_roleNames.insert(PositionRole, "position");
    m_roles = m_roleNames.keys();
    std::sort(m_roles.begin(), m_roles.end());
    connect(&m_source, &ShownAppsModel::refreshed, this, &ShownAppsSlice::sync);
    sync();
}

void ShownAppsSlice::setWindow(int first, int size)
{
    first = std::max(first, 0);
    size = std::max(size, 0);
    if (first == m_first && size == m_windowSize)
        return;
    m_first = first;
    m_windowSize = size;
    sync();
}

int ShownAppsSlice::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant ShownAppsSlice::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole)
        role = ShownAppsModel::NameRole;
    const qsizetype at = m_roles.indexOf(role);
    return at < 0 ? QVariant() : m_rows.at(index.row()).values.at(at);
}

QHash<int, QByteArray> ShownAppsSlice::roleNames() const
{
    return m_roleNames;
}

QStringList ShownAppsSlice::bundleIDs() const
{
    QStringList result;
    result.reserve(m_rows.size());
    for (const Row &row : m_rows)
        result.append(row.id);
    return result;
}

ShownAppsSlice::Row ShownAppsSlice::rowAt(int sourceRow) const
{
    Row row;
    const QModelIndex index = m_source.index(sourceRow);
    row.id = m_source.data(index, ShownAppsModel::BundleIdRole).toString();
    row.values.reserve(m_roles.size());
    for (int role : m_roles)
        row.values.append(role == PositionRole ? QVariant(sourceRow) : m_source.data(index, role));
    return row;
}

void ShownAppsSlice::replaceRow(int row, Row fresh)
{
    if (m_rows.at(row).id == fresh.id && m_rows.at(row).values == fresh.values)
        return;
    m_rows[row] = std::move(fresh);
    Q_EMIT dataChanged(index(row), index(row));
}

void ShownAppsSlice::sync()
{
    QList<Row> target;
    const int end = std::min(m_first + m_windowSize, m_source.count());
    for (int r = m_first; r < end; ++r)
        target.append(rowAt(r));

    QSet<QString> targetIDs;
    for (const Row &row : std::as_const(target))
        targetIDs.insert(row.id);
    QSet<QString> oldIDs;
    for (const Row &row : std::as_const(m_rows))
        oldIDs.insert(row.id);
    auto kept = [&](const QString &id) { return targetIDs.contains(id) && oldIDs.contains(id); };

    // First the apps that stay are put in their new order, each moved as a whole; the other rows keep their places.
    const int oldCount = count();
    QStringList before = bundleIDs();
    QStringList keptInNewOrder;
    for (const Row &row : std::as_const(target)) {
        if (kept(row.id))
            keptInNewOrder.append(row.id);
    }
    QStringList reordered = before;
    for (qsizetype i = 0, k = 0; i < reordered.size(); ++i) {
        if (kept(reordered.at(i)))
            reordered[i] = keptInNewOrder.at(k++);
    }
    if (reordered != before) {
        for (const ListDiff::Step &step : ListDiff::steps(before, reordered)) {
            // Only moves: both lists hold the same identifiers.
            // Moving down, beginMoveRows wants the row after the destination.
            beginMoveRows({}, step.from, step.from, {}, step.to > step.from ? step.to + 1 : step.to);
            m_rows.move(step.from, step.to);
            endMoveRows();
        }
    }

    // Then, gap by gap between the apps that stay, rows that left are handed to apps that came; the rest of a gap is
    // removed or inserted. Rows before `at` match the target.
    int at = 0;
    while (at < m_rows.size() || at < target.size()) {
        int leaving = 0;
        while (at + leaving < m_rows.size() && !kept(m_rows.at(at + leaving).id))
            ++leaving;
        int coming = 0;
        while (at + coming < target.size() && !kept(target.at(at + coming).id))
            ++coming;
        const int reused = std::min(leaving, coming);
        for (int k = 0; k < reused; ++k)
            replaceRow(at + k, target.at(at + k));
        if (leaving > reused) {
            beginRemoveRows({}, at + reused, at + leaving - 1);
            m_rows.remove(at + reused, leaving - reused);
            endRemoveRows();
        } else if (coming > reused) {
            beginInsertRows({}, at + reused, at + coming - 1);
            for (int k = reused; k < coming; ++k)
                m_rows.insert(at + k, target.at(at + k));
            endInsertRows();
        }
        at += coming;
        if (at < m_rows.size()) {
            replaceRow(at, target.at(at)); // the same app: only what it shows may have changed
            ++at;
        }
    }
    if (count() != oldCount)
        Q_EMIT countChanged();
}
