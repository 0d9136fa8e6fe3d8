#include "numberedrowsmodel.h"

#include <algorithm>

NumberedRowsModel::NumberedRowsModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void NumberedRowsModel::setCount(int count)
{
    count = std::max(count, 0);
    if (count == m_count)
        return;
    if (count > m_count) {
        beginInsertRows({}, m_count, count - 1);
        m_count = count;
        endInsertRows();
    } else {
        beginRemoveRows({}, count, m_count - 1);
        m_count = count;
        endRemoveRows();
    }
    Q_EMIT countChanged();
}

int NumberedRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_count;
}

QVariant NumberedRowsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    return role == Qt::DisplayRole ? QVariant(index.row()) : QVariant();
}

QHash<int, QByteArray> NumberedRowsModel::roleNames() const
{
    return {{Qt::DisplayRole, "number"}};
}
